#include "platform/GlPipeline.h"

#include <algorithm>
#include <cstring>

namespace Platform::Gl {

namespace {

GLenum MapBlend(DWORD blend) {
    switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    default: return GL_ONE;
    }
}

GLenum MapCompare(DWORD func) {
    switch (func) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLenum MapStencilOp(DWORD op) {
    switch (op) {
    case D3DSTENCILOP_ZERO: return GL_ZERO;
    case D3DSTENCILOP_REPLACE: return GL_REPLACE;
    case D3DSTENCILOP_INCRSAT: return GL_INCR;
    case D3DSTENCILOP_DECRSAT: return GL_DECR;
    case D3DSTENCILOP_INVERT: return GL_INVERT;
    case D3DSTENCILOP_INCR: return GL_INCR_WRAP;
    case D3DSTENCILOP_DECR: return GL_DECR_WRAP;
    default: return GL_KEEP;
    }
}

GLint MapAddress(DWORD address) {
    switch (address) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    default: return GL_REPEAT;
    }
}

GLint MapMinFilter(DWORD minFilter, DWORD mipFilter) {
    const bool linear = minFilter >= D3DTEXF_LINEAR;
    if (mipFilter == D3DTEXF_NONE) return linear ? GL_LINEAR : GL_NEAREST;
    if (mipFilter == D3DTEXF_POINT) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

GLint MapArgument(DWORD argument, int stage) {
    switch (argument & 0xF) {
    case D3DTA_DIFFUSE:
    case D3DTA_SPECULAR: return GL_PRIMARY_COLOR;
    case D3DTA_TEXTURE: return GL_TEXTURE;
    case D3DTA_TFACTOR: return GL_CONSTANT;
    default: return stage == 0 ? GL_PRIMARY_COLOR : GL_PREVIOUS;
    }
}

// One channel (colour or alpha) of a stage as a GL combiner.
void SetCombiner(bool colour, DWORD op, DWORD arg1, DWORD arg2, int stage) {
    const GLenum combine = colour ? GL_COMBINE_RGB : GL_COMBINE_ALPHA;
    const GLenum source0 = colour ? GL_SOURCE0_RGB : GL_SOURCE0_ALPHA;
    const GLenum source1 = colour ? GL_SOURCE1_RGB : GL_SOURCE1_ALPHA;
    const GLenum source2 = colour ? GL_SOURCE2_RGB : GL_SOURCE2_ALPHA;
    const GLenum operand = colour ? GL_SRC_COLOR : GL_SRC_ALPHA;
    GLint mode = GL_MODULATE;
    GLfloat scale = 1.0f;
    GLint first = MapArgument(arg1, stage), second = MapArgument(arg2, stage), third = GL_PREVIOUS;
    switch (op) {
    case D3DTOP_SELECTARG1: mode = GL_REPLACE; break;
    case D3DTOP_SELECTARG2: mode = GL_REPLACE, first = second; break;
    case D3DTOP_MODULATE2X: scale = 2.0f; break;
    case D3DTOP_MODULATE4X: scale = 4.0f; break;
    case D3DTOP_ADD: mode = GL_ADD; break;
    case D3DTOP_ADDSIGNED: mode = GL_ADD_SIGNED; break;
    case D3DTOP_SUBTRACT: mode = GL_SUBTRACT; break;
    case D3DTOP_BLENDDIFFUSEALPHA: mode = GL_INTERPOLATE, third = GL_PRIMARY_COLOR; break;
    case D3DTOP_BLENDTEXTUREALPHA: mode = GL_INTERPOLATE, third = GL_TEXTURE; break;
    case D3DTOP_BLENDCURRENTALPHA: mode = GL_INTERPOLATE, third = stage == 0 ? GL_PRIMARY_COLOR : GL_PREVIOUS; break;
    case D3DTOP_DOTPRODUCT3: mode = colour ? GL_DOT3_RGBA : GL_MODULATE; break;
    default: break;
    }
    glTexEnvi(GL_TEXTURE_ENV, combine, mode);
    glTexEnvi(GL_TEXTURE_ENV, source0, first);
    glTexEnvi(GL_TEXTURE_ENV, source1, second);
    glTexEnvi(GL_TEXTURE_ENV, source2, third);
    glTexEnvi(GL_TEXTURE_ENV, colour ? GL_OPERAND0_RGB : GL_OPERAND0_ALPHA, operand);
    glTexEnvi(GL_TEXTURE_ENV, colour ? GL_OPERAND1_RGB : GL_OPERAND1_ALPHA, operand);
    glTexEnvi(GL_TEXTURE_ENV, colour ? GL_OPERAND2_RGB : GL_OPERAND2_ALPHA, GL_SRC_ALPHA);
    glTexEnvf(GL_TEXTURE_ENV, colour ? GL_RGB_SCALE : GL_ALPHA_SCALE, scale);
}

void ColourToFloats(D3DCOLOR colour, GLfloat out[4]) {
    out[0] = float((colour >> 16) & 0xFF) / 255.0f;
    out[1] = float((colour >> 8) & 0xFF) / 255.0f;
    out[2] = float(colour & 0xFF) / 255.0f;
    out[3] = float(colour >> 24) / 255.0f;
}

void ColourValue(const D3DCOLORVALUE& colour, GLfloat out[4]) {
    out[0] = colour.r, out[1] = colour.g, out[2] = colour.b, out[3] = colour.a;
}

int VerticesFor(D3DPRIMITIVETYPE type, UINT primitives) {
    switch (type) {
    case D3DPT_POINTLIST: return int(primitives);
    case D3DPT_LINELIST: return int(primitives) * 2;
    case D3DPT_LINESTRIP: return primitives ? int(primitives) + 1 : 0;
    case D3DPT_TRIANGLELIST: return int(primitives) * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitives ? int(primitives) + 2 : 0;
    default: return -1;
    }
}

GLenum MapPrimitive(D3DPRIMITIVETYPE type) {
    switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return GL_TRIANGLES;
    }
}

// Vertices in the arrays GL reads: clip or object positions, RGBA colours,
// normals and up to four coordinate sets.
struct CVertexArrays {
    std::vector<GLfloat> positions, normals;
    std::vector<GLubyte> colours;
    std::array<std::vector<GLfloat>, 4> coordinates;
    int coordinateSets = 0;
    bool hasNormals = false;
};

D3DMATRIX Identity() {
    D3DMATRIX m;
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
    return m;
}

} // namespace

UINT VertexFormatSize(DWORD fvf) {
    UINT size = (fvf & D3DFVF_XYZRHW) ? 16 : 12;
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    return size + 8 * std::min<UINT>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT, 4);
}

CGlPipeline::CGlPipeline() {
    // What a stage without a texture reads: opaque white.
    const GLubyte white[4] = {255, 255, 255, 255};
    glGenTextures(1, &m_white);
    glBindTexture(GL_TEXTURE_2D, m_white);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    ResetStates();
}

void CGlPipeline::ResetStates() {
    m_renderStates.fill(0);
    const std::pair<DWORD, DWORD> defaults[] = {
        {D3DRS_ZENABLE, 0},
        {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRS_ZWRITEENABLE, 1},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
        {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
        {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP},
        {D3DRS_STENCILPASS, D3DSTENCILOP_KEEP},
        {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
        {D3DRS_STENCILMASK, 0xFFFFFFFFu},
        {D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu},
        {D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu},
        {D3DRS_LIGHTING, 1},
        {D3DRS_COLORVERTEX, 1},
        {D3DRS_LOCALVIEWER, 1},
        {D3DRS_FOGDENSITY, 0x3F800000u},
        {D3DRS_FOGEND, 0x3F800000u},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
        {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
        {D3DRS_COLORWRITEENABLE, 0xF},
    };
    for (auto [state, value] : defaults) m_renderStates[state] = value;
    for (DWORD stage = 0; stage < kStages; ++stage) {
        auto& states = m_stageStates[stage];
        states.fill(0);
        states[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        states[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        states[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        states[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        states[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        states[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        states[D3DTSS_TEXCOORDINDEX] = stage;
        states[D3DTSS_ADDRESSU] = states[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        states[D3DTSS_MAGFILTER] = states[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        states[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
    }
    m_textures.fill(nullptr);
    m_transforms.clear();
    m_material = D3DMATERIAL8{};
    m_lights.clear();
}

void CGlPipeline::SetRenderState(DWORD state, DWORD value) {
    if (state < m_renderStates.size()) m_renderStates[state] = value;
}

DWORD CGlPipeline::GetStageState(DWORD stage, DWORD state) const {
    return stage < kStages && state < 32 ? m_stageStates[stage][state] : 0;
}

void CGlPipeline::SetStageState(DWORD stage, DWORD state, DWORD value) {
    if (stage < kStages && state < 32) m_stageStates[stage][state] = value;
}

void CGlPipeline::SetTexture(DWORD stage, CGlImage* image) {
    if (stage < kStages) m_textures[stage] = image;
}

void CGlPipeline::SetTransform(DWORD state, const D3DMATRIX& matrix) { m_transforms[state] = matrix; }

D3DMATRIX CGlPipeline::FindTransform(DWORD state) const {
    const auto it = m_transforms.find(state);
    return it == m_transforms.end() ? Identity() : it->second;
}

void CGlPipeline::SetTarget(CGlImage* colour, int level, CGlDepthBuffer* depth) {
    m_colour = colour;
    m_level = level;
    m_depth = depth;
}

void CGlPipeline::ApplyTarget() {
    glBindFramebuffer(GL_FRAMEBUFFER, m_colour ? m_colour->GetFramebuffer(m_level) : 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              m_depth ? m_depth->GetRenderbuffer() : 0);
    glViewport(GLint(m_viewport.X), GLint(m_viewport.Y), GLsizei(m_viewport.Width), GLsizei(m_viewport.Height));
    glDepthRange(m_viewport.MinZ, m_viewport.MaxZ);
}

void CGlPipeline::Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) {
    if (!m_colour) return;
    ApplyTarget();
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) mask |= GL_COLOR_BUFFER_BIT;
    if (m_depth && (flags & D3DCLEAR_ZBUFFER)) mask |= GL_DEPTH_BUFFER_BIT;
    if (m_depth && (flags & D3DCLEAR_STENCIL)) mask |= GL_STENCIL_BUFFER_BIT;
    GLfloat c[4];
    ColourToFloats(colour, c);
    glClearColor(c[0], c[1], c[2], c[3]);
    glClearDepth(z);
    glClearStencil(GLint(stencil));
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFFFFFFFFu);
    glEnable(GL_SCISSOR_TEST);
    const RECT whole{LONG(m_viewport.X), LONG(m_viewport.Y), LONG(m_viewport.X + m_viewport.Width),
                     LONG(m_viewport.Y + m_viewport.Height)};
    for (DWORD i = 0; i < std::max<DWORD>(count, 1); ++i) {
        RECT r = count && rects ? rects[i] : whole;
        r.left = std::max(r.left, whole.left), r.top = std::max(r.top, whole.top);
        r.right = std::min(r.right, whole.right), r.bottom = std::min(r.bottom, whole.bottom);
        if (r.right <= r.left || r.bottom <= r.top) continue;
        glScissor(r.left, r.top, r.right - r.left, r.bottom - r.top);
        glClear(mask);
    }
    glDisable(GL_SCISSOR_TEST);
}

void CGlPipeline::ApplyFixedStates() {
    const auto rs = [this](DWORD state) { return m_renderStates[state]; };
    if (m_depth && rs(D3DRS_ZENABLE)) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(MapCompare(rs(D3DRS_ZFUNC)));
        glDepthMask(rs(D3DRS_ZWRITEENABLE) ? GL_TRUE : GL_FALSE);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    if (rs(D3DRS_ALPHABLENDENABLE)) {
        glEnable(GL_BLEND);
        glBlendFunc(MapBlend(rs(D3DRS_SRCBLEND)), MapBlend(rs(D3DRS_DESTBLEND)));
    } else {
        glDisable(GL_BLEND);
    }
    if (rs(D3DRS_ALPHATESTENABLE)) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(MapCompare(rs(D3DRS_ALPHAFUNC)), float(rs(D3DRS_ALPHAREF) & 0xFF) / 255.0f);
    } else {
        glDisable(GL_ALPHA_TEST);
    }
    if (m_depth && rs(D3DRS_STENCILENABLE)) {
        glEnable(GL_STENCIL_TEST);
        glStencilFunc(MapCompare(rs(D3DRS_STENCILFUNC)), GLint(rs(D3DRS_STENCILREF)), rs(D3DRS_STENCILMASK));
        glStencilOp(MapStencilOp(rs(D3DRS_STENCILFAIL)), MapStencilOp(rs(D3DRS_STENCILZFAIL)),
                    MapStencilOp(rs(D3DRS_STENCILPASS)));
        glStencilMask(rs(D3DRS_STENCILWRITEMASK));
    } else {
        glDisable(GL_STENCIL_TEST);
    }
    // Window coordinates run as Direct3D's screen coordinates (row 0 on top),
    // so a triangle Direct3D sees clockwise has a positive GL area.
    glFrontFace(GL_CCW);
    if (rs(D3DRS_CULLMODE) == D3DCULL_CCW || rs(D3DRS_CULLMODE) == D3DCULL_CW) {
        glEnable(GL_CULL_FACE);
        glCullFace(rs(D3DRS_CULLMODE) == D3DCULL_CCW ? GL_BACK : GL_FRONT);
    } else {
        glDisable(GL_CULL_FACE);
    }
    glShadeModel(rs(D3DRS_SHADEMODE) == D3DSHADE_FLAT ? GL_FLAT : GL_SMOOTH);
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    const DWORD write = rs(D3DRS_COLORWRITEENABLE);
    glColorMask((write & 1) != 0, (write & 2) != 0, (write & 4) != 0, (write & 8) != 0);
    if (rs(D3DRS_FOGENABLE)) {
        glEnable(GL_FOG);
        GLfloat colour[4];
        ColourToFloats(rs(D3DRS_FOGCOLOR), colour);
        glFogfv(GL_FOG_COLOR, colour);
        float start, end, density;
        DWORD bits = rs(D3DRS_FOGSTART);
        std::memcpy(&start, &bits, 4);
        bits = rs(D3DRS_FOGEND);
        std::memcpy(&end, &bits, 4);
        bits = rs(D3DRS_FOGDENSITY);
        std::memcpy(&density, &bits, 4);
        const DWORD mode = rs(D3DRS_FOGVERTEXMODE);
        glFogi(GL_FOG_MODE, mode == D3DFOG_EXP ? GL_EXP : mode == D3DFOG_EXP2 ? GL_EXP2 : GL_LINEAR);
        glFogf(GL_FOG_START, start);
        glFogf(GL_FOG_END, end);
        glFogf(GL_FOG_DENSITY, density);
    } else {
        glDisable(GL_FOG);
    }
}

void CGlPipeline::ApplyLighting(bool vertexColours) {
    if (!m_renderStates[D3DRS_LIGHTING]) {
        glDisable(GL_LIGHTING);
        return;
    }
    glEnable(GL_LIGHTING);
    GLfloat value[4];
    ColourToFloats(m_renderStates[D3DRS_AMBIENT], value);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, value);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, m_renderStates[D3DRS_LOCALVIEWER] ? 1 : 0);
    const std::pair<GLenum, const D3DCOLORVALUE*> material[] = {{GL_AMBIENT, &m_material.Ambient},
                                                                 {GL_DIFFUSE, &m_material.Diffuse},
                                                                 {GL_SPECULAR, &m_material.Specular},
                                                                 {GL_EMISSION, &m_material.Emissive}};
    for (auto [name, colour] : material) {
        ColourValue(*colour, value);
        glMaterialfv(GL_FRONT_AND_BACK, name, value);
    }
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(m_material.Power, 0.0f, 128.0f));
    if (vertexColours && m_renderStates[D3DRS_COLORVERTEX] &&
        m_renderStates[D3DRS_DIFFUSEMATERIALSOURCE] == D3DMCS_COLOR1) {
        glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
    } else {
        glDisable(GL_COLOR_MATERIAL);
    }
    // Lights are given in world space: positions go through the view only.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    const D3DMATRIX view = FindTransform(D3DTS_VIEW);
    glLoadMatrixf(&view.m[0][0]);
    GLenum id = GL_LIGHT0;
    for (const auto& [index, slot] : m_lights) {
        if (!slot.enabled || id > GL_LIGHT7) continue;
        const D3DLIGHT8& light = slot.light;
        glEnable(id);
        const std::pair<GLenum, const D3DCOLORVALUE*> colours[] = {
            {GL_AMBIENT, &light.Ambient}, {GL_DIFFUSE, &light.Diffuse}, {GL_SPECULAR, &light.Specular}};
        for (auto [name, colour] : colours) {
            ColourValue(*colour, value);
            glLightfv(id, name, value);
        }
        const bool directional = light.Type == D3DLIGHT_DIRECTIONAL;
        const GLfloat position[4] = {directional ? -light.Direction.x : light.Position.x,
                                     directional ? -light.Direction.y : light.Position.y,
                                     directional ? -light.Direction.z : light.Position.z, directional ? 0.0f : 1.0f};
        glLightfv(id, GL_POSITION, position);
        const GLfloat direction[3] = {light.Direction.x, light.Direction.y, light.Direction.z};
        glLightfv(id, GL_SPOT_DIRECTION, direction);
        glLightf(id, GL_SPOT_CUTOFF, light.Type == D3DLIGHT_SPOT ? std::min(light.Phi * 28.64789f, 90.0f) : 180.0f);
        glLightf(id, GL_SPOT_EXPONENT, std::clamp(light.Falloff, 0.0f, 128.0f));
        glLightf(id, GL_CONSTANT_ATTENUATION, light.Attenuation0);
        glLightf(id, GL_LINEAR_ATTENUATION, light.Attenuation1);
        glLightf(id, GL_QUADRATIC_ATTENUATION, light.Attenuation2);
        ++id;
    }
    for (; id <= GL_LIGHT7; ++id) glDisable(id);
    glPopMatrix();
}

void CGlPipeline::ApplyStages(int coordinateSets) {
    GLfloat factor[4];
    ColourToFloats(m_renderStates[D3DRS_TEXTUREFACTOR], factor);
    bool active = true;
    for (int stage = 0; stage < 4; ++stage) {
        const auto& states = m_stageStates[size_t(stage)];
        glActiveTexture(GLenum(GL_TEXTURE0 + stage));
        active = active && states[D3DTSS_COLOROP] != D3DTOP_DISABLE;
        if (!active) {
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_TEXTURE_GEN_S);
            glDisable(GL_TEXTURE_GEN_T);
            continue;
        }
        glEnable(GL_TEXTURE_2D);
        CGlImage* image = m_textures[size_t(stage)];
        glBindTexture(GL_TEXTURE_2D, image ? image->GetTexture() : m_white);
        const DWORD mip = image && image->GetLevels() > 1 ? states[D3DTSS_MIPFILTER] : D3DTEXF_NONE;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, MapMinFilter(states[D3DTSS_MINFILTER], mip));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                        states[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, MapAddress(states[D3DTSS_ADDRESSU]));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, MapAddress(states[D3DTSS_ADDRESSV]));
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, factor);
        SetCombiner(true, states[D3DTSS_COLOROP], states[D3DTSS_COLORARG1], states[D3DTSS_COLORARG2], stage);
        const DWORD alphaOp = states[D3DTSS_ALPHAOP] == D3DTOP_DISABLE ? D3DTOP_SELECTARG1 : states[D3DTSS_ALPHAOP];
        const DWORD alphaArg = states[D3DTSS_ALPHAOP] == D3DTOP_DISABLE ? D3DTA_CURRENT : states[D3DTSS_ALPHAARG1];
        SetCombiner(false, alphaOp, alphaArg, states[D3DTSS_ALPHAARG2], stage);

        // Coordinates: a set of the vertex, or generated in camera space.
        const DWORD index = states[D3DTSS_TEXCOORDINDEX];
        const DWORD generation = index & 0xFFFF0000u;
        glClientActiveTexture(GLenum(GL_TEXTURE0 + stage));
        if (generation == D3DTSS_TCI_CAMERASPACENORMAL || generation == D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR) {
            const GLint mode = generation == D3DTSS_TCI_CAMERASPACENORMAL ? GL_NORMAL_MAP : GL_REFLECTION_MAP;
            glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, mode);
            glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, mode);
            glEnable(GL_TEXTURE_GEN_S);
            glEnable(GL_TEXTURE_GEN_T);
        } else {
            glDisable(GL_TEXTURE_GEN_S);
            glDisable(GL_TEXTURE_GEN_T);
        }
        (void)coordinateSets;
        glMatrixMode(GL_TEXTURE);
        const auto matrix = m_transforms.find(D3DTS_TEXTURE0 + DWORD(stage));
        if (states[D3DTSS_TEXTURETRANSFORMFLAGS] != D3DTTFF_DISABLE && matrix != m_transforms.end()) {
            // Two coordinates enter as (u, v, 1, 0): the third row translates.
            D3DMATRIX m = matrix->second;
            for (int column = 0; column < 4; ++column) std::swap(m.m[2][column], m.m[3][column]);
            glLoadMatrixf(&m.m[0][0]);
        } else {
            glLoadIdentity();
        }
    }
    glActiveTexture(GL_TEXTURE0);
}

void CGlPipeline::LoadTransforms(bool pretransformed) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (pretransformed) return;
    // Direct3D's clip space to GL's: y downwards (row 0 on top), depth from
    // [0, w] to [-w, w], and the half-pixel move of the pixel centres.
    const float centre = m_glCentres ? 0.0f : 1.0f;
    const GLfloat fix[16] = {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 2, 0,
                             centre / float(std::max<DWORD>(m_viewport.Width, 1)),
                             centre / float(std::max<DWORD>(m_viewport.Height, 1)), -1, 1};
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(fix);
    const D3DMATRIX projection = FindTransform(D3DTS_PROJECTION), view = FindTransform(D3DTS_VIEW),
                    world = FindTransform(D3DTS_WORLD);
    glMultMatrixf(&projection.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&view.m[0][0]);
    glMultMatrixf(&world.m[0][0]);
}

bool CGlPipeline::Draw(D3DPRIMITIVETYPE type, const CVertexStream& vertices, UINT first, UINT primitives,
                       const CIndexStream* indices) {
    const int count = VerticesFor(type, primitives);
    // A stride shorter than the format would read the last vertex past the
    // end of the stream.
    if (count < 0 || !vertices.data || vertices.stride < VertexFormatSize(vertices.fvf)) return false;
    if (count == 0 || !m_colour) return true;
    const size_t available = vertices.bytes / vertices.stride;

    // The vertices used, as indices into the stream.
    std::vector<GLuint> used(static_cast<size_t>(count));
    if (indices) {
        const size_t start = first;
        if (!indices->data || (start + size_t(count)) * size_t(indices->indexSize) > indices->bytes) return false;
        for (size_t i = 0; i < used.size(); ++i) {
            uint32_t index = 0;
            std::memcpy(&index, indices->data + (start + i) * size_t(indices->indexSize), size_t(indices->indexSize));
            used[i] = index + indices->baseVertex;
        }
    } else {
        for (size_t i = 0; i < used.size(); ++i) used[i] = GLuint(first + i);
    }
    for (GLuint index : used)
        if (index >= available) return false;

    const DWORD fvf = vertices.fvf;
    const bool pretransformed = (fvf & D3DFVF_XYZRHW) != 0;
    CVertexArrays arrays;
    arrays.hasNormals = (fvf & D3DFVF_NORMAL) != 0;
    arrays.coordinateSets = int(std::min<DWORD>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT, 4));
    const float centre = m_glCentres ? 0.0f : 0.5f;
    const float width = float(std::max<DWORD>(m_viewport.Width, 1)),
                height = float(std::max<DWORD>(m_viewport.Height, 1));
    for (GLuint index : used) {
        const uint8_t* v = vertices.data + size_t(index) * vertices.stride;
        float p[4] = {0, 0, 0, 1};
        std::memcpy(p, v, pretransformed ? 16 : 12);
        v += pretransformed ? 16 : 12;
        if (pretransformed) {
            // Screen coordinates to clip space, keeping 1/rhw as w.
            const float w = p[3] != 0.0f ? 1.0f / p[3] : 1.0f;
            p[0] = ((p[0] + centre - float(m_viewport.X)) * 2.0f / width - 1.0f) * w;
            p[1] = ((p[1] + centre - float(m_viewport.Y)) * 2.0f / height - 1.0f) * w;
            p[2] = (p[2] * 2.0f - 1.0f) * w;
            p[3] = w;
        }
        arrays.positions.insert(arrays.positions.end(), p, p + 4);
        if (arrays.hasNormals) {
            float n[3];
            std::memcpy(n, v, 12);
            v += 12;
            arrays.normals.insert(arrays.normals.end(), n, n + 3);
        }
        D3DCOLOR diffuse = 0xFFFFFFFFu;
        if (fvf & D3DFVF_DIFFUSE) {
            std::memcpy(&diffuse, v, 4);
            v += 4;
        }
        const GLubyte rgba[4] = {GLubyte(diffuse >> 16), GLubyte(diffuse >> 8), GLubyte(diffuse),
                                 GLubyte(diffuse >> 24)};
        arrays.colours.insert(arrays.colours.end(), rgba, rgba + 4);
        if (fvf & D3DFVF_SPECULAR) v += 4;
        for (int set = 0; set < arrays.coordinateSets; ++set, v += 8) {
            float uv[2];
            std::memcpy(uv, v, 8);
            arrays.coordinates[size_t(set)].insert(arrays.coordinates[size_t(set)].end(), uv, uv + 2);
        }
    }

    ApplyTarget();
    ApplyFixedStates();
    LoadTransforms(pretransformed);
    if (pretransformed || !arrays.hasNormals)
        glDisable(GL_LIGHTING); // lighting needs normals and world positions
    else
        ApplyLighting((fvf & D3DFVF_DIFFUSE) != 0);
    ApplyStages(arrays.coordinateSets);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(4, GL_FLOAT, 0, arrays.positions.data());
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, arrays.colours.data());
    if (arrays.hasNormals) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, arrays.normals.data());
    }
    for (int stage = 0; stage < 4; ++stage) {
        const int set = int(m_stageStates[size_t(stage)][D3DTSS_TEXCOORDINDEX] & 0xFFFF);
        glClientActiveTexture(GLenum(GL_TEXTURE0 + stage));
        if (set < arrays.coordinateSets) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, 0, arrays.coordinates[size_t(set)].data());
        } else {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }
    glClientActiveTexture(GL_TEXTURE0);
    glDrawArrays(MapPrimitive(type), 0, count);
    m_queueLimit.Drew(count);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    return true;
}

} // namespace Platform::Gl
