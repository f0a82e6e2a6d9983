#include <gtest/gtest.h>

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

    const std::string log = TestFiles::ReadFileBytes(dir / "state/Talvorn/Mosark/screensaver.log");
    const size_t opened = log.find("==== Log opened");
    EXPECT_LT(opened, log.find("CreateApplicationFolders() : FAILED : cannot create '" + (dir / "config/Talvorn/Mosark")));
    EXPECT_LT(opened, log.find("waiting line"));
    EXPECT_LT(log.find("waiting line"), log.find("later line"));
    EXPECT_NE(log.find("later line"), std::string::npos) << log;
    const std::string install = TestFiles::ReadFileBytes(dir / "state/Talvorn/Mosark/Install.log");
    EXPECT_NE(install.find("Folders incomplete"), std::string::npos) << install;
    EXPECT_EQ(install.find("Folders ready"), std::string::npos);
}
