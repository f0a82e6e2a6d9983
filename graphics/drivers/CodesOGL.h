#pragma once
// The OpenGL driver's translation of the interface's numeric codes into GL
// enumerants. Codes a table does not name are passed through unchanged,
// except where a function says otherwise.

#include <optional>

#include "graphics/GraphicsTypes.h"
#include "platform/Wgl.h"

namespace Engine::Graphics::OGL {

GLenum MapCompareFunc(int code);
GLenum MapBlendSource(int code);
GLenum MapBlendDestination(int code);
// Unknown codes keep the stencil value (GL_KEEP).
GLenum MapStencilOp(int code);
GLenum MapFrontFace(int code);
GLenum MapMaterialFace(int code);
// Null for a mode code that leaves GL's fog mode as it is.
std::optional<GLenum> MapFogMode(int code);

// A draw in GL terms: mode, first vertex and vertex count.
struct CPrimitiveRange {
    GLenum mode;
    int first;
    int count;
};
// first and count are primitives; strips and fans start at a vertex.
CPrimitiveRange MapPrimitive(int type, int first, int count);

// Minification and magnification filters; a null magnification filter
// leaves GL's as it is.
struct CFilters {
    GLint minFilter;
    std::optional<GLint> magFilter;
};
CFilters MapTextureFilter(int minFilter, int magFilter, int mipFilter);

GLenum MapCombineOperation(int operation);
// Null for a source code that leaves the GL source as it is.
std::optional<GLenum> MapCombineSource(int source);
// The third (interpolation factor) source of the blend operations.
std::optional<GLenum> MapInterpolationSource(int operation);
// Modulate x2 and x4 scale their result.
GLfloat CombineScale(int operation);

// An engine 3 x 4 matrix as a GL column-major 4 x 4 one.
void ToGlMatrix(const float* matrix34, GLfloat out[16]);

} // namespace Engine::Graphics::OGL
