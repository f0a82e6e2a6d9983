#pragma once
// What the Direct3D 7 and Direct3D 8 drivers set alike: the render states,
// texture-stage states and transforms that both devices take in the same
// codes. Each driver sends them to its own device.

#include "graphics/Graphics.h"
#include "platform/Direct3DTypes.h"

namespace Engine::Graphics {

class CGraphics_D3DStates : public CGraphics {
public:
    using CGraphics::CGraphics;

    void gSetFog(const CFog* fog) override;
    void SetViewMatrix(const float* matrix) override;
    void SetWorldMatrix(const float* matrix) override;
    // Width and height at the near distance, as Direct3D 8 builds it.
    void SetPerspective(float width, float height, float zNear, float zFar) override;
    void SetOrtho(float width, float height, float zNear, float zFar) override;
    void gSetTextureWrap(int stage, int addressU, int addressV) override;
    void gSetColorMaterial(int source) override;
    void gSetAlphaFunc(int func, float reference) override;
    void gSetShadeModel(int shade) override;
    void gSetStencilFunc(int func, int32_t reference, uint32_t mask) override;
    void gSetTexGen(int stage, int mode) override;
    void gSetTextureMatrix(int stage, const float* matrix) override;

protected:
    // Each does nothing without a device.
    virtual void SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) = 0;
    virtual void SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual void SetStageState(int stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) = 0;
};

} // namespace Engine::Graphics
