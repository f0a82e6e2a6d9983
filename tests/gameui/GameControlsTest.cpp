// The game controls by class name in a game dialog, driven by injected
// input and the controls' clock: sounds, click effect, commands, and the
// same without game data.

#include <cmath>

#include "gameui/ControlSounds.h"
#include "gameui/MosarkButton.h"
#include "gameui/MosarkDlg.h"
#include "tests/gameui/GameUiFixture.h"

using namespace GameUiTesting;
using namespace Engine::Reflection;

namespace {

constexpr const char* kGameClasses[] = {"CMosarkBar", "CMosarkStatic", "CMosarkButton", "CMosarkPicButton", "CMosarkDlg"};

class GameControls : public GameUiFixture {
protected:
    // A visible game dialog at (100, 50) on the desktop.
    ref_ptr<CMosarkDlg> Dialog() {
        ref_ptr<CMosarkDlg> dialog(dynamic_cast<CMosarkDlg*>(Create("CMosarkDlg").get()));
        dialog->CreateInLayer(manager.get(), nullptr, nullptr);
        dialog->SetWindowRect(100, 50, 500, 350);
        dialog->SetStyle(dialog->GetStyle() | CS_VISIBLE);
        return dialog;
    }
    void Step() { manager->Tick(clock += 1.0 / 30, 1.0 / 30); }
    double clock = 1.0;
};

TEST_F(GameControls, EachClassIsMadeByNameWithTheMixinAsSecondBase) {
    for (const char* name : kGameClasses) {
        SCOPED_TRACE(name);
        const CBaseControl::Ref control = Create(name);
        ASSERT_TRUE(control);
        const CValue mixin = CValue(control.get()).ConvertTo(TypeOf<CMosarkBaseControl*>());
        EXPECT_EQ(mixin.GetAs<CMosarkBaseControl*>(), dynamic_cast<CMosarkBaseControl*>(control.get()));
        EXPECT_EQ(mixin.GetAs<CMosarkBaseControl*>()->m_fOpacity, 1.0f);
    }
    // Known, convertible, never made.
    const CTypeInfo* thunder = CTypeRegistry::Instance().FindTypeByName("CMosarkThunderButton");
    ASSERT_TRUE(thunder);
    EXPECT_ANY_THROW(thunder->CreateDefaultInstance());
}

// Press, hover and keys on either game button, by class name.
class GameButtonInput : public GameControls, public testing::WithParamInterface<const char*> {};

TEST_P(GameButtonInput, SoundsEffectAndCommandOncePerAction) {
    const auto dialog = Dialog();
    const auto button = Place<CButton>(GetParam(), dialog, {10, 20, 210, 80}, CS_VISIBLE | CS_CHILD | CS_TABSTOP, 5);
    game->m_fEffectClock = 2.5f;
    // Hover: once per entry, however long the mouse stays.
    for (int x : {150, 160, 170, 400, 150}) {
        Frame(x, 100);
        Step();
    }
    EXPECT_EQ(Plays("ogg/focus.ogg"), 2u);
    Click(150, 100);
    EXPECT_EQ(Plays("ogg/click.ogg"), 1u);
    ASSERT_EQ(Emitters().size(), 1u);
    EXPECT_EQ(Emitters()[0]->GetPosition(), (Engine::Geometry::CVector3{150.0f, 100.0f, 0.0f}));
    EXPECT_EQ(Emitters()[0]->m_fStartTime, 2.5f);
    EXPECT_EQ(dialog->m_nCommandId, 5);
    // Space on the focused button: the sound on the press, the command on
    // the release.
    dialog->m_nCommandId = -1;
    manager->SetFocus(button);
    Key(57, u' ');
    EXPECT_EQ(Plays("ogg/click.ogg"), 2u);
    EXPECT_EQ(dialog->m_nCommandId, 5);
    // Busy: no sound, no effect, no command; suppressed: no hover sound.
    game->m_bBusy = true;
    game->m_bSoundSuppressed = true;
    dialog->m_nCommandId = -1;
    Click(150, 100);
    Frame(400, 100);
    Step();
    Frame(150, 100);
    Step();
    EXPECT_EQ(Plays("ogg/click.ogg"), 2u);
    EXPECT_EQ(Plays("ogg/focus.ogg"), 2u);
    EXPECT_EQ(Emitters().size(), 1u);
    EXPECT_EQ(dialog->m_nCommandId, -1);
}

INSTANTIATE_TEST_SUITE_P(Buttons, GameButtonInput, testing::Values("CMosarkButton", "CMosarkPicButton"));

TEST_F(GameControls, HiddenGameButtonIgnoresInputAndCursorLockKeepsTheCursor) {
    const auto dialog = Dialog();
    const auto button = Place<CMosarkButton>("CMosarkButton", dialog, {10, 20, 210, 80}, CS_CHILD, 5);
    EXPECT_FALSE(button->OnLButtonDown(5, 5, 0, 1));
    button->OnKeyDown(28, 0);
    EXPECT_EQ(Plays("ogg/click.ogg"), 0u);
    button->SetStyle(CS_CHILD | CS_VISIBLE);
    EXPECT_TRUE(button->OnSetCursor());
    EXPECT_EQ(manager->GetCursor(), 12);
    game->m_bCursorLocked = true;
    EXPECT_FALSE(button->OnSetCursor());
}

struct CSoundCase {
    const char* name;
    bool scaledManager;
    bool busy;
    int32_t voiceState;
    float expectedPitch;  // 0: not played
};

// Scaling on at 0.5; a second voice that plays.
constexpr CSoundCase kSoundCases[] = {
    {"ogg/click.ogg", false, false, 1, 1.0f},  {"ogg/click.ogg", true, false, 1, 0.5f},
    {"ogg/click.ogg", false, false, 0, 0.0f},  {"ogg/click.ogg", false, true, 1, 0.0f},
    {"ogg/missing.ogg", false, true, 1, 0.0f},
};

TEST_F(GameControls, ControlSoundsScaleByHolderAndSkipWhenNoVoiceIsFree) {
    ref_ptr<Engine::Sound::CSampleLocalManager> scaled(new Engine::Sound::CSampleLocalManager(Engine::Sound::GetSoundManager()));
    ref_ptr<CFakeSample> scaledClick(new CFakeSample("ogg/click.ogg", 2));
    scaled->AddObject(scaledClick);
    game->SetScaledSamples(scaled, new Engine::Sound::CSampleLocalManager(Engine::Sound::GetSoundManager()));
    game->m_bSoundScaling = true;
    game->m_fSoundScalingFactor = 0.5f;
    for (const CSoundCase& c : kSoundCases) {
        SCOPED_TRACE(testing::Message() << c.name << " scaled " << c.scaledManager << " busy " << c.busy);
        CFakeSample& sample = c.scaledManager ? *scaledClick : *sounds[0];
        sample.plays.clear();
        for (CFakeVoice& voice : sample.voices) voice.state = c.voiceState;
        game->m_bBusy = c.busy;
        GameUi::PlayControlSound(game.get(), c.scaledManager ? scaled : samples, c.name, 0.8f, -1.0f, true);
        ASSERT_EQ(sample.plays.size(), c.expectedPitch > 0 ? 1u : 0u);
        if (c.expectedPitch == 0) continue;
        EXPECT_EQ(sample.plays[0].pitch, c.expectedPitch);
        EXPECT_EQ(sample.plays[0].volume, c.expectedPitch * 0.8f);
        EXPECT_EQ(sample.plays[0].pan, -1.0f);
        EXPECT_TRUE(sample.plays[0].loop);
    }
    game->m_bBusy = false;
    EXPECT_THROW(GameUi::PlayControlSound(game.get(), samples, "ogg/missing.ogg", 1.0f, 0.0f, false), Engine::CException);
}

// Without game data every control still draws, hovers and clicks, silently.
TEST_F(GameControls, WithoutGameDataEveryControlDrawsAndTakesInputSilently) {
    app.game = nullptr;
    const auto dialog = Dialog();
    dialog->SetFont(MakeFont());
    int x = 0;
    for (const char* name : kGameClasses) {
        const auto control = Place<CBaseControl>(name, dialog, {x, 0, x + 60, 40}, CS_VISIBLE | CS_CHILD, 7);
        control->SetText("abc");
        x += 70;
    }
    for (int cx = 10; cx < 400; cx += 70) {
        Frame(100 + cx, 60);
        Step();
        Click(100 + cx, 60);
    }
    EXPECT_EQ(dialog->m_nCommandId, 7);
    CRenderContext context(&driver, {0, 0, 800, 600});
    EXPECT_NO_THROW(manager->GetDesktop()->Draw(context));
    EXPECT_FALSE(Quads().empty());
    EXPECT_EQ(Plays("ogg/click.ogg") + Plays("ogg/focus.ogg"), 0u);
    EXPECT_TRUE(Emitters().empty());
    GameUi::PlayClickEffect(nullptr, 1.0f, 2.0f);
}

} // namespace
