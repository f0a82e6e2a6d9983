#pragma once
// The fixed-function pipeline behind the Direct3D stand-ins: it takes
// Direct3D render states, texture-stage states and transforms (whose numbers
// the Direct3D 7 and 8 interfaces share) and draws flexible-format vertices
// into an image with OpenGL. Pixel centres are at integer coordinates unless
// told otherwise, so the images look as Direct3D would draw them. Main
// thread only.

#include "platform/GlExt.h"

#include <array>
#include <cstdint>
#include <map>

#include "platform/Direct3DTypes.h"
#include "platform/GlDepthBuffer.h"
#include "platform/GlImage.h"
#include "platform/GlQueueLimit.h"

namespace Platform::Gl {

// Where a draw takes its vertices: flexible-format data and its stride.
struct CVertexStream {
    const uint8_t* data = nullptr;
    size_t bytes = 0;
    DWORD fvf = 0;
    UINT stride = 0;
};

// Indices of an indexed draw, added to the base vertex.
struct CIndexStream {
    const uint8_t* data = nullptr;
    size_t bytes = 0;
    int indexSize = 2;
    UINT baseVertex = 0;
};

constexpr int kStages = 8;

// Bytes of one vertex of a flexible format.
UINT VertexFormatSize(DWORD fvf);

// The fixed-function state and the draws that use it.
class CGlPipeline {
public:
    CGlPipeline();
    // Direct3D's defaults for every state; nothing bound.
    void ResetStates();

    DWORD GetRenderState(DWORD state) const { return state < m_renderStates.size() ? m_renderStates[state] : 0; }
    void SetRenderState(DWORD state, DWORD value);
    DWORD GetStageState(DWORD stage, DWORD state) const;
    void SetStageState(DWORD stage, DWORD state, DWORD value);
    void SetTexture(DWORD stage, CGlImage* image);
    void SetTransform(DWORD state, const D3DMATRIX& matrix);
    void SetViewport(const D3DVIEWPORT8& viewport) { m_viewport = viewport; }
    const D3DVIEWPORT8& GetViewport() const { return m_viewport; }
    void SetMaterial(const D3DMATERIAL8& material) { m_material = material; }
    void SetLight(DWORD index, const D3DLIGHT8& light) { m_lights[index].light = light; }
    void EnableLight(DWORD index, bool enable) { m_lights[index].enabled = enable; }
    // The draw target: a level of an image, with or without depth.
    void SetTarget(CGlImage* colour, int level, CGlDepthBuffer* depth);
    bool HasDepth() const { return m_depth != nullptr; }
    // Half-integer (OpenGL) pixel centres instead of Direct3D's.
    void SetOpenGlPixelCentres(bool on) { m_glCentres = on; }

    // Clears the viewport, or each rectangle within it.
    void Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil);
    // False when the vertices or indices the draw needs are not there.
    bool Draw(D3DPRIMITIVETYPE type, const CVertexStream& vertices, UINT first, UINT primitives,
              const CIndexStream* indices);

private:
    struct CLightSlot {
        D3DLIGHT8 light;
        bool enabled = false;
    };
    void ApplyTarget();
    void ApplyFixedStates();
    // vertexColours: the vertices carry a diffuse colour the material can
    // take.
    void ApplyLighting(bool vertexColours);
    void ApplyStages(int coordinateSets);
    void LoadTransforms(bool pretransformed);
    // Identity for a transform never set.
    D3DMATRIX FindTransform(DWORD state) const;

    std::array<DWORD, 256> m_renderStates{};
    std::array<std::array<DWORD, 32>, kStages> m_stageStates{};
    std::array<CGlImage*, kStages> m_textures{};
    std::map<DWORD, D3DMATRIX> m_transforms;
    D3DVIEWPORT8 m_viewport;
    D3DMATERIAL8 m_material;
    std::map<DWORD, CLightSlot> m_lights;
    CGlImage* m_colour = nullptr;
    int m_level = 0;
    CGlDepthBuffer* m_depth = nullptr;
    bool m_glCentres = false;
    GLuint m_white = 0;
    CGlQueueLimit m_queueLimit;
};

} // namespace Platform::Gl
