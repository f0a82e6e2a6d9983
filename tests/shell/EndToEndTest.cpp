#include <sstream>

#include "app/shell/EntryPoint.h"
#include "app/shell/ScreensaverApplication.h"
#include "shell/ShellTestSupport.h"
#include "tools/DemoData.h"

using namespace ShellTesting;

namespace {

class EndToEndTest : public ShellTest {};

TEST_F(EndToEndTest, RunsOnTheDemoDataUntilTheMouseMovesInBothAxes) {
    ASSERT_TRUE(Tools::MakeDemoPack(MOSARK_DEMO_FONT).Save((root / "data" / "demo.pak").string()));
    WriteFile(SettingsFolder() / "StartupPath", (root / "data").string());
    fs::current_path(root);

    int frames = 0;
    const int exitCode = Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
        return std::make_unique<Engine::CScreensaverApplication>(DriversWithOpenGL([&](Engine::CApplication** app) {
            auto driver = std::make_unique<CFrameDriver>(app, true);
            driver->onPresent = [&](CFrameDriver& d) {
                frames = d.frames;
                Platform::Testing::AdvanceTestClock(16'667);
                // The first sample only records where the mouse is; the
                // second moves it in both axes.
                if (d.frames == 10) PostMessage(d.window, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
                if (d.frames == 12) PostMessage(d.window, WM_MOUSEMOVE, 0, MAKELPARAM(160, 130));
            };
            return driver;
        }));
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(frames, 12);
    EXPECT_TRUE(boxes.empty());

    std::ifstream file(LogFolder() / "screensaver.log");
    std::stringstream text;
    text << file.rdbuf();
    log = text.str();
    EXPECT_TRUE(LogHasInOrder({"==== Log opened", "[Initializing Timer begin]", "[Opening Data Packs begin]",
                               "Data packs opened : 1", "[Loading Configuration begin]",
                               "[Application Information begin]", "[Reading Settings.xml begin]",
                               "Display mode : 800x600, 16 bits, full screen",
                               "[CApplication::CreateGraphicsWindow() begin]", "Graphics driver : OpenGL",
                               "[Initializing Input begin]", "[Initializing Sound begin]",
                               "[Initializing Network begin]", "Initializing Controls",
                               "[Initializing Application begin]", "[Main Loop begin]", "[Loading Font begin]",
                               "Font 'main' : 95 characters", "[Loading Hints begin]", "Hints : 3",
                               "[Loading Images begin]", "[Loading Images end]", "[Main Loop end]", "[Shutting Down begin]", "[Shutting Down end]",
                               "Saving Configuration"}));
    EXPECT_TRUE(fs::exists(SettingsFolder() / "screensaver.cfg"));
}

} // namespace
