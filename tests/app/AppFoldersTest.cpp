#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

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
    EXPECT_TRUE(CreateApplicationFolders());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "state/Talvorn/Mosark"));

    CScopedEnvironment noConfig("XDG_CONFIG_HOME", nullptr), noHome("HOME", nullptr);
    EXPECT_EQ(GetSettingsFolder().str(), "/tmp/Talvorn-Mosark-" + std::to_string(::getuid()));
}

TEST(AppFoldersTest, StartupPathBecomesTheCurrentDirectory) {
    CScratchFolder dir;
    CScopedEnvironment config("XDG_CONFIG_HOME", dir.Path().c_str());
    const auto original = std::filesystem::current_path();
    EXPECT_FALSE(ApplyStartupPath()) << "no value: nothing changes";
    EXPECT_EQ(std::filesystem::current_path(), original);

    dir.Write("Talvorn/Mosark/StartupPath", (dir / "missing") + "\n");
    TestFiles::CLogCapture log;
    EXPECT_FALSE(ApplyStartupPath());
    EXPECT_TRUE(log.Contains("ApplyStartupPath() : FAILED : cannot enter"));

    std::filesystem::create_directory(dir / "game");
    dir.Write("Talvorn/Mosark/StartupPath", (dir / "game") + "\n");
    EXPECT_TRUE(ApplyStartupPath());
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(dir / "game"));
    std::filesystem::current_path(original);
}
