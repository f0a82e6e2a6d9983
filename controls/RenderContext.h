#pragma once
// The drawing context every control's Draw receives: the driver, the text
// state and sprite-queue parameters, the current origin and clip of the
// control being drawn, and a stack of saved origins and clips.

#include <cstdint>
#include <vector>

#include "app/Geometry.h"
#include "app/Referenced.h"
#include "graphics/DrawContext.h"

namespace Engine::Graphics {
class CGraphics;
}

namespace Engine::Controls {

class CBaseControl;

class CRenderContext {
public:
    // Origin (0, 0), clip the given screen rectangle.
    CRenderContext(Graphics::CGraphics* graphics, const Geometry::CRect& clip);

    Graphics::CGraphics* GetGraphics() const { return m_pGraphics; }
    Graphics::CDrawContext& GetText() { return m_text; }
    const Graphics::CSpriteQueue::CParams& GetParams() const { return m_text.m_params; }

    // Screen position of the current drawing origin; the clip is kept in
    // screen coordinates.
    const Geometry::CPoint& GetOrigin() const { return m_origin; }
    const Geometry::CRect& GetClip() const { return m_clip; }
    bool IsClipActive() const { return m_bClipActive; }
    void SetOrigin(const Geometry::CPoint& origin) { m_origin = origin; }
    void SetClip(const Geometry::CRect& clip) { m_clip = clip; m_bClipActive = true; }
    // Copies the origin and clip into the queue parameters (the clip
    // relative to the origin, as the queue applies it).
    void ApplyOrigin();

    // Saves origin and clip, moves the origin by (dx, dy) and narrows the
    // clip to the rectangle given relative to the new origin.
    void PushClipRect(int32_t dx, int32_t dy, int32_t left, int32_t top, int32_t right, int32_t bottom);
    // False when nothing is saved.
    bool PopClipRect();

    // One untextured quad relative to the origin, in one colour.
    void FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t color);
    void Flush();
    void FlushIfPending();
    // Blending on around sprites and glyphs, off after them.
    void EnableRenderSwitch3();
    void DisableRenderSwitch3();
    void SetBlendFunc5(int value);

    // Drawing of selected subtrees: only controls inside the first are
    // drawn themselves, none inside the second.
    Engine::ref_ptr<CBaseControl> m_pOnlyInside;
    Engine::ref_ptr<CBaseControl> m_pLeftOut;

private:
    struct CSaved {
        Geometry::CPoint origin;
        Geometry::CRect clip;
        bool clipActive;
    };

    Graphics::CGraphics* m_pGraphics;
    Graphics::CDrawContext m_text;
    Geometry::CPoint m_origin;
    Geometry::CRect m_clip;
    bool m_bClipActive = false;
    std::vector<CSaved> m_stack;
};

// Intersection of two rectangles; empty (right <= left) when they miss.
Geometry::CRect IntersectRect(const Geometry::CRect& a, const Geometry::CRect& b);

// Queues one quad with the caption bar's gradient, dark on the left.
void QueueCaptionQuad(CRenderContext& context, int32_t x, int32_t y, int32_t width, int32_t height);

} // namespace Engine::Controls
