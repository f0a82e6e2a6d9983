// The frame loop on a software driver: quads are buffered, and a frame
// that repeats the last one redraws nothing.

#include <algorithm>

#include "app/shell/StdApplication.h"
#include "graphics/SpriteQueue.h"
#include "shell/ShellTestSupport.h"

using namespace ShellTesting;

namespace {

using Engine::Graphics::CSpriteQueue;

class CStillPicture : public Engine::CStdApplication {
public:
    using CStdApplication::CStdApplication;

protected:
    void Draw() override {
        GetGraphicsDriver()->gClear(Engine::Graphics::CLEAR_COLOR);
        CSpriteQueue::QueueSpriteAtSizeF(CSpriteQueue::CParams{}, CSpriteQueue::GetEmptySprite(), 10, 10, 20, 20,
                                         0xFF00FF00u);
    }
};

using BufferedFrameTest = ShellTest;

TEST_F(BufferedFrameTest, SoftwareDriverRedrawsOnlyWhatChanged) {
    Engine::CGraphicsDriverTable drivers = FrameDrivers(3, 100'000);
    for (Engine::CGraphicsDriverEntry& entry : drivers)
        entry.create = [make = entry.create](Engine::CApplication** app) {
            std::unique_ptr<CGraphics> driver = make ? make(app) : nullptr;
            if (auto* frames = dynamic_cast<CFrameDriver*>(driver.get())) frames->m_bSoftware = true;
            return driver;
        };
    std::vector<size_t> draws;
    bool containers = false;
    onPresent = [&](CFrameDriver& d) {
        const auto names = d.Names();
        draws.push_back(size_t(std::count(names.begin(), names.end(), "gDraw")));
        containers = d.GetSpritesContainer() != nullptr;
        d.Clear();
    };
    CStillPicture app(std::move(drivers));
    ASSERT_EQ(app.Run(), 0);
    EXPECT_TRUE(containers);
    // The first frame draws the clear and the sprite; the same picture again
    // draws nothing.
    EXPECT_EQ(draws, (std::vector<size_t>{2, 0, 0}));
}

} // namespace
