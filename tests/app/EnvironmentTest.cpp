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
