// Every GL function the OpenGL driver calls, wrapped at link time
// (-Wl,--wrap, set in tests/CMakeLists.txt) so that the tests see which calls
// reach GL. Each wrapper records its name while recording and forwards.

#include "glcalls/GlCallRecorder.h"

#include "platform/Wgl.h"

namespace GlCalls {
namespace {

bool g_recording = false;
std::vector<std::string> g_calls;

void Record(const char* name) {
    if (g_recording) g_calls.emplace_back(name);
}

} // namespace

void StartRecording() {
    g_calls.clear();
    g_recording = true;
}

std::vector<std::string> StopRecording() {
    g_recording = false;
    return std::move(g_calls);
}

} // namespace GlCalls

#define GL_COUNTED(Result, name, params, args)    \
    extern "C" Result __real_##name params;       \
    extern "C" Result __wrap_##name params {      \
        GlCalls::Record(#name);                   \
        return __real_##name args;                \
    }

GL_COUNTED(void, glAlphaFunc, (GLenum func, GLclampf ref), (func, ref))
GL_COUNTED(void, glBindTexture, (GLenum target, GLuint texture), (target, texture))
GL_COUNTED(void, glBlendFunc, (GLenum sfactor, GLenum dfactor), (sfactor, dfactor))
GL_COUNTED(void, glClear, (GLbitfield mask), (mask))
GL_COUNTED(void, glClearColor, (GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha), (red, green, blue, alpha))
GL_COUNTED(void, glColor4f, (GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha), (red, green, blue, alpha))
GL_COUNTED(void, glColorMask, (GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha), (red, green, blue, alpha))
GL_COUNTED(void, glColorMaterial, (GLenum face, GLenum mode), (face, mode))
GL_COUNTED(void, glColorPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid *ptr), (size, type, stride, ptr))
GL_COUNTED(void, glCopyTexSubImage2D, (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y, GLsizei width, GLsizei height), (target, level, xoffset, yoffset, x, y, width, height))
GL_COUNTED(void, glCullFace, (GLenum mode), (mode))
GL_COUNTED(void, glDeleteTextures, (GLsizei n, const GLuint *textures), (n, textures))
GL_COUNTED(void, glDepthFunc, (GLenum func), (func))
GL_COUNTED(void, glDepthMask, (GLboolean flag), (flag))
GL_COUNTED(void, glDisable, (GLenum cap), (cap))
GL_COUNTED(void, glDisableClientState, (GLenum cap), (cap))
GL_COUNTED(void, glDrawArrays, (GLenum mode, GLint first, GLsizei count), (mode, first, count))
GL_COUNTED(void, glDrawElements, (GLenum mode, GLsizei count, GLenum type, const GLvoid *indices), (mode, count, type, indices))
GL_COUNTED(void, glEnable, (GLenum cap), (cap))
GL_COUNTED(void, glEnableClientState, (GLenum cap), (cap))
GL_COUNTED(void, glFlush, (), ())
GL_COUNTED(void, glFogf, (GLenum pname, GLfloat param), (pname, param))
GL_COUNTED(void, glFogfv, (GLenum pname, const GLfloat *params), (pname, params))
GL_COUNTED(void, glFogi, (GLenum pname, GLint param), (pname, param))
GL_COUNTED(void, glFrontFace, (GLenum mode), (mode))
GL_COUNTED(void, glFrustum, (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val, GLdouble far_val), (left, right, bottom, top, near_val, far_val))
GL_COUNTED(void, glGenTextures, (GLsizei n, GLuint *textures), (n, textures))
GL_COUNTED(void, glGetIntegerv, (GLenum pname, GLint *params), (pname, params))
GL_COUNTED(void, glLightModelfv, (GLenum pname, const GLfloat *params), (pname, params))
GL_COUNTED(void, glLightModeli, (GLenum pname, GLint param), (pname, param))
GL_COUNTED(void, glLightf, (GLenum light, GLenum pname, GLfloat param), (light, pname, param))
GL_COUNTED(void, glLightfv, (GLenum light, GLenum pname, const GLfloat *params), (light, pname, params))
GL_COUNTED(void, glLoadIdentity, (), ())
GL_COUNTED(void, glLoadMatrixf, (const GLfloat *m), (m))
GL_COUNTED(void, glMaterialf, (GLenum face, GLenum pname, GLfloat param), (face, pname, param))
GL_COUNTED(void, glMaterialfv, (GLenum face, GLenum pname, const GLfloat *params), (face, pname, params))
GL_COUNTED(void, glMatrixMode, (GLenum mode), (mode))
GL_COUNTED(void, glNormalPointer, (GLenum type, GLsizei stride, const GLvoid *ptr), (type, stride, ptr))
GL_COUNTED(void, glOrtho, (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near_val, GLdouble far_val), (left, right, bottom, top, near_val, far_val))
GL_COUNTED(void, glScalef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
GL_COUNTED(void, glShadeModel, (GLenum mode), (mode))
GL_COUNTED(void, glStencilFunc, (GLenum func, GLint ref, GLuint mask), (func, ref, mask))
GL_COUNTED(void, glStencilMask, (GLuint mask), (mask))
GL_COUNTED(void, glStencilOp, (GLenum fail, GLenum zfail, GLenum zpass), (fail, zfail, zpass))
GL_COUNTED(void, glTexCoordPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid *ptr), (size, type, stride, ptr))
GL_COUNTED(void, glTexEnvf, (GLenum target, GLenum pname, GLfloat param), (target, pname, param))
GL_COUNTED(void, glTexEnvfv, (GLenum target, GLenum pname, const GLfloat *params), (target, pname, params))
GL_COUNTED(void, glTexEnvi, (GLenum target, GLenum pname, GLint param), (target, pname, param))
GL_COUNTED(void, glTexGeni, (GLenum coord, GLenum pname, GLint param), (coord, pname, param))
GL_COUNTED(void, glTexImage2D, (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid *pixels), (target, level, internalFormat, width, height, border, format, type, pixels))
GL_COUNTED(void, glTexParameteri, (GLenum target, GLenum pname, GLint param), (target, pname, param))
GL_COUNTED(void, glTexSubImage2D, (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width, GLsizei height, GLenum format, GLenum type, const GLvoid *pixels), (target, level, xoffset, yoffset, width, height, format, type, pixels))
GL_COUNTED(void, glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
GL_COUNTED(void, glVertexPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid *ptr), (size, type, stride, ptr))
GL_COUNTED(void, glViewport, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height))
