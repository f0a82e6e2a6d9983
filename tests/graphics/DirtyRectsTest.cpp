// The dirty-cell grid: pixel areas to cells, and the cover of marked cells
// by rectangles, largest first, checked against a brute-force search.

#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "graphics/DirtyRects.h"
#include "support/RecordingGraphics.h"

using namespace Engine::Graphics;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

class DirtyRectsTest : public testing::Test {
protected:
    void SetUp() override {
        driver.GetParams().width = 800;
        driver.GetParams().height = 600;
        grid = new CDirtyRects(&driver);
    }

    void Mark(int32_t column, int32_t row) { grid->MarkCells({column, column, row, row}); }
    std::vector<CPixelRect> Extract(const CCellRect& region) {
        std::vector<CPixelRect> rects;
        grid->ExtractRects(region, rects);
        return rects;
    }
    CCellRect All() const { return {0, grid->GetColumns() - 1, 0, grid->GetRows() - 1}; }

    Testing::CRecordingGraphics driver;
    Engine::ref_ptr<CDirtyRects> grid;
};

struct CToCellsCase {
    float left, right, top, bottom;
    CCellRect cells;
    bool clipped;  // what ClipCells says
    CCellRect afterClip;
};

TEST_F(DirtyRectsTest, ToCellsRoundsOutwardsClampsAndClips) {
    ASSERT_EQ(grid->GetColumns(), 13);
    ASSERT_EQ(grid->GetRows(), 13);
    const CToCellsCase cases[] = {
        {0, 64, 0, 48, {0, 1, 0, 1}, true, {0, 1, 0, 1}},
        {0, 63.5f, 0, 47, {0, 1, 0, 1}, true, {0, 1, 0, 1}},
        {10, 20, 10, 20, {0, 1, 0, 1}, true, {0, 1, 0, 1}},
        {0, 0, 0, 0, {0, 0, 0, 0}, true, {0, 0, 0, 0}},
        {-200, -70, 0, 48, {-1, -1, 0, 1}, false, {}},  // left of the window
        {0, 64, -100, -49, {0, 1, -1, -1}, false, {}},  // above it
        {-200, -10, 0, 48, {-1, 0, 0, 1}, true, {0, 0, 0, 1}},  // its right edge rounds up into cell 0
        {790, 900, 590, 700, {12, 13, 12, 13}, true, {12, 12, 12, 12}},  // straddling the far edges
        // Far off-screen and non-finite edges clamp to one cell beyond the grid.
        {-1e30f, 1e30f, -kInf, kInf, {-1, 13, -1, 13}, true, {0, 12, 0, 12}},
        {1e30f, kInf, 1e30f, kInf, {13, 13, 13, 13}, false, {}},
        {kNaN, 100, 0, kNaN, {-1, 2, 0, -1}, false, {}},
    };
    for (const CToCellsCase& c : cases) {
        const CCellRect cells = grid->ToCells(c.left, c.right, c.top, c.bottom);
        EXPECT_EQ(cells, c.cells) << c.left << ' ' << c.right << ' ' << c.top << ' ' << c.bottom;
        CCellRect clipped = cells;
        ASSERT_EQ(grid->ClipCells(clipped), c.clipped) << c.left;
        if (c.clipped) {
            EXPECT_EQ(clipped, c.afterClip) << c.left;
        }
    }
}

TEST_F(DirtyRectsTest, ExtractRectsCases) {
    EXPECT_TRUE(Extract(All()).empty());
    Mark(3, 2);
    EXPECT_EQ(Extract(All()), (std::vector<CPixelRect>{{192, 256, 96, 144}}));
    EXPECT_TRUE(grid->AnyMarked({3, 3, 2, 2}));
    EXPECT_FALSE(grid->AnyMarked({0, 2, 0, 12}));
    // An L of three cells: a two-cell bar first (both end on row 1; the
    // upright one is found first).
    grid->ClearMarks();
    Mark(0, 0), Mark(0, 1), Mark(1, 1);
    EXPECT_EQ(Extract(All()), (std::vector<CPixelRect>{{0, 64, 0, 96}, {64, 128, 48, 96}}));
    // Equal areas: the topmost bottom row first, then the leftmost.
    grid->ClearMarks();
    Mark(5, 4), Mark(9, 1), Mark(2, 1);
    EXPECT_EQ(Extract(All()),
              (std::vector<CPixelRect>{{128, 192, 48, 96}, {576, 640, 48, 96}, {320, 384, 192, 240}}));
    // A fully marked region is one rectangle, reaching past the window.
    grid->MarkCells(All());
    EXPECT_EQ(Extract(All()), (std::vector<CPixelRect>{{0, 832, 0, 624}}));
    EXPECT_EQ(Extract({2, 3, 4, 4}), (std::vector<CPixelRect>{{128, 256, 192, 240}}));
}

// The largest all-marked rectangle of a grid, by trying every one; ties to
// the topmost bottom row.
struct CBest {
    int32_t area = 0, bottom = -1;
};
CBest BruteForceLargest(const std::vector<uint8_t>& cells, int32_t width, int32_t height) {
    CBest best;
    for (int32_t bottom = 0; bottom < height; ++bottom)
        for (int32_t top = 0; top <= bottom; ++top)
            for (int32_t left = 0; left < width; ++left)
                for (int32_t right = left; right < width; ++right) {
                    bool full = true;
                    for (int32_t y = top; y <= bottom && full; ++y)
                        for (int32_t x = left; x <= right && full; ++x) full = cells[size_t(y * width + x)] != 0;
                    if (!full) break;  // wider rectangles hold the same hole
                    const int32_t area = (right - left + 1) * (bottom - top + 1);
                    if (area > best.area) best = {area, bottom};
                }
    return best;
}

TEST_F(DirtyRectsTest, RandomGridsAreCoveredExactlyLargestFirst) {
    std::mt19937 random(1234);
    for (int trial = 0; trial < 300; ++trial) {
        grid->ClearMarks();
        const int32_t columns = grid->GetColumns(), rows = grid->GetRows();
        std::uniform_int_distribution<int32_t> column(0, columns - 1), row(0, rows - 1);
        const int32_t marks = std::uniform_int_distribution<int32_t>(0, columns * rows)(random);
        for (int32_t i = 0; i < marks; ++i) {
            const int32_t x = column(random), y = row(random);
            grid->MarkCells({x, std::min(x + int32_t(random() % 3), columns - 1), y, y});
        }
        CCellRect region{column(random), 0, row(random), 0};
        region.right = std::uniform_int_distribution<int32_t>(region.left, columns - 1)(random);
        region.bottom = std::uniform_int_distribution<int32_t>(region.top, rows - 1)(random);
        const int32_t width = region.right - region.left + 1, height = region.bottom - region.top + 1;
        // What is left to cover, in region coordinates.
        std::vector<uint8_t> left(size_t(width * height));
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                left[size_t(y * width + x)] = grid->IsMarked(region.left + x, region.top + y);
        for (const CPixelRect& rect : Extract(region)) {
            ASSERT_EQ(rect.left % 64 + rect.right % 64 + rect.top % 48 + rect.bottom % 48, 0);
            const int32_t x0 = rect.left / 64 - region.left, x1 = rect.right / 64 - region.left;
            const int32_t y0 = rect.top / 48 - region.top, y1 = rect.bottom / 48 - region.top;
            ASSERT_TRUE(x0 >= 0 && y0 >= 0 && x1 <= width && y1 <= height && x0 < x1 && y0 < y1) << trial;
            const CBest best = BruteForceLargest(left, width, height);
            ASSERT_EQ((x1 - x0) * (y1 - y0), best.area) << trial;
            ASSERT_EQ(y1 - 1, best.bottom) << trial;
            // Every cell of it still uncovered and marked; then covered.
            for (int32_t y = y0; y < y1; ++y)
                for (int32_t x = x0; x < x1; ++x) {
                    ASSERT_EQ(left[size_t(y * width + x)], 1) << trial;
                    left[size_t(y * width + x)] = 0;
                }
        }
        EXPECT_EQ(std::count(left.begin(), left.end(), 1), 0) << trial;
    }
}

} // namespace
