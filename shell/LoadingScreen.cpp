#include "shell/LoadingScreen.h"

#include <algorithm>

#include "app/Math.h"
#include "graphics/Graphics.h"

namespace Engine {

namespace {

using Graphics::SpriteVertex;

constexpr int kQuads = 2;  // the frame and the filled part

uint32_t DriverColor(Graphics::CGraphics& graphics, float r, float g, float b) {
    const uint32_t rgba = PackColorRGBA(r, g, b, 1.0f);
    // The other byte order has blue in the low byte.
    return graphics.IsColorRGBA() ? rgba : SwapColorRedBlue(rgba);
}

void WriteQuad(SpriteVertex* v, float left, float top, float right, float bottom, uint32_t color, float dx, float dy) {
    const float xs[4] = {left, right, right, left};
    const float ys[4] = {top, top, bottom, bottom};
    for (int i = 0; i < 4; ++i) v[i] = SpriteVertex{xs[i] + dx, ys[i] + dy, 0.0f, 1.0f, color, 0.0f, 0.0f};
}

} // namespace

void CLoadingScreen::Draw(Graphics::CGraphics& graphics, int current, int total) {
    if (total <= 0) return;
    if (!m_vertices) {
        graphics.CreateVertexBuffer(m_vertices, kQuads * 4, int(sizeof(SpriteVertex)), Graphics::VF_SPRITE, true);
        if (!m_vertices) return;
    }
    auto* vertices = static_cast<SpriteVertex*>(m_vertices->Lock());
    if (!vertices) return;  // lost with the device; drawn again once restored
    const float progress = std::clamp(float(current) / float(total), 0.0f, 1.0f);
    float dx = 0.0f, dy = 0.0f;
    graphics.GetBufferOffset(&dx, &dy);
    WriteQuad(vertices, kLeft, kTop, kRight, kBottom, DriverColor(graphics, 0.25f, 0.25f, 0.25f), dx, dy);
    const float fillRight = kLeft + kBorder + (kRight - kLeft - 2 * kBorder) * progress;
    WriteQuad(vertices + 4, kLeft + kBorder, kTop + kBorder, fillRight, kBottom - kBorder,
              DriverColor(graphics, 1.0f, 1.0f, 1.0f), dx, dy);
    m_vertices->Unlock();
    graphics.gSetTexture(0, nullptr);
    // Through the buffered path, so that the software driver's dirty
    // rectangles see the bar; other drivers draw it at once.
    graphics.BufferParticleQuads(0, m_vertices, kQuads, nullptr);
}

} // namespace Engine
