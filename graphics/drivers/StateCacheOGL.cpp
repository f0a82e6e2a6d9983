#include "graphics/drivers/StateCacheOGL.h"

#include <algorithm>
#include <iterator>

#include "graphics/drivers/GlCheck.h"

namespace Engine::Graphics {

namespace {

// The capabilities the driver switches; the index is their slot.
constexpr GLenum kCapabilities[] = {
    GL_DEPTH_TEST, GL_BLEND, GL_LIGHTING, GL_FOG, GL_NORMALIZE, GL_STENCIL_TEST,
    GL_COLOR_MATERIAL, GL_ALPHA_TEST, GL_DITHER, GL_CULL_FACE, GL_TEXTURE_2D,
};

constexpr GLenum kArrayNames[] = {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY};

void PointArray(CStateCache_OGL::EClientArray array, const void* pointer, GLsizei stride) {
    switch (array) {
    case CStateCache_OGL::ARRAY_VERTEX: GL_CHECK(glVertexPointer(3, GL_FLOAT, stride, pointer)); break;
    case CStateCache_OGL::ARRAY_NORMAL: GL_CHECK(glNormalPointer(GL_FLOAT, stride, pointer)); break;
    case CStateCache_OGL::ARRAY_COLOR: GL_CHECK(glColorPointer(4, GL_UNSIGNED_BYTE, stride, pointer)); break;
    case CStateCache_OGL::ARRAY_TEXCOORD: GL_CHECK(glTexCoordPointer(2, GL_FLOAT, stride, pointer)); break;
    default: break;
    }
}

} // namespace

static_assert(std::size(kCapabilities) == CStateCache_OGL::kCapabilityCount);

void CStateCache_OGL::Forget() {
    std::fill(std::begin(m_enabled), std::end(m_enabled), kUnknown);
    m_depthMask = kUnknown;
    m_colorWhite = kUnknown;
    m_blendKnown = false;
    m_blendSource = m_blendDestination = 0;
    m_boundTexture = -1;
    for (CArrayState& array : m_arrays) array = {kUnknown, nullptr, -1};
}

void CStateCache_OGL::SetEnabled(GLenum capability, bool on) {
    const auto* slot = std::find(std::begin(kCapabilities), std::end(kCapabilities), capability);
    if (slot != std::end(kCapabilities)) {
        int8_t& known = m_enabled[slot - std::begin(kCapabilities)];
        if (known == int8_t(on)) return;
        known = int8_t(on);
    }
    if (on)
        GL_CHECK(glEnable(capability));
    else
        GL_CHECK(glDisable(capability));
}

void CStateCache_OGL::SetDepthMask(bool on) {
    if (m_depthMask == int8_t(on)) return;
    m_depthMask = int8_t(on);
    GL_CHECK(glDepthMask(on ? GL_TRUE : GL_FALSE));
}

void CStateCache_OGL::SetBlendFunc(GLenum source, GLenum destination) {
    if (m_blendKnown && m_blendSource == source && m_blendDestination == destination) return;
    m_blendKnown = true;
    m_blendSource = source;
    m_blendDestination = destination;
    GL_CHECK(glBlendFunc(source, destination));
}

void CStateCache_OGL::BindTexture(GLuint name) {
    if (m_boundTexture == int64_t(name)) return;
    m_boundTexture = int64_t(name);
    GL_CHECK(glBindTexture(GL_TEXTURE_2D, name));
}

void CStateCache_OGL::DeleteTexture(GLuint name) {
    GL_CHECK(glDeleteTextures(1, &name));
    if (m_boundTexture == int64_t(name)) m_boundTexture = 0;
}

void CStateCache_OGL::SetWhiteColor() {
    if (m_colorWhite == 1) return;
    m_colorWhite = 1;
    GL_CHECK(glColor4f(1.0f, 1.0f, 1.0f, 1.0f));
}

void CStateCache_OGL::SetClientArray(EClientArray array, const void* pointer, GLsizei stride) {
    CArrayState& state = m_arrays[array];
    const bool on = pointer != nullptr;
    if (state.enabled != int8_t(on)) {
        state.enabled = int8_t(on);
        if (on)
            GL_CHECK(glEnableClientState(kArrayNames[array]));
        else
            GL_CHECK(glDisableClientState(kArrayNames[array]));
    }
    if (!on || (state.pointer == pointer && state.stride == stride)) return;
    state.pointer = pointer;
    state.stride = stride;
    PointArray(array, pointer, stride);
}

} // namespace Engine::Graphics
