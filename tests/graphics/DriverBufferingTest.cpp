// The buffered-drawing containers as every driver treats them: a colour
// clear while they exist becomes a queued quad instead of reaching the
// device, and Destroy lets go of them (and of the textures their records
// hold) before the device goes.

#include <memory>

#include "DriverCases.h"
#include "app/DirectXDrivers.h"
#include "graphics/SpriteQueue.h"

using namespace OpenGLTest;

namespace {

class DriverBufferingTest : public HeadlessDriverFixture, public ::testing::WithParamInterface<CDriverCase> {
protected:
    void SetUp() override {
        HeadlessDriverFixture::SetUp();
        driver = GetParam().make(&cell);
        driver->LoadDriverLibrary();
        CGraphicsParams params = WindowedParams();
        ASSERT_TRUE(driver->Create("buffering", &params));
        CSpriteQueue::SetDriver(driver.get());
        queueSet = true;
        ASSERT_TRUE(CSpriteQueue::CreateVertexBuffer());
        ASSERT_TRUE(CSpriteQueue::Init());
    }
    void TearDown() override {
        ReleaseQueue();
        if (driver) {
            driver->Destroy();
            driver->FreeDriverLibrary();
            driver.reset();
        }
        HeadlessDriverFixture::TearDown();
    }

    // As the application does before it destroys the driver.
    void ReleaseQueue() {
        if (!queueSet) return;
        queueSet = false;
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
    }

    std::unique_ptr<CGraphics> driver;
    bool queueSet = false;
};

TEST_P(DriverBufferingTest, ColourClearWhileBufferingIsQueuedNotCleared) {
    ASSERT_TRUE(driver->gBeginScene());
    ClearDriver(*driver, 0, 1, 0);
    ASSERT_EQ(GetParam().pixel(*driver, 5, 5), kGreen);

    driver->CreateSpriteContainers();
    ClearDriver(*driver, 1, 0, 0);
    // The device keeps what it had; the clear waits as a full-screen quad.
    EXPECT_EQ(GetParam().pixel(*driver, 5, 5), kGreen);
    const ref_ptr<CBufferedSpritesContainer> current = driver->GetSpritesContainer();
    ASSERT_EQ(current->GetRecords().size(), 1u);
    // The whole screen, placed as the driver places sprites.
    float dx = 0, dy = 0;
    driver->GetBufferOffset(&dx, &dy);
    const SpriteVertex* corners = current->GetRecords()[0].block.vertices;
    EXPECT_EQ(corners[2].x, float(kWidth) + dx);
    EXPECT_EQ(corners[2].y, float(kHeight) + dy);
    driver->gEndScene();
}

TEST_P(DriverBufferingTest, DestroyReleasesTheContainersAndTheTexturesTheyHold) {
    const ref_ptr<CTexture> texture = MakeDriverTexture(*driver, QuadrantBitmap(2));
    driver->CreateSpriteContainers();
    const SpriteVertex quad[4] = {{0, 0, 0, 1, ~0u, 0, 0}, {8, 0, 0, 1, ~0u, 1, 0}, {8, 8, 0, 1, ~0u, 1, 1},
                                  {0, 8, 0, 1, ~0u, 0, 1}};
    driver->GetSpritesContainer()->Add(quad, texture, {});
    ASSERT_EQ(texture->GetRefCount(), 2);

    ReleaseQueue();
    driver->Destroy();
    EXPECT_EQ(driver->GetSpritesContainer(), nullptr);
    EXPECT_EQ(driver->GetDirtyRects(), nullptr);
    EXPECT_EQ(texture->GetRefCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Drivers, DriverBufferingTest, ::testing::ValuesIn(DriverCases()), kCaseName);

} // namespace
