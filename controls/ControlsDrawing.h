#pragma once
// The drawing interface of the controls: every 3-D edge, caption bar,
// push-button body, frame and frame glyph of the widgets goes through it.

#include <cstdint>

#include "app/Geometry.h"

namespace Engine::Controls {

class CRenderContext;

class CControlsDrawing {
public:
    // State bits of DrawFrameControl.
    enum CFrameControlDrawingFlags : uint32_t {
        C_DFCS_CAPTIONCLOSE = 0x0000,
        C_DFCS_BUTTONRADIO = 0x0004,
        C_DFCS_INACTIVE = 0x0100,
        C_DFCS_PUSHED = 0x0200,
        C_DFCS_CHECKED = 0x0400,
        C_DFCS_TRANSPARENT = 0x0800,
        C_DFCS_ADJUSTRECT = 0x2000,
        C_DFCS_FLAT = 0x4000,
        C_DFCS_MONO = 0x8000,
    };
    // Types of DrawFrameControl.
    enum CFrameControlType : int { DFC_CAPTION = 1, DFC_SCROLL = 3, DFC_BUTTON = 4 };
    // Edge-type bits and flags of DrawEdge.
    enum CEdgeBits : uint32_t {
        EDGE_RAISED_OUTER = 0x1,
        EDGE_SUNKEN_OUTER = 0x2,
        EDGE_RAISED_INNER = 0x4,
        EDGE_SUNKEN_INNER = 0x8,
        EDGE_LEFT = 0x1,
        EDGE_TOP = 0x2,
        EDGE_RIGHT = 0x4,
        EDGE_BOTTOM = 0x8,
        EDGE_ALL_SIDES = 0xF,
        EDGE_MIDDLE = 0x800,
        EDGE_SOFT = 0x1000,
        EDGE_NO_FLUSH = 0x2000,
        EDGE_FLAT = 0x4000,
        EDGE_MONO = 0x8000,
    };

    virtual ~CControlsDrawing() = default;
    virtual void DrawEdge(CRenderContext& context, int32_t left, int32_t top, int32_t right, int32_t bottom,
                          uint32_t edgeType, uint32_t flags) = 0;
    // Fills the rectangle with the caption bar's gradient.
    virtual void DrawCaption(CRenderContext& context, int32_t left, int32_t top, int32_t right, int32_t bottom,
                             bool active) = 0;
    virtual void DrawButton(CRenderContext& context, int32_t left, int32_t top, int32_t right, int32_t bottom,
                            bool pressed) = 0;
    // A two-pixel 3-D frame, no fill.
    virtual void DrawFrame(CRenderContext& context, int32_t left, int32_t top, int32_t right, int32_t bottom,
                           bool sunken) = 0;
    // With C_DFCS_ADJUSTRECT the rectangle receives the glyph box's size and
    // nothing is drawn (the context may then be null).
    virtual void DrawFrameControl(CRenderContext* context, Geometry::CRect& rect, int type, uint32_t state) = 0;
};

} // namespace Engine::Controls
