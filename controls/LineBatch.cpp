#include "controls/LineBatch.h"

#include <cstring>

#include "controls/RenderContext.h"
#include "graphics/Graphics.h"
#include "graphics/GraphicsTypes.h"

namespace Engine::Controls {

namespace {

using Graphics::CScratchPoint;

// Moves a (outside the edge) along the segment onto the edge.
void ClipEnd(CScratchPoint& a, const CScratchPoint& b, float edge, bool alongX) {
    const float from = alongX ? a.x : a.y, to = alongX ? b.x : b.y;
    const float t = (edge - from) / (to - from);
    if (alongX) {
        a.y += (b.y - a.y) * t;
        a.x = edge;
    } else {
        a.x += (b.x - a.x) * t;
        a.y = edge;
    }
}

// False when the segment lies wholly outside the box.
bool ClipSegment(CScratchPoint& a, CScratchPoint& b, float left, float top, float right, float bottom) {
    for (const bool alongX : {true, false}) {
        const float lo = alongX ? left : top, hi = alongX ? right : bottom;
        const auto at = [alongX](const CScratchPoint& p) { return alongX ? p.x : p.y; };
        if ((at(a) < lo && at(b) < lo) || (at(a) > hi && at(b) > hi)) return false;
        if (at(a) < lo) ClipEnd(a, b, lo, alongX);
        if (at(b) < lo) ClipEnd(b, a, lo, alongX);
        if (at(a) > hi) ClipEnd(a, b, hi, alongX);
        if (at(b) > hi) ClipEnd(b, a, hi, alongX);
    }
    return true;
}

CLineBatch* g_pCurrent = nullptr;

} // namespace

CLineBatch::CLineBatch(CRenderContext& context)
    : m_context(context), m_pReplaced(g_pCurrent), m_originX(float(context.GetOrigin().x)),
      m_originY(float(context.GetOrigin().y)) {
    g_pCurrent = this;
}

CLineBatch::~CLineBatch() {
    g_pCurrent = m_pReplaced;
    Flush();
}

CLineBatch* CLineBatch::GetCurrent() { return g_pCurrent; }

void CLineBatch::Emit(const CScratchPoint& to) {
    m_points.push_back(m_last);
    m_points.push_back(to);
    const int32_t capacity = Graphics::GetPointCapacity();
    if (capacity > 0 && int32_t(m_points.size()) + 2 > capacity) Flush();
}

void CLineBatch::Vertex(float x, float y, float z) {
    const CScratchPoint point{x + m_originX, y + m_originY, z, kColor};
    const bool first = m_index == 0;
    switch (m_mode) {
    case MODE_LOOP:
    case MODE_STRIP:
        if (first) m_first = point;
        else Emit(point);
        m_last = point;
        break;
    case MODE_LINES:
        if (m_index % 2 == 1) Emit(point);
        m_last = point;
        break;
    default: break;
    }
    ++m_index;
}

void CLineBatch::End() {
    if (m_mode == MODE_LOOP && m_index > 0) Emit(m_first);
    m_mode = MODE_NONE;
    m_index = 0;
}

void CLineBatch::Flush() {
    std::vector<CScratchPoint> points;
    points.swap(m_points);
    const Geometry::CRect clip = m_context.GetClip();
    std::vector<CScratchPoint> kept;
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        CScratchPoint a = points[i], b = points[i + 1];
        if (!m_context.IsClipActive() ||
            ClipSegment(a, b, float(clip.left), float(clip.top), float(clip.right), float(clip.bottom))) {
            kept.push_back(a);
            kept.push_back(b);
        }
    }
    Graphics::CGraphics* graphics = m_context.GetGraphics();
    const auto buffer = Graphics::GetTransformedPointBuffer();
    if (kept.empty() || !graphics || !buffer) return;
    const int32_t count = std::min(int32_t(kept.size()), buffer->GetCount()) & ~1;
    auto* target = static_cast<uint8_t*>(buffer->Lock());
    if (!target) return;
    for (int32_t i = 0; i < count; ++i) {
        const float vertex[4] = {kept[size_t(i)].x, kept[size_t(i)].y, kept[size_t(i)].z, 1.0f};
        uint8_t* out = target + size_t(i) * Graphics::PRIMITIVE_VERTEX_SIZE;
        std::memcpy(out, vertex, sizeof vertex);
        std::memcpy(out + sizeof vertex, &kept[size_t(i)].color, sizeof(uint32_t));
    }
    buffer->Unlock();
    graphics->gDraw(Graphics::PRIM_LINE_LIST, buffer, 0, count / 2, nullptr);
}

} // namespace Engine::Controls
