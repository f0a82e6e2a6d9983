// Every driver of the table, named in "Settings.xml", runs the screensaver
// on the demo data headless.

#include <map>

#include "app/shell/EntryPoint.h"
#include "app/shell/ScreensaverApplication.h"
#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "graphics/drivers/GraphicsSFTW.h"
#include "shell/ShellTestSupport.h"
#include "tools/DemoData.h"

using namespace ShellTesting;

namespace {

// A driver that quits after a number of presented frames.
template <class Driver>
class CCountedFrames : public Driver {
public:
    CCountedFrames(Engine::CApplication** app, int& frames) : Driver(app), m_frames(frames) {}
    void gFlipBuffers() override {
        Driver::gFlipBuffers();
        Platform::Testing::AdvanceTestClock(16'667);
        if (++m_frames >= 30) this->RequestQuit();
    }

private:
    int& m_frames;
};

template <class Driver>
std::function<std::unique_ptr<CGraphics>(Engine::CApplication**)> Counted(int& frames) {
    return [&frames](Engine::CApplication** app) { return std::make_unique<CCountedFrames<Driver>>(app, frames); };
}

class DriverChoiceTest : public ShellTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DriverChoiceTest, NamedDriverRunsTheScreensaver) {
    const std::string name = GetParam();
    UseDemoData(name);
    std::map<std::string, int> frames;
    const int exitCode = Engine::RunApplicationPasses("/s", [&]() -> std::unique_ptr<Engine::CStdApplication> {
        Engine::CGraphicsDriverTable table = Engine::GetDefaultDriverTable();
        for (Engine::CGraphicsDriverEntry& entry : table) {
            int& counted = frames[entry.name];
            const std::string entryName = entry.name;
            if (entryName == "D3D8") entry.create = Counted<Engine::Graphics::CGraphics_D3D8>(counted);
            if (entryName == "OpenGL") entry.create = Counted<Engine::Graphics::CGraphics_OGL>(counted);
            if (entryName == "D3D7") entry.create = Counted<Engine::Graphics::CGraphics_D3D7>(counted);
            if (entryName == "SFTW") entry.create = Counted<Engine::Graphics::CGraphics_SFTW>(counted);
        }
        return std::make_unique<Engine::CScreensaverApplication>(std::move(table));
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(frames[name], 30);
    ReadLogFile();
    EXPECT_TRUE(LogHasInOrder({"Graphics driver : " + name, "[Main Loop begin]", "[Main Loop end]"}));
}

INSTANTIATE_TEST_SUITE_P(Drivers, DriverChoiceTest, ::testing::Values("D3D8", "OpenGL", "D3D7", "SFTW"));

} // namespace
