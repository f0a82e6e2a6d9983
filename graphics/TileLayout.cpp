#include "graphics/TileLayout.h"

#include <algorithm>

#include "graphics/SprFile.h"

namespace Engine::Graphics::SprFile {

namespace {
std::pair<float, float> PieceSize(const CSpriteFrame& frame, size_t piece) {
    const auto [width, height] = frame.GetPieceSize(piece);
    return {float(width), float(height)};
}
} // namespace

CTileLayout::CTileLayout(const CSpriteFrame& frame)
    : m_columnCount(frame.x), m_rowCount(frame.y), m_pieceCount(frame.GetPieceCount()) {
    std::vector<float> widths(m_columnCount), heights(m_rowCount), tallest(m_rowCount);
    for (size_t row = 0; row < m_rowCount; ++row) {
        float highest = 0.0f;
        for (size_t column = 0; column < m_columnCount; ++column) {
            const auto [width, height] = PieceSize(frame, row * m_columnCount + column);
            widths[column] = width;
            highest = column == 0 ? height : std::max(highest, height);
            heights[row] = height;  // the walk steps down by the last piece's height
        }
        tallest[row] = highest;
        // A piece's own width is how far it reaches.
        m_columns.Add(widths, widths);
    }
    m_rows.Add(heights, tallest);
}

bool CTileLayout::Fits(const CSpriteFrame& frame) const {
    return frame.x == m_columnCount && frame.y == m_rowCount && frame.GetPieceCount() == m_pieceCount;
}

std::pair<size_t, size_t> CTileLayout::ColumnsShown(size_t row, float offset, float size) const {
    return m_columns.Shown(row, m_columnCount, offset, size);
}

std::pair<size_t, size_t> CTileLayout::RowsShown(float offset, float size) const {
    return m_rows.Shown(0, m_rowCount, offset, size);
}

// Damaged files may hold pieces of negative size, so the starts need not
// rise: the reach is a running maximum and the lowest start a running
// minimum from the end, both of which rise.
void CTileLayout::CRuns::Add(const std::vector<float>& steps, const std::vector<float>& extents) {
    const size_t first = reach.size();
    float start = 0.0f;
    for (size_t i = 0; i < steps.size(); ++i) {
        starts.push_back(start);
        const float end = start + extents[i];
        reach.push_back(i == 0 ? end : std::max(reach.back(), end));
        lowest.push_back(start);
        start += steps[i];
    }
    starts.push_back(start);
    for (size_t i = reach.size(); i-- > first + 1;) lowest[i - 1] = std::min(lowest[i - 1], lowest[i]);
}

// A piece shows a positive extent only when extent > offset - start, which
// (the rounding of a sum never crossing a float it lies beyond) makes
// start + extent >= offset; and only when (offset - start) + size > 0,
// which falls as start grows.
std::pair<size_t, size_t> CTileLayout::CRuns::Shown(size_t run, size_t count, float offset, float size) const {
    const auto reachBegin = reach.begin() + std::ptrdiff_t(run * count);
    const auto lowestBegin = lowest.begin() + std::ptrdiff_t(run * count);
    const size_t first = size_t(
        std::partition_point(reachBegin, reachBegin + std::ptrdiff_t(count), [&](float end) { return !(end >= offset); }) -
        reachBegin);
    const size_t end = size_t(std::partition_point(lowestBegin, lowestBegin + std::ptrdiff_t(count),
                                                   [&](float start) {
                                                       const float start0 = offset - start;
                                                       return start0 + size > 0.0f;
                                                   }) -
                              lowestBegin);
    return {first, std::max(first, end)};
}

} // namespace Engine::Graphics::SprFile
