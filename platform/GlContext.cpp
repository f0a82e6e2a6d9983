#include "platform/GlContext.h"

#include "platform/Detail.h"
#include "platform/SdlBridge.h"

namespace Platform::Gl {

CGlContext::~CGlContext() {
    if (!m_context) return;
    if (SDL_GL_GetCurrentContext() == m_context) SDL_GL_MakeCurrent(m_window, nullptr);
    SDL_GL_DeleteContext(m_context);
}

bool CGlContext::Create(HWND window) {
    SDL_Window* sdl = GetSdlWindow(window);
    if (!sdl || !(SDL_GetWindowFlags(sdl) & SDL_WINDOW_OPENGL)) return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
    m_context = SDL_GL_CreateContext(sdl);
    if (!m_context) return false;
    m_window = sdl;
    return true;
}

void CGlContext::MakeCurrent() const {
    if (m_context && SDL_GL_GetCurrentContext() != m_context) SDL_GL_MakeCurrent(m_window, m_context);
}

void CGlContext::GetDrawableSize(int& width, int& height) const { SDL_GL_GetDrawableSize(m_window, &width, &height); }

void CGlContext::Swap() const { Detail::SwapGlWindow(m_window); }

void CGlContext::SetSwapInterval(int interval) {
    MakeCurrent();
    // Only changes reach the driver: some stall on every call.
    if (!m_context || interval == m_swapInterval) return;
    m_swapInterval = interval;
    Detail::SetGlSwapInterval(interval);
}

} // namespace Platform::Gl
