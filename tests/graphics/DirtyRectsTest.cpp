// The dirty-cell grid: pixel areas to cells, and the cover of marked cells
// by rectangles, largest first, checked against a brute-force search.

#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "graphics/DirtyRects.h"
#include "support/RecordingGraphics.h"

using namespace Engine::Graphics;

namespace {

class DirtyRectsTest : public testing::Test {
protected:
    void SetUp() override {
        driver.GetParams().width = 800;
        driver.GetParams().height = 600;
        grid = new CDirtyRects(&driver);
    }
    void Mark(int32_t column, int32_t row) { grid->MarkCells({column, column, row, row}); }
    std::vector<PixelRect> Extract(const CellRect& region) {
        std::vector<PixelRect> rects;
        grid->ExtractRects(region, rects);
        return rects;
    }

    Testing::CRecordingGraphics driver;
    Engine::ref_ptr<CDirtyRects> grid;
    const CellRect all{0, 12, 0, 12};  // 13 by 13 cells
};

TEST_F(DirtyRectsTest, ToCellsRoundsOutwardsClampsAndClips) {
    constexpr float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float left, right, top, bottom;
        CellRect cells;
        bool kept;  // by ClipCells
        CellRect clipped;
    } cases[] = {
        {0, 64, 0, 48, {0, 1, 0, 1}, true, {0, 1, 0, 1}},
        {0, 63.5f, 0, 47, {0, 1, 0, 1}, true, {0, 1, 0, 1}},
        {10, 20, 10, 20, {0, 1, 0, 1}, true, {0, 1, 0, 1}},
        {0, 0, 0, 0, {0, 0, 0, 0}, true, {0, 0, 0, 0}},
        {-200, -70, 0, 48, {-1, -1, 0, 1}, false, {}},
        {0, 64, -100, -49, {0, 1, -1, -1}, false, {}},
        {790, 900, 590, 700, {12, 13, 12, 13}, true, {12, 12, 12, 12}},
        // Far off-screen and non-finite edges clamp to one cell beyond the grid.
        {-1e30f, 1e30f, -inf, inf, {-1, 13, -1, 13}, true, {0, 12, 0, 12}},
        {1e30f, inf, 1e30f, inf, {13, 13, 13, 13}, false, {}},
        {nan, 100, 0, nan, {-1, 2, 0, -1}, false, {}},
    };
    for (const auto& c : cases) {
        CellRect cells = grid->ToCells(c.left, c.right, c.top, c.bottom);
        EXPECT_EQ(cells, c.cells) << c.left << ' ' << c.right;
        ASSERT_EQ(grid->ClipCells(cells), c.kept) << c.left << ' ' << c.right;
        if (c.kept) {
            EXPECT_EQ(cells, c.clipped) << c.left << ' ' << c.right;
        }
    }
}

TEST_F(DirtyRectsTest, ExtractRectsCases) {
    EXPECT_TRUE(Extract(all).empty());
    Mark(3, 2);
    EXPECT_EQ(Extract(all), (std::vector<PixelRect>{{192, 256, 96, 144}}));
    EXPECT_TRUE(grid->AnyMarked({3, 3, 2, 2}));
    EXPECT_FALSE(grid->AnyMarked({0, 2, 0, 12}));
    // An L of three cells: a two-cell bar first; both end on row 1 and the
    // upright one is found first.
    grid->ClearMarks();
    Mark(0, 0), Mark(0, 1), Mark(1, 1);
    EXPECT_EQ(Extract(all), (std::vector<PixelRect>{{0, 64, 0, 96}, {64, 128, 48, 96}}));
    // Equal areas: the topmost bottom row first, then the leftmost.
    grid->ClearMarks();
    Mark(5, 4), Mark(9, 1), Mark(2, 1);
    EXPECT_EQ(Extract(all), (std::vector<PixelRect>{{128, 192, 48, 96}, {576, 640, 48, 96}, {320, 384, 192, 240}}));
    // A fully marked region is one rectangle, reaching past the window.
    grid->MarkCells(all);
    EXPECT_EQ(Extract(all), (std::vector<PixelRect>{{0, 832, 0, 624}}));
    EXPECT_EQ(Extract({2, 3, 4, 4}), (std::vector<PixelRect>{{128, 256, 192, 240}}));
}

// Area and bottom row of the largest all-set rectangle (the topmost bottom
// row among equals), trying every one.
std::pair<int32_t, int32_t> BruteForceLargest(const std::vector<uint8_t>& cells, int32_t width, int32_t height) {
    std::pair<int32_t, int32_t> best{0, -1};
    for (int32_t bottom = 0; bottom < height; ++bottom)
        for (int32_t left = 0; left < width; ++left)
            for (int32_t right = left; right < width && cells[size_t(bottom * width + right)]; ++right)
                for (int32_t top = bottom; top >= 0; --top) {
                    bool full = true;
                    for (int32_t x = left; x <= right; ++x) full = full && cells[size_t(top * width + x)];
                    if (!full) break;
                    const int32_t area = (right - left + 1) * (bottom - top + 1);
                    if (area > best.first) best = {area, bottom};
                }
    return best;
}

TEST_F(DirtyRectsTest, RandomGridsAreCoveredExactlyLargestFirst) {
    std::mt19937 random(1234);
    for (int trial = 0; trial < 300; ++trial) {
        grid->ClearMarks();
        for (int32_t i = int32_t(random() % 170); i > 0; --i) {
            const int32_t x = int32_t(random() % 13), y = int32_t(random() % 13);
            grid->MarkCells({x, std::min(x + int32_t(random() % 3), 12), y, y});
        }
        const int32_t x0 = int32_t(random() % 13), y0 = int32_t(random() % 13);
        const CellRect region{x0, x0 + int32_t(random() % (13 - x0)), y0, y0 + int32_t(random() % (13 - y0))};
        const int32_t width = region.right - x0 + 1, height = region.bottom - y0 + 1;
        // What is left to cover, in region coordinates.
        std::vector<uint8_t> left(size_t(width * height));
        for (int32_t i = 0; i < width * height; ++i) left[size_t(i)] = grid->IsMarked(x0 + i % width, y0 + i / width);
        for (const PixelRect& rect : Extract(region)) {
            const int32_t left0 = rect.left / 64 - x0, right = rect.right / 64 - x0;
            const int32_t top = rect.top / 48 - y0, bottom = rect.bottom / 48 - y0;
            ASSERT_TRUE(left0 >= 0 && top >= 0 && right <= width && bottom <= height) << trial;
            EXPECT_EQ(std::make_pair((right - left0) * (bottom - top), bottom - 1),
                      BruteForceLargest(left, width, height)) << trial;
            for (int32_t y = top; y < bottom; ++y)
                for (int32_t x = left0; x < right; ++x) {
                    ASSERT_EQ(left[size_t(y * width + x)], 1) << trial;  // marked, not yet covered
                    left[size_t(y * width + x)] = 0;
                }
        }
        EXPECT_EQ(std::count(left.begin(), left.end(), 1), 0) << trial;
    }
}

} // namespace
