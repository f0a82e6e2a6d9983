#pragma once
// The game controls over the widgets fixture: an application whose game
// data holds the demo "spr/controls.spr" and "vexa/common.vexa" (from a
// scratch folder) and control sounds that record how they are played.

#include "app/Application.h"
#include "gameui/GameData.h"
#include "gameui/GameUiRegistration.h"
#include "particles/engine/ParticleSystem.h"
#include "reflection/Reflection.h"
#include "sound/SoundManager.h"
#include "tests/app/TestFiles.h"
#include "tests/controls/WidgetsFixture.h"
#include "tools/DemoGameUi.h"

namespace GameUiTesting {

using namespace ControlsTesting;
using Engine::Sound::CPlayParams;

// A voice in the state the test sets (1 stopped, 0 playing).
struct CFakeVoice final : Engine::Sound::CBuffer {
    bool Play(CPlayParams) override { return true; }
    bool Stop() override { return true; }
    bool IsCreated() const override { return true; }
    bool IsReady() const override { return true; }
    int32_t GetState() override { return state; }
    void Update() override {}
    void Release() override {}
    uint32_t GetPosition() override { return 0; }
    bool SetVolume(float) override { return true; }
    bool SetPan(float) override { return true; }
    bool SetPitch(float) override { return true; }
    void FadeOut(float, bool) override {}
    void FadeIn(float) override {}
    void SetFadeLevel(float) override {}
    bool IsFadeDone() const override { return true; }
    int32_t state = 1;
};

struct CFakeSample : Engine::Sound::CSample {
    explicit CFakeSample(const char* name, int voiceCount = 1) : CSample(name), voices(size_t(voiceCount)) {}
    bool Create(int32_t, int32_t) override { return true; }
    bool Play(const CPlayParams* params) override { return plays.push_back(*params), true; }
    Engine::Sound::CBuffer& GetBuffer(int32_t index) override { return voices[size_t(index)]; }
    int32_t GetBufferCount() const override { return int32_t(voices.size()); }
    std::vector<CFakeVoice> voices;
    std::vector<CPlayParams> plays;
};

// A sample local manager the tests fill with their own samples; the
// engine's own keeps AddObject to itself.
class CTestSampleLocalManager : public Engine::Sound::CSampleLocalManager {
public:
    using CSampleLocalManager::CSampleLocalManager;
    using CLocalObjectManager::AddObject;
};

template <class Manager>
concept CanAddSamples = requires(Manager& manager, Engine::ref_ptr<Engine::Sound::CSampleBase> sample) {
    manager.AddObject(sample);
};
static_assert(!CanAddSamples<Engine::Sound::CSampleLocalManager>, "only the manager itself adds its samples");
static_assert(CanAddSamples<CTestSampleLocalManager>);

struct CGameApplication : Engine::CApplication {
    Engine::IGameData* GetGameData() override { return game; }
    Engine::IGameData* game = nullptr;
};

inline void ExpectNear(const CBox& box, const CBox& expected) {
    EXPECT_NEAR(box.left, expected.left, 1e-3);
    EXPECT_NEAR(box.top, expected.top, 1e-3);
    EXPECT_NEAR(box.width, expected.width, 1e-3);
    EXPECT_NEAR(box.height, expected.height, 1e-3);
    EXPECT_EQ(box.color, expected.color);
}

class GameUiFixture : public WidgetsFixture {
protected:
    static void SetUpTestSuite() {
        registration = std::make_unique<Engine::CStartupRegistration>(std::initializer_list<std::span<const Engine::CStartupHook>>{
            Engine::Reflection::GetStartupHooks(), GameUi::GetStartupHooks(), GetStartupHooks()});
    }
    void SetUp() override {
        WidgetsFixture::SetUp();
        for (const auto& file : Tools::MakeGameUiFiles()) folder.Write(file.name, {file.bytes.begin(), file.bytes.end()});
        Engine::CFile::SetDiskRoot(CString(folder.Path().string()));
        particles.GetLibrary().Init(&particles.GetGraphicsBinding());
        samples = new CTestSampleLocalManager(Engine::Sound::GetSoundManager());
        game = std::make_unique<GameUi::CGameData>(new Engine::Graphics::SprFile::CSprFileLocalManager(&driver), samples,
                                                   new Engine::Particles::CVexaFileLocalManager(&particles.GetFileManager()));
        game->GetResources().sprFiles->LoadSprFile("spr/controls.spr", false);
        game->GetResources().particleFiles->GetVexaFile("vexa/common.vexa");
        for (const char* name : {"ogg/click.ogg", "ogg/focus.ogg"}) samples->AddObject(sounds.emplace_back(new CFakeSample(name)));
        app.game = game.get();
        application = &app;
    }
    void TearDown() override {
        WidgetsFixture::TearDown();
        game.reset();
        particles.Done();
        Engine::CFile::SetDiskRoot("");
    }

    // A new control of the registered class, placed under the parent.
    template <class T = CBaseControl>
    ref_ptr<T> Place(const char* name, CBaseControl::Ref parent, CRect r, uint32_t style = CS_VISIBLE | CS_CHILD,
                     int32_t id = 0) {
        using namespace Engine::Reflection;
        const CValue made = CTypeRegistry::Instance().FindTypeByName(name)->CreateDefaultInstance();
        ref_ptr<T> control(dynamic_cast<T*>(made.ConvertTo(TypeOf<CBaseControl*>()).GetAs<CBaseControl*>()));
        if (parent) control->Create(manager.get(), parent, r.left, r.top, r.Width(), r.Height(), "", style, id);
        return control;
    }
    // The desktop drawn afresh; the quads as boxes in drawing order.
    std::vector<CBox> Draw() {
        driver.Clear();
        CRenderContext context(&driver, {0, 0, 800, 600});
        manager->GetDesktop()->Draw(context);
        std::vector<CBox> boxes;
        for (const CQuad& q : Quads()) boxes.push_back({q.left, q.top, q.right - q.left, q.bottom - q.top, q.colors[0]});
        return boxes;
    }
    size_t Plays(size_t sound) const { return sounds[sound]->plays.size(); }
    const auto& Emitters() const { return game->GetResources().particleFiles->GetObjects().front()->GetEmitters(); }

    TestFiles::CScratchFolder folder;
    Engine::Particles::CParticleSystem particles{&driver};
    ref_ptr<CTestSampleLocalManager> samples;
    std::vector<ref_ptr<CFakeSample>> sounds;  // click, focus
    std::unique_ptr<GameUi::CGameData> game;
    CGameApplication app;
};

} // namespace GameUiTesting
