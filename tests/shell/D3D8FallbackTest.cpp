// The application's driver table with the real "D3D8" entry: a Direct3D 8
// driver that cannot be created is undone and the next driver runs.

#include "app/shell/StdApplication.h"
#include "platform/Direct3D8.h"
#include "shell/ShellTestSupport.h"

using namespace ShellTesting;

namespace {

using D3D8FallbackTest = ShellTest;

TEST_F(D3D8FallbackTest, FailedCreationTriesTheNextDriver) {
    WriteFile(SettingsFolder() / "Settings.xml", "<settings><graphics driver=\"D3D8\" fullscreen=\"Off\"/></settings>");
    Platform::Testing::D3D8Config().createFails = true;
    Engine::CGraphicsDriverTable drivers = FrameDrivers(1, 0);
    for (const Engine::CGraphicsDriverEntry& entry : Engine::GetDefaultDriverTable())
        if (std::string(entry.name) == "D3D8") drivers[0] = entry;
    ASSERT_EQ(std::string(drivers[0].name), "D3D8");
    Engine::CStdApplication app(std::move(drivers));
    ASSERT_EQ(app.Run(), 0);
    EXPECT_TRUE(LogHasInOrder({"CGraphics_D3D8::Direct3DCreate8() : FAILED",
                               "Graphics driver 'D3D8' : Create() : FAILED", "Graphics driver : OpenGL"}));
    EXPECT_EQ(Platform::Testing::GetD3D8LiveObjectCount(), 0);
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("d3d8.dll"), 0);
}

} // namespace
