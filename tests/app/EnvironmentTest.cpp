#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "app/Environment.h"
#include "app/TestFiles.h"

using namespace Engine;
using TestFiles::CScopedEnvironment;
using TestFiles::CScratchFolder;

TEST(EnvironmentTest, LinesFromBeforeTheLogOpenedReachIt) {
    CScratchFolder dir;
    CScopedEnvironment config("XDG_CONFIG_HOME", (dir / "config").c_str()), state("XDG_STATE_HOME", (dir / "state").c_str());
    dir.Write("config/Talvorn", "a file where the settings folder belongs");
    CEnvironment environment;
    environment.LogWhenOpen("waiting line");
    environment.SetUp();
    environment.LogWhenOpen("later line");
    environment.TearDown();

    // In this order in the file, after the opening line.
    const std::string log = TestFiles::ReadFileBytes(dir / "state/Talvorn/Mosark/screensaver.log");
    size_t at = 0;
    for (const std::string& line : {std::string("==== Log opened"),
                                    "CreateApplicationFolders() : FAILED : cannot create '" + (dir / "config/Talvorn/Mosark"),
                                    std::string("waiting line"), std::string("later line")}) {
        at = log.find(line, at);
        ASSERT_NE(at, std::string::npos) << line << " in:\n" << log;
    }
    const std::string install = TestFiles::ReadFileBytes(dir / "state/Talvorn/Mosark/Install.log");
    EXPECT_NE(install.find("Folders incomplete"), std::string::npos) << install;
    EXPECT_EQ(install.find("Folders ready"), std::string::npos);
}

// A log that cannot be opened leaves the user nothing to read: the failure
// goes to stderr, once, and names the log and the cause.
struct CUnopenedLogCase {
    const char* name;
    const char* blocker;  // a file (or folder) in the way, under the scratch folder
    bool blockerIsFolder;
    const char* cause;
};

class UnopenedLogTest : public testing::TestWithParam<CUnopenedLogCase> {};

TEST_P(UnopenedLogTest, FailureReachesStderrOnce) {
    CScratchFolder dir;
    CScopedEnvironment config("XDG_CONFIG_HOME", (dir / "config").c_str()), state("XDG_STATE_HOME", (dir / "state").c_str());
    if (GetParam().blockerIsFolder)
        std::filesystem::create_directories(dir / GetParam().blocker);
    else
        dir.Write(GetParam().blocker, "in the way");
    CEnvironment environment;
    testing::internal::CaptureStderr();
    environment.SetUp();
    environment.LogWhenOpen("a later line");
    environment.TearDown();
    const std::string errors = testing::internal::GetCapturedStderr();

    const std::string failure = "cannot open '" + (dir / "state/Talvorn/Mosark/screensaver.log") + "' : " + GetParam().cause;
    const size_t at = errors.find(failure);
    ASSERT_NE(at, std::string::npos) << errors;
    EXPECT_EQ(errors.find(failure, at + 1), std::string::npos) << "reported once:\n" << errors;
    EXPECT_EQ(errors.find("a later line"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Blockers, UnopenedLogTest,
    testing::Values(CUnopenedLogCase{"StateFolderIsAFile", "state/Talvorn", false, "Not a directory"},
                    CUnopenedLogCase{"LogIsAFolder", "state/Talvorn/Mosark/screensaver.log", true, "Is a directory"}),
    [](const testing::TestParamInfo<CUnopenedLogCase>& info) { return std::string(info.param.name); });

// A FIFO or a folder where a log belongs never holds start-up up: it is
// refused, and the refusal goes to stderr, once.
struct CSpecialLogCase {
    const char* name;
    const char* log;
    bool fifo;  // else a folder
    const char* reported;
};

class SpecialLogFileTest : public testing::TestWithParam<CSpecialLogCase> {};

TEST_P(SpecialLogFileTest, RefusedAndReportedOnStderr) {
    CScratchFolder dir;
    CScopedEnvironment config("XDG_CONFIG_HOME", (dir / "config").c_str()), state("XDG_STATE_HOME", (dir / "state").c_str());
    const std::string path = dir / ("state/Talvorn/Mosark/" + std::string(GetParam().log));
    std::filesystem::create_directories(dir / "state/Talvorn/Mosark");
    if (GetParam().fifo)
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    else
        std::filesystem::create_directory(path);
    CEnvironment environment;
    testing::internal::CaptureStderr();
    environment.SetUp();
    environment.TearDown();
    const std::string errors = testing::internal::GetCapturedStderr();
    const std::string failure = GetParam().reported + ("cannot open '" + path + "' : ") +
                                (GetParam().fifo ? "not a regular file" : "Is a directory");
    const size_t at = errors.find(failure);
    ASSERT_NE(at, std::string::npos) << errors;
    EXPECT_EQ(errors.find(failure, at + 1), std::string::npos) << "reported once:\n" << errors;
}

INSTANTIATE_TEST_SUITE_P(
    Logs, SpecialLogFileTest,
    testing::Values(CSpecialLogCase{"LogFifo", "screensaver.log", true, "no log is written: CEnvironment::SetUp() : FAILED : "},
                    CSpecialLogCase{"InstallLogFifo", "Install.log", true, "no install log is written: "},
                    CSpecialLogCase{"InstallLogFolder", "Install.log", false, "no install log is written: "}),
    [](const testing::TestParamInfo<CSpecialLogCase>& info) { return std::string(info.param.name); });
