#pragma once
// The full-screen display mode a driver switches to for its parameters.

#include "graphics/GraphicsTypes.h"
#include "platform/Display.h"

namespace Engine::Graphics {

// Among the display's modes of the parameters' screen size and the given
// depth: the first, replaced by a faster one as long as it stays within the
// refresh rate asked for (any rate when none is asked). False when the
// display has no such mode; `chosen` is then left as it was.
bool FindFullScreenMode(const CGraphicsParams& params, DWORD bitsPerPixel, DEVMODE& chosen);

} // namespace Engine::Graphics
