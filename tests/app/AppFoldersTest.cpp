#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "app/AppFolders.h"
#include "app/TestFiles.h"

using namespace Engine;
using TestFiles::CScopedEnvironment;
using TestFiles::CScratchFolder;

TEST(AppFoldersTest, FoldersFollowTheXdgBaseFolders) {
    CScratchFolder dir;
    CScopedEnvironment config("XDG_CONFIG_HOME", (dir / "config").c_str()), state("XDG_STATE_HOME", (dir / "state").c_str());
    EXPECT_EQ(GetSettingsFolder().str(), dir / "config/Talvorn/Mosark");
    EXPECT_EQ(GetLogFolder().str(), dir / "state/Talvorn/Mosark");
    EXPECT_EQ(GetSettingsXmlPath().str(), dir / "config/Talvorn/Mosark/Settings.xml");
    EXPECT_EQ(GetConfigFilePath().str(), dir / "config/Talvorn/Mosark/screensaver.cfg");

    CScopedEnvironment noConfig("XDG_CONFIG_HOME", nullptr), noHome("HOME", nullptr);
    EXPECT_EQ(GetSettingsFolder().str(), "/tmp/Talvorn-Mosark-" + std::to_string(::getuid()));
}

TEST(AppFoldersTest, MadeFoldersOnlyGetAModeAndFailuresAreReported) {
    namespace fs = std::filesystem;
    CScratchFolder dir;
    CScopedEnvironment config("XDG_CONFIG_HOME", (dir / "config").c_str()), state("XDG_STATE_HOME", (dir / "state").c_str());
    // The user's own folder keeps its mode; the folders made here are 0755.
    fs::create_directories(dir / "config/Talvorn/Mosark");
    fs::permissions(dir / "config/Talvorn/Mosark", fs::perms(0700), fs::perm_options::replace);
    const mode_t mask = ::umask(022);
    EXPECT_EQ(CreateApplicationFolders(), std::vector<CString>{});
    EXPECT_EQ(fs::status(dir / "config/Talvorn/Mosark").permissions(), fs::perms(0700));
    EXPECT_EQ(fs::status(dir / "state/Talvorn").permissions(), fs::perms(0755));
    EXPECT_EQ(fs::status(dir / "state/Talvorn/Mosark").permissions(), fs::perms(0755));
    fs::permissions(dir / "state/Talvorn/Mosark", fs::perms(0500), fs::perm_options::replace);
    ::umask(mask);
    if (::geteuid() != 0) {
        // A read-only folder stays read-only and is not ready.
        const std::vector<CString> failures = CreateApplicationFolders();
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].str(), "CreateApplicationFolders() : FAILED : cannot write in '" +
                                         (dir / "state/Talvorn/Mosark") + "' : Permission denied");
        EXPECT_EQ(fs::status(dir / "state/Talvorn/Mosark").permissions(), fs::perms(0500));
    }
    fs::remove_all(dir / "config/Talvorn");
    dir.Write("config/Talvorn", "a file where a folder belongs");
    const std::vector<CString> failures = CreateApplicationFolders();
    ASSERT_FALSE(failures.empty());
    EXPECT_EQ(failures[0].str(), "CreateApplicationFolders() : FAILED : cannot create '" +
                                     (dir / "config/Talvorn/Mosark") + "' : Not a directory");
}

TEST(AppFoldersTest, StartupPathBecomesTheCurrentDirectory) {
    CScratchFolder dir;
    CScopedEnvironment config("XDG_CONFIG_HOME", dir.Path().c_str());
    const auto original = std::filesystem::current_path();
    EXPECT_EQ(ApplyStartupPath(), CString()) << "no value: nothing changes";
    EXPECT_EQ(std::filesystem::current_path(), original);

    dir.Write("Talvorn/Mosark/StartupPath", (dir / "missing") + "\n");
    EXPECT_EQ(ApplyStartupPath().str(), "ApplyStartupPath() : FAILED : cannot enter '" + (dir / "missing") +
                                            "' : No such file or directory; running in '" + original.string() + "'");
    EXPECT_EQ(std::filesystem::current_path(), original);

    std::filesystem::create_directory(dir / "game");
    dir.Write("Talvorn/Mosark/StartupPath", (dir / "game") + "\n");
    EXPECT_EQ(ApplyStartupPath(), CString());
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir / "game"));
    std::filesystem::current_path(original);
}

// A FIFO as the value file would hang start-up before anything is logged:
// it is refused at once, reported on stderr (no log is open yet) and in the
// line for the log, and the run stays where it is.
TEST(AppFoldersTest, RefusedStartupPathIsReportedAndIgnored) {
    CScratchFolder dir;
    CScopedEnvironment config("XDG_CONFIG_HOME", dir.Path().c_str());
    std::filesystem::create_directories(dir / "Talvorn/Mosark");
    const std::string value = dir / "Talvorn/Mosark/StartupPath";
    ASSERT_EQ(::mkfifo(value.c_str(), 0600), 0);
    const auto original = std::filesystem::current_path();
    testing::internal::CaptureStderr();
    const CString failure = ApplyStartupPath();
    const std::string errors = testing::internal::GetCapturedStderr();
    const std::string expected = "ApplyStartupPath() : FAILED : '" + value + "' is refused : not a regular file; running in '" +
                                 original.string() + "'";
    EXPECT_EQ(failure.str(), expected);
    EXPECT_EQ(errors, "Mosark: " + expected + "\n");
    EXPECT_EQ(std::filesystem::current_path(), original);
}

// A start-up path holding control bytes (a terminal escape, CR, BEL) reaches
// stderr written out as the log writes them, never acting on the terminal.
TEST(AppFoldersTest, StartupPathReportedOnStderrIsEscaped) {
    CScratchFolder dir;
    CScopedEnvironment config("XDG_CONFIG_HOME", dir.Path().c_str());
    dir.Write("Talvorn/Mosark/StartupPath", (dir / "mis\rsing\x1B[2J\a") + "\n");
    const auto original = std::filesystem::current_path();
    testing::internal::CaptureStderr();
    const CString failure = ApplyStartupPath();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(failure.str(), "ApplyStartupPath() : FAILED : cannot enter '" + (dir / "mis\rsing\x1B[2J\a") +
                                 "' : No such file or directory; running in '" + original.string() + "'");
    EXPECT_EQ(errors, "Mosark: ApplyStartupPath() : FAILED : cannot enter '" + (dir / "mis\\x0Dsing\\x1B[2J\\x07") +
                          "' : No such file or directory; running in '" + original.string() + "'\n");
}
