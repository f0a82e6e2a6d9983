#include "graphics/drivers/CodesOGL.h"

namespace Engine::Graphics::OGL {

GLenum MapCompareFunc(int code) {
    switch (code) {
    case CMP_NEVER: return GL_NEVER;
    case CMP_LESS: return GL_LESS;
    case CMP_LESS_EQUAL: return GL_LEQUAL;
    case CMP_EQUAL: return GL_EQUAL;
    case CMP_GREATER: return GL_GREATER;
    case CMP_NOT_EQUAL: return GL_NOTEQUAL;
    case CMP_GREATER_EQUAL: return GL_GEQUAL;
    case CMP_ALWAYS: return GL_ALWAYS;
    default: return GLenum(code);
    }
}

namespace {
// Factors valid on both sides.
std::optional<GLenum> MapSharedBlend(int code) {
    switch (code) {
    case BLEND_ZERO: return GL_ZERO;
    case BLEND_ONE: return GL_ONE;
    case BLEND_SRC_ALPHA: return GL_SRC_ALPHA;
    case BLEND_INV_SRC_ALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case BLEND_DST_ALPHA: return GL_DST_ALPHA;
    case BLEND_INV_DST_ALPHA: return GL_ONE_MINUS_DST_ALPHA;
    default: return std::nullopt;
    }
}
} // namespace

GLenum MapBlendSource(int code) {
    if (const auto shared = MapSharedBlend(code)) return *shared;
    switch (code) {
    case BLEND_DST_COLOR: return GL_DST_COLOR;
    case BLEND_INV_DST_COLOR: return GL_ONE_MINUS_DST_COLOR;
    case BLEND_SRC_ALPHA_SAT: return GL_SRC_ALPHA_SATURATE;
    default: return GLenum(code);
    }
}

GLenum MapBlendDestination(int code) {
    if (const auto shared = MapSharedBlend(code)) return *shared;
    switch (code) {
    case BLEND_SRC_COLOR: return GL_SRC_COLOR;
    case BLEND_INV_SRC_COLOR: return GL_ONE_MINUS_SRC_COLOR;
    default: return GLenum(code);
    }
}

GLenum MapStencilOp(int code) {
    switch (code) {
    case STENCIL_KEEP: return GL_KEEP;
    case STENCIL_ZERO: return GL_ZERO;
    case STENCIL_REPLACE: return GL_REPLACE;
    case STENCIL_INCR_SAT: return GL_INCR;
    case STENCIL_DECR_SAT: return GL_DECR;
    case STENCIL_INVERT: return GL_INVERT;
    case STENCIL_INCR: return GL_INCR_WRAP;
    case STENCIL_DECR: return GL_DECR_WRAP;
    default: return GL_KEEP;
    }
}

GLenum MapFrontFace(int code) {
    switch (code) {
    case FRONT_CW: return GL_CW;
    case FRONT_CCW: return GL_CCW;
    default: return GLenum(code);
    }
}

GLenum MapMaterialFace(int code) {
    switch (code) {
    case FACE_FRONT: return GL_FRONT;
    case FACE_BACK: return GL_BACK;
    case FACE_FRONT_AND_BACK: return GL_FRONT_AND_BACK;
    default: return GLenum(code);
    }
}

std::optional<GLenum> MapFogMode(int code) {
    switch (code) {
    case FOG_LINEAR: return GL_LINEAR;
    case FOG_EXP: return GL_EXP;
    case FOG_EXP2: return GL_EXP2;
    default: return std::nullopt;
    }
}

CPrimitiveRange MapPrimitive(int type, int first, int count) {
    switch (type) {
    case PRIM_POINT_LIST: return {GL_POINTS, first, count};
    case PRIM_LINE_LIST: return {GL_LINES, first * 2, count * 2};
    case PRIM_LINE_STRIP: return {GL_LINE_STRIP, first, count + 1};
    case PRIM_TRIANGLE_LIST: return {GL_TRIANGLES, first * 3, count * 3};
    case PRIM_TRIANGLE_STRIP: return {GL_TRIANGLE_STRIP, first, count + 2};
    case PRIM_TRIANGLE_FAN: return {GL_TRIANGLE_FAN, first, count + 2};
    case PRIM_QUAD_LIST: return {GL_QUADS, first * 4, count * 4};
    default: return {GLenum(type), first, count};
    }
}

namespace {
bool IsFilterCode(int code) { return code >= FILTER_POINT && code <= FILTER_ANISOTROPIC; }
// Anisotropic filtering is treated as linear.
bool IsLinear(int code) { return code == FILTER_LINEAR || code == FILTER_ANISOTROPIC; }
} // namespace

CFilters MapTextureFilter(int minFilter, int magFilter, int mipFilter) {
    const CFilters nearest{GL_NEAREST, GL_NEAREST};
    if (mipFilter == FILTER_POINT)
        return {IsLinear(minFilter) ? GL_LINEAR : GL_NEAREST, IsLinear(magFilter) ? GL_LINEAR : GL_NEAREST};
    if (!IsLinear(mipFilter) || !IsFilterCode(minFilter) || !IsFilterCode(magFilter)) return nearest;
    if (IsLinear(minFilter))
        return {IsLinear(magFilter) ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST, std::nullopt};
    return {IsLinear(magFilter) ? GL_NEAREST_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST, std::nullopt};
}

GLenum MapCombineOperation(int operation) {
    switch (operation) {
    case COMBINE_DISABLE:
    case COMBINE_SELECT_ARG1:
    case COMBINE_SELECT_ARG1_ALT: return GL_REPLACE;
    case COMBINE_MODULATE:
    case COMBINE_MODULATE2X:
    case COMBINE_MODULATE4X: return GL_MODULATE;
    case COMBINE_ADD: return GL_ADD;
    case COMBINE_ADD_SIGNED: return GL_ADD_SIGNED_ARB;
    case COMBINE_SUBTRACT: return GL_SUBTRACT_ARB;
    case COMBINE_BLEND_DIFFUSE_ALPHA:
    case COMBINE_BLEND_TEXTURE_ALPHA:
    case COMBINE_BLEND_CURRENT_ALPHA: return GL_INTERPOLATE_ARB;
    case COMBINE_DOT3: return GL_DOT3_RGB_ARB;
    default: return GLenum(operation);
    }
}

std::optional<GLenum> MapCombineSource(int source) {
    switch (source) {
    case ARG_CURRENT: return GL_PREVIOUS_ARB;
    case ARG_TEXTURE: return GL_TEXTURE;
    case ARG_CONSTANT: return GL_CONSTANT_ARB;
    case ARG_DIFFUSE: return GL_PRIMARY_COLOR_ARB;
    default: return std::nullopt;
    }
}

std::optional<GLenum> MapInterpolationSource(int operation) {
    switch (operation) {
    case COMBINE_BLEND_DIFFUSE_ALPHA: return GL_PRIMARY_COLOR_ARB;
    case COMBINE_BLEND_TEXTURE_ALPHA: return GL_TEXTURE;
    case COMBINE_BLEND_CURRENT_ALPHA: return GL_PREVIOUS_ARB;
    default: return std::nullopt;
    }
}

GLfloat CombineScale(int operation) {
    switch (operation) {
    case COMBINE_MODULATE2X: return 2.0f;
    case COMBINE_MODULATE4X: return 4.0f;
    default: return 1.0f;
    }
}

void ToGlMatrix(const float* matrix34, GLfloat out[16]) {
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 3; ++row) out[column * 4 + row] = matrix34[row * 4 + column];
        out[column * 4 + 3] = column == 3 ? 1.0f : 0.0f;
    }
}

} // namespace Engine::Graphics::OGL
