// The update pass of the dirty-rectangle path: compare this frame's
// buffered quads with last frame's, mark the cells of every difference, and
// redraw this frame's quads where marked, cut to the dirty rectangles.

#include <algorithm>
#include <cmath>

#include "app/Application.h"
#include "app/FrameQuitWatch.h"
#include "graphics/Graphics.h"
#include "graphics/SpriteQueue.h"

namespace Engine::Graphics {

namespace {

CellRect CellsOf(const CDirtyRects& grid, const CBufferedSprite& record) {
    const CQuadBounds box = BoundingBoxOfQuad(record);
    return grid.ToCells(box.left, box.right, box.top, box.bottom);
}

// Marks the cells of every record of one container that the other lacks;
// false when a quit stopped the frame on the way.
bool MarkMissing(CDirtyRects& grid, const CBufferedSpritesContainer& from, const CBufferedSpritesContainer& other,
                 Engine::CQuitCountdown& countdown) {
    for (const CBufferedSprite& record : from.GetRecords()) {
        if (countdown.Count(1)) return false;
        if (other.Contains(record)) continue;
        CellRect cells = CellsOf(grid, record);
        if (grid.ClipCells(cells)) grid.MarkCells(cells);
    }
    return true;
}

bool HasFinitePositions(const CBufferedSprite& record) {
    return std::all_of(std::begin(record.block.vertices), std::end(record.block.vertices),
                       [](const SpriteVertex& v) { return std::isfinite(v.x) && std::isfinite(v.y); });
}

// Writes the vertices at the start of the buffer; false when it cannot.
bool Upload(CVertexBuffer& buffer, const SpriteVertex* vertices, int32_t count) {
    if (buffer.GetCount() < count || buffer.GetVertexSize() != int32_t(sizeof(SpriteVertex))) return false;
    void* memory = buffer.Lock();
    if (!memory) return false;
    std::copy_n(vertices, count, static_cast<SpriteVertex*>(memory));
    buffer.Unlock();
    return true;
}

uint32_t PackChannel(float value) {
    if (value >= 1.0f) return 255;
    if (!(value > 0.0f)) return 0;
    return uint32_t(value * 255.0f + 0.5f);
}

} // namespace

uint32_t PackColorARGB(float r, float g, float b, float a) {
    return PackChannel(a) << 24 | PackChannel(r) << 16 | PackChannel(g) << 8 | PackChannel(b);
}

// Every quad of both frames costs a look-up and cell marks, every marked one
// a clip and a draw per dirty rectangle: with a full pool of particles that
// takes long, so the pass looks for a pending quit as it goes and drops the
// rest of its work when one stops the frame.
void CGraphics::UpdateDirtyRects(const CBufferedSpritesContainer& current, const CBufferedSpritesContainer& last) {
    if (!m_pDirtyRects) return;
    CDirtyRects& grid = *m_pDirtyRects;
    const ref_ptr<CVertexBuffer> buffer = CSpriteQueue::GetVertexBuffer();
    Engine::CApplication* application = GetApplication();
    Engine::CQuitCountdown countdown(application ? &application->GetQuitWatch() : nullptr);
    if (countdown.IsStopped()) return;
    grid.ClearMarks();
    if (!MarkMissing(grid, last, current, countdown) || !MarkMissing(grid, current, last, countdown)) return;
    if (!buffer) return;
    for (const CBufferedSprite& record : current.GetRecords()) {
        if (countdown.Count(1)) return;
        CellRect cells = CellsOf(grid, record);
        if (!grid.ClipCells(cells) || !grid.AnyMarked(cells)) continue;
        // A quad with a position at infinity (or NaN) still marks what it
        // covers, but there is nothing of it to draw.
        if (!HasFinitePositions(record)) continue;
        m_redrawRects.clear();
        grid.ExtractRects(cells, m_redrawRects);
        if (m_redrawRects.empty()) continue;
        gSetBlendFunc(record.block.blendSource, record.block.blendDestination);
        gSwitch(SWITCH_ALPHA_BLEND, (record.block.alphaBlend & 0xFFu) != 0);
        gSetTextureStage(0, record.texture);
        const SpriteVertex* quad = record.block.vertices;
        const bool upright = CQuadClipper::IsUpright(quad);
        for (const PixelRect& rect : m_redrawRects) {
            if (countdown.Count(1)) return;
            if (upright) {
                SpriteVertex clipped[4];
                if (CQuadClipper::ClipUpright(quad, rect, clipped) && Upload(*buffer, clipped, 4))
                    gDraw(PRIM_QUAD_LIST, buffer, 0, 1, nullptr);
                continue;
            }
            SpriteVertex triangles[CQuadClipper::MAX_TRIANGLES * 3];
            const int count = m_clipper.ClipTriangles(quad, rect, triangles);
            if (count > 0 && Upload(*buffer, triangles, 3 * count))
                gDraw(PRIM_TRIANGLE_LIST, buffer, 0, count, nullptr);
        }
    }
}

} // namespace Engine::Graphics
