// The game controls by class name in a game dialog, driven by injected
// input and the controls' clock: sounds, click effect and commands, and the
// same without game data.

#include "gameui/ControlSounds.h"
#include "gameui/MosarkDlg.h"
#include "tests/gameui/GameUiFixture.h"

using namespace GameUiTesting;
using namespace Engine::Reflection;

namespace {

constexpr const char* kGameClasses[] = {"CMosarkBar", "CMosarkStatic", "CMosarkButton", "CMosarkPicButton", "CMosarkDlg"};

class GameControls : public GameUiFixture, public testing::WithParamInterface<const char*> {
protected:
    // A visible game dialog at (100, 50).
    ref_ptr<CMosarkDlg> Dialog() {
        const auto dialog = Place<CMosarkDlg>("CMosarkDlg", nullptr, {});
        dialog->CreateInLayer(manager.get(), nullptr, nullptr);
        dialog->SetWindowRect(100, 50, 500, 350);
        dialog->SetStyle(CS_VISIBLE);
        return dialog;
    }
    // The mouse at (x, 100) for one update step.
    void HoverStep(int x) {
        Frame(x, 100);
        manager->Tick(clock += 1.0 / 30, 1.0 / 30);
    }
    double clock = 1.0;
};

TEST_F(GameControls, EachClassIsMadeByNameWithTheMixinAsSecondBase) {
    for (const char* name : kGameClasses) {
        const auto control = Place(name, nullptr, {});
        const CValue mixin = CValue(control.get()).ConvertTo(TypeOf<CMosarkBaseControl*>());
        EXPECT_EQ(mixin.GetAs<CMosarkBaseControl*>(), dynamic_cast<CMosarkBaseControl*>(control.get())) << name;
    }
    EXPECT_ANY_THROW(CTypeRegistry::Instance().FindTypeByName("CMosarkThunderButton")->CreateDefaultInstance());
}

TEST_P(GameControls, ButtonSoundsEffectAndCommandOncePerAction) {
    const auto dialog = Dialog();
    const auto button = Place(GetParam(), dialog, {10, 20, 210, 80}, CS_VISIBLE | CS_CHILD | CS_TABSTOP, 5);
    game->m_fEffectClock = 2.5f;
    for (int x : {150, 160, 400, 150}) HoverStep(x);  // enters twice
    Click(150, 100);
    EXPECT_EQ(Plays(1), 2u);
    EXPECT_EQ(Plays(0), 1u);
    ASSERT_EQ(Emitters().size(), 1u);
    EXPECT_EQ(Emitters()[0]->GetPosition(), (Engine::Geometry::CVector3{150.0f, 100.0f, 0.0f}));
    EXPECT_EQ(Emitters()[0]->m_fStartTime, 2.5f);
    EXPECT_EQ(dialog->m_nCommandId, 5);
    // Space: the sound on the press, the command on the release.
    dialog->m_nCommandId = -1;
    manager->SetFocus(button);
    Key(57, u' ');
    EXPECT_EQ(Plays(0), 2u);
    EXPECT_EQ(dialog->m_nCommandId, 5);
    // Busy: no sound, effect or command; suppressed: no hover sound.
    game->m_bBusy = game->m_bSoundSuppressed = true;
    dialog->m_nCommandId = -1;
    Click(150, 100);
    for (int x : {400, 150}) HoverStep(x);
    EXPECT_EQ(Plays(0) + Plays(1), 4u);
    EXPECT_EQ(Emitters().size(), 1u);
    EXPECT_EQ(dialog->m_nCommandId, -1);
}

INSTANTIATE_TEST_SUITE_P(Buttons, GameControls, testing::Values("CMosarkButton", "CMosarkPicButton"));

// Scaled holders play at the factor; a sample whose voices all play, or
// any sample while busy, stays silent (a missing one is not looked up).
TEST_F(GameControls, ControlSoundsScaleByHolderAndSkipWhenNoVoiceIsFree) {
    ref_ptr<CTestSampleLocalManager> scaled(new CTestSampleLocalManager(Engine::Sound::GetSoundManager()));
    ref_ptr<CFakeSample> scaledClick(new CFakeSample("ogg/click.ogg", 2));
    scaled->AddObject(scaledClick);
    game->SetScaledSamples(scaled, new Engine::Sound::CSampleLocalManager(Engine::Sound::GetSoundManager()));
    game->m_bSoundScaling = true;
    game->m_fSoundScalingFactor = 0.5f;
    for (auto manager : {scaled, samples}) GameUi::PlayControlSound(game.get(), manager, "ogg/click.ogg", 0.8f, 0, false);
    ASSERT_EQ(scaledClick->plays.size(), 1u);
    EXPECT_EQ(scaledClick->plays[0].pitch, 0.5f);
    EXPECT_EQ(scaledClick->plays[0].volume, 0.4f);
    EXPECT_EQ(sounds[0]->plays[0].volume, 0.8f);
    sounds[0]->voices[0].state = 0;
    GameUi::PlayControlSound(game.get(), samples, "ogg/click.ogg", 1, 0, false);
    game->m_bBusy = true;
    GameUi::PlayControlSound(game.get(), scaled, "ogg/missing.ogg", 1, 0, false);
    EXPECT_EQ(Plays(0), 1u);
    game->m_bBusy = false;
    EXPECT_THROW(GameUi::PlayControlSound(game.get(), samples, "ogg/missing.ogg", 1, 0, false), Engine::CException);
}

TEST_F(GameControls, WithoutGameDataEveryControlDrawsAndTakesInputSilently) {
    app.game = nullptr;
    const auto dialog = Dialog();
    dialog->SetFont(MakeFont());
    for (int i = 0; i < 5; ++i) Place(kGameClasses[i], dialog, {70 * i, 0, 70 * i + 60, 40}, CS_VISIBLE | CS_CHILD, 7)->SetText("abc");
    for (int i = 0; i < 5; ++i) {
        HoverStep(110 + 70 * i);
        Click(110 + 70 * i, 60);
    }
    EXPECT_EQ(dialog->m_nCommandId, 7);
    CRenderContext context(&driver, {0, 0, 800, 600});
    EXPECT_NO_THROW(manager->GetDesktop()->Draw(context));
    EXPECT_FALSE(Quads().empty());
    EXPECT_EQ(Plays(0) + Plays(1), 0u);
    EXPECT_TRUE(Emitters().empty());
    game->m_globals["MOSARK_ARTIFACT_FADE_FPS"] = {0x40000000};
    EXPECT_EQ(GameUi::GetGameGlobalFloat(*dialog, "MOSARK_ARTIFACT_FADE_FPS"), 0.0f);
    app.game = game.get();
    EXPECT_EQ(GameUi::GetGameGlobalFloat(*dialog, "MOSARK_ARTIFACT_FADE_FPS"), 2.0f);
}

} // namespace
