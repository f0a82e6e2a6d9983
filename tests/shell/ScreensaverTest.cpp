#include "app/NamedMutex.h"
#include "shell/CommandLine.h"
#include "shell/EntryPoint.h"
#include "shell/ScreensaverApplication.h"
#include "shell/StdApplication.h"
#include "shell/ShellTestSupport.h"

using namespace ShellTesting;
using Engine::CScreensaverApplication;
using Engine::EScreensaverMode;

namespace {

class ScreensaverTest : public ShellTest {
protected:
    // Runs the command line through the entry point; counts the drivers made.
    int RunPasses(const char* line) {
        return Engine::RunApplicationPasses(line, [&]() -> std::unique_ptr<Engine::CStdApplication> {
            return std::make_unique<CScreensaverApplication>(DriversWithOpenGL([&](Engine::CApplication**) {
                ++driversMade;
                return std::unique_ptr<CGraphics>();
            }));
        });
    }

    int driversMade = 0;
};

struct CModeCase {
    const char* line;
    EScreensaverMode mode;
    std::optional<uintptr_t> window;
};

class ScreensaverModeTest : public ScreensaverTest, public ::testing::WithParamInterface<CModeCase> {};

TEST_P(ScreensaverModeTest, FirstModeLetterWinsAndOnlyRunAndSettingsMakeADriver) {
    // Another instance runs: the screensaver goes on in every mode.
    Engine::CNamedMutex other;
    ASSERT_TRUE(other.Acquire(Engine::kGlobalMutexName));
    const Engine::CScreensaverCommand command = Engine::ParseCommandLine(GetParam().line);
    EXPECT_EQ(command.mode, GetParam().mode);
    EXPECT_EQ(command.window, GetParam().window);
    // The drivers here make no window, so a run or the settings window ends
    // at once with its message.
    const bool runs = GetParam().mode == EScreensaverMode::Run || GetParam().mode == EScreensaverMode::Settings;
    EXPECT_EQ(RunPasses(GetParam().line), runs ? 1 : 0);
    EXPECT_EQ(driversMade, runs ? 1 : 0);
    EXPECT_EQ(boxes.size(), runs ? 1u : 0u);
    EXPECT_FALSE(LogHas("Another instance is already running"));
    // Only a run or the settings window opens a log; the other modes write
    // nothing that would go nowhere.
    if (!runs) {
        EXPECT_EQ(log, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScreensaverModeTest,
    ::testing::Values(CModeCase{"", EScreensaverMode::Run, std::nullopt}, CModeCase{"  ", EScreensaverMode::Run, std::nullopt},
                      CModeCase{"S", EScreensaverMode::Run, std::nullopt},
                      CModeCase{"/c", EScreensaverMode::Settings, std::nullopt},
                      CModeCase{"/p 1234", EScreensaverMode::Preview, 1234}, CModeCase{"/P:77", EScreensaverMode::Preview, 77},
                      CModeCase{"/p", EScreensaverMode::Preview, std::nullopt},
                      // A number too large for a handle is no handle.
                      CModeCase{"/p 99999999999999999999999", EScreensaverMode::Preview, std::nullopt},
                      CModeCase{"/a 42", EScreensaverMode::Associate, 42},
                      CModeCase{"/a", EScreensaverMode::Associate, std::nullopt},
                      CModeCase{"Preview", EScreensaverMode::Preview, std::nullopt},  // P before the S
                      CModeCase{"xyz", EScreensaverMode::None, std::nullopt}));

struct CQuitCase {
    const char* name;
    std::function<void(CScreensaverApplication&)> input;
    bool quits;
};

class ScreensaverQuitTest : public ScreensaverTest, public ::testing::WithParamInterface<CQuitCase> {};

TEST_P(ScreensaverQuitTest, EndsAtTheFirstInput) {
    CScreensaverApplication app(FrameDrivers(50, 20'000));
    int endedAt = 0;
    onPresent = [&](CFrameDriver& d) {
        if (d.frames == 5) {
            app.OnMouseMove(400, 300);  // the first sample only records
            EXPECT_FALSE(d.IsQuitRequested());
            GetParam().input(app);
        }
        if (d.IsQuitRequested() && !endedAt) endedAt = d.frames;
    };
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(endedAt, GetParam().quits ? 5 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ScreensaverQuitTest,
    ::testing::Values(CQuitCase{"Key", [](CScreensaverApplication& a) { a.OnKeyDown(0x1E); }, true},
                      CQuitCase{"Button", [](CScreensaverApplication& a) { a.OnMouseButtonDown(1); }, true},
                      CQuitCase{"MoveBoth", [](CScreensaverApplication& a) { a.OnMouseMove(401, 299); }, true},
                      CQuitCase{"MoveXOnly", [](CScreensaverApplication& a) { a.OnMouseMove(450, 300); }, false},
                      // Each sample is compared with the one just before it.
                      CQuitCase{"MoveXThenY",
                                [](CScreensaverApplication& a) {
                                    a.OnMouseMove(450, 300);
                                    a.OnMouseMove(450, 350);
                                },
                                false}),
    [](const ::testing::TestParamInfo<CQuitCase>& info) { return std::string(info.param.name); });

class CPassApplication : public Engine::CStdApplication {
public:
    CPassApplication(std::vector<std::string>& passes, bool again) : m_passes(passes), m_again(again) {}
    int Execute() override {
        m_passes.push_back(GetCommandLine().str() + " in " + fs::current_path().filename().string());
        if (m_again) RequestAnotherPass();
        return int(m_passes.size());
    }

private:
    std::vector<std::string>& m_passes;
    bool m_again;
};

TEST_F(ScreensaverTest, EntryPointPassesRunUntilOneDoesNotAskAgain) {
    // The start-up folder is entered before the first pass only.
    fs::create_directories(root / "startup");
    fs::create_directories(root / "elsewhere");
    WriteFile(SettingsFolder() / "StartupPath", (root / "startup").string());
    std::vector<std::string> passes;
    int made = 0;
    const int exitCode = Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
        if (++made == 2) fs::current_path(root / "elsewhere");
        return std::make_unique<CPassApplication>(passes, made < 3);
    });
    EXPECT_EQ(exitCode, 3);
    EXPECT_EQ(passes, (std::vector<std::string>{"/s in startup", "/s in elsewhere", "/s in elsewhere"}));
}

TEST_F(ScreensaverTest, MissingStartupFolderIsLoggedOnceTheLogIsOpen) {
    WriteFile(SettingsFolder() / "StartupPath", (root / "missing").string());
    RunPasses("/s");
    EXPECT_EQ(fs::current_path(), root / "data") << "the run stays where it started";
    ReadLogFile();
    EXPECT_TRUE(LogHas("ApplyStartupPath() : FAILED : cannot enter '" + (root / "missing").string() +
                       "' : No such file or directory; running in '" + (root / "data").string() + "'"))
        << log;
}

} // namespace
