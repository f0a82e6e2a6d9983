// The demo scenes as the screensaver presents them, one scene to a run, on
// the test clock: the ground reaches the bottom edge across the whole width
// while the layers scroll, bg6's sparkles show on every driver as small
// glows, and an effect that asks for far too many particles leaves the run
// free to end.

#include <SDL.h>

#include <algorithm>
#include <map>

#include "particles/engine/ParticleSystem.h"
#include "particles/library/ParticlePool.h"
#include "platform/SdlBridge.h"
#include "shell/EntryPoint.h"
#include "shell/HarmlessInput.h"
#include "shell/OneDriverTable.h"
#include "shell/ScreensaverApplication.h"
#include "shell/ShellTestSupport.h"
#include "tools/DemoData.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/HeavyEffects.h"

using namespace ShellTesting;

namespace {

using CPicture = std::vector<uint32_t>;  // 0x00RRGGBB, rows top-down

// A driver whose presents move the test clock on and then hand the kept
// picture of the scene frames to the hook; each scene frame's drawing
// starts with the begin hook.
template <class Driver>
class CSteppedDriver : public Driver {
public:
    using Hook = std::function<void(CGraphics&, const CPicture&)>;
    CSteppedDriver(Engine::CApplication** app, const Engine::CScreensaverApplication* const* screensaver, Hook hook,
                   std::function<void()> begin, int64_t stepUs)
        : Driver(app), m_screensaver(screensaver), m_hook(std::move(hook)), m_begin(std::move(begin)),
          m_stepUs(stepUs) {}
    bool gBeginScene() override {
        if (m_begin && !(*m_screensaver)->IsLoading()) m_begin();
        return Driver::gBeginScene();
    }
    void gFlipBuffers() override {
        Driver::gFlipBuffers();
        Platform::Testing::AdvanceTestClock(m_stepUs);
        if ((*m_screensaver)->IsLoading()) return;
        CPicture picture;
        int width = 0, height = 0;
        ASSERT_TRUE(Platform::Testing::ReadWindowPicture(this->GetApplication()->m_hWnd, picture, width, height));
        ASSERT_EQ(width, 800);
        ASSERT_EQ(height, 600);
        m_hook(*this, picture);
    }

private:
    const Engine::CScreensaverApplication* const* m_screensaver;
    Hook m_hook;
    std::function<void()> m_begin;
    int64_t m_stepUs;
};

class DemoScenesTest : public ScreensaverShellTest {
protected:
    static constexpr int64_t kStepUs = 250'000;
    static constexpr int kWidth = 800, kHeight = 600;

    void SetUp() override {
        ScreensaverShellTest::SetUp();
        Platform::Testing::KeepSwappedPictures(true);
    }

    // Scene `number` alone, with the given effect file.
    void UseScene(const std::string& driver, int number, std::vector<uint8_t> effects = Tools::WriteSceneEffects()) {
        // The pack without scenes is the slow part to make: once for all.
        static const Tools::CPakWriter s_base = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false);
        Tools::CPakWriter pack = s_base;
        Tools::AddDemoScene(pack, number, std::move(effects));
        UseDemoPack(driver, pack);
    }

    // Runs the screensaver on the named driver; the hook sees each scene
    // frame with its number (from 1) and ends the run by returning false.
    // onBegin runs as each scene frame starts drawing; `app` is the running
    // screensaver.
    void Run(const std::string& driver, const std::function<bool(int, const CPicture&)>& onFrame,
             const std::function<void()>& onBegin = nullptr,
             const std::function<void(Engine::CScreensaverApplication&)>& onCreated = nullptr) {
        int frame = 0;
        const auto hook = [&](CGraphics& graphics, const CPicture& picture) {
            if (!onFrame(++frame, picture) || frame > 200) graphics.RequestQuit();
        };
        const Engine::CGraphicsDriverTable table =
            OneDriverTable(driver, [&]<class Driver>(Engine::CApplication** cell) {
                return std::make_unique<CSteppedDriver<Driver>>(cell, &app, hook, onBegin, kStepUs);
            });
        const int exitCode = Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
            auto made = std::make_unique<Engine::CScreensaverApplication>(table);
            app = made.get();
            if (onCreated) onCreated(*made);
            return made;
        });
        EXPECT_EQ(exitCode, 0);
        EXPECT_TRUE(boxes.empty());
        app = nullptr;
    }

    Engine::CScreensaverApplication* app = nullptr;
};

class SceneGroundTest : public DemoScenesTest, public ::testing::WithParamInterface<int> {};

// The frames checked: scene times from a quarter of a second to 14 s, as the
// layers scroll through their loop.
const int kCheckedFrames[] = {1, 9, 22, 37, 56};
constexpr int kBottomRows = 120;

TEST_P(SceneGroundTest, TheBottomRowsShowNoSkyWhileTheLayersScroll) {
    const int number = GetParam();
    UseScene("OpenGL", number);
    const std::vector<uint32_t> sky = Tools::SceneSkyColours("place/bg" + std::to_string(number) + ".place");
    ASSERT_FALSE(sky.empty());
    std::vector<int> checked;
    Run("OpenGL", [&](int frame, const CPicture& picture) {
        if (!std::binary_search(std::begin(kCheckedFrames), std::end(kCheckedFrames), frame)) return true;
        checked.push_back(frame);
        int skyPixels = 0, column = -1;
        for (int y = kHeight - kBottomRows; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (std::binary_search(sky.begin(), sky.end(), picture[size_t(y * kWidth + x)])) {
                    if (skyPixels++ == 0) column = x;
                }
        EXPECT_EQ(skyPixels, 0) << "frame " << frame << ", first in column " << column;
        // The sky shows above: the picture is the scene.
        EXPECT_TRUE(std::binary_search(sky.begin(), sky.end(), picture[size_t(5 * kWidth + 5)])) << "frame " << frame;
        return frame < kCheckedFrames[std::size(kCheckedFrames) - 1];
    });
    EXPECT_EQ(checked, std::vector<int>(std::begin(kCheckedFrames), std::end(kCheckedFrames)));
    ReadLogFile();
    EXPECT_TRUE(LogHas("Scenes : 1")) << log;
}

INSTANTIATE_TEST_SUITE_P(Scenes, SceneGroundTest, ::testing::Range(1, 7),
                         [](const auto& info) { return "bg" + std::to_string(info.param); });

// bg6 with its sparkles and with an effect that emits nothing, at the same
// frame: what differs is the particles.
class SparklesTest : public DemoScenesTest, public ::testing::WithParamInterface<const char*> {
protected:
    static constexpr int kFrame = 12;  // 3 s into the scene: every emitter has particles

    CPicture Frame(const std::vector<uint8_t>& effects) {
        UseScene(GetParam(), 6, effects);
        CPicture kept;
        Run(GetParam(), [&](int frame, const CPicture& picture) {
            if (frame < kFrame) return true;
            kept = picture;
            return false;
        });
        return kept;
    }
};

TEST_P(SparklesTest, AreSmallGlowsOverTheSky) {
    Tools::CVexaDocument quiet;
    quiet.shapes = {{"glow", 1, {{Tools::GlowPng(), 8.0f, 8.0f}}, {}, {}}};
    quiet.emitters = {Tools::SparkleEmitter()};
    quiet.emitters[0].types[0].curves[4] = Tools::MakeVexaCurve(0.0f);  // no particles a second
    const CPicture without = Frame(Tools::WriteVexa(quiet));
    const CPicture with = Frame(Tools::WriteSceneEffects());
    ASSERT_EQ(with.size(), size_t(kWidth * kHeight));
    ASSERT_EQ(without.size(), with.size());
    // A glow fades to nothing at its edges; its bright middle is what a
    // square would show in full.
    constexpr int kBright = 48;
    int changed = 0, darker = 0, longestRun = 0, lowest = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0, run = 0; x < kWidth; ++x) {
            const uint32_t a = without[size_t(y * kWidth + x)], b = with[size_t(y * kWidth + x)];
            run = int(b >> 8 & 0xFF) - int(a >> 8 & 0xFF) > kBright ? run + 1 : 0;
            longestRun = std::max(longestRun, run);
            if (a == b) continue;
            ++changed;
            lowest = y;
            for (int shift = 0; shift < 24; shift += 8) darker += (b >> shift & 0xFF) < (a >> shift & 0xFF);
        }
    EXPECT_GT(changed, 500) << "the particles show";
    EXPECT_LT(changed, kWidth * kHeight / 10) << "as sparkles, not a cover";
    EXPECT_LT(longestRun, 100) << "glows of at most 32 pixels, not squares of 128";
    EXPECT_EQ(darker, 0) << "they add light";
    EXPECT_LT(lowest, kHeight - kBottomRows) << "over the sky and the far sea";
}

INSTANTIATE_TEST_SUITE_P(Drivers, SparklesTest, ::testing::Values("D3D8", "OpenGL", "D3D7", "SFTW"));

// bg6 with a damaged effect (tools/HeavyEffects.h): every step would fill
// the particle pool and every frame draw all of it, each particle as large
// as the screen or larger. The frames drawn stay within the limits; a quit
// request, as SIGTERM makes one, posted while a frame's particle work runs
// (once the pool is full, or in a frame of 100 catch-up steps) stops that
// work within an interval of visits, the frame is not drawn, and the run
// ends after it. The frame is looked at as one running long is, counting
// work, not time.
using CHeavyCase = std::tuple<const char*, Tools::EHeavyEffect, bool>;

class HeavyEffectTest : public DemoScenesTest, public ::testing::WithParamInterface<CHeavyCase> {};

TEST_P(HeavyEffectTest, AQuitDuringTheWorkEndsTheFrameWithinAnIntervalOfVisits) {
    using Engine::Particles::CParticleSystem;
    constexpr int kWarmFrames = 2;
    const char* const driver = std::get<0>(GetParam());
    const Tools::EHeavyEffect effect = std::get<1>(GetParam());
    const bool catchUp = std::get<2>(GetParam());
    UseScene(driver, 6, Tools::WriteHeavyEffect(effect));
    int presented = 0, presentedAtPost = -1;
    int64_t quads = 0, postedAt = -1, stoppedAt = -1;
    double area = 0.0;
    const VexaParticles::CParticleWorkBudget* budget = nullptr;
    const auto watchFrames = [&](Engine::CScreensaverApplication& made) {
        Engine::CFrameQuitWatch& watch = made.GetQuitWatch();
        watch.SetTimeGate(false);
        watch.SetProbe([&, probe = watch.GetProbe()] {
            const bool quit = probe();
            if (quit && postedAt >= 0 && stoppedAt < 0) stoppedAt = budget->GetFrameVisits();
            if (quit || postedAt >= 0 || presented < kWarmFrames || !budget || budget->GetFrameVisits() == 0) return quit;
            SDL_Event event{};
            event.type = SDL_QUIT;
            EXPECT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
            postedAt = budget->GetFrameVisits();
            presentedAtPost = presented;
            return false;
        });
    };
    Run(
        driver,
        [&](int frame, const CPicture&) {
            presented = frame;
            CParticleSystem& particles = *app->GetParticleSystem();
            budget = &particles.GetLibrary().GetWorkBudget();
            const Engine::Particles::CParticleDrawLimit& limit = particles.GetGraphicsBinding().GetDrawLimit();
            quads = std::max(quads, limit.GetQuadsKept());
            area = std::max(area, limit.GetAreaKept());
            // The program stopped for 3.3 s: the next frame owes 100 steps.
            if (catchUp && frame == kWarmFrames) Platform::Testing::AdvanceTestClock(3'300'000);
            return true;
        },
        nullptr, watchFrames);
    ASSERT_GE(postedAt, 0) << "posted while the particles worked";
    ASSERT_GE(stoppedAt, postedAt) << "found";
    // Visits run from one look to the next; a particle counts itself and
    // the sub-emitter copies it carries, 16 deep at most.
    EXPECT_LE(stoppedAt - postedAt,
              Engine::CFrameQuitWatch::kCheckInterval + 1 + 16 * int64_t(VexaParticles::kSubEmitterCopyUnits));
    EXPECT_EQ(presented, presentedAtPost) << "the frame is not drawn, and the run ends after it";
    EXPECT_GT(quads, 0);
    EXPECT_LE(quads, CParticleSystem::kFrameParticleQuads);
    if (effect != Tools::EHeavyEffect::ZeroSize) {
        EXPECT_GT(area, 0.0);
    }
    EXPECT_LE(area, CParticleSystem::kFrameParticleScreens * kWidth * kHeight);
}

INSTANTIATE_TEST_SUITE_P(Drivers, HeavyEffectTest,
                         ::testing::Combine(::testing::Values("D3D8", "OpenGL", "D3D7", "SFTW"),
                                            ::testing::ValuesIn(Tools::kHeavyEffects), ::testing::Values(false)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "_" +
                                    Tools::HeavyEffectName(std::get<1>(info.param));
                         });
INSTANTIATE_TEST_SUITE_P(CatchUp, HeavyEffectTest,
                         ::testing::Combine(::testing::Values("D3D8", "OpenGL", "D3D7", "SFTW"),
                                            ::testing::Values(Tools::EHeavyEffect::EndlessLives), ::testing::Values(true)),
                         [](const auto& info) { return std::string(std::get<0>(info.param)); });

// Input that does not end the screensaver, arriving while a frame's work
// is looked at: the frame is not cut, and the run goes on until it is
// ended.
class HarmlessInputTest : public DemoScenesTest,
                          public ::testing::WithParamInterface<std::tuple<const char*, CHarmlessInput>> {};

TEST_P(HarmlessInputTest, DoesNotCutTheFrame) {
    const char* const driver = std::get<0>(GetParam());
    const CHarmlessInput& input = std::get<1>(GetParam());
    UseScene(driver, 6);
    int presented = 0, cutAt = -1;
    bool pushed = false;
    Run(
        driver,
        [&](int frame, const CPicture&) {
            presented = frame;
            return frame < 4;
        },
        nullptr,
        [&](Engine::CScreensaverApplication& made) {
            Engine::CFrameQuitWatch& watch = made.GetQuitWatch();
            watch.SetTimeGate(false);
            watch.SetProbe([&, &made = made, probe = watch.GetProbe()] {
                if (!pushed && presented == 1) {
                    const Uint32 window = SDL_GetWindowID(Platform::GetSdlWindow(made.m_hWnd));
                    for (SDL_Event event : input.events(window)) EXPECT_EQ(SDL_PushEvent(&event), 1);
                    pushed = true;
                }
                const bool quit = probe();
                if (quit && cutAt < 0) cutAt = presented;
                return quit;
            });
        });
    EXPECT_TRUE(pushed);
    EXPECT_EQ(cutAt, -1) << "no frame was cut";
    EXPECT_EQ(presented, 4) << "the run went on to its end";
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, HarmlessInputTest,
    ::testing::Combine(::testing::Values("D3D8", "OpenGL", "D3D7", "SFTW"), ::testing::ValuesIn(kHarmlessInputs)),
    [](const auto& info) { return std::string(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name; });

// Messages posted to no window: dispatch hands them to nobody.
const CHarmlessInput kWindowlessPosts[] = {{"WindowlessPostedCloseAndKey", [](Uint32) {
                                                PostMessage(nullptr, WM_CLOSE, 0, 0);
                                                PostMessage(nullptr, WM_KEYDOWN, 'A', 0);
                                                return std::vector<SDL_Event>{};
                                            }}};

INSTANTIATE_TEST_SUITE_P(
    Windowless, HarmlessInputTest,
    ::testing::Combine(::testing::Values("D3D8", "OpenGL", "D3D7", "SFTW"), ::testing::ValuesIn(kWindowlessPosts)),
    [](const auto& info) { return std::string(std::get<0>(info.param)) + "_" + std::get<1>(info.param).name; });

} // namespace
