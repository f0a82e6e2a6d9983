// The software driver with buffered drawing: a frame in which one sprite
// moves presents only the changed rectangles, and the picture still equals
// a full redraw of the same frame.

#include <memory>
#include <vector>

#include "OpenGLTestSupport.h"
#include "graphics/SpriteQueue.h"
#include "graphics/drivers/GraphicsSFTW.h"
#include "platform/Window.h"

using namespace OpenGLTest;

namespace {

constexpr int kW = 320, kH = 240;

class SoftwareDirtyRectsTest : public HeadlessDriverFixture {
protected:
    void SetUp() override {
        HeadlessDriverFixture::SetUp();
        driver = std::make_unique<CGraphics_SFTW>(&cell);
        CGraphicsParams params = WindowedParams(kW, kH);
        ASSERT_TRUE(driver->Create("test", &params));
        CSpriteQueue::SetDriver(driver.get());
        CSpriteQueue::CreateVertexBuffer();
        CSpriteQueue::Init();
    }
    void TearDown() override {
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
        driver.reset();
        HeadlessDriverFixture::TearDown();
    }

    void Square(float x, float y, float size, uint32_t color, uint32_t blend) {
        const CSpriteQueue::CParams params;
        if (CSpriteQueueItem* item = CSpriteQueue::Append(params, CSpriteQueue::GetEmptySprite(), color)) {
            item->x = x;
            item->y = y;
            item->scaleX = item->scaleY = size;
            item->flags = blend;
            CSpriteQueue::CommitLast(params);
        }
    }
    // Two still squares and a half-transparent one that moves across them.
    std::vector<uint32_t> DrawFrame(int frame) {
        driver->gBeginScene();
        SetDefaultRenderStates(*driver);
        driver->m_clearColor[2] = 0.5f;
        driver->gClear(CLEAR_COLOR);
        Square(60, 60, 50, 0xFFFF0000u, SPRITE_BLEND_OFF);
        Square(150, 100, 40, 0x8000FF00u, SPRITE_BLEND_ALPHA);
        Square(20.0f + 13.0f * float(frame), 80, 30, 0x80FFFFFFu, SPRITE_BLEND_ADD);
        CSpriteQueue::FlushIfPending(CSpriteQueue::CParams{});
        driver->FinishBufferedFrame();
        driver->gEndScene();
        driver->gFlipBuffers();
        std::vector<uint32_t> picture;
        int width = 0, height = 0;
        EXPECT_TRUE(Platform::Testing::ReadWindowPicture(driver->GetWindow(), picture, width, height));
        return picture;
    }

    std::unique_ptr<CGraphics_SFTW> driver;
};

TEST_F(SoftwareDirtyRectsTest, MovingSpritePresentsOnlyWhatChangedAndEqualsAFullRedraw) {
    driver->CreateSpriteContainers();
    std::vector<uint32_t> buffered;
    for (int frame = 0; frame < 12; ++frame) {
        buffered = DrawFrame(frame);
        int64_t area = 0;
        for (const auto& r : driver->GetPresentedRects()) area += int64_t(r.right - r.left) * (r.bottom - r.top);
        if (frame == 0)
            EXPECT_EQ(area, int64_t(kW) * kH);
        else
            EXPECT_LT(area, int64_t(kW) * kH / 2) << "frame " << frame;
    }
    // An unchanged frame presents only what the window asked to repaint.
    app.m_bActive = 1;
    const RECT asked{200, 150, 260, 200};
    InvalidateRect(driver->GetWindow(), &asked, FALSE);
    UpdateWindow(driver->GetWindow());
    DrawFrame(11);
    int64_t area = 0;
    for (const auto& r : driver->GetPresentedRects()) {
        EXPECT_TRUE(r.left <= asked.left && r.right >= asked.right && r.top <= asked.top && r.bottom >= asked.bottom);
        area += int64_t(r.right - r.left) * (r.bottom - r.top);
    }
    EXPECT_GT(area, 0);
    EXPECT_LT(area, int64_t(kW) * kH / 4);
    driver->DestroySpriteContainers();
    const std::vector<uint32_t> full = DrawFrame(11);
    EXPECT_EQ(driver->GetPresentedRects().size(), 1u);
    EXPECT_EQ(buffered, full);
}

} // namespace
