#include "graphics/drivers/GlCheck.h"

#include <cstring>

#include "app/Log.h"

namespace Engine::Graphics::OGL {
namespace {

const char* GlErrorName(GLenum error) {
    switch (error) {
    case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
    case GL_STACK_OVERFLOW: return "GL_STACK_OVERFLOW";
    case GL_STACK_UNDERFLOW: return "GL_STACK_UNDERFLOW";
    case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
    default: return "unknown error";
    }
}

// GL keeps one flag per error kind; more reports than kinds means a lost
// context that reports the same error forever.
constexpr int kMaxReports = 8;

} // namespace

void LogGlErrors(const char* call, const char* file, int line) {
    const char* slash = std::strrchr(file, '/');
    for (int i = 0; i < kMaxReports; ++i) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR) return;
        GetLog().PrintLine("OpenGL error 0x%04x (%s) after %s at %s:%d", unsigned(error), GlErrorName(error), call,
                           slash ? slash + 1 : file, line);
    }
}

} // namespace Engine::Graphics::OGL
