// The OpenGL driver's render states, matrices and drawing: each interface
// code becomes GL 1.x state directly. The stage arguments select no GL
// texture unit; they only index the stage-disabled flags.

#include <cstring>

#include "app/Log.h"
#include "app/Math.h"
#include "graphics/Texture.h"
#include "graphics/drivers/CodesOGL.h"
#include "graphics/drivers/GlCheck.h"
#include "graphics/drivers/GraphicsOGL.h"

namespace Engine::Graphics {

using namespace OGL;

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kDegreesPerRadian = 57.29578f;

void LoadMatrix(GLenum mode, const float* matrix34) {
    GLfloat gl[16];
    ToGlMatrix(matrix34, gl);
    GL_CHECK(glMatrixMode(mode));
    GL_CHECK(glLoadMatrixf(gl));
}

void SetOrtho2DProjection(float width, float height, float zNear, float zFar) {
    GL_CHECK(glOrtho(0.0, width, height, 0.0, zNear, zFar));
}

void SetOrthoProjection(float width, float height, float zNear, float zFar) {
    GL_CHECK(glOrtho(width * -0.5f, width * 0.5f, height * -0.5f, height * 0.5f, zNear, zFar));
}

void SetPerspectiveProjection(float width, float height, float zNear, float zFar) {
    GL_CHECK(glFrustum(width * -0.5f, width * 0.5f, height * -0.5f, height * 0.5f, zNear, zFar));
}

} // namespace

void CGraphics_OGL::gSwitch(int id, bool on) {
    if (id == SWITCH_DEPTH_WRITE) {
        m_states.SetDepthMask(on);
        return;
    }
    GLenum capability;
    switch (id) {
    case SWITCH_DEPTH_TEST: capability = GL_DEPTH_TEST; break;
    case SWITCH_ALPHA_BLEND: capability = GL_BLEND; break;
    case SWITCH_LIGHTING: capability = GL_LIGHTING; break;
    case SWITCH_FOG: capability = GL_FOG; break;
    case SWITCH_NORMALIZE: capability = GL_NORMALIZE; break;
    case SWITCH_STENCIL_TEST: capability = GL_STENCIL_TEST; break;
    case SWITCH_COLOR_MATERIAL: capability = GL_COLOR_MATERIAL; break;
    case SWITCH_ALPHA_TEST: capability = GL_ALPHA_TEST; break;
    case SWITCH_DITHER: capability = GL_DITHER; break;
    default: return; // 5 and unknown ids name no GL state
    }
    m_states.SetEnabled(capability, on);
}

void CGraphics_OGL::gSetBlendFunc(int source, int destination) {
    m_states.SetBlendFunc(MapBlendSource(source), MapBlendDestination(destination));
}

void CGraphics_OGL::gSetDepthFunc(int func) { GL_CHECK(glDepthFunc(MapCompareFunc(func))); }
void CGraphics_OGL::gSetAlphaFunc(int func, float reference) { GL_CHECK(glAlphaFunc(MapCompareFunc(func), reference)); }
void CGraphics_OGL::gSetStencilFunc(int func, int32_t reference, uint32_t mask) {
    GL_CHECK(glStencilFunc(MapCompareFunc(func), reference, mask));
}
void CGraphics_OGL::gSetStencilMask(uint32_t mask) { GL_CHECK(glStencilMask(mask)); }
void CGraphics_OGL::gSetStencilOp(uint32_t fail, uint32_t depthFail, uint32_t pass) {
    GL_CHECK(glStencilOp(MapStencilOp(int(fail)), MapStencilOp(int(depthFail)), MapStencilOp(int(pass))));
}
void CGraphics_OGL::gSetFrontFace(int front) { GL_CHECK(glFrontFace(MapFrontFace(front))); }

void CGraphics_OGL::gSetCullMode(int cull) {
    if (cull == CULL_NONE) {
        m_states.SetEnabled(GL_CULL_FACE, false);
        return;
    }
    // The codes name a winding; which GL face that is depends on the front face.
    GLint front = GL_CCW;
    GL_CHECK(glGetIntegerv(GL_FRONT_FACE, &front));
    GLenum face = GLenum(cull);
    if (cull == CULL_CCW) face = front == GL_CW ? GL_FRONT : GL_BACK;
    if (cull == CULL_CW) face = front == GL_CCW ? GL_FRONT : GL_BACK;
    GL_CHECK(glCullFace(face));
    m_states.SetEnabled(GL_CULL_FACE, true);
}

void CGraphics_OGL::gSetShadeModel(int shade) { GL_CHECK(glShadeModel(shade == SHADE_SMOOTH ? GL_SMOOTH : GL_FLAT)); }
void CGraphics_OGL::gSetColorMaterial(int source) { GL_CHECK(glColorMaterial(GL_FRONT_AND_BACK, GLenum(source))); }
void CGraphics_OGL::gSetLightModel(bool localViewer) {
    GL_CHECK(glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, localViewer ? 1 : 0));
}
void CGraphics_OGL::gSetTwoSidedLighting(bool twoSided) {
    GL_CHECK(glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, twoSided ? 1 : 0));
}

void CGraphics_OGL::gSetAmbient(float r, float g, float b, float a) {
    const GLfloat ambient[4] = {r, g, b, a};
    GL_CHECK(glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient));
}

void CGraphics_OGL::gSetColorMask(bool r, bool g, bool b, bool a) { GL_CHECK(glColorMask(r, g, b, a)); }

void CGraphics_OGL::gSetLight(int index, const CLight* light) {
    if (!light) return;
    const GLenum id = GLenum(GL_LIGHT0 + index);
    GL_CHECK(glLightf(id, GL_SPOT_EXPONENT, light->spotExponent));
    GL_CHECK(glLightf(id, GL_SPOT_CUTOFF, light->spotCutoff == kPi ? 180.0f : light->spotCutoff * kDegreesPerRadian));
    GL_CHECK(glLightf(id, GL_CONSTANT_ATTENUATION, light->attenuation[0]));
    GL_CHECK(glLightf(id, GL_LINEAR_ATTENUATION, light->attenuation[1]));
    GL_CHECK(glLightf(id, GL_QUADRATIC_ATTENUATION, light->attenuation[2]));
    GL_CHECK(glEnable(id));
    GL_CHECK(glLightfv(id, GL_AMBIENT, light->ambient));
    GL_CHECK(glLightfv(id, GL_DIFFUSE, light->diffuse));
    GL_CHECK(glLightfv(id, GL_SPECULAR, light->specular));
    const GLfloat position[4] = {light->position[0], light->position[1], light->position[2],
                                 light->directional ? 0.0f : 1.0f};
    GL_CHECK(glLightfv(id, GL_POSITION, position));
    GL_CHECK(glLightfv(id, GL_SPOT_DIRECTION, light->direction));
}

void CGraphics_OGL::gSetMaterial(int face, const CMaterial* material) {
    if (!material) return;
    const GLenum glFace = MapMaterialFace(face);
    GL_CHECK(glMaterialfv(glFace, GL_AMBIENT, material->ambient));
    GL_CHECK(glMaterialfv(glFace, GL_DIFFUSE, material->diffuse));
    GL_CHECK(glMaterialfv(glFace, GL_SPECULAR, material->specular));
    GL_CHECK(glMaterialfv(glFace, GL_EMISSION, material->emissive));
    GL_CHECK(glMaterialf(glFace, GL_SHININESS, material->shininess));
}

void CGraphics_OGL::gSetFog(const CFog* fog) {
    if (!fog) return;
    if (const auto mode = MapFogMode(fog->mode)) GL_CHECK(glFogi(GL_FOG_MODE, GLint(*mode)));
    GL_CHECK(glFogf(GL_FOG_DENSITY, fog->density));
    GL_CHECK(glFogf(GL_FOG_START, fog->start));
    GL_CHECK(glFogf(GL_FOG_END, fog->end));
    GL_CHECK(glFogfv(GL_FOG_COLOR, fog->color));
}

void CGraphics_OGL::SetWorldMatrix(const float* matrix) {
    CGraphics::SetWorldMatrix(matrix);
    LoadModelViewMatrix();
}

void CGraphics_OGL::SetViewMatrix(const float* matrix) {
    CGraphics::SetViewMatrix(matrix);
    LoadModelViewMatrix();
}

void CGraphics_OGL::LoadModelViewMatrix() {
    // The world transform applies to a vertex first.
    Engine::Geometry::CMatrix34 world, view, modelView;
    std::memcpy(world.m, m_worldMatrix, sizeof world.m);
    std::memcpy(view.m, m_viewMatrix, sizeof view.m);
    MultiplyMatrix34(world, view, modelView);
    LoadMatrix(GL_MODELVIEW, modelView.data());
}

void CGraphics_OGL::LoadProjection(void (*setup)(float, float, float, float), float width, float height,
                                   float zNear, float zFar) {
    GL_CHECK(glMatrixMode(GL_PROJECTION));
    GL_CHECK(glLoadIdentity());
    setup(width, height, zNear, zFar);
    GL_CHECK(glMatrixMode(GL_MODELVIEW));
}

void CGraphics_OGL::SetOrtho2D(float width, float height, float zNear, float zFar) {
    LoadProjection(&SetOrtho2DProjection, width, height, zNear, zFar);
}

void CGraphics_OGL::SetOrtho(float width, float height, float zNear, float zFar) {
    LoadProjection(&SetOrthoProjection, width, height, zNear, zFar);
}

void CGraphics_OGL::SetPerspective(float width, float height, float zNear, float zFar) {
    LoadProjection(&SetPerspectiveProjection, width, height, zNear, zFar);
}

void CGraphics_OGL::gClear(uint32_t flags) {
    ClearColorAsQuad(flags);
    GLbitfield mask = 0;
    if (flags & CLEAR_COLOR) mask |= GL_COLOR_BUFFER_BIT;
    if (flags & CLEAR_DEPTH) mask |= GL_DEPTH_BUFFER_BIT;
    if (flags & CLEAR_STENCIL) mask |= GL_STENCIL_BUFFER_BIT;
    if (!mask) return;
    // Quantised as vertex colours are; alpha is always cleared to 0.
    const uint32_t packed = PackColorRGBA(m_clearColor[0], m_clearColor[1], m_clearColor[2], 0.0f);
    GL_CHECK(glClearColor(float(packed & 0xFF) / 255.0f, float((packed >> 8) & 0xFF) / 255.0f,
                          float((packed >> 16) & 0xFF) / 255.0f, 0.0f));
    GL_CHECK(glClear(mask));
}

void CGraphics_OGL::BindStage(int stage, int32_t name) {
    const bool enable = name >= 0;
    m_states.SetEnabled(GL_TEXTURE_2D, enable);
    if (enable) m_states.BindTexture(GLuint(name));
    if (stage >= 0 && stage < 4) m_stageDisabled[stage] = enable ? 0 : 1;
}

void CGraphics_OGL::gSetTexture(int stage, CBaseHardwareTexture* texture) {
    int32_t name = -1;
    if (auto* target = dynamic_cast<CRenderTarget_OGL*>(texture))
        name = target->GetTextureName();
    else if (auto* hardware = dynamic_cast<CHardwareTexture_OGL*>(texture))
        name = hardware->GetTextureName();
    BindStage(stage, name);
}

void CGraphics_OGL::gSetTextureStage(int stage, ref_ptr<CTexture> texture) {
    int32_t name = -1;
    if (texture) {
        if (ref_ptr<CHardwareTexture> hardware = texture->GetHardwareTexture())
            name = DynamicRefCast<CHardwareTexture_OGL>(hardware)->GetTextureName();
    }
    BindStage(stage, name);
}

void CGraphics_OGL::gSetTextureWrap(int, int addressU, int addressV) {
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, addressU == ADDRESS_WRAP ? GL_REPEAT : GL_CLAMP));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, addressV == ADDRESS_WRAP ? GL_REPEAT : GL_CLAMP));
}

void CGraphics_OGL::gSetTextureFilter(int, int minFilter, int magFilter, int mipFilter) {
    const CFilters filters = MapTextureFilter(minFilter, magFilter, mipFilter);
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filters.minFilter));
    if (filters.magFilter) GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, *filters.magFilter));
}

void CGraphics_OGL::gSetTexGen(int, int mode) {
    if (mode == TEXGEN_OFF) {
        GL_CHECK(glDisable(GL_TEXTURE_GEN_S));
        GL_CHECK(glDisable(GL_TEXTURE_GEN_T));
        return;
    }
    if (mode != TEXGEN_SPHERE && mode != TEXGEN_REFLECTION) return;
    const GLint generation = mode == TEXGEN_SPHERE ? GL_SPHERE_MAP : GL_NORMAL_MAP;
    GL_CHECK(glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, generation));
    GL_CHECK(glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, generation));
    GL_CHECK(glEnable(GL_TEXTURE_GEN_S));
    GL_CHECK(glEnable(GL_TEXTURE_GEN_T));
    GL_CHECK(glMatrixMode(GL_TEXTURE));
    GL_CHECK(glLoadIdentity());
    if (mode == TEXGEN_REFLECTION) {
        // Maps each generated coordinate t to 0.5 t + 0.5.
        GL_CHECK(glTranslatef(0.5f, 0.5f, 0.5f));
        GL_CHECK(glScalef(0.5f, 0.5f, 0.5f));
    }
}

void CGraphics_OGL::gSetTextureMatrix(int, const float* matrix) {
    if (matrix) LoadMatrix(GL_TEXTURE, matrix);
}

void CGraphics_OGL::SetCombineConstant(int source, const float* constant, bool colour) {
    if (source != ARG_CONSTANT || !constant) return;
    const GLfloat value[4] = {colour ? constant[0] : 0.0f, colour ? constant[1] : 0.0f,
                              colour ? constant[2] : 0.0f, colour ? 0.0f : constant[0]};
    GL_CHECK(glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, value));
}

void CGraphics_OGL::gSetTextureCombine(int, int operation, int channel, int arg1, const float* constant1, int arg2,
                                       const float* constant2) {
    const bool colour = channel == CHANNEL_COLOR;
    GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB));
    GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, colour ? GL_COMBINE_RGB_ARB : GL_COMBINE_ALPHA_ARB,
                       GLint(MapCombineOperation(operation))));
    if (const auto source = MapCombineSource(arg1))
        GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, colour ? GL_SOURCE0_RGB_ARB : GL_SOURCE0_ALPHA_ARB, GLint(*source)));
    if (const auto source = MapCombineSource(arg2))
        GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, colour ? GL_SOURCE1_RGB_ARB : GL_SOURCE1_ALPHA_ARB, GLint(*source)));
    GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, colour ? GL_SOURCE2_RGB_ARB : GL_SOURCE2_ALPHA_ARB, GL_CONSTANT_ARB));
    if (const auto factor = MapInterpolationSource(operation)) {
        GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB_ARB, GLint(*factor)));
        GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_ALPHA_ARB, GLint(*factor)));
    }
    GL_CHECK(glTexEnvf(GL_TEXTURE_ENV, colour ? GL_RGB_SCALE_ARB : GL_ALPHA_SCALE, CombineScale(operation)));
    GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_SRC_COLOR));
    GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB_ARB, GL_SRC_COLOR));
    GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB_ARB, GL_SRC_ALPHA));
    GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA_ARB, GL_SRC_ALPHA));
    GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_ALPHA_ARB, GL_SRC_ALPHA));
    GL_CHECK(glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_ALPHA_ARB, GL_SRC_ALPHA));
    SetCombineConstant(arg1, constant1, colour);
    SetCombineConstant(arg2, constant2, colour);
}

void CGraphics_OGL::EnableClientArrays(const uint8_t* data, uint32_t format, GLsizei stride) {
    // Each part present moves the cursor past it; an array GL is not given
    // is disabled.
    const uint8_t* p = data;
    auto take = [&](uint32_t part, int bytes) -> const uint8_t* {
        if (!(format & part)) return nullptr;
        const uint8_t* at = p;
        p += bytes;
        return at;
    };
    const uint8_t* position = take(VF_XYZ, 12);
    take(VF_RHW, 4);  // not given to GL
    const uint8_t* normal = take(VF_NORMAL, 12);
    const uint8_t* colour = take(VF_DIFFUSE, 4);
    take(VF_SPECULAR, 4);
    const uint8_t* texCoord = take(VF_TEX0, 8);
    if (IsStageDisabled(0)) texCoord = nullptr;
    m_states.SetClientArray(CStateCache_OGL::ARRAY_VERTEX, position, stride);
    m_states.SetClientArray(CStateCache_OGL::ARRAY_NORMAL, normal, stride);
    m_states.SetClientArray(CStateCache_OGL::ARRAY_COLOR, colour, stride);
    m_states.SetClientArray(CStateCache_OGL::ARRAY_TEXCOORD, texCoord, stride);
    // Vertices without colours are white; a colour array leaves GL's
    // current colour undefined after the draw.
    if (colour)
        m_states.ForgetColor();
    else
        m_states.SetWhiteColor();
}

void CGraphics_OGL::gDraw(int type, ref_ptr<CVertexBuffer> vertices, int first, int count,
                          ref_ptr<CIndexBuffer> indices) {
    if (!vertices) return;
    const CPrimitiveRange range = MapPrimitive(type, first, count);
    // Client arrays are read straight from the buffers: a range outside them
    // would read past their memory.
    const int64_t available = indices ? indices->GetCount() : vertices->GetCount();
    const int64_t begin = indices ? 0 : range.first;
    if (range.count <= 0 || begin < 0 || begin + range.count > available) {
        if (range.count != 0)
            GetLog().PrintLine("CGraphics_OGL::gDraw(%d, %d, %d) : outside the buffer", type, first, count);
        return;
    }
    const auto* data = static_cast<const uint8_t*>(vertices->Lock());
    vertices->Unlock();
    EnableClientArrays(data, vertices->GetFormat(), vertices->GetVertexSize());
    if (!indices) {
        GL_CHECK(glDrawArrays(range.mode, range.first, range.count));
    } else {
        const void* indexData = indices->Lock();
        GL_CHECK(glDrawElements(range.mode, range.count,
                                indices->GetBytesPerIndex() == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT,
                                indexData));
        indices->Unlock();
    }
    m_queueLimit.Drew(range.count);
}

} // namespace Engine::Graphics
