#pragma once
// The local video memory as DirectDraw reports it, which the drivers log
// and keep in the application's video-memory record.

#include "graphics/Graphics.h"
#include "platform/DirectDraw7.h"

namespace Engine::Graphics {

// Asks the DirectDraw object for its local video memory; on success hands
// total and free to the driver's record and logs them with the two
// formats (each takes one %d). False when DirectDraw cannot tell.
bool MeasureLocalVideoMemory(CGraphics& driver, IDirectDraw7* directDraw, const char* totalLine, const char* freeLine);

} // namespace Engine::Graphics
