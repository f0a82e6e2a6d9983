#pragma once
// What the OpenGL driver last set on its context, so that setting a state to
// the value it already holds costs no GL call. Every value starts unknown and
// becomes unknown again on Forget, which the driver calls whenever GL may hold
// anything: a new or lost context, a device reset, a mode change.
//
// Client-array pointers are remembered too: GL reads a client array only when
// it draws, so an array already pointing at the same address with the same
// stride needs no new pointer even if the memory there was reused.

#include <cstdint>

#include "platform/Wgl.h"

namespace Engine::Graphics {

class CStateCache_OGL {
public:
    enum EClientArray { ARRAY_VERTEX, ARRAY_NORMAL, ARRAY_COLOR, ARRAY_TEXCOORD, ARRAY_COUNT };

    // How many capabilities are remembered.
    static constexpr int kCapabilityCount = 11;

    CStateCache_OGL() { Forget(); }

    void Forget();

    // glEnable / glDisable; capabilities not remembered here always reach GL.
    void SetEnabled(GLenum capability, bool on);
    void SetDepthMask(bool on);
    void SetBlendFunc(GLenum source, GLenum destination);
    void BindTexture(GLuint name);
    // Deletes the texture. GL binds texture 0 in place of a deleted bound
    // texture and may hand the name out again.
    void DeleteTexture(GLuint name);
    // Opaque white as the current colour, for vertices without colours.
    void SetWhiteColor();
    // A draw with a colour array leaves GL's current colour undefined.
    void ForgetColor() { m_colorWhite = kUnknown; }

    // Enables the array with its layout (the driver's fixed component count
    // and type per array), or disables it for a null pointer.
    void SetClientArray(EClientArray array, const void* pointer, GLsizei stride);

private:
    static constexpr int8_t kUnknown = -1;

    struct CArrayState {
        int8_t enabled;
        const void* pointer;
        GLsizei stride;  // negative while the pointer is unknown
    };

    int8_t m_enabled[kCapabilityCount];
    int8_t m_depthMask;
    int8_t m_colorWhite;
    bool m_blendKnown;
    GLenum m_blendSource, m_blendDestination;
    int64_t m_boundTexture;  // negative while unknown
    CArrayState m_arrays[ARRAY_COUNT];
};

} // namespace Engine::Graphics
