#include "platform/Wgl.h"

#include <map>
#include <string>

#include "platform/Detail.h"
#include "platform/SdlBridge.h"
#include "platform/Testing.h"

namespace {

using Platform::Testing::ConsumeFailure;
using Platform::Testing::Failure;

constexpr int kFormatCount = 1;
constexpr DWORD kKnownFlags =
    PFD_DOUBLEBUFFER | PFD_STEREO | PFD_DRAW_TO_WINDOW | PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL;

// What PrepareGlWindow asks SDL for.
PIXELFORMATDESCRIPTOR OfferedFormat() {
    PIXELFORMATDESCRIPTOR pfd;
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cRedBits = pfd.cGreenBits = pfd.cBlueBits = 8;
    pfd.cRedShift = 16;
    pfd.cGreenShift = 8;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

struct CContext {
    SDL_GLContext sdl = nullptr;
};

struct CWglState {
    std::map<uintptr_t, CContext> contexts;
    uintptr_t nextContext = 0x20000;
    // Window handles are never reused, so entries of destroyed windows are
    // only dead weight until the next reset.
    std::map<HWND, int> pixelFormats;
    std::map<GLenum, std::string> strings;
    std::map<GLenum, GLint> integers;
    bool swapControl = true;
    int swapInterval = -1;
};

CWglState& State() {
    static CWglState state;
    return state;
}

// The SDL window of a device context whose window is an OpenGL window.
SDL_Window* GlWindowOf(HDC dc) {
    SDL_Window* window = Platform::GetSdlWindow(WindowFromDC(dc));
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) ? window : nullptr;
}

CContext* FindContext(HGLRC context) {
    auto& contexts = State().contexts;
    const auto it = contexts.find(reinterpret_cast<uintptr_t>(context));
    return it == contexts.end() ? nullptr : &it->second;
}

BOOL SwapIntervalEXT(int interval) {
    return Platform::Detail::SetGlSwapInterval(interval) ? TRUE : FALSE;
}

} // namespace

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    if (!request || !GlWindowOf(dc) || ConsumeFailure(Failure::PixelFormat)) return 0;
    if (request->iPixelType != PFD_TYPE_RGBA) return 0;
    const DWORD missing = request->dwFlags & kKnownFlags & ~OfferedFormat().dwFlags;
    return missing ? 0 : 1;
}

int DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* description) {
    if (!GlWindowOf(dc) || format < 1 || format > kFormatCount) return 0;
    if (description && bytes >= sizeof *description) *description = OfferedFormat();
    return kFormatCount;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    if (!GlWindowOf(dc) || format < 1 || format > kFormatCount) return FALSE;
    auto [it, added] = State().pixelFormats.emplace(WindowFromDC(dc), format);
    return added || it->second == format ? TRUE : FALSE;
}

int GetPixelFormat(HDC dc) {
    if (!GlWindowOf(dc)) return 0;
    const auto& formats = State().pixelFormats;
    const auto it = formats.find(WindowFromDC(dc));
    return it == formats.end() ? 0 : it->second;
}

BOOL SwapBuffers(HDC dc) {
    SDL_Window* window = GlWindowOf(dc);
    if (!window || !GetPixelFormat(dc)) return FALSE;
    Platform::Detail::SwapGlWindow(window);
    return TRUE;
}

HGLRC wglCreateContext(HDC dc) {
    SDL_Window* window = GlWindowOf(dc);
    if (!window || !GetPixelFormat(dc) || ConsumeFailure(Failure::GlContext)) return nullptr;
    // A legacy-compatible context: the engine draws with fixed-function GL.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GLContext created = SDL_GL_CreateContext(window);
    // SDL makes the new context current; WGL leaves the current one alone.
    if (previous)
        SDL_GL_MakeCurrent(previousWindow, previous);
    else
        SDL_GL_MakeCurrent(window, nullptr);
    if (!created) return nullptr;
    CWglState& state = State();
    const uintptr_t handle = state.nextContext;
    state.nextContext += 2;
    state.contexts[handle].sdl = created;
    return reinterpret_cast<HGLRC>(handle);
}

BOOL wglDeleteContext(HGLRC context) {
    CContext* found = FindContext(context);
    if (!found) return FALSE;
    if (SDL_GL_GetCurrentContext() == found->sdl) SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
    SDL_GL_DeleteContext(found->sdl);
    State().contexts.erase(reinterpret_cast<uintptr_t>(context));
    return TRUE;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
    if (!context) {
        SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
        return TRUE;
    }
    CContext* found = FindContext(context);
    SDL_Window* window = GlWindowOf(dc);
    if (!found || !window || !GetPixelFormat(dc) || ConsumeFailure(Failure::GlMakeCurrent)) return FALSE;
    return SDL_GL_MakeCurrent(window, found->sdl) == 0 ? TRUE : FALSE;
}

PROC wglGetProcAddress(const char* name) {
    if (!name) return nullptr;
    if (std::string(name) == "wglSwapIntervalEXT")
        return State().swapControl ? reinterpret_cast<PROC>(&SwapIntervalEXT) : nullptr;
    if (!SDL_GL_GetCurrentContext()) return nullptr;
    return reinterpret_cast<PROC>(SDL_GL_GetProcAddress(name));
}

namespace Platform {

const GLubyte* GetGlString(GLenum name) {
    const auto& strings = State().strings;
    const auto it = strings.find(name);
    if (it != strings.end()) return reinterpret_cast<const GLubyte*>(it->second.c_str());
    return (glGetString)(name);
}

void GetGlIntegers(GLenum name, GLint* values) {
    const auto& integers = State().integers;
    if (const auto it = integers.find(name); it != integers.end()) {
        *values = it->second;
        return;
    }
    (glGetIntegerv)(name, values);
}

} // namespace Platform

namespace Platform::Detail {

bool SetGlSwapInterval(int interval) {
    State().swapInterval = interval;
    return SDL_GL_SetSwapInterval(interval) == 0;
}

void PrepareGlWindow() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    // No alpha: a compositor would show a window with alpha as translucent.
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

void ResetWgl() {
    CWglState& state = State();
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GL_GetCurrentContext()) SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
    for (auto& [handle, context] : state.contexts) SDL_GL_DeleteContext(context.sdl);
    // Handles stay unique across resets, so a stale one is refused.
    const uintptr_t next = state.nextContext;
    state = CWglState{};
    state.nextContext = next;
}

} // namespace Platform::Detail

namespace Platform::Testing {

void SetGlString(unsigned name, const char* text) {
    auto& strings = State().strings;
    if (text)
        strings[GLenum(name)] = text;
    else
        strings.erase(GLenum(name));
}

void SetGlInteger(unsigned name, std::optional<int> value) {
    auto& integers = State().integers;
    if (value)
        integers[GLenum(name)] = GLint(*value);
    else
        integers.erase(GLenum(name));
}

void SetSwapControlAvailable(bool available) { State().swapControl = available; }

int GetSwapInterval() { return State().swapInterval; }

int GetGlContextCount() { return int(State().contexts.size()); }

} // namespace Platform::Testing
