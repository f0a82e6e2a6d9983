#include "graphics/drivers/CodesD3D8.h"

#include <cmath>

namespace Engine::Graphics::D3D8 {

std::optional<D3DRENDERSTATETYPE> MapSwitch(int id) {
    switch (id) {
    case SWITCH_DEPTH_TEST: return D3DRS_ZENABLE;
    case SWITCH_DEPTH_WRITE: return D3DRS_ZWRITEENABLE;
    case SWITCH_ALPHA_BLEND: return D3DRS_ALPHABLENDENABLE;
    case SWITCH_LIGHTING: return D3DRS_LIGHTING;
    case SWITCH_FOG: return D3DRS_FOGENABLE;
    case SWITCH_COLOR_MATERIAL: return D3DRS_COLORVERTEX;
    default: return std::nullopt;
    }
}

DWORD MapBlendSource(int code) {
    switch (code) {
    case BLEND_ZERO: return D3DBLEND_ZERO;
    case BLEND_ONE: return D3DBLEND_ONE;
    case BLEND_DST_COLOR: return D3DBLEND_DESTCOLOR;
    case BLEND_INV_DST_COLOR: return D3DBLEND_INVDESTCOLOR;
    case BLEND_SRC_ALPHA: return D3DBLEND_SRCALPHA;
    case BLEND_INV_SRC_ALPHA: return D3DBLEND_INVSRCALPHA;
    case BLEND_DST_ALPHA: return D3DBLEND_DESTALPHA;
    case BLEND_INV_DST_ALPHA: return D3DBLEND_INVDESTALPHA;
    case BLEND_SRC_ALPHA_SAT: return D3DBLEND_SRCALPHASAT;
    default: return 0;
    }
}

DWORD MapBlendDestination(int code) {
    switch (code) {
    case BLEND_ZERO: return D3DBLEND_ZERO;
    case BLEND_ONE: return D3DBLEND_ONE;
    case BLEND_SRC_ALPHA: return D3DBLEND_SRCALPHA;
    case BLEND_INV_SRC_ALPHA: return D3DBLEND_INVSRCALPHA;
    case BLEND_DST_ALPHA: return D3DBLEND_DESTALPHA;
    case BLEND_INV_DST_ALPHA: return D3DBLEND_INVDESTALPHA;
    case BLEND_SRC_COLOR: return D3DBLEND_SRCCOLOR;
    case BLEND_INV_SRC_COLOR: return D3DBLEND_INVSRCCOLOR;
    default: return 0;
    }
}

DWORD ConvertCompareFunc(int code) {
    switch (code) {
    case CMP_NEVER: return D3DCMP_NEVER;
    case CMP_LESS: return D3DCMP_LESS;
    case CMP_LESS_EQUAL: return D3DCMP_LESSEQUAL;
    case CMP_EQUAL: return D3DCMP_EQUAL;
    case CMP_GREATER: return D3DCMP_GREATER;
    case CMP_NOT_EQUAL: return D3DCMP_NOTEQUAL;
    case CMP_GREATER_EQUAL: return D3DCMP_GREATEREQUAL;
    case CMP_ALWAYS: return D3DCMP_ALWAYS;
    default: return DWORD(code);
    }
}

DWORD MapStencilOp(uint32_t code) {
    switch (code) {
    case STENCIL_ZERO: return D3DSTENCILOP_ZERO;
    case STENCIL_REPLACE: return D3DSTENCILOP_REPLACE;
    case STENCIL_INCR_SAT: return D3DSTENCILOP_INCRSAT;
    case STENCIL_DECR_SAT: return D3DSTENCILOP_DECRSAT;
    case STENCIL_INVERT: return D3DSTENCILOP_INVERT;
    case STENCIL_INCR: return D3DSTENCILOP_INCR;
    case STENCIL_DECR: return D3DSTENCILOP_DECR;
    default: return DWORD(code);
    }
}

DWORD MapCullMode(int code) {
    switch (code) {
    case CULL_NONE: return D3DCULL_NONE;
    case CULL_CCW: return D3DCULL_CCW;
    case CULL_CW: return D3DCULL_CW;
    default: return DWORD(code);
    }
}

DWORD MapTextureAddress(int code) {
    switch (code) {
    case ADDRESS_WRAP: return D3DTADDRESS_WRAP;
    case ADDRESS_CLAMP: return D3DTADDRESS_CLAMP;
    case ADDRESS_MIRROR: return D3DTADDRESS_MIRROR;
    default: return DWORD(code);
    }
}

DWORD MapMinMagFilter(int code) {
    switch (code) {
    case FILTER_POINT: return D3DTEXF_POINT;
    case FILTER_LINEAR: return D3DTEXF_LINEAR;
    case FILTER_ANISOTROPIC: return D3DTEXF_ANISOTROPIC;
    default: return DWORD(code);
    }
}

DWORD MapMipFilter(int code) {
    switch (code) {
    case 1: return D3DTEXF_NONE;
    case 2: return D3DTEXF_LINEAR;
    default: return DWORD(code);
    }
}

std::optional<DWORD> MapCombineOperation(int operation) {
    switch (operation) {
    case COMBINE_DISABLE: return D3DTOP_DISABLE;
    case COMBINE_SELECT_ARG1:
    case COMBINE_SELECT_ARG1_ALT: return D3DTOP_SELECTARG1;
    case COMBINE_MODULATE: return D3DTOP_MODULATE;
    case COMBINE_MODULATE2X: return D3DTOP_MODULATE2X;
    case COMBINE_MODULATE4X: return D3DTOP_MODULATE4X;
    case COMBINE_ADD: return D3DTOP_ADD;
    case COMBINE_ADD_SIGNED: return D3DTOP_ADDSIGNED;
    case COMBINE_SUBTRACT: return D3DTOP_SUBTRACT;
    case COMBINE_BLEND_DIFFUSE_ALPHA: return D3DTOP_BLENDDIFFUSEALPHA;
    case COMBINE_BLEND_TEXTURE_ALPHA: return D3DTOP_BLENDTEXTUREALPHA;
    case COMBINE_BLEND_CURRENT_ALPHA: return D3DTOP_BLENDCURRENTALPHA;
    case COMBINE_DOT3: return D3DTOP_DOTPRODUCT3;
    default: return std::nullopt;
    }
}

std::optional<DWORD> MapCombineSource(int source) {
    switch (source) {
    case ARG_CURRENT: return D3DTA_CURRENT;
    case ARG_TEXTURE: return D3DTA_TEXTURE;
    case ARG_CONSTANT: return D3DTA_TFACTOR;
    case ARG_DIFFUSE: return D3DTA_DIFFUSE;
    case ARG_SPECULAR: return D3DTA_SPECULAR;
    default: return std::nullopt;
    }
}

uint32_t ClampedByte(float scaled) {
    if (!(scaled > 0.0f)) return 0;
    return scaled >= 255.0f ? 255u : uint32_t(scaled);
}

uint32_t ChannelByte(float value) { return ClampedByte(value * 255.5f); }

uint32_t FactorByte(float value) {
    if (value >= 1.0f) return 255;
    if (!(value > 0.0f)) return 0;
    return uint32_t(value * 255.0f + 0.5f);
}

uint32_t TextureFactor(bool colourChannel, const float* constant) {
    if (!colourChannel) return FactorByte(constant[0]) << 24;
    return 0xFF000000u | FactorByte(constant[0]) << 16 | FactorByte(constant[1]) << 8 | FactorByte(constant[2]);
}

D3DMATRIX TexGenMatrix() {
    D3DMATRIX scale;
    scale.m[0][0] = 0.5f;
    scale.m[1][1] = -0.5f;
    scale.m[2][2] = 1.0f;
    scale.m[3][0] = scale.m[3][1] = 0.5f;
    scale.m[3][3] = 1.0f;
    return scale;
}

D3DMATRIX ToD3DMatrix(const float* matrix34) {
    D3DMATRIX d;
    for (int k = 0; k < 4; ++k)
        for (int r = 0; r < 3; ++r) d.m[k][r] = matrix34[r * 4 + k];
    d.m[3][3] = 1.0f;
    return d;
}

D3DMATRIX PerspectiveMatrix(float width, float height, float zNear, float zFar) {
    D3DMATRIX d;
    const float depth = zFar / (zFar - zNear);
    d.m[0][0] = 2.0f * zNear / width;
    d.m[1][1] = 2.0f * zNear / height;
    // Right-handed: the third row negated; the fourth row scaled by 100.
    d.m[2][2] = -depth;
    d.m[2][3] = -1.0f;
    d.m[3][2] = -zNear * depth * 100.0f;
    return d;
}

D3DMATRIX OrthoMatrix(float width, float height, float zNear, float zFar) {
    D3DMATRIX d;
    d.m[0][0] = 2.0f / width;
    d.m[1][1] = 2.0f / height;
    d.m[2][2] = -1.0f / (zFar - zNear);
    d.m[3][2] = -zNear / (zFar - zNear);
    d.m[3][3] = 1.0f;
    return d;
}

D3DMATRIX Ortho2DMatrix(float width, float height, float zNear, float zFar) {
    D3DMATRIX d;
    d.m[0][0] = 2.0f / width;
    d.m[1][1] = -2.0f / height;
    d.m[2][2] = zFar / (zFar - zNear);
    d.m[3][2] = -zNear * zFar / (zFar - zNear);
    d.m[3][3] = 1.0f;
    d.m[3][0] = (-width / 2.0f - 0.5f) * (2.0f / width);
    d.m[3][1] = (-height / 2.0f - 0.5f) * (-2.0f / height);
    return d;
}

DWORD TextureTransformCount(const float* m) {
    const auto rowIs = [m](int row, float a, float b, float c, float d) {
        const float* r = m + row * 4;
        return r[0] == a && r[1] == b && r[2] == c && r[3] == d;
    };
    if (!rowIs(2, 0, 0, 1, 0)) return D3DTTFF_COUNT3;
    if (!rowIs(1, 0, 1, 0, 0)) return D3DTTFF_COUNT2;
    if (!rowIs(0, 1, 0, 0, 0)) return D3DTTFF_COUNT1;
    return D3DTTFF_DISABLE;
}

D3DCOLORVALUE ColourValue(const float* rgba) { return D3DCOLORVALUE{rgba[0], rgba[1], rgba[2], rgba[3]}; }

} // namespace Engine::Graphics::D3D8
