#include <gtest/gtest.h>

#include "app/TestFiles.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"

using Platform::EShellFolder;
using TestFiles::CScopedEnvironment;

TEST(ShellFoldersTest, XdgVariablesThenHomeThenNothing) {
    CScopedEnvironment config("XDG_CONFIG_HOME", "/cfg"), state("XDG_STATE_HOME", "relative/ignored"),
        home("HOME", "/home/u");
    EXPECT_EQ(Platform::GetShellFolder(EShellFolder::Settings), "/cfg");
    EXPECT_EQ(Platform::GetShellFolder(EShellFolder::State), "/home/u/.local/state");
    CScopedEnvironment noConfig("XDG_CONFIG_HOME", nullptr), noHome("HOME", nullptr);
    EXPECT_EQ(Platform::GetShellFolder(EShellFolder::Settings), std::nullopt);
}

TEST(RegistryTest, ValuesAreOneLineFilesUnderTheSettingsFolder) {
    TestFiles::CScratchFolder dir;
    CScopedEnvironment config("XDG_CONFIG_HOME", dir.Path().c_str());
    EXPECT_EQ(Platform::RegQueryStringValue("Software\\Talvorn\\Mosark", "StartupPath"), std::nullopt);
    dir.Write("Talvorn/Mosark/StartupPath", "/opt/mosark\r\nsecond line\n");
    EXPECT_EQ(Platform::RegQueryStringValue("Software\\Talvorn\\Mosark", "StartupPath"), "/opt/mosark");
    EXPECT_EQ(Platform::RegQueryStringValue("Hardware\\Talvorn\\Mosark", "StartupPath"), std::nullopt);
    EXPECT_EQ(Platform::RegQueryStringValue("Software\\Talvorn\\Mosark", "../x"), std::nullopt);
}
