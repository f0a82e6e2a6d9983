// Splitting a record of several pieces or tiles into one record per visible
// part.

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "graphics/Graphics.h"
#include "graphics/TileLayout.h"
#include "graphics/SprFile.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteQueueRecord.h"
#include "graphics/SpriteRef.h"
#include "graphics/SpriteSource.h"

namespace Engine::Graphics {

namespace {

// One tile's window into the frame along one axis: where it starts in the
// frame and how much of it shows.
struct CWindow {
    float offset;
    float size;
};

// Tile range along one axis: the first tile index and the number of tiles
// that cover offset .. offset + size. False when the range is not a sane
// integer range (no frame size, or absurd sizes).
bool TileRange(float offset, float size, float frameSize, int32_t& first, int32_t& count) {
    if (!(frameSize > 0.0f)) return false;
    const double start = std::floor(double(offset / frameSize));
    const double end = std::ceil(double((size + offset) / frameSize));
    constexpr double limit = double(std::numeric_limits<int32_t>::max() / 2);
    if (!std::isfinite(start) || !std::isfinite(end) || std::fabs(start) > limit || std::fabs(end) > limit) return false;
    first = int32_t(start);
    count = int32_t(end) - first;
    return true;
}

CWindow TileWindow(bool tiling, int32_t index, int32_t count, int32_t first, float offset, float size, float frameSize) {
    if (!tiling) return {offset, size};
    if (index == 0) {
        const float start = offset - frameSize * float(first);
        return {start, count == 1 ? size : frameSize - start};
    }
    if (index == count - 1) return {0.0f, (size + offset) - float(index + first) * frameSize};
    return {0.0f, frameSize};
}

// How much of a piece starting at start the window shows, and from where in
// the piece.
float ShownExtent(const CWindow& window, float start, float piece, float& from) {
    const float offset = window.offset - start;
    const float end = std::min(offset + window.size, piece);
    from = std::max(offset, 0.0f);
    return end - from;
}

// The record's frame as a grid of pieces.
struct CPieceGrid {
    const SprFile::CSpriteFrame* frame = nullptr;  // null: one piece, the whole texture
    int32_t columns = 1;
    int32_t rows = 1;
    float width = 0.0f;
    float height = 0.0f;

    void PieceSize(int32_t index, float& pieceWidth, float& pieceHeight) const {
        if (!frame) {
            pieceWidth = width;
            pieceHeight = height;
            return;
        }
        const auto [sizeX, sizeY] = frame->GetPieceSize(size_t(index));
        pieceWidth = float(sizeX);
        pieceHeight = float(sizeY);
    }
};

// False when the record names a frame that does not exist or a grid with
// more cells than pieces.
bool FindPieceGrid(const SprFile::CSpriteRef& sprite, const CSpriteQueueItem& item, CPieceGrid& grid) {
    if (const SprFile::CSpriteDef* definition = sprite.GetDefinition()) {
        grid.frame = FindSpriteFrame(*definition, item.frame);
        if (!grid.frame) return false;
        const size_t frame = FrameIndex(item);
        const auto [columns, rows] = definition->GetPieceGrid(frame);
        if (uint64_t(columns) * rows > definition->GetPieceCount(frame)) return false;
        grid.columns = int32_t(columns);
        grid.rows = int32_t(rows);
        const auto [width, height] = definition->GetFrameSize(frame);
        grid.width = float(width);
        grid.height = float(height);
        return true;
    }
    int32_t width = 0, height = 0;
    if (sprite.GetTemplate().texture) sprite.GetTemplate().texture->GetSize(width, height);
    grid.width = float(width);
    grid.height = float(height);
    return true;
}

// Where one visible part of a split record goes, worked out before the part
// is made.
struct CPartPlace {
    int32_t piece;
    float anchorX, anchorY;
    float visibleWidth, visibleHeight;
    bool windowed;  // the part shows sourceX, sourceY and the visible size of its piece
    float sourceX, sourceY;
};

// Splits one record; parts go to the queue (with params) or straight to the
// driver.
class CQuadSplitter {
public:
    CQuadSplitter(const SprFile::CSpriteRef& sprite, const CSpriteQueueItem& item, const CPieceGrid& grid,
                  const CSpriteQueue::CParams* params)
        : m_sprite(sprite), m_item(item), m_grid(grid), m_params(params) {}

    void Run();

private:
    void DrawTile(int32_t column, int32_t row, const CWindow& windowX, const CWindow& windowY, float startX, float startY);
    void DrawPart(const CPartPlace& place, bool flat);
    void FillPart(CQueuedSprite& part, const CPartPlace& place, bool flat) const;
    float RowStartX(float tileStart) const;

    const SprFile::CSpriteRef& m_sprite;
    const CSpriteQueueItem& m_item;
    const CPieceGrid& m_grid;
    const CSpriteQueue::CParams* m_params;
    bool m_mirrorX = false, m_mirrorY = false, m_tiling = false;
    float m_sourceWidth = 0.0f, m_sourceHeight = 0.0f;
    float m_sine = 0.0f, m_cosine = 1.0f;  // of the angle, which every part keeps
    float m_m00 = 0.0f, m_m01 = 0.0f, m_m10 = 0.0f, m_m11 = 0.0f;
    float m_originX = 0.0f, m_originY = 0.0f;
    int32_t m_firstColumn = 0, m_firstRow = 0;  // tile index of the first tile
};

void CQuadSplitter::Run() {
    const CSpriteQueueItem& r = m_item;
    m_mirrorX = (r.flags & SPRITE_MIRROR_X) != 0;
    m_mirrorY = (r.flags & SPRITE_MIRROR_Y) != 0;
    const bool windowed = r.sourceWidth >= 0.0f;
    m_sourceWidth = windowed ? r.sourceWidth : m_grid.width;
    m_sourceHeight = windowed ? r.sourceHeight : m_grid.height;

    m_sine = std::sin(r.angle);
    m_cosine = std::cos(r.angle);
    const float sn = m_sine, cs = m_cosine;
    m_m00 = cs * r.scaleX;
    m_m01 = -sn * r.scaleY;
    m_m10 = sn * r.scaleX;
    m_m11 = cs * r.scaleY;
    m_originX = r.x + r.pivotX;
    m_originY = r.y + r.pivotY;
    if (m_mirrorX) {
        m_m00 = -m_m00;
        m_m10 = -m_m10;
        m_originX = r.x - r.pivotX;
    }
    if (m_mirrorY) {
        m_m01 = -m_m01;
        m_m11 = -m_m11;
        m_originY = r.y - r.pivotY;
    }

    int32_t columns = 1, rows = 1;
    m_tiling = windowed && (r.flags & (SPRITE_TILE_FLAT | SPRITE_TILE));
    if (m_tiling && (!TileRange(r.sourceX, r.sourceWidth, m_grid.width, m_firstColumn, columns) ||
                     !TileRange(r.sourceY, r.sourceHeight, m_grid.height, m_firstRow, rows)))
        return;

    float startY = 0.0f;
    if (r.centred)
        startY = -m_sourceHeight * 0.5f;
    else if (m_mirrorY)
        startY = -m_sourceHeight;
    startY -= r.pivotY / r.scaleY;
    if (!m_tiling && r.sourceY < 0.0f) startY -= r.sourceY;

    for (int32_t row = 0; row < rows; ++row) {
        const CWindow windowY = TileWindow(m_tiling, row, rows, m_firstRow, r.sourceY, r.sourceHeight, m_grid.height);
        float tileStartX = 0.0f;
        for (int32_t column = 0; column < columns; ++column) {
            const CWindow windowX =
                TileWindow(m_tiling, column, columns, m_firstColumn, r.sourceX, r.sourceWidth, m_grid.width);
            DrawTile(column, row, windowX, windowY, tileStartX, startY);
            tileStartX += windowX.size;
        }
        startY += windowY.size;
    }
}

float CQuadSplitter::RowStartX(float tileStart) const {
    float x = tileStart;
    if (!m_tiling && m_item.sourceX < 0.0f) x -= m_item.sourceX;
    if (m_item.centred)
        x -= m_sourceWidth * 0.5f;
    else if (m_mirrorX)
        x -= m_sourceWidth;
    return x - m_item.pivotX / m_item.scaleX;
}

void CQuadSplitter::DrawTile(int32_t column, int32_t row, const CWindow& windowX, const CWindow& windowY, float startX,
                             float startY) {
    if (m_grid.columns <= 0 || m_grid.rows <= 0) return;  // no cells, nothing shows
    const bool originTile = column == -m_firstColumn && row == -m_firstRow;
    const bool flat = m_tiling && (m_item.flags & SPRITE_TILE_FLAT) && !originTile;
    const bool windowed = windowX.size >= 0.0f;
    // A window shows few of many pieces: the layout finds them. Without a
    // window every piece is drawn; a whole texture is one piece at 0, 0.
    const SprFile::CTileLayout* layout = windowed && m_grid.frame ? m_grid.frame->GetTileLayout() : nullptr;
    const auto [firstRow, endRow] =
        layout ? layout->RowsShown(windowY.offset, windowY.size) : std::pair<size_t, size_t>{0, size_t(m_grid.rows)};
    float localY = startY;
    for (size_t pieceRow = firstRow; pieceRow < endRow; ++pieceRow) {
        const float rowsHeight = layout ? layout->RowStart(pieceRow) : 0.0f;  // heights of the piece rows above
        const auto [firstColumn, endColumn] = layout ? layout->ColumnsShown(pieceRow, windowX.offset, windowX.size)
                                                     : std::pair<size_t, size_t>{0, size_t(m_grid.columns)};
        float localX = RowStartX(startX);
        for (size_t pieceColumn = firstColumn; pieceColumn < endColumn; ++pieceColumn) {
            const int32_t index = int32_t(pieceRow) * m_grid.columns + int32_t(pieceColumn);
            float pieceWidth = 0.0f, pieceHeight = 0.0f;
            m_grid.PieceSize(index, pieceWidth, pieceHeight);
            float anchorX = localX, anchorY = localY, visibleWidth = pieceWidth, visibleHeight = pieceHeight;
            float x0 = 0.0f, y0 = 0.0f;
            if (windowed) {
                // The widths of the pieces to the left.
                const float piecesWidth = layout ? layout->ColumnStart(pieceRow, pieceColumn) : 0.0f;
                visibleWidth = ShownExtent(windowX, piecesWidth, pieceWidth, x0);
                visibleHeight = ShownExtent(windowY, rowsHeight, pieceHeight, y0);
            }
            // The anchor is the part's top-left, its centre for a centred
            // record, its far edge along a mirrored axis.
            if (m_item.centred) {
                anchorX += visibleWidth * 0.5f;
                anchorY += visibleHeight * 0.5f;
            } else {
                if (m_mirrorX) anchorX += visibleWidth;
                if (m_mirrorY) anchorY += visibleHeight;
            }
            if (!windowed || (visibleWidth > 0.0f && visibleHeight > 0.0f))
                DrawPart({index, anchorX, anchorY, visibleWidth, visibleHeight, windowed, x0, y0}, flat);
            if (!windowed)
                localX += pieceWidth;
            else if (visibleWidth > 0.0f)
                localX += visibleWidth;
        }
        // The next row starts below the row's last piece.
        float lastWidth = 0.0f, lastHeight = 0.0f, lastY0 = 0.0f;
        m_grid.PieceSize(int32_t(pieceRow) * m_grid.columns + m_grid.columns - 1, lastWidth, lastHeight);
        if (!windowed) {
            localY += lastHeight;
        } else if (const float visibleHeight = ShownExtent(windowY, rowsHeight, lastHeight, lastY0);
                   visibleHeight > 0.0f) {
            localY += visibleHeight;
        }
    }
}

void CQuadSplitter::DrawPart(const CPartPlace& place, bool flat) {
    if (!m_params) {
        CQueuedSprite part(m_item);
        FillPart(part, place, flat);
        CSpriteQueue::DrawPart(part, nullptr);
        return;
    }
    // Made in its place in the queue: a part is too big to build and move.
    if (CQueuedSprite* part = CSpriteQueue::AppendPart(*m_params, m_item)) FillPart(*part, place, flat);
}

void CQuadSplitter::FillPart(CQueuedSprite& part, const CPartPlace& place, bool flat) const {
    CSpriteQueueItem& item = part.item;
    item.piece = place.piece;
    if (place.windowed) {
        item.sourceX = place.sourceX;
        item.sourceY = place.sourceY;
        item.sourceWidth = place.visibleWidth;
        item.sourceHeight = place.visibleHeight;
    }
    item.pivotX = item.pivotY = 0.0f;
    item.x = m_originX + m_m00 * place.anchorX + m_m01 * place.anchorY;
    item.y = m_originY + m_m10 * place.anchorX + m_m11 * place.anchorY;
    if (flat) {
        item.sprite = &CSpriteQueue::GetEmptySprite();
        item.texture = nullptr;
        item.scaleX = place.visibleWidth * m_item.scaleX;
        item.scaleY = place.visibleHeight * m_item.scaleY;
        item.sourceX = item.sourceY = 0.0f;
        item.sourceWidth = item.sourceHeight = -1.0f;
        part.source = {};
    } else if (item.sprite == &m_sprite) {
        part.source = FindPieceSource(m_sprite, m_grid.frame, item.piece);
    } else {
        part.source = FindSpriteSource(item);
    }
    part.SetRotation(m_sine, m_cosine);
}

} // namespace

void CSpriteQueue::BuildQuads(const SprFile::CSpriteRef& sprite, const CSpriteQueueItem& item, const CParams* params) {
    // A record of no size is invisible; its pivot cannot be scaled back.
    if (item.scaleX == 0.0f || item.scaleY == 0.0f) return;
    CPieceGrid grid;
    if (!FindPieceGrid(sprite, item, grid)) return;
    CQuadSplitter(sprite, item, grid, params).Run();
}

} // namespace Engine::Graphics
