// At the program's end the scenes' memory may be left for the process's end
// to give back: what the teardown lets a user or the log see stays the same,
// and the particle pool, the process's, is whole again for what runs after.

#include "app/ProcessEnd.h"
#include "app/SanitizerBuild.h"
#include "particles/library/ParticlePool.h"
#include "placefile/PlaceFileManager.h"
#include "shell/EntryPoint.h"
#include "shell/ScreensaverApplication.h"
#include "shell/ShellTestSupport.h"
#include "tools/DemoData.h"
#include "tools/GeneratedScenePlaces.h"

using namespace ShellTesting;

namespace {

class LeavingMemoryTest : public ScreensaverShellTest {
protected:
    void SetUp() override {
        ScreensaverShellTest::SetUp();
        Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
    }
    void TearDown() override {
        Engine::CProcessEnd::Allow(false);
        ScreensaverShellTest::TearDown();
    }

    struct CTeardown {
        std::vector<std::string> lines;  // the log's, from the main loop's end, without times
        std::vector<std::string> calls;  // the driver's, after its last present
    };

    CTeardown Run(bool leave) {
        Engine::CProcessEnd::Allow(leave);
        driverCalls.clear();
        const int exitCode = Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
            return std::make_unique<Engine::CScreensaverApplication>(FrameDrivers(80, 100'000));
        });
        EXPECT_EQ(exitCode, 0);
        EXPECT_EQ(Engine::CProcessEnd::IsLeavingMemory(), leave && !Engine::kAddressSanitizerBuild);
        Engine::CProcessEnd::Allow(false);
        ReadLogFile();
        EXPECT_TRUE(LogHas("Scene : ")) << "the scenes were loaded and shown";
        CTeardown teardown;
        std::istringstream lines(log.substr(log.rfind("[Main Loop end]")));
        for (std::string line; std::getline(lines, line);)
            teardown.lines.push_back(line.substr(line.find(']') + 1));
        const auto flip = std::find(driverCalls.rbegin(), driverCalls.rend(), "gFlipBuffers");
        teardown.calls.assign(flip.base(), driverCalls.end());
        return teardown;
    }
};

TEST_F(LeavingMemoryTest, TheTeardownShowsTheSameWhetherOrNotMemoryIsLeft) {
    UseDemoData("OpenGL");
    const CTeardown full = Run(false);
    fs::remove(SettingsFolder() / "screensaver.cfg");
    const CTeardown left = Run(true);
    EXPECT_EQ(left.lines, full.lines);
    EXPECT_EQ(left.calls, full.calls);
    ASSERT_FALSE(left.calls.empty());
    EXPECT_EQ(left.calls.back(), "Destroy") << "the driver is let go of";
    EXPECT_EQ(left.lines.back(), " Saving Configuration");
    EXPECT_TRUE(fs::exists(SettingsFolder() / "screensaver.cfg"));
}

// The sparkles' scene alone, so that its particles live to the end: the
// records the left scene held are written off, and the pool holds its whole
// cap again.
TEST_F(LeavingMemoryTest, ARunThatLeavesTheSceneLeavesThePoolWhole) {
    Tools::CPakWriter pack = Tools::MakeDemoPack(MOSARK_DEMO_FONT, false);
    Tools::AddDemoScene(pack, 6);
    UseDemoPack("OpenGL", pack);
    size_t unitsAtEnd = 0;
    onPresent = [&](CFrameDriver&) { unitsAtEnd = VexaParticles::GetParticleUnitsInUse(); };
    Run(true);
    EXPECT_GT(unitsAtEnd, 0u) << "the scene's particles lived to the end";
    EXPECT_EQ(VexaParticles::GetParticleUnitsInUse(), 0u);
    EXPECT_EQ(VexaParticles::GetFreeParticleCount(), VexaParticles::GetParticleRecordCount());
}

} // namespace
