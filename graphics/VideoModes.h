#pragma once
// Fitting a requested mode to the display: aspect ratio, pillar-boxing and
// the choice of depth and refresh among the display's modes.

#include <functional>
#include <vector>

#include "graphics/GraphicsTypes.h"

namespace Engine::Graphics {

// Divides both by their greatest common divisor; zero sizes stay unchanged.
void ReduceAspectRatio(int32_t& width, int32_t& height);

// Sets the screen size, aspect and content rectangle for the request; a
// Direct3D full-screen request on a wider desktop is pillar-boxed.
void FitDisplayAspect(const CVideoMode& desktop, CGraphicsParams& params, bool isDirect3D);

// Adjusts params to a mode the display supports. The hook (may be empty)
// lets the application change the parameters after the aspect fit. Throws
// CException when a full-screen size is unsupported and cannot be a window.
void AdjustVideoMode(const std::vector<CVideoMode>& modes, const CVideoMode& desktop, CGraphicsParams& params,
                     bool isDirect3D, const std::function<void(CGraphicsParams&)>& hook);

// Client point to back-buffer coordinates through the content rectangle.
void WindowToScreen(const CGraphicsParams& params, int32_t& x, int32_t& y);


} // namespace Engine::Graphics
