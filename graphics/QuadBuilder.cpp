// Turning queued records into screen-space quads: one record into four
// vertices, and a record of several pieces or tiles into one record per
// visible part.

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "app/Math.h"
#include "graphics/Graphics.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteRef.h"
#include "graphics/SpriteSource.h"

namespace Engine::Graphics {

namespace {

// Texture coordinates stop this far (in texels) short of the piece edges so
// that filtering never reaches the neighbouring piece.
constexpr float TEXEL_INSET = 0.01f;

struct CQuadSource {
    float textureWidth = 1.0f;  // never 0: coordinates divide by it
    float textureHeight = 1.0f;
    float width = 1.0f;  // drawn part, in texels
    float height = 1.0f;
    float baseU = 0.0f;
    float baseV = 0.0f;
};

CQuadSource QuadSource(const CSpriteQueueItem& item, const SprFile::TextureRegion* piece) {
    int32_t width = 1, height = 1;
    if (piece) {
        width = piece->textureWidth;
        height = piece->textureHeight;
    } else if (item.texture) {
        item.texture->GetSize(width, height);
    }
    CQuadSource source;
    source.textureWidth = float(std::max(width, 1));
    source.textureHeight = float(std::max(height, 1));
    if (piece) {
        source.width = float(piece->right - piece->left);
        source.height = float(piece->bottom - piece->top);
        source.baseU = piece->uLeft;
        source.baseV = piece->vTop;
    } else {
        source.width = source.textureWidth;
        source.height = source.textureHeight;
    }
    if (item.sourceWidth >= 0.0f && item.sourceHeight >= 0.0f) {
        source.width = item.sourceWidth;
        source.height = item.sourceHeight;
    }
    if (item.sourceX != 0.0f || item.sourceY != 0.0f) {
        source.baseU += item.sourceX / source.textureWidth;
        source.baseV += item.sourceY / source.textureHeight;
    }
    return source;
}

void SetTextureCoordinates(CGraphics& driver, const CSpriteQueueItem& item, const CQuadSource& source,
                           SpriteVertex vertices[4]) {
    const float w = source.textureWidth, h = source.textureHeight;
    float left = source.baseU + TEXEL_INSET / w;
    float right = source.baseU + source.width / w - TEXEL_INSET / w;
    float top = source.baseV + TEXEL_INSET / h;
    float bottom = source.baseV + source.height / h - TEXEL_INSET / h;
    if (item.flags & SPRITE_MIRROR_X) std::swap(left, right);
    if (item.flags & SPRITE_MIRROR_Y) std::swap(top, bottom);
    const float u[4] = {left, right, right, left};
    const float v[4] = {top, top, bottom, bottom};
    float offsetU = 0.0f, offsetV = 0.0f;
    driver.GetTextureOffset(&offsetU, &offsetV);
    const bool offset = offsetU != 0.0f || offsetV != 0.0f;
    for (int i = 0; i < 4; ++i) {
        vertices[i].u = offset ? u[i] + offsetU / w : u[i];
        vertices[i].v = offset ? v[i] + offsetV / h : v[i];
    }
}

void SetColors(CGraphics& driver, const CSpriteQueueItem& item, SpriteVertex vertices[4]) {
    const int corners[4] = {CORNER_TOP_LEFT, CORNER_TOP_RIGHT, CORNER_BOTTOM_RIGHT, CORNER_BOTTOM_LEFT};
    const bool rgba = driver.IsColorRGBA();
    for (int i = 0; i < 4; ++i) {
        const uint32_t color = item.colors[corners[i]];
        vertices[i].color = rgba ? color : SwapColorRedBlue(color);
    }
}

void SetPositions(const CSpriteQueueItem& item, const CQuadSource& source, SpriteVertex vertices[4]) {
    const float halfX = source.width * 0.5f * item.scaleX;
    const float halfY = source.height * 0.5f * item.scaleY;
    float corners[4][2];
    if (item.angle == 0.0f) {
        float left = item.x, top = item.y, right, bottom;
        if (item.centred) {
            left = item.x - halfX;
            top = item.y - halfY;
            right = item.x + halfX;
            bottom = item.y + halfY;
        } else {
            right = item.x + source.width * item.scaleX;
            bottom = item.y + source.height * item.scaleY;
        }
        const float fixed[4][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
        std::copy(&fixed[0][0], &fixed[0][0] + 8, &corners[0][0]);
    } else {
        // (x, y) is the centre; the quad turns about the pivot.
        const float sn = std::sin(item.angle), cs = std::cos(item.angle);
        const float centreX = item.x + item.pivotX - (cs * item.pivotX - sn * item.pivotY);
        const float centreY = item.y + item.pivotY - (sn * item.pivotX + cs * item.pivotY);
        const float offsets[4][2] = {{-halfX, -halfY}, {halfX, -halfY}, {halfX, halfY}, {-halfX, halfY}};
        for (int i = 0; i < 4; ++i) {
            corners[i][0] = centreX + (cs * offsets[i][0] - sn * offsets[i][1]);
            corners[i][1] = centreY + (sn * offsets[i][0] + cs * offsets[i][1]);
        }
    }
    for (int i = 0; i < 4; ++i) {
        vertices[i].x = corners[i][0];
        vertices[i].y = corners[i][1];
        vertices[i].z = 0.0f;
        vertices[i].rhw = 1.0f;
    }
}

// Cuts an axis-aligned quad to the record's clip rectangle, cutting the
// texture coordinates in proportion; false when nothing is left.
bool Clip(const CSpriteQueueItem& item, SpriteVertex vertices[4]) {
    float left = vertices[0].x, top = vertices[0].y, uLeft = vertices[0].u, vTop = vertices[0].v;
    float right = vertices[2].x, bottom = vertices[2].y, uRight = vertices[2].u, vBottom = vertices[2].v;
    const float clipRight = item.clipLeft + item.clipWidth;
    const float clipBottom = item.clipTop + item.clipHeight;
    if (clipRight < left || clipBottom < top || right < item.clipLeft || bottom < item.clipTop) return false;
    // A quad of no width or height has nothing to cut in proportion.
    const float ku = right != left ? (uRight - uLeft) / (right - left) : 0.0f;
    const float kv = bottom != top ? (vBottom - vTop) / (bottom - top) : 0.0f;
    if (left < item.clipLeft) {
        uLeft += ku * (item.clipLeft - left);
        left = item.clipLeft;
    }
    if (top < item.clipTop) {
        vTop += kv * (item.clipTop - top);
        top = item.clipTop;
    }
    if (right > clipRight) {
        uRight -= ku * (right - clipRight);
        right = clipRight;
    }
    if (bottom > clipBottom) {
        vBottom -= kv * (bottom - clipBottom);
        bottom = clipBottom;
    }
    const float corners[4][4] = {{left, top, uLeft, vTop},
                                 {right, top, uRight, vTop},
                                 {right, bottom, uRight, vBottom},
                                 {left, bottom, uLeft, vBottom}};
    for (int i = 0; i < 4; ++i) {
        vertices[i].x = corners[i][0];
        vertices[i].y = corners[i][1];
        vertices[i].u = corners[i][2];
        vertices[i].v = corners[i][3];
    }
    return true;
}

void Transform(CGraphics& driver, const CSpriteQueueItem& item, SpriteVertex vertices[4]) {
    float extraX = item.translateX, extraY = item.translateY;
    if (!driver.m_bTransform2DIdentity) {
        const float* t = driver.m_transform2D;
        for (int i = 0; i < 4; ++i) {
            const float x = vertices[i].x + item.translateX;
            const float y = vertices[i].y + item.translateY;
            vertices[i].x = t[0] * x + t[1] * y + t[2];
            vertices[i].y = t[3] * x + t[4] * y + t[5];
        }
        extraX = extraY = 0.0f;
    }
    float bufferX = 0.0f, bufferY = 0.0f;
    driver.GetBufferOffset(&bufferX, &bufferY);
    extraX += bufferX;
    extraY += bufferY;
    if (extraX == 0.0f && extraY == 0.0f) return;
    for (int i = 0; i < 4; ++i) {
        vertices[i].x += extraX;
        vertices[i].y += extraY;
    }
}

} // namespace

bool CSpriteQueue::EmitQuad(const CSpriteQueueItem& item, SpriteVertex vertices[4]) {
    CGraphics* driver = GetDriver();
    if (!driver) return false;
    const CSpriteSource found = FindSpriteSource(item);
    if (!found.drawable) return false;
    const CQuadSource source = QuadSource(item, found.piece);
    SetTextureCoordinates(*driver, item, source, vertices);
    SetColors(*driver, item, vertices);
    SetPositions(item, source, vertices);
    // Rotated quads are never clipped.
    if (item.angle == 0.0f && item.clipEnabled && !Clip(item, vertices)) return false;
    Transform(*driver, item, vertices);
    return true;
}

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
        const SprFile::TextureRegion& piece = frame->pieces[size_t(index)];
        pieceWidth = float(piece.right - piece.left);
        pieceHeight = float(piece.bottom - piece.top);
    }
};

// False when the record names a frame that does not exist or a grid with
// more cells than pieces.
bool FindPieceGrid(const SprFile::CSpriteRef& sprite, const CSpriteQueueItem& item, CPieceGrid& grid) {
    if (const SprFile::CSpriteDef* definition = sprite.GetDefinition()) {
        grid.frame = FindSpriteFrame(*definition, item.frame);
        if (!grid.frame) return false;
        if (uint64_t(grid.frame->x) * grid.frame->y > grid.frame->pieces.size()) return false;
        grid.columns = int32_t(grid.frame->x);
        grid.rows = int32_t(grid.frame->y);
        grid.width = float(grid.frame->width);
        grid.height = float(grid.frame->height);
        return true;
    }
    int32_t width = 0, height = 0;
    if (sprite.GetTemplate().texture) sprite.GetTemplate().texture->GetSize(width, height);
    grid.width = float(width);
    grid.height = float(height);
    return true;
}

// Splits one record; parts go to the queue (with params) or straight to the
// driver.
class CQuadSplitter {
public:
    CQuadSplitter(const CSpriteQueueItem& item, const CPieceGrid& grid, const CSpriteQueue::CParams* params)
        : m_item(item), m_grid(grid), m_params(params) {}

    void Run();

private:
    void DrawTile(int32_t column, int32_t row, const CWindow& windowX, const CWindow& windowY, float startX, float startY);
    void DrawPart(CSpriteQueueItem& part, float anchorX, float anchorY, bool flat, float visibleWidth, float visibleHeight);
    float RowStartX(float tileStart) const;

    const CSpriteQueueItem& m_item;
    const CPieceGrid& m_grid;
    const CSpriteQueue::CParams* m_params;
    bool m_mirrorX = false, m_mirrorY = false, m_tiling = false;
    float m_sourceWidth = 0.0f, m_sourceHeight = 0.0f;
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

    const float sn = std::sin(r.angle), cs = std::cos(r.angle);
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
    const bool originTile = column == -m_firstColumn && row == -m_firstRow;
    const bool flat = m_tiling && (m_item.flags & SPRITE_TILE_FLAT) && !originTile;
    const bool windowed = windowX.size >= 0.0f;
    float localY = startY;
    float rowsHeight = 0.0f;  // heights of the piece rows above
    for (int32_t pieceRow = 0; pieceRow < m_grid.rows; ++pieceRow) {
        float localX = RowStartX(startX);
        float piecesWidth = 0.0f;  // widths of the pieces to the left
        float pieceWidth = 0.0f, pieceHeight = 0.0f, visibleHeight = 0.0f;
        for (int32_t pieceColumn = 0; pieceColumn < m_grid.columns; ++pieceColumn) {
            const int32_t index = pieceRow * m_grid.columns + pieceColumn;
            m_grid.PieceSize(index, pieceWidth, pieceHeight);
            CSpriteQueueItem part = m_item;
            part.piece = index;
            float anchorX = localX, anchorY = localY, visibleWidth = pieceWidth;
            visibleHeight = pieceHeight;
            if (windowed) {
                float x0 = windowX.offset - piecesWidth, y0 = windowY.offset - rowsHeight;
                const float x1 = std::min(x0 + windowX.size, pieceWidth);
                const float y1 = std::min(y0 + windowY.size, pieceHeight);
                x0 = std::max(x0, 0.0f);
                y0 = std::max(y0, 0.0f);
                visibleWidth = x1 - x0;
                visibleHeight = y1 - y0;
                part.sourceX = x0;
                part.sourceY = y0;
                part.sourceWidth = visibleWidth;
                part.sourceHeight = visibleHeight;
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
                DrawPart(part, anchorX, anchorY, flat, visibleWidth, visibleHeight);
            if (!windowed)
                localX += pieceWidth;
            else if (visibleWidth > 0.0f)
                localX += visibleWidth;
            piecesWidth += pieceWidth;
        }
        if (!windowed)
            localY += pieceHeight;
        else if (visibleHeight > 0.0f)
            localY += visibleHeight;
        rowsHeight += pieceHeight;
    }
}

void CQuadSplitter::DrawPart(CSpriteQueueItem& part, float anchorX, float anchorY, bool flat, float visibleWidth,
                             float visibleHeight) {
    part.pivotX = part.pivotY = 0.0f;
    part.x = m_originX + m_m00 * anchorX + m_m01 * anchorY;
    part.y = m_originY + m_m10 * anchorX + m_m11 * anchorY;
    if (flat) {
        part.sprite = &CSpriteQueue::GetEmptySprite();
        part.texture = nullptr;
        part.scaleX = visibleWidth * m_item.scaleX;
        part.scaleY = visibleHeight * m_item.scaleY;
        part.sourceX = part.sourceY = 0.0f;
        part.sourceWidth = part.sourceHeight = -1.0f;
    }
    CSpriteQueue::DrawPart(part, m_params);
}

} // namespace

void CSpriteQueue::BuildQuads(const SprFile::CSpriteRef& sprite, const CSpriteQueueItem& item, const CParams* params) {
    // A record of no size is invisible; its pivot cannot be scaled back.
    if (item.scaleX == 0.0f || item.scaleY == 0.0f) return;
    CPieceGrid grid;
    if (!FindPieceGrid(sprite, item, grid)) return;
    CQuadSplitter(item, grid, params).Run();
}

} // namespace Engine::Graphics
