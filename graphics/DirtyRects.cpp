#include "graphics/DirtyRects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/Graphics.h"

namespace Engine::Graphics {

namespace {

// A cell index from a rounded float. Far off-screen and non-finite values
// would make the conversion undefined; they clamp to one cell beyond the
// grid on either side, which ClipCells then treats like any outside cell.
int32_t CellIndex(float rounded, int32_t count) {
    if (!(rounded >= -1.0f)) return -1;  // also NaN
    if (rounded > float(count)) return count;
    return int32_t(rounded);
}

} // namespace

CDirtyRects::CDirtyRects(CGraphics* graphics) : m_pGraphics(graphics) { Resize(); }

void CDirtyRects::Resize() {
    const CGraphicsParams& params = m_pGraphics->GetParams();
    const int32_t width = std::max(params.width, 0), height = std::max(params.height, 0);
    if (width == m_nWidth && height == m_nHeight) return;
    m_nWidth = width;
    m_nHeight = height;
    const int32_t columns = (width + CELL_WIDTH - 1) / CELL_WIDTH;
    const int32_t rows = (height + CELL_HEIGHT - 1) / CELL_HEIGHT;
    m_fInvCellWidth = 1.0f / CELL_WIDTH;
    m_fInvCellHeight = 1.0f / CELL_HEIGHT;
    if (columns == m_nColumns && rows == m_nRows) return;
    m_nColumns = columns;
    m_nRows = rows;
    const size_t cells = size_t(columns) * size_t(rows);
    m_marked.assign(cells, 0);
    m_work.assign(cells, 0);
    for (std::vector<int32_t>* scratch : {&m_heights, &m_rightEnds, &m_leftEnds, &m_stack})
        scratch->assign(size_t(columns) + 1, 0);
}

CellRect CDirtyRects::ToCells(float left, float right, float top, float bottom) const {
    return {CellIndex(std::floor(left * m_fInvCellWidth), m_nColumns),
            CellIndex(std::ceil(right * m_fInvCellWidth), m_nColumns),
            CellIndex(std::floor(top * m_fInvCellHeight), m_nRows),
            CellIndex(std::ceil(bottom * m_fInvCellHeight), m_nRows)};
}

bool CDirtyRects::ClipCells(CellRect& cells) const {
    if (cells.bottom < 0 || cells.right < 0 || cells.left >= m_nColumns || cells.top >= m_nRows) return false;
    cells.left = std::max(cells.left, 0);
    cells.top = std::max(cells.top, 0);
    cells.right = std::min(cells.right, m_nColumns - 1);
    cells.bottom = std::min(cells.bottom, m_nRows - 1);
    return true;
}

void CDirtyRects::MarkCells(const CellRect& cells) {
    for (int32_t row = cells.top; row <= cells.bottom; ++row)
        std::fill_n(m_marked.begin() + ptrdiff_t(row) * m_nColumns + cells.left, cells.right - cells.left + 1, 1);
}

bool CDirtyRects::AnyMarked(const CellRect& cells) const {
    for (int32_t row = cells.top; row <= cells.bottom; ++row) {
        const auto begin = m_marked.begin() + ptrdiff_t(row) * m_nColumns + cells.left;
        if (std::any_of(begin, begin + (cells.right - cells.left + 1), [](uint8_t cell) { return cell != 0; }))
            return true;
    }
    return false;
}

void CDirtyRects::ClearMarks() { std::fill(m_marked.begin(), m_marked.end(), 0); }

void CDirtyRects::ExtractRects(const CellRect& requested, std::vector<PixelRect>& out) {
    CellRect region = requested;
    if (!ClipCells(region)) return;
    const int32_t width = region.right - region.left + 1;
    const int32_t height = region.bottom - region.top + 1;
    if (width <= 0 || height <= 0) return;
    // The region's rows, packed, as the work grid.
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(&m_work[size_t(y) * size_t(width)],
                    &m_marked[size_t(region.top + y) * size_t(m_nColumns) + size_t(region.left)], size_t(width));
    int32_t* heights = m_heights.data();
    int32_t* rightEnds = m_rightEnds.data();
    int32_t* leftEnds = m_leftEnds.data();
    int32_t* stack = m_stack.data();
    for (;;) {
        std::fill_n(heights, width, 0);
        int32_t best = 0, marked = 0, bestRow = 0, bestHeight = 0, bestWidth = 0, bestLeft = 0;
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* row = &m_work[size_t(y) * size_t(width)];
            for (int32_t x = 0; x < width; ++x) {
                heights[x] = row[x] ? heights[x] + 1 : 0;
                marked += row[x] != 0;
            }
            // Each column's widest run of columns at least as high.
            int32_t depth = 0;
            for (int32_t x = 0; x < width; ++x) {
                while (depth > 0 && heights[x] < heights[stack[depth - 1]]) rightEnds[stack[--depth]] = x - 1;
                stack[depth++] = x;
            }
            while (depth > 0) rightEnds[stack[--depth]] = width - 1;
            for (int32_t x = width - 1; x >= 0; --x) {
                while (depth > 0 && heights[x] < heights[stack[depth - 1]]) leftEnds[stack[--depth]] = x + 1;
                stack[depth++] = x;
            }
            while (depth > 0) leftEnds[stack[--depth]] = 0;
            for (int32_t x = 0; x < width; ++x) {
                const int32_t runWidth = rightEnds[x] - leftEnds[x] + 1;
                const int32_t area = runWidth * heights[x];
                if (area <= best) continue;  // ties go to the one found first
                best = area;
                bestRow = y;
                bestHeight = heights[x];
                bestWidth = runWidth;
                bestLeft = leftEnds[x];
            }
        }
        if (best == 0) return;
        const int32_t left = region.left + bestLeft;
        const int32_t top = region.top + bestRow - bestHeight + 1;
        out.push_back({left * CELL_WIDTH, (left + bestWidth) * CELL_WIDTH, top * CELL_HEIGHT,
                       (region.top + bestRow + 1) * CELL_HEIGHT});
        if (best == marked) return;
        for (int32_t y = bestRow - bestHeight + 1; y <= bestRow; ++y)
            std::fill_n(&m_work[size_t(y) * size_t(width) + size_t(bestLeft)], bestWidth, 0);
    }
}

} // namespace Engine::Graphics
