#pragma once
// Taking a full-screen window off an X display before SDL hides it.

#include <SDL.h>

namespace Platform {

// Unmaps a window shown on an X display; false for any other video driver
// or a window already unmapped. SDL leaves full screen before it unmaps a
// window and, while the window is mapped, waits up to 100 ms for the window
// manager to move and resize it. A window the same size in both modes is
// never resized, so without this every hide out of full screen waits the
// whole 100 ms; an unmapped window leaves full screen with no wait.
bool WithdrawFromXDisplay(SDL_Window* window);

} // namespace Platform
