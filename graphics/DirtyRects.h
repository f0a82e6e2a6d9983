#pragma once
// Which parts of the window changed this frame, as a coarse grid of cells,
// and the marked cells of a region turned back into a few pixel rectangles.

#include <cstdint>
#include <vector>

#include "app/Referenced.h"

namespace Engine::Graphics {

class CGraphics;

// Cells, all bounds inclusive.
struct CellRect {
    int32_t left, right, top, bottom;
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

// Pixels: both horizontal bounds first; right and bottom exclusive.
struct PixelRect {
    int32_t left, right, top, bottom;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

class CDirtyRects : public Engine::CReferenced {
public:
    static constexpr int32_t CELL_WIDTH = 64;
    static constexpr int32_t CELL_HEIGHT = 48;

    // Sized for the driver's window.
    explicit CDirtyRects(CGraphics* graphics);

    // Sizes the grid for the driver's window; a grid of the same size is
    // kept as it is.
    void Resize();

    // The cells under a pixel area {left, right, top, bottom}; edges are
    // rounded outwards. Values far outside the grid (and non-finite ones)
    // come back clamped to one cell beyond it, NaN to -1.
    CellRect ToCells(float left, float right, float top, float bottom) const;
    // Clips to the grid; false when nothing is left.
    bool ClipCells(CellRect& cells) const;
    void MarkCells(const CellRect& cells);
    bool AnyMarked(const CellRect& cells) const;
    void ClearMarks();
    // Appends rectangles covering exactly the marked cells of the region
    // (clipped to the grid), each time the largest one left.
    void ExtractRects(const CellRect& region, std::vector<PixelRect>& out);

    int32_t GetColumns() const { return m_nColumns; }
    int32_t GetRows() const { return m_nRows; }
    bool IsMarked(int32_t column, int32_t row) const {
        return m_marked[size_t(row) * size_t(m_nColumns) + size_t(column)] != 0;
    }

private:
    float m_fInvCellWidth = 1.0f / CELL_WIDTH;
    float m_fInvCellHeight = 1.0f / CELL_HEIGHT;
    std::vector<uint8_t> m_work;
    std::vector<uint8_t> m_marked;
    // Column heights, right and left run ends and the stack of a pass.
    std::vector<int32_t> m_heights, m_rightEnds, m_leftEnds, m_stack;
    CGraphics* m_pGraphics;
    int32_t m_nColumns = -1;
    int32_t m_nRows = -1;
    int32_t m_nWidth = -1;
    int32_t m_nHeight = -1;
};

} // namespace Engine::Graphics
