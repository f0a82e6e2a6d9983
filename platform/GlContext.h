#pragma once
// An OpenGL context on an OpenGL window, for the Direct3D stand-ins' core.

#include <SDL.h>

#include "platform/WinTypes.h"

namespace Platform::Gl {

// An OpenGL context on a window; made current before each use.
class CGlContext {
public:
    CGlContext() = default;
    CGlContext(const CGlContext&) = delete;
    CGlContext& operator=(const CGlContext&) = delete;
    ~CGlContext();
    // False when the window is no OpenGL window or GL refuses.
    bool Create(HWND window);
    void MakeCurrent() const;
    // The window's framebuffer size.
    void GetDrawableSize(int& width, int& height) const;
    void Swap() const;
    // The swap interval of the following swaps (0: immediate, 1: at the
    // retrace); makes the context current.
    void SetSwapInterval(int interval);

private:
    SDL_Window* m_window = nullptr;
    SDL_GLContext m_context = nullptr;
    int m_swapInterval = -1;  // as last set; -1 before
};

} // namespace Platform::Gl
