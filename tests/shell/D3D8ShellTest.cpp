// The application on the real "D3D8" entry of its driver table: frames
// through a lost device, and a driver that cannot be created giving way to
// the next.

#include "app/shell/StdApplication.h"
#include "graphics/SpriteQueue.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "platform/Direct3D8.h"
#include "shell/ShellTestSupport.h"

using namespace ShellTesting;

namespace {

using D3D8ShellTest = ShellTest;
using Engine::Graphics::CSpriteQueue;

// The Direct3D 8 driver, quitting after four drawn frames; the device is
// lost after the first and regained at the third attempt to begin a scene.
struct CFrameCounts {
    int ended = 0, begun = 0, lost = 0, drawnAfterRegain = 0;
};

class CLosingDriver : public Engine::Graphics::CGraphics_D3D8 {
public:
    CLosingDriver(Engine::CApplication** app, CFrameCounts& counts) : CGraphics_D3D8(app), m_counts(counts) {}
    void gEndScene() override {
        CGraphics_D3D8::gEndScene();
        if (++m_counts.ended == 1) Platform::Testing::LoseD3D8Device();
        if (m_counts.ended >= 4) RequestQuit();
    }
    bool gBeginScene() override {
        if (++m_counts.begun == 3) Platform::Testing::RegainD3D8Device();
        if (m_counts.begun > 100) RequestQuit(); // a device that never comes back
        const bool begun = CGraphics_D3D8::gBeginScene();
        m_counts.lost += begun ? 0 : 1;
        m_counts.drawnAfterRegain += begun && m_counts.begun >= 3 ? 1 : 0;
        return begun;
    }

private:
    CFrameCounts& m_counts;
};

class CSpriteApplication : public Engine::CStdApplication {
public:
    using CStdApplication::CStdApplication;

protected:
    void Draw() override {
        GetGraphicsDriver()->gClear(Engine::Graphics::CLEAR_COLOR);
        CSpriteQueue::QueueSpriteAt(CSpriteQueue::CParams{}, CSpriteQueue::GetEmptySprite(), 10, 10, 0xFFFFFFFF);
    }
};

TEST_F(D3D8ShellTest, FramesGoOnThroughALostDevice) {
    WriteFile(SettingsFolder() / "Settings.xml", "<settings><graphics driver=\"D3D8\" fullscreen=\"Off\"/></settings>");
    Engine::CGraphicsDriverTable drivers = FrameDrivers(1, 0);
    CFrameCounts counts;
    drivers[0].create = [&counts](Engine::CApplication** app) { return std::make_unique<CLosingDriver>(app, counts); };
    CSpriteApplication app(std::move(drivers));
    ASSERT_EQ(app.Run(), 0);
    // One frame finds the device lost and draws nothing; the next resets it
    // and the frames go on.
    EXPECT_EQ(counts.lost, 1);
    EXPECT_GE(counts.drawnAfterRegain, 1);
    EXPECT_EQ(counts.ended, 4);
    EXPECT_TRUE(LogHasInOrder({"Graphics driver : D3D8", "[CApplication::OnGraphicsDestroy() begin]"}));
    EXPECT_EQ(Platform::Testing::GetD3D8LiveObjectCount(), 0);
}

TEST_F(D3D8ShellTest, FailedCreationTriesTheNextDriver) {
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
