#pragma once
// The engine's standard look: a grey 3-D style of solid quads and symbol-font
// glyphs, in the colours of the manager's scheme.

#include "controls/ControlsDrawing.h"

namespace Engine::Controls {

class CControlsManager;

class CStdControlsDrawing : public CControlsDrawing {
public:
    explicit CStdControlsDrawing(CControlsManager* owner) : m_pOwner(owner) {}

    void DrawEdge(CRenderContext& context, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t edgeType,
                  uint32_t flags) override;
    void DrawCaption(CRenderContext& context, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     bool active) override;
    void DrawButton(CRenderContext& context, int32_t left, int32_t top, int32_t right, int32_t bottom,
                    bool pressed) override;
    void DrawFrame(CRenderContext& context, int32_t left, int32_t top, int32_t right, int32_t bottom,
                   bool sunken) override;
    void DrawFrameControl(CRenderContext* context, Geometry::CRect& rect, int type, uint32_t state) override;

private:
    // The eight lines shared by push buttons and frames.
    void DrawBevel(CRenderContext& context, const Geometry::CRect& r, const uint32_t colors[4]);
    void DrawGlyph(CRenderContext& context, char16_t glyph, int32_t x, int32_t y, uint32_t color);
    // Glyph box of a symbol-font character: frame width plus paddings (0
    // without the glyph), font height (10 without a font).
    Geometry::CPoint GlyphBox(char16_t glyph) const;

    CControlsManager* m_pOwner;
};

} // namespace Engine::Controls
