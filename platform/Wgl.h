#pragma once
// OpenGL on a window: pixel formats, rendering contexts and buffer swaps, on
// SDL's OpenGL contexts (EGL with Mesa under the offscreen video driver, GLX
// or EGL in a real window). Windows whose class has CS_OWNDC are made with
// an OpenGL framebuffer: 8-bit red, green and blue, no alpha, 24-bit depth,
// 8-bit stencil, double-buffered; that is the one pixel format offered.
// Contexts are compatibility contexts, so the fixed-function calls work.
// Under the offscreen driver the framebuffer keeps the size the window was
// made with. Main thread only.
//
// Including this header also brings OpenGL and GLU. glGetString and
// glGetIntegerv go through the platform so that tests can present another
// implementation's strings and limits (platform/Testing.h).

#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/WinTypes.h"

struct HGLRC__;
using HGLRC = HGLRC__*;
using PROC = FARPROC;

constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001;
constexpr DWORD PFD_STEREO = 0x00000002;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004;
constexpr DWORD PFD_DRAW_TO_BITMAP = 0x00000008;
constexpr DWORD PFD_SUPPORT_GDI = 0x00000010;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020;
constexpr BYTE PFD_TYPE_RGBA = 0;
constexpr BYTE PFD_TYPE_COLORINDEX = 1;
constexpr BYTE PFD_MAIN_PLANE = 0;

struct PIXELFORMATDESCRIPTOR {
    WORD nSize = 0;
    WORD nVersion = 0;
    DWORD dwFlags = 0;
    BYTE iPixelType = 0;
    BYTE cColorBits = 0;
    BYTE cRedBits = 0, cRedShift = 0;
    BYTE cGreenBits = 0, cGreenShift = 0;
    BYTE cBlueBits = 0, cBlueShift = 0;
    BYTE cAlphaBits = 0, cAlphaShift = 0;
    BYTE cAccumBits = 0;
    BYTE cAccumRedBits = 0, cAccumGreenBits = 0, cAccumBlueBits = 0, cAccumAlphaBits = 0;
    BYTE cDepthBits = 0;
    BYTE cStencilBits = 0;
    BYTE cAuxBuffers = 0;
    BYTE iLayerType = 0;
    BYTE bReserved = 0;
    DWORD dwLayerMask = 0;
    DWORD dwVisibleMask = 0;
    DWORD dwDamageMask = 0;
};
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40);

// The index (from 1) of the format that best matches the request, or 0 when
// none can: the device context's window is not an OpenGL window, the request
// is not RGBA or asks for a capability the format lacks (stereo, drawing to
// a bitmap or through GDI).
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request);
// Fills the description of format `format` when the buffer holds `bytes`
// bytes of it, and returns the number of formats; 0 for an unknown format.
int DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* description);
// A window's format is set once; setting another one afterwards fails.
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* description);
// 0 while none is set.
int GetPixelFormat(HDC dc);
// Presents the back buffer of the window whose context is current.
BOOL SwapBuffers(HDC dc);

// A context for windows of the device context's pixel format (which must be
// set); the current context does not change. Null on failure.
HGLRC wglCreateContext(HDC dc);
// Deleting the current context leaves none current.
BOOL wglDeleteContext(HGLRC context);
// Makes the context current on the device context's window; a null context
// releases the current one.
BOOL wglMakeCurrent(HDC dc, HGLRC context);
// An OpenGL entry point by name, or null. "wglSwapIntervalEXT" gives a
// PFNWGLSWAPINTERVALEXTPROC.
PROC wglGetProcAddress(const char* name);

// Sets the number of vertical retraces each SwapBuffers waits for.
using PFNWGLSWAPINTERVALEXTPROC = BOOL (*)(int interval);

namespace Platform {
const GLubyte* GetGlString(GLenum name);
void GetGlIntegers(GLenum name, GLint* values);
} // namespace Platform

#define glGetString(name) ::Platform::GetGlString(name)
#define glGetIntegerv(name, values) ::Platform::GetGlIntegers(name, values)
