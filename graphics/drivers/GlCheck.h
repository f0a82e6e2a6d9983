#pragma once
// glGetError after every call of the OpenGL driver, in debug and sanitizer
// builds (MOSARK_GL_CHECKS, set by the build). Release builds compile the
// checks away: glGetError waits for the GL pipeline on many drivers.

#include "platform/Wgl.h"

namespace Engine::Graphics::OGL {

// Logs every pending GL error with the call after which it was found.
void LogGlErrors(const char* call, const char* file, int line);

} // namespace Engine::Graphics::OGL

#if MOSARK_GL_CHECKS
#define GL_CHECK(call)                                                          \
    do {                                                                        \
        call;                                                                   \
        ::Engine::Graphics::OGL::LogGlErrors(#call, __FILE__, __LINE__);        \
    } while (0)
#else
#define GL_CHECK(call) call
#endif
