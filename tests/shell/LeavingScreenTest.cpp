// Once the run is to end, the window leaves the screen and the voices stop
// before anything is let go of: on every driver, windowed and full screen,
// the window is hidden and every voice stopped when the teardown's first
// step (letting go of the data and its scenes) begins, and the window stays
// hidden until the driver goes, although hiding deactivates it and a
// full-screen driver answers a deactivation by minimising its window. A quit
// that cuts the scene load hides the window before the load unwinds.

#include <SDL.h>

#include <optional>
#include <ostream>
#include <string>

#include "app/LoadingQuitCheck.h"
#include "placefile/PlaceFileManager.h"
#include "platform/DirectSound.h"
#include "platform/SdlBridge.h"
#include "platform/Window.h"
#include "shell/EntryPoint.h"
#include "shell/HookedDriver.h"
#include "shell/OneDriverTable.h"
#include "shell/ProgramStartup.h"
#include "shell/ScreensaverApplication.h"
#include "shell/ShellTestSupport.h"
#include "sound/SampleManager.h"
#include "sound/SoundManager.h"
#include "tools/DemoData.h"
#include "tools/LanternCopies.h"

using namespace ShellTesting;

namespace {

namespace T = Platform::Testing;

constexpr int64_t kFrameUs = 100'000;
constexpr int kShownFrames = 3;

// What the user sees and hears at one moment.
struct CSeen {
    bool shown = false;       // visible, minimised or not
    bool fullScreen = false;  // shown over the whole display
    int playing = 0;          // voices playing
};

CSeen Look(HWND window) {
    CSeen seen;
    if (SDL_Window* sdl = window ? Platform::GetSdlWindow(window) : nullptr) {
        const Uint32 flags = SDL_GetWindowFlags(sdl);
        seen.shown = (flags & SDL_WINDOW_SHOWN) || IsWindowVisible(window);
        seen.fullScreen = flags & SDL_WINDOW_FULLSCREEN;
    }
    if (Engine::Sound::CSampleManager* samples = Engine::Sound::GetSoundManager().GetSampleManager())
        for (const auto& sample : samples->GetSamples())
            for (int32_t i = 0; i < sample->GetBufferCount(); ++i) seen.playing += sample->GetBuffer(i).GetState() == 0;
    return seen;
}

// What was seen when the teardown began and when the driver went.
struct CTeardownLooks {
    CSeen atTeardown, atDriverDestroy;
};

// The screensaver, looking at those two moments into the test's record.
class CWatchedScreensaver : public Engine::CScreensaverApplication {
public:
    CWatchedScreensaver(Engine::CGraphicsDriverTable drivers, CTeardownLooks& looks)
        : CScreensaverApplication(std::move(drivers)), m_looks(looks) {}
    void OnGraphicsDestroy() override { m_looks.atDriverDestroy = Look(m_hWnd); }

protected:
    void OnDone() override {
        m_looks.atTeardown = Look(m_hWnd);
        CScreensaverApplication::OnDone();
    }

private:
    CTeardownLooks& m_looks;
};

struct CCase {
    const char* driver;
    bool fullScreen;
};

std::string Name(const CCase& c) { return std::string(c.driver) + (c.fullScreen ? "FullScreen" : "Windowed"); }
void PrintTo(const CCase& c, std::ostream* out) { *out << Name(c); }
std::string CaseName(const ::testing::TestParamInfo<CCase>& info) { return Name(info.param); }

class LeavingScreenTest : public ScreensaverShellTest, public ::testing::WithParamInterface<CCase> {
protected:
    void SetUp() override {
        ScreensaverShellTest::SetUp();
        T::SetDisplayModes({{800, 600, 60, 32}, {800, 600, 60, 16}, kDesktop}, kDesktop);
        T::UseManualSound(true);
    }

    // bg6 with lanterns beside the demo's fonts and tracks, shown on the
    // case's driver.
    void UseLanterns(Tools::ELanternAnimation animation, int count) {
        static const Tools::CPakWriter s_base = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false);
        Tools::CPakWriter pack = s_base;
        Tools::AddLanternCopies(pack, animation, count);
        UseDemoPack(GetParam().driver, pack);
        WriteFile(SettingsFolder() / "Settings.xml", std::string("<settings><graphics driver=\"") + GetParam().driver +
                                                         "\" fullscreen=\"" + (GetParam().fullScreen ? "On" : "Off") +
                                                         "\" bpp32=\"On\"/></settings>");
    }

    // Runs the screensaver on the case's driver; present runs at each frame.
    void Run(const std::function<void(CGraphics&)>& present,
             const std::function<void(Engine::CFrameQuitWatch&)>& watch = nullptr) {
        const Engine::CGraphicsDriverTable table = OneDriverTable(
            GetParam().driver, [&]<class Driver>(Engine::CApplication** cell) {
                return new CHookedDriver<Driver>(cell, nullptr, present, kFrameUs);
            });
        const int exitCode = Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
            auto made = std::make_unique<CWatchedScreensaver>(table, looks);
            app = made.get();
            if (watch) watch(made->GetQuitWatch());
            return made;
        });
        app = nullptr;
        EXPECT_EQ(exitCode, 0);
        EXPECT_TRUE(boxes.empty());
    }

    // A quit as SIGTERM makes one.
    static void PushQuit() {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        EXPECT_EQ(SDL_PushEvent(&quit), 1) << SDL_GetError();
    }

    static constexpr T::CDisplayMode kDesktop{1024, 768, 60, 32};
    CWatchedScreensaver* app = nullptr;  // while it runs
    CTeardownLooks looks;
};

TEST_P(LeavingScreenTest, WindowIsHiddenAndVoicesStoppedBeforeTheSceneIsLetGoOf) {
    UseLanterns(Tools::ELanternAnimation::Zoomed, 16);
    CSeen beforeQuit;
    int shown = 0;
    Run([&](CGraphics&) {
        if (app->IsLoading() || ++shown != kShownFrames) return;
        beforeQuit = Look(app->m_hWnd);
        PushQuit();
    });
    const CSeen& teardown = looks.atTeardown;
    ASSERT_EQ(shown, kShownFrames);
    EXPECT_TRUE(beforeQuit.shown);
    EXPECT_EQ(beforeQuit.fullScreen, GetParam().fullScreen);
    EXPECT_EQ(beforeQuit.playing, 1) << "the ambient track";
    EXPECT_FALSE(teardown.shown);
    EXPECT_FALSE(teardown.fullScreen);
    EXPECT_EQ(teardown.playing, 0);
    EXPECT_FALSE(looks.atDriverDestroy.shown) << "kept off the screen until the driver goes";
    ReadLogFile();
    EXPECT_TRUE(LogHasInOrder({"Scene : place/bg6.place", "[Main Loop end]", "[Shutting Down begin]",
                               "[Shutting Down end]", "Saving Configuration"}));
}

TEST_P(LeavingScreenTest, AQuitThatCutsTheSceneLoadHidesTheWindowBeforeTheLoadUnwinds) {
    // More place objects than one interval of counted work.
    UseLanterns(Tools::ELanternAnimation::Still, 3 * int(Engine::CFrameQuitWatch::kCheckInterval));
    bool posted = false;
    std::optional<CSeen> atCut;
    Run([](CGraphics&) {},
        [&](Engine::CFrameQuitWatch& watch) {
            watch.SetTimeGate(false);
            watch.SetProbe([&, probe = watch.GetProbe()] {
                if (!Engine::CLoadingQuitCheck::GetCurrent() || !LogHas("Loading Scenes")) return probe();
                if (!posted) {
                    PushQuit();
                    posted = true;
                    return false;
                }
                const bool quit = probe();
                if (quit && !atCut) atCut = Look(app->m_hWnd);
                return quit;
            });
        });
    ASSERT_TRUE(atCut) << "the scene load was cut";
    EXPECT_FALSE(atCut->shown);
    EXPECT_FALSE(LogHas("Scenes : ")) << log;
}

INSTANTIATE_TEST_SUITE_P(Drivers, LeavingScreenTest,
                         ::testing::Values(CCase{"D3D8", false}, CCase{"OpenGL", false}, CCase{"D3D7", false},
                                           CCase{"SFTW", false}, CCase{"D3D8", true}, CCase{"OpenGL", true},
                                           CCase{"D3D7", true}, CCase{"SFTW", true}),
                         CaseName);

} // namespace
