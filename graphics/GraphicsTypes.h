#pragma once
// Records and numeric codes that cross the graphics driver interface. The
// numbers are fixed: every driver translates them to its own platform.

#include <cstdint>

namespace Engine::Graphics {

// Render switches of gSwitch.
enum ESwitch : int32_t {
    SWITCH_DEPTH_TEST = 1,
    SWITCH_DEPTH_WRITE = 2,
    SWITCH_ALPHA_BLEND = 3,
    SWITCH_LIGHTING = 4,
    SWITCH_NONE = 5,
    SWITCH_FOG = 6,
    SWITCH_NORMALIZE = 7,
    SWITCH_STENCIL_TEST = 8,
    SWITCH_COLOR_MATERIAL = 9,
    SWITCH_ALPHA_TEST = 10,
    SWITCH_DITHER = 11,
};

// Blend factors of gSetBlendFunc.
enum EBlend : int32_t {
    BLEND_ZERO = 1,
    BLEND_ONE = 2,
    BLEND_DST_COLOR = 3,
    BLEND_INV_DST_COLOR = 4,
    BLEND_SRC_ALPHA = 5,
    BLEND_INV_SRC_ALPHA = 6,
    BLEND_DST_ALPHA = 7,
    BLEND_INV_DST_ALPHA = 8,
    BLEND_SRC_ALPHA_SAT = 9,
    BLEND_SRC_COLOR = 10,
    BLEND_INV_SRC_COLOR = 11,
};

// Compare functions of gSetDepthFunc, gSetAlphaFunc and gSetStencilFunc.
enum ECompare : int32_t {
    CMP_NEVER = 1,
    CMP_LESS = 2,
    CMP_LESS_EQUAL = 3,
    CMP_EQUAL = 4,
    CMP_GREATER = 5,
    CMP_NOT_EQUAL = 6,
    CMP_GREATER_EQUAL = 7,
    CMP_ALWAYS = 8,
};

// Stencil operations of gSetStencilOp (fail, depth fail, pass).
enum EStencilOp : int32_t {
    STENCIL_KEEP = 1,
    STENCIL_ZERO = 2,
    STENCIL_REPLACE = 3,
    STENCIL_INCR_SAT = 4,
    STENCIL_DECR_SAT = 5,
    STENCIL_INVERT = 6,
    STENCIL_INCR = 7, // wraps
    STENCIL_DECR = 8, // wraps
};

enum ECull : int32_t { CULL_NONE = 0, CULL_CCW = 1, CULL_CW = 2 };
enum EFrontFace : int32_t { FRONT_CW = 1, FRONT_CCW = 2 };
enum EAddress : int32_t { ADDRESS_WRAP = 1, ADDRESS_CLAMP = 2, ADDRESS_MIRROR = 3 };
enum EFilter : int32_t { FILTER_POINT = 1, FILTER_LINEAR = 2, FILTER_ANISOTROPIC = 3 };
enum ETexGen : int32_t { TEXGEN_OFF = 1, TEXGEN_SPHERE = 2, TEXGEN_REFLECTION = 3 };

enum ECombineOp : int32_t {
    COMBINE_DISABLE = 0,
    COMBINE_SELECT_ARG1 = 1,
    COMBINE_SELECT_ARG1_ALT = 2,
    COMBINE_MODULATE = 3,
    COMBINE_MODULATE2X = 4,
    COMBINE_MODULATE4X = 5,
    COMBINE_ADD = 6,
    COMBINE_ADD_SIGNED = 7,
    COMBINE_SUBTRACT = 8,
    COMBINE_BLEND_DIFFUSE_ALPHA = 9,
    COMBINE_BLEND_TEXTURE_ALPHA = 10,
    COMBINE_BLEND_CURRENT_ALPHA = 11,
    COMBINE_DOT3 = 12,
};
enum ECombineArg : int32_t {
    ARG_CURRENT = 1,
    ARG_TEXTURE = 2,
    ARG_CONSTANT = 3,
    ARG_DIFFUSE = 4,
    ARG_SPECULAR = 5,
};
enum ECombineChannel : int32_t { CHANNEL_COLOR = 1, CHANNEL_ALPHA = 2 };

enum EColorMaterial : int32_t { CM_EMISSIVE = 1, CM_AMBIENT = 2, CM_DIFFUSE = 3, CM_SPECULAR = 4 };
enum EShade : int32_t { SHADE_FLAT = 1, SHADE_SMOOTH = 2 };
enum EFace : int32_t { FACE_FRONT = 1, FACE_BACK = 2, FACE_FRONT_AND_BACK = 3 };
enum EFogMode : int32_t { FOG_LINEAR = 1, FOG_EXP = 2, FOG_EXP2 = 3 };

// Clear flags of gClear.
enum EClear : uint32_t { CLEAR_COLOR = 1, CLEAR_DEPTH = 2, CLEAR_STENCIL = 4 };

// Primitive types of gDraw; first and count are in primitives.
enum EPrimitive : int32_t {
    PRIM_POINT_LIST = 1,
    PRIM_LINE_LIST = 2,
    PRIM_LINE_STRIP = 3,
    PRIM_TRIANGLE_LIST = 4,
    PRIM_TRIANGLE_STRIP = 5,
    PRIM_TRIANGLE_FAN = 6,
    PRIM_QUAD_LIST = 7,
};

// Vertex format bits of CreateVertexBuffer, in vertex layout order.
enum EVertexFormat : uint32_t {
    VF_XYZ = 0x01,
    VF_RHW = 0x02,
    VF_NORMAL = 0x04,
    VF_DIFFUSE = 0x08,
    VF_SPECULAR = 0x10,
    VF_TEX0 = 0x20,
    VF_TEX1 = 0x40,
    VF_TEX2 = 0x80,
    VF_TEX3 = 0x100,
};
// The 2D sprite vertex: x, y, z, rhw, colour, u, v.
constexpr uint32_t VF_SPRITE = VF_XYZ | VF_RHW | VF_DIFFUSE | VF_TEX0;

// Size in bytes of one vertex of the given format.
constexpr int VertexSize(uint32_t format) {
    int size = 0;
    if (format & VF_XYZ) size += 12;
    if (format & VF_RHW) size += 4;
    if (format & VF_NORMAL) size += 12;
    if (format & VF_DIFFUSE) size += 4;
    if (format & VF_SPECULAR) size += 4;
    for (uint32_t bit = VF_TEX0; bit <= VF_TEX3; bit <<= 1)
        if (format & bit) size += 8;
    return size;
}
static_assert(VertexSize(VF_SPRITE) == 28);

// Vertices of one primitive of the list types (0 for strips and fans).
constexpr int VerticesPerPrimitive(int32_t type) {
    switch (type) {
    case PRIM_POINT_LIST: return 1;
    case PRIM_LINE_LIST: return 2;
    case PRIM_TRIANGLE_LIST: return 3;
    case PRIM_QUAD_LIST: return 4;
    default: return 0;
    }
}

// The 2D sprite vertex as the queue writes it.
struct SpriteVertex {
    float x, y, z, rhw;
    uint32_t color;
    float u, v;
};
static_assert(sizeof(SpriteVertex) == 28);

// Cursor ids of SetCursor and ShowCursor.
enum ECursor : int32_t {
    CURSOR_ARROW = 1,
    CURSOR_IBEAM = 2,
    CURSOR_WAIT = 3,
    CURSOR_CROSS = 4,
    CURSOR_UPARROW = 5,
    CURSOR_SIZENWSE = 6,
    CURSOR_SIZENESW = 7,
    CURSOR_SIZEWE = 8,
    CURSOR_SIZENS = 9,
    CURSOR_SIZEALL = 10,
    CURSOR_NO = 11,
    CURSOR_HAND = 12,
    CURSOR_APPSTARTING = 13,
    CURSOR_HELP = 14,
    CURSOR_NONE = 15,
};

// Index type code of CreateIndexBuffer: 2 means 16-bit, any other 32-bit.
constexpr int32_t INDEX_16 = 2;
constexpr int32_t INDEX_32 = 4;

struct CVideoMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t refresh = 0;
    int32_t bpp = 0;
    friend bool operator==(const CVideoMode&, const CVideoMode&) = default;
};

// Creation and video-mode parameters.
struct CGraphicsParams {
    int32_t x, y;
    int32_t width, height;         // requested (logical) back-buffer size
    int32_t colorBits;             // 16 or 24
    int32_t alphaBits;             // 0 or 8
    int32_t reserved[3];
    int32_t refresh;               // Hz, 0 = any
    uint8_t fullScreen;
    uint8_t waitVSync;
    uint8_t keepPosition;
    uint8_t center;
    uint8_t appFlag;
    uint8_t forceFullScreen;
    uint8_t forceWindowed;
    int32_t screenWidth, screenHeight;   // mode or client area actually used
    int32_t aspectX, aspectY;
    int32_t contentLeft, contentTop, contentRight, contentBottom;
    uint8_t scaled;                // content smaller than the screen (pillar-boxing)
};

void ResetGraphicsParams(CGraphicsParams& params);

struct CLight {
    uint8_t directional;
    float spotExponent;
    float spotCutoff;      // half-angle in radians; pi means no cone
    float spotInner;
    float attenuation[3];  // constant, linear, quadratic
    float ambient[4], diffuse[4], specular[4];
    float position[3];
    float direction[3];
};

struct CMaterial {
    float ambient[4], diffuse[4], specular[4], emissive[4];
    float shininess;
};

struct CFog {
    int32_t mode;
    float density, start, end;
    float color[4];
};

// Engine 3 x 4 matrix: three rows of four floats, translation in column 3.
using Matrix34 = float[3][4];

} // namespace Engine::Graphics
