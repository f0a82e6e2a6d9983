// The Direct3D 7 driver's render states, matrices, lights and drawing with
// the shared quad index array. The codes Direct3D 7 and 8 give the same
// values come from the Direct3D 8 tables.

#include <algorithm>

#include "app/Exception.h"
#include "app/Log.h"
#include "graphics/Texture.h"
#include "graphics/drivers/CodesD3D8.h"
#include "graphics/drivers/GraphicsD3D7.h"

namespace Engine::Graphics {

using namespace D3D8;

namespace {

constexpr float kPi = 3.1415927f;

DWORD MapMinFilter(int code) {
    if (code == FILTER_POINT) return D3DTFN_POINT;
    if (code == FILTER_LINEAR || code == FILTER_ANISOTROPIC) return D3DTFN_LINEAR;
    return DWORD(code);
}

DWORD MapMagFilter(int code) {
    switch (code) {
    case FILTER_POINT: return D3DTFG_POINT;
    case FILTER_LINEAR: return D3DTFG_LINEAR;
    case FILTER_ANISOTROPIC: return D3DTFG_ANISOTROPIC;
    default: return DWORD(code);
    }
}

// An ambient channel: x 255 and truncated. Clamped as well, because a
// channel above 1 would otherwise carry into the next byte.
uint32_t AmbientByte(float value) { return ClampedByte(value * 255.0f); }

DWORD MapMipFilter7(int code) {
    if (code == 1) return D3DTFP_NONE;
    if (code == 2 || code == 3) return D3DTFP_LINEAR;
    return DWORD(code);
}

// Vertices a draw of count primitives reads, and the first one.
struct CVertexRange {
    DWORD start, count;
};

CVertexRange RangeFor(int type, int first, int count) {
    const DWORD s = DWORD(first), n = DWORD(count);
    switch (type) {
    case PRIM_LINE_LIST: return {2 * s, 2 * n};
    case PRIM_LINE_STRIP: return {s, n + 1};
    case PRIM_TRIANGLE_LIST: return {3 * s, 3 * n};
    case PRIM_TRIANGLE_STRIP:
    case PRIM_TRIANGLE_FAN: return {s, n + 2};
    default: return {s, n};
    }
}

// Direct3D 7's projection for a 2D view: the viewport's pixels with y
// downwards, no half-pixel move (the buffer offset takes care of it).
D3DMATRIX Ortho2DMatrix7(float width, float height, float zNear, float zFar) {
    D3DMATRIX d;
    const float q = zFar / (zFar - zNear);
    d.m[0][0] = 2.0f / width;
    d.m[1][1] = -2.0f / height;
    d.m[2][2] = q;
    d.m[3][0] = -1.0f;
    d.m[3][1] = 1.0f;
    d.m[3][2] = -zNear * q;
    d.m[3][3] = 1.0f;
    return d;
}

} // namespace

void CGraphics_D3D7::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (m_pd3dDevice) m_pd3dDevice->SetRenderState(state, value);
}

void CGraphics_D3D7::SetStageState(int stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) {
    if (m_pd3dDevice) m_pd3dDevice->SetTextureStageState(DWORD(stage), state, value);
}

void CGraphics_D3D7::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) {
    if (m_pd3dDevice) m_pd3dDevice->SetTransform(state, &matrix);
}

void CGraphics_D3D7::SetDeviceDefaults() {
    SetRenderState(D3DRS_LIGHTING, FALSE);
    SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    for (int stage = 0; stage < 8; ++stage) {
        SetStageState(stage, D3DTSS_MINFILTER, D3DTFN_POINT);
        SetStageState(stage, D3DTSS_MAGFILTER, D3DTFG_POINT);
        SetStageState(stage, D3DTSS_MIPFILTER, D3DTFP_NONE);
        SetStageState(stage, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
        SetStageState(stage, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    }
}

void CGraphics_D3D7::gSwitch(int id, bool on) {
    const std::optional<D3DRENDERSTATETYPE> state = MapSwitch(id);
    if (!state) {
        GetLog().PrintLine("Engine::Graphics::CGraphics_D3D7::gSwitch(%d) : Undefined value", id);
        return;
    }
    SetRenderState(*state, on ? TRUE : FALSE);
}

void CGraphics_D3D7::gSetBlendFunc(int source, int destination) {
    if (const DWORD factor = MapBlendSource(source)) SetRenderState(D3DRS_SRCBLEND, factor);
    if (const DWORD factor = MapBlendDestination(destination)) SetRenderState(D3DRS_DESTBLEND, factor);
}

void CGraphics_D3D7::gSetDepthFunc(int func) { SetRenderState(D3DRS_ZFUNC, ConvertCompareFunc(func)); }

void CGraphics_D3D7::gSetCullMode(int cull) { SetRenderState(D3DRS_CULLMODE, MapCullMode(cull)); }

void CGraphics_D3D7::gSetStencilMask(uint32_t mask) { SetRenderState(D3DRS_STENCILWRITEMASK, mask); }

void CGraphics_D3D7::gSetStencilOp(uint32_t fail, uint32_t depthFail, uint32_t pass) {
    // Stencil operations have their own codes, not the compare functions'.
    SetRenderState(D3DRS_STENCILFAIL, MapStencilOp(fail));
    SetRenderState(D3DRS_STENCILZFAIL, MapStencilOp(depthFail));
    SetRenderState(D3DRS_STENCILPASS, MapStencilOp(pass));
}

void CGraphics_D3D7::gSetTextureFilter(int stage, int minFilter, int magFilter, int mipFilter) {
    SetStageState(stage, D3DTSS_MINFILTER, MapMinFilter(minFilter));
    SetStageState(stage, D3DTSS_MAGFILTER, MapMagFilter(magFilter));
    SetStageState(stage, D3DTSS_MIPFILTER, MapMipFilter7(mipFilter));
}

void CGraphics_D3D7::BindStageSurface(int stage, IDirectDrawSurface7* surface) {
    if (!m_pd3dDevice) return;
    m_pd3dDevice->SetTexture(DWORD(stage), surface);
    if (!surface) return;
    SetStageState(stage, D3DTSS_MINFILTER, D3DTFN_POINT);
    SetStageState(stage, D3DTSS_MAGFILTER, D3DTFG_POINT);
    SetStageState(stage, D3DTSS_COLOROP, D3DTOP_MODULATE);
    SetStageState(stage, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    SetStageState(stage, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    SetStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
}

void CGraphics_D3D7::gSetTextureStage(int stage, ref_ptr<CTexture> texture) {
    if (!texture) {
        BindStageSurface(stage, nullptr);
        return;
    }
    IDirectDrawSurface7* surface = nullptr;
    if (ref_ptr<CHardwareTexture> hardware = texture->GetHardwareTexture())
        surface = DynamicRefCast<CHardwareTexture_D3D7>(hardware)->GetSurface();
    BindStageSurface(stage, surface);
}

void CGraphics_D3D7::gSetTexture(int stage, CBaseHardwareTexture* texture) {
    auto* target = dynamic_cast<CRenderTarget_D3D7*>(texture);
    BindStageSurface(stage, target ? target->GetSurface() : nullptr);
}

void CGraphics_D3D7::gSetTextureCombine(int stage, int operation, int channel, int arg1, const float* constant1,
                                        int arg2, const float* constant2) {
    const bool colour = channel == CHANNEL_COLOR;
    const auto setFactor = [&](int source, const float* constant) {
        if (source != ARG_CONSTANT || !constant) return;
        SetRenderState(D3DRS_TEXTUREFACTOR, TextureFactor(colour, constant));
    };
    setFactor(arg1, constant1);
    setFactor(arg2, constant2);
    if (const auto op = MapCombineOperation(operation))
        SetStageState(stage, colour ? D3DTSS_COLOROP : D3DTSS_ALPHAOP, *op);
    if (const auto source = MapCombineSource(arg1))
        SetStageState(stage, colour ? D3DTSS_COLORARG1 : D3DTSS_ALPHAARG1, *source);
    if (const auto source = MapCombineSource(arg2))
        SetStageState(stage, colour ? D3DTSS_COLORARG2 : D3DTSS_ALPHAARG2, *source);
}

void CGraphics_D3D7::SetOrtho2D(float width, float height, float zNear, float zFar) {
    SetTransform(D3DTS_PROJECTION, Ortho2DMatrix7(width, height, zNear, zFar));
}

void CGraphics_D3D7::gSetLight(int index, const CLight* light) {
    if (!light || !m_pd3dDevice) return;
    D3DLIGHT7 d;
    d.dltType = light->directional ? D3DLIGHT_DIRECTIONAL : light->spotCutoff == kPi ? D3DLIGHT_POINT : D3DLIGHT_SPOT;
    d.dvFalloff = light->spotExponent;
    d.dvPhi = 2.0f * light->spotCutoff;
    d.dvTheta = 2.0f * light->spotInner;
    d.dvAttenuation0 = light->attenuation[0];
    d.dvAttenuation1 = light->attenuation[1];
    d.dvAttenuation2 = light->attenuation[2];
    d.dcvAmbient = ColourValue(light->ambient);
    d.dcvDiffuse = ColourValue(light->diffuse);
    d.dcvSpecular = ColourValue(light->specular);
    d.dvPosition = D3DVECTOR{light->position[0], light->position[1], light->position[2]};
    d.dvDirection = D3DVECTOR{light->direction[0], light->direction[1], light->direction[2]};
    d.dvRange = 1000000.0f;
    m_pd3dDevice->SetLight(DWORD(index), &d);
    m_pd3dDevice->LightEnable(DWORD(index), TRUE);
    SetRenderState(D3DRS_SPECULARENABLE, TRUE);
}

void CGraphics_D3D7::gSetMaterial(int, const CMaterial* material) {
    if (!material || !m_pd3dDevice) return;
    D3DMATERIAL7 d;
    d.diffuse = ColourValue(material->diffuse);
    d.ambient = ColourValue(material->ambient);
    d.specular = ColourValue(material->specular);
    d.emissive = ColourValue(material->emissive);
    d.power = material->shininess;
    m_pd3dDevice->SetMaterial(&d);
}

void CGraphics_D3D7::gSetLightModel(bool localViewer) { SetRenderState(D3DRS_LOCALVIEWER, localViewer ? TRUE : FALSE); }

void CGraphics_D3D7::gSetAmbient(float r, float g, float b, float a) {
    SetRenderState(D3DRS_AMBIENT,
                   AmbientByte(a) << 24 | AmbientByte(r) << 16 | AmbientByte(g) << 8 | AmbientByte(b));
}

void CGraphics_D3D7::gClear(uint32_t flags) {
    ClearColorAsQuad(flags);
    if (!m_pd3dDevice) return;
    DWORD d3dFlags = 0;
    if (flags & CLEAR_COLOR) d3dFlags |= D3DCLEAR_TARGET;
    if (flags & CLEAR_DEPTH) d3dFlags |= D3DCLEAR_ZBUFFER;
    if (flags & CLEAR_STENCIL) d3dFlags |= D3DCLEAR_STENCIL;
    if (!d3dFlags) return;
    // Direct3D colours are A, R, G, B from the high byte.
    const D3DCOLOR colour = ChannelByte(m_clearColor[3]) << 24 | ChannelByte(m_clearColor[0]) << 16 |
                            ChannelByte(m_clearColor[1]) << 8 | ChannelByte(m_clearColor[2]);
    m_pd3dDevice->Clear(0, nullptr, d3dFlags, colour, 1.0f, 0);
}

bool CGraphics_D3D7::ResizeQuadIndexBuffer() {
    if (m_nQuadCapacity >= kQuadCapacity) return true;
    int32_t capacity = std::max(m_nQuadCapacity, 1);
    while (capacity < kQuadCapacity) capacity *= 2;
    try {
        m_quadIndices.assign(size_t(capacity) * 6, 0);
    } catch (const std::bad_alloc&) {
        m_quadIndices = {};
        m_nQuadCapacity = 0;
        GetLog().PrintLine("Engine::Graphics::CGraphics_D3D7::ResizeQuadIndexBuffer() : FAILED");
        return false;
    }
    m_nQuadCapacity = capacity;
    for (int32_t quad = 0; quad < capacity; ++quad) {
        const uint16_t v = uint16_t(quad * 4);
        const uint16_t pattern[6] = {v, uint16_t(v + 2), uint16_t(v + 3), v, uint16_t(v + 1), uint16_t(v + 2)};
        std::copy(pattern, pattern + 6, m_quadIndices.begin() + quad * 6);
    }
    return true;
}

void CGraphics_D3D7::DrawQuads(IDirect3DVertexBuffer7* buffer, int first, int count) {
    // Without the index array nothing can be drawn, and nothing loops.
    if (m_nQuadCapacity <= 0 || m_quadIndices.empty()) {
        GetLog().PrintLine("Engine::Graphics::CGraphics_D3D7::gDraw(...) : no quad index array");
        return;
    }
    for (int left = count; left > 0; left -= m_nQuadCapacity, first += m_nQuadCapacity) {
        const int quads = std::min(left, m_nQuadCapacity);
        m_pd3dDevice->DrawIndexedPrimitiveVB(D3DPT_TRIANGLELIST, buffer, DWORD(first) * 4, DWORD(quads) * 4,
                                             m_quadIndices.data(), DWORD(quads) * 6, D3DDP_WAIT);
    }
}

void CGraphics_D3D7::gDraw(int type, ref_ptr<CVertexBuffer> vertices, int first, int count,
                           ref_ptr<CIndexBuffer> indices) {
    if (!m_pd3dDevice || !vertices) return;
    auto* buffer = dynamic_cast<CVertexBuffer_D3D7*>(vertices.get());
    if (!buffer) throw 1; // another driver's buffer
    if (!buffer->GetBuffer() || count <= 0 || first < 0) return;
    if (type == PRIM_QUAD_LIST) {
        DrawQuads(buffer->GetBuffer(), first, count);
        return;
    }
    const CVertexRange range = RangeFor(type, first, count);
    const auto d3dType = D3DPRIMITIVETYPE(type);
    if (!indices) {
        m_pd3dDevice->DrawPrimitiveVB(d3dType, buffer->GetBuffer(), range.start, range.count, D3DDP_WAIT);
        return;
    }
    auto* indexBuffer = dynamic_cast<CIndexBuffer_D3D7*>(indices.get());
    if (!indexBuffer) throw 1; // another driver's buffer
    std::vector<WORD> indices16;
    if (!indexBuffer->GetIndices16(indices16) || indices16.size() < range.count) {
        GetLog().PrintLine("Engine::Graphics::CGraphics_D3D7::gDraw(...) : indices do not fit 16 bits");
        return;
    }
    m_pd3dDevice->DrawIndexedPrimitiveVB(d3dType, buffer->GetBuffer(), range.start, range.count, indices16.data(),
                                         range.count, D3DDP_WAIT);
}

} // namespace Engine::Graphics
