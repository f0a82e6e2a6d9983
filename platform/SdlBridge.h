#pragma once
// Where the platform layer meets SDL: for the layer's own sources, for the
// OpenGL context stand-in and for tests that inject SDL events.

#include <SDL.h>

#include <cstdint>
#include <memory>

#include "platform/WinTypes.h"

namespace Platform {

// Starts SDL's video subsystem once; false when there is no video driver.
bool EnsureSdlVideo();
// The SDL window behind a window handle, or null.
SDL_Window* GetSdlWindow(HWND window);
// The window handle of an SDL window id, or null.
HWND FindWindowBySdlId(Uint32 windowId);
// Takes every pending SDL event and turns it into queued window messages,
// key state and DirectInput state.
void PumpSdlEvents();

struct CSdlSurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using CSdlSurface = std::unique_ptr<SDL_Surface, CSdlSurfaceDeleter>;
// A surface over 32-bit ARGB pixels, which it does not copy (they must
// outlive it); null when SDL cannot make one.
CSdlSurface WrapArgbPixels(const uint32_t* pixels, int width, int height);

} // namespace Platform
