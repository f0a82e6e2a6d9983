#pragma once
// Where the pieces of a frame's grid start, so that the pieces a window
// shows are found by bisection instead of a walk of the whole grid. Along a
// row, a piece starts at the widths of the pieces left of it, summed from
// the left in float; a row starts at the heights of the last pieces of the
// rows above, summed from the top. These are the sums the walk of the grid
// makes, added in the same order, so they are the same floats.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace Engine::Graphics::SprFile {

struct CSpriteFrame;

class CTileLayout {
public:
    // The frame's x columns by y rows; the caller has checked that the grid
    // holds cells and no more of them than the frame has pieces.
    explicit CTileLayout(const CSpriteFrame& frame);

    // Made for this grid over this many pieces.
    bool Fits(const CSpriteFrame& frame) const;

    float ColumnStart(size_t row, size_t column) const { return m_columns.starts[row * (m_columnCount + 1) + column]; }
    float RowStart(size_t row) const { return m_rows.starts[row]; }

    // [first, end): outside it no piece of the row has a visible width > 0
    // in the window offset .. offset + size (size >= 0), and no row has a
    // piece with a visible height > 0. The visible extent is the one the
    // quad builder works out: min(start0 + size, piece) - max(start0, 0)
    // with start0 = offset - start.
    std::pair<size_t, size_t> ColumnsShown(size_t row, float offset, float size) const;
    std::pair<size_t, size_t> RowsShown(float offset, float size) const;

private:
    // Runs of pieces along one axis, several runs stored end to end.
    struct CRuns {
        std::vector<float> starts;  // count + 1 per run
        std::vector<float> reach;   // per piece: the furthest start + extent up to it
        std::vector<float> lowest;  // per piece: the lowest start from it on

        void Add(const std::vector<float>& steps, const std::vector<float>& extents);
        std::pair<size_t, size_t> Shown(size_t run, size_t count, float offset, float size) const;
    };

    size_t m_columnCount;
    size_t m_rowCount;
    size_t m_pieceCount;
    CRuns m_columns;  // one run per row
    CRuns m_rows;     // one run
};

} // namespace Engine::Graphics::SprFile
