#include "graphics/drivers/GraphicsD3DStates.h"

#include <cstring>
#include <utility>

#include "graphics/drivers/CodesD3D8.h"

namespace Engine::Graphics {

using namespace D3D8;

namespace {

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

void CGraphics_D3DStates::gSetAlphaFunc(int func, float reference) {
    SetRenderState(D3DRS_ALPHAFUNC, ConvertCompareFunc(func));
    SetRenderState(D3DRS_ALPHAREF, ChannelByte(reference));
}

void CGraphics_D3DStates::gSetShadeModel(int shade) {
    SetRenderState(D3DRS_SHADEMODE, shade == SHADE_SMOOTH ? D3DSHADE_GOURAUD : D3DSHADE_FLAT);
}

void CGraphics_D3DStates::gSetStencilFunc(int func, int32_t reference, uint32_t mask) {
    SetRenderState(D3DRS_STENCILFUNC, ConvertCompareFunc(func));
    SetRenderState(D3DRS_STENCILREF, DWORD(reference));
    SetRenderState(D3DRS_STENCILMASK, mask);
}

void CGraphics_D3DStates::gSetTextureWrap(int stage, int addressU, int addressV) {
    SetStageState(stage, D3DTSS_ADDRESSU, MapTextureAddress(addressU));
    SetStageState(stage, D3DTSS_ADDRESSV, MapTextureAddress(addressV));
}

void CGraphics_D3DStates::gSetTexGen(int stage, int mode) {
    if (mode == TEXGEN_OFF) {
        SetStageState(stage, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_PASSTHRU);
        return;
    }
    if (mode != TEXGEN_SPHERE && mode != TEXGEN_REFLECTION) return;
    SetTransform(D3DTRANSFORMSTATETYPE(D3DTS_TEXTURE0 + stage), TexGenMatrix());
    SetStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    SetStageState(stage, D3DTSS_TEXCOORDINDEX,
                  mode == TEXGEN_SPHERE ? D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR : D3DTSS_TCI_CAMERASPACENORMAL);
}

void CGraphics_D3DStates::gSetTextureMatrix(int stage, const float* matrix) {
    if (!matrix) return;
    SetStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, TextureTransformCount(matrix));
    SetTransform(D3DTRANSFORMSTATETYPE(D3DTS_TEXTURE0 + stage), ToD3DMatrix(matrix));
}

void CGraphics_D3DStates::SetViewMatrix(const float* matrix) {
    CGraphics::SetViewMatrix(matrix);
    SetTransform(D3DTS_VIEW, ToD3DMatrix(matrix));
}

void CGraphics_D3DStates::SetWorldMatrix(const float* matrix) {
    CGraphics::SetWorldMatrix(matrix);
    SetTransform(D3DTS_WORLD, ToD3DMatrix(matrix));
}

void CGraphics_D3DStates::SetPerspective(float width, float height, float zNear, float zFar) {
    SetTransform(D3DTS_PROJECTION, PerspectiveMatrix(width, height, zNear, zFar));
}

void CGraphics_D3DStates::SetOrtho(float width, float height, float zNear, float zFar) {
    SetTransform(D3DTS_PROJECTION, OrthoMatrix(width, height, zNear, zFar));
}

void CGraphics_D3DStates::gSetColorMaterial(int source) {
    const std::pair<D3DRENDERSTATETYPE, int> sources[] = {{D3DRS_EMISSIVEMATERIALSOURCE, CM_EMISSIVE},
                                                          {D3DRS_AMBIENTMATERIALSOURCE, CM_AMBIENT},
                                                          {D3DRS_DIFFUSEMATERIALSOURCE, CM_DIFFUSE},
                                                          {D3DRS_SPECULARMATERIALSOURCE, CM_SPECULAR}};
    for (auto [state, code] : sources) SetRenderState(state, source == code ? D3DMCS_COLOR1 : D3DMCS_MATERIAL);
}

void CGraphics_D3DStates::gSetFog(const CFog* fog) {
    if (!fog) return;
    DWORD mode = DWORD(fog->mode);
    if (fog->mode == FOG_LINEAR) mode = D3DFOG_LINEAR;
    if (fog->mode == FOG_EXP) mode = D3DFOG_EXP;
    if (fog->mode == FOG_EXP2) mode = D3DFOG_EXP2;
    SetRenderState(D3DRS_FOGVERTEXMODE, mode);
    SetRenderState(D3DRS_FOGCOLOR,
                   ChannelByte(fog->color[0]) << 16 | ChannelByte(fog->color[1]) << 8 | ChannelByte(fog->color[2]));
    SetRenderState(D3DRS_FOGSTART, FloatBits(fog->start));
    SetRenderState(D3DRS_FOGEND, FloatBits(fog->end));
    SetRenderState(D3DRS_FOGDENSITY, FloatBits(fog->density));
}

} // namespace Engine::Graphics
