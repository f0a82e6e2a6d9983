// The Direct3D 8 driver's render states, matrices and drawing, the shared
// quad index buffer, and the start-up probe of how the device places pixel
// and texel centres.

#include <algorithm>
#include <cstring>

#include "app/Exception.h"
#include "app/Log.h"
#include "graphics/Texture.h"
#include "graphics/drivers/CodesD3D8.h"
#include "graphics/drivers/GraphicsD3D8.h"

namespace Engine::Graphics {

using namespace D3D8;

namespace {

constexpr float kPi = 3.1415927f;
constexpr int kProbeSize = 16;

D3DPRIMITIVETYPE MapPrimitive(int type) {
    return type == PRIM_QUAD_LIST ? D3DPT_TRIANGLELIST : D3DPRIMITIVETYPE(type);
}

// Vertices (or indices) a draw of count primitives reads.
int ElementsFor(int type, int count) {
    const int perPrimitive = VerticesPerPrimitive(type);
    if (perPrimitive) return perPrimitive * count;
    if (count <= 0) return 0;
    return type == PRIM_LINE_STRIP ? count + 1 : count + 2;
}

template <class Interface>
void ReleaseInterface(Interface*& object) {
    if (object) object->Release();
    object = nullptr;
}

} // namespace

void CGraphics_D3D8::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (m_pd3dDevice) m_pd3dDevice->SetRenderState(state, value);
}

void CGraphics_D3D8::SetStageState(int stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) {
    if (m_pd3dDevice) m_pd3dDevice->SetTextureStageState(DWORD(stage), state, value);
}

void CGraphics_D3D8::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) {
    if (m_pd3dDevice) m_pd3dDevice->SetTransform(state, &matrix);
}

void CGraphics_D3D8::gSwitch(int id, bool on) {
    const std::optional<D3DRENDERSTATETYPE> state = MapSwitch(id);
    if (!state) {
        GetLog().PrintLine("CGraphics_D3D8::gSwitch(%d) : Undefined value", id);
        return;
    }
    SetRenderState(*state, on ? TRUE : FALSE);
}

void CGraphics_D3D8::gSetBlendFunc(int source, int destination) {
    SetRenderState(D3DRS_SRCBLEND, MapBlendSource(source));
    SetRenderState(D3DRS_DESTBLEND, MapBlendDestination(destination));
}

void CGraphics_D3D8::gSetDepthFunc(int func) { SetRenderState(D3DRS_ZFUNC, ConvertCompareFunc(func)); }

void CGraphics_D3D8::gSetStencilOp(uint32_t fail, uint32_t depthFail, uint32_t pass) {
    SetRenderState(D3DRS_STENCILFAIL, MapStencilOp(fail));
    SetRenderState(D3DRS_STENCILZFAIL, MapStencilOp(depthFail));
    SetRenderState(D3DRS_STENCILPASS, MapStencilOp(pass));
}

void CGraphics_D3D8::gSetStencilMask(uint32_t mask) { SetRenderState(D3DRS_STENCILWRITEMASK, mask); }
void CGraphics_D3D8::gSetCullMode(int cull) { SetRenderState(D3DRS_CULLMODE, MapCullMode(cull)); }

void CGraphics_D3D8::gSetColorMask(bool r, bool g, bool b, bool a) {
    SetRenderState(D3DRS_COLORWRITEENABLE, (r ? 1u : 0u) | (g ? 2u : 0u) | (b ? 4u : 0u) | (a ? 8u : 0u));
}

void CGraphics_D3D8::gSetLightModel(bool localViewer) { SetRenderState(D3DRS_LOCALVIEWER, localViewer ? TRUE : FALSE); }

void CGraphics_D3D8::gSetAmbient(float r, float g, float b, float) {
    SetRenderState(D3DRS_AMBIENT, 0xFF000000u | ChannelByte(r) << 16 | ChannelByte(g) << 8 | ChannelByte(b));
}

void CGraphics_D3D8::gSetLight(int index, const CLight* light) {
    if (!light || !m_pd3dDevice) return;
    D3DLIGHT8 d;
    d.Type = light->directional ? D3DLIGHT_DIRECTIONAL : light->spotCutoff == kPi ? D3DLIGHT_POINT : D3DLIGHT_SPOT;
    d.Diffuse = ColourValue(light->diffuse);
    d.Specular = ColourValue(light->specular);
    d.Ambient = ColourValue(light->ambient);
    d.Position = D3DVECTOR{light->position[0], light->position[1], light->position[2]};
    d.Direction = D3DVECTOR{light->direction[0], light->direction[1], light->direction[2]};
    d.Range = 1000000.0f;
    d.Falloff = light->spotExponent;
    d.Attenuation0 = light->attenuation[0];
    d.Attenuation1 = light->attenuation[1];
    d.Attenuation2 = light->attenuation[2];
    d.Theta = 2.0f * light->spotInner;
    d.Phi = 2.0f * light->spotCutoff;
    m_pd3dDevice->SetLight(DWORD(index), &d);
    m_pd3dDevice->LightEnable(DWORD(index), TRUE);
    SetRenderState(D3DRS_SPECULARENABLE, TRUE);
}

void CGraphics_D3D8::gSetMaterial(int, const CMaterial* material) {
    if (!material || !m_pd3dDevice) return;
    D3DMATERIAL8 d;
    d.Diffuse = ColourValue(material->diffuse);
    d.Ambient = ColourValue(material->ambient);
    d.Specular = ColourValue(material->specular);
    d.Emissive = ColourValue(material->emissive);
    d.Power = material->shininess;
    m_pd3dDevice->SetMaterial(&d);
}

void CGraphics_D3D8::SetOrtho2D(float width, float height, float zNear, float zFar) {
    SetTransform(D3DTS_PROJECTION, Ortho2DMatrix(width, height, zNear, zFar));
}

void CGraphics_D3D8::gSetTextureCombine(int stage, int operation, int channel, int arg1, const float* constant1,
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

void CGraphics_D3D8::gSetTexture(int stage, CBaseHardwareTexture* texture) {
    if (!m_pd3dDevice) return;
    IDirect3DTexture8* bound = nullptr;
    if (auto* target = dynamic_cast<CRenderTarget_D3D8*>(texture))
        bound = target->GetTexture();
    else if (auto* hardware = dynamic_cast<CHardwareTexture_D3D8*>(texture))
        bound = hardware->GetTexture();
    m_pd3dDevice->SetTexture(DWORD(stage), bound);
}

void CGraphics_D3D8::gSetTextureStage(int stage, ref_ptr<CTexture> texture) {
    if (!m_pd3dDevice) return;
    if (!texture) {
        m_pd3dDevice->SetTexture(DWORD(stage), nullptr);
        return;
    }
    IDirect3DTexture8* bound = nullptr;
    if (ref_ptr<CHardwareTexture> hardware = texture->GetHardwareTexture())
        bound = DynamicRefCast<CHardwareTexture_D3D8>(hardware)->GetTexture();
    m_pd3dDevice->SetTexture(DWORD(stage), bound);
    SetStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    SetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    SetStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    SetStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    SetStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    SetStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
}

void CGraphics_D3D8::gSetTextureFilter(int stage, int minFilter, int magFilter, int mipFilter) {
    SetStageState(stage, D3DTSS_MINFILTER, MapMinMagFilter(minFilter));
    SetStageState(stage, D3DTSS_MAGFILTER, MapMinMagFilter(magFilter));
    SetStageState(stage, D3DTSS_MIPFILTER, MapMipFilter(mipFilter));
}

void CGraphics_D3D8::gClear(uint32_t flags) {
    ClearColorAsQuad(flags);
    if (!m_pd3dDevice) return;
    DWORD d3dFlags = 0;
    if (flags & CLEAR_COLOR) d3dFlags |= D3DCLEAR_TARGET;
    // Depth and stencil exist only with a depth-stencil surface; asking
    // Direct3D to clear them without one fails the whole clear.
    auto* target = static_cast<CRenderTarget_D3D8*>(m_pCurrentTarget);
    if (target && target->HasDepth()) {
        if (flags & CLEAR_DEPTH) d3dFlags |= D3DCLEAR_ZBUFFER;
        if (flags & CLEAR_STENCIL) d3dFlags |= D3DCLEAR_STENCIL;
    }
    if (!d3dFlags) return;
    const D3DCOLOR colour = ChannelByte(m_clearColor[3]) << 24 | ChannelByte(m_clearColor[0]) << 16 |
                            ChannelByte(m_clearColor[1]) << 8 | ChannelByte(m_clearColor[2]);
    if (FAILED(m_pd3dDevice->Clear(0, nullptr, d3dFlags, colour, 1.0f, 0)))
        throw CException("CGraphics_D3D8::gClear(...) : FAILED");
}

void CGraphics_D3D8::gDraw(int type, ref_ptr<CVertexBuffer> vertices, int first, int count,
                           ref_ptr<CIndexBuffer> indices) {
    if (!m_pd3dDevice || !vertices) return;
    auto* buffer_D3D8 = dynamic_cast<CVertexBuffer_D3D8*>(vertices.get());
    if (!buffer_D3D8) throw 1; // another driver's buffer
    CVertexBuffer_D3D8& buffer = *buffer_D3D8;
    if (!buffer.GetBuffer() || count <= 0 || first < 0) return;
    m_pd3dDevice->SetVertexShader(ConvertVertexFormat(buffer.GetFormat()));
    m_pd3dDevice->SetStreamSource(0, buffer.GetBuffer(), UINT(buffer.GetVertexSize()));
    if (type == PRIM_QUAD_LIST) {
        DrawQuads(first, count);
        return;
    }
    // List types start at first whole primitives; strips and fans at a vertex.
    const int perPrimitive = VerticesPerPrimitive(type);
    const UINT start = UINT(perPrimitive ? first * perPrimitive : first);
    if (!indices) {
        m_pd3dDevice->DrawPrimitive(MapPrimitive(type), start, UINT(count));
        return;
    }
    auto* indexBuffer = dynamic_cast<CIndexBuffer_D3D8*>(indices.get());
    if (!indexBuffer) throw 1; // another driver's buffer
    m_pd3dDevice->SetIndices(indexBuffer->GetBuffer(), start);
    m_pd3dDevice->DrawIndexedPrimitive(MapPrimitive(type), 0, UINT(ElementsFor(type, count)), 0, UINT(count));
}

void CGraphics_D3D8::DrawQuads(int first, int count) {
    if (!m_pQuadIndices || m_nQuadCapacity <= 0) return;
    for (int left = count; left > 0; left -= m_nQuadCapacity, first += m_nQuadCapacity) {
        const int quads = std::min(left, m_nQuadCapacity);
        m_pd3dDevice->SetIndices(m_pQuadIndices, UINT(first) * 4);
        // The quads use 4 vertices each from the base vertex on.
        m_pd3dDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, UINT(quads) * 4, 0, UINT(quads) * 2);
    }
}

void CGraphics_D3D8::InitQuadIndexBuffer() {
    if (m_nQuadCapacity >= kQuadCapacity) return;
    m_nQuadCapacity = std::max(m_nQuadCapacity, 1);
    while (m_nQuadCapacity < kQuadCapacity) m_nQuadCapacity *= 2;
    ReleaseQuadIndexBuffer();
    ResizeQuadIndexBuffer();
}

void CGraphics_D3D8::ReleaseQuadIndexBuffer() { ReleaseInterface(m_pQuadIndices); }

void CGraphics_D3D8::ResizeQuadIndexBuffer() {
    if (!m_pd3dDevice || m_pQuadIndices) return;
    if (FAILED(m_pd3dDevice->CreateIndexBuffer(UINT(m_nQuadCapacity) * 12, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                               D3DPOOL_MANAGED, &m_pQuadIndices))) {
        m_pQuadIndices = nullptr;
        throw CException("CGraphics_D3D8::ResizeQuadIndexBuffer() : FAILED");
    }
    BYTE* data = nullptr;
    if (FAILED(m_pQuadIndices->Lock(0, 0, &data, D3DLOCK_DISCARD))) {
        ReleaseQuadIndexBuffer();
        throw CException("CGraphics_D3D8::ResizeQuadIndexBuffer() : Lock(...) : FAILED");
    }
    auto* index = reinterpret_cast<uint16_t*>(data);
    for (int quad = 0; quad < m_nQuadCapacity; ++quad) {
        const uint16_t v = uint16_t(quad * 4);
        const uint16_t pattern[6] = {v, uint16_t(v + 2), uint16_t(v + 3), v, uint16_t(v + 1), uint16_t(v + 2)};
        std::memcpy(index + quad * 6, pattern, sizeof pattern);
    }
    m_pQuadIndices->Unlock();
}

void CGraphics_D3D8::DetermineOffsets() {
    CLog& log = GetLog();
    IDirect3DSurface8* backBuffer = nullptr;
    IDirect3DVertexBuffer8* vertices = nullptr;
    IDirect3DTexture8* texture = nullptr;
    IDirect3DSurface8* level = nullptr;
    const auto releaseAll = [&] {
        ReleaseInterface(level);
        ReleaseInterface(vertices);
        ReleaseInterface(texture);
        ReleaseInterface(backBuffer);
    };
    if (FAILED(m_pd3dDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) {
        backBuffer = nullptr;
        log.PrintLine("CGraphics_D3D8::DetermineOffsets() : GetBackBuffer(...) : FAILED");
        return;
    }
    if (FAILED(m_pd3dDevice->CreateVertexBuffer(4 * sizeof(SpriteVertex), D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                                ConvertVertexFormat(VF_SPRITE), D3DPOOL_DEFAULT, &vertices))) {
        vertices = nullptr;
        log.PrintLine("CGraphics_D3D8::DetermineOffsets() : CreateVertexBuffer(...) : FAILED");
        releaseAll();
        return;
    }
    if (FAILED(m_pd3dDevice->CreateTexture(kProbeSize, kProbeSize, 0, 0, m_presentParameters.BackBufferFormat,
                                           D3DPOOL_MANAGED, &texture)) ||
        FAILED(texture->GetSurfaceLevel(0, &level))) {
        level = nullptr;
        log.PrintLine("CGraphics_D3D8::DetermineOffsets() : CreateTexture(...) : FAILED");
        releaseAll();
        return;
    }
    SetRenderState(D3DRS_LIGHTING, FALSE);
    SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    bool matched = false;
    for (int candidate = 0; candidate < 4; ++candidate) {
        if (!ProbeOffsets(vertices, texture, level, backBuffer, candidate, matched)) {
            releaseAll();
            return;
        }
    }
    releaseAll();
    if (matched)
        log.PrintLine("Optimal Offsets Found : BufferOffset = (%.1f, %.1f), TextureOffset = (%.1f, %.1f)",
                      double(m_bufferOffset[0]), double(m_bufferOffset[1]), double(m_textureOffset[0]),
                      double(m_textureOffset[1]));
    else
        log.PrintLine("No Optimal Offsets Found");
}

bool CGraphics_D3D8::ProbeOffsets(IDirect3DVertexBuffer8* vertices, IDirect3DTexture8* texture,
                                  IDirect3DSurface8* level, IDirect3DSurface8* backBuffer, int candidate,
                                  bool& matched) {
    CLog& log = GetLog();
    const float a = float(candidate % 2 - 1) * 0.5f, b = float(candidate / 2 - 1) * 0.5f;
    const float t = b / float(kProbeSize), size = float(kProbeSize);
    BYTE* data = nullptr;
    if (FAILED(vertices->Lock(0, 0, &data, D3DLOCK_DISCARD))) {
        log.PrintLine("CGraphics_D3D8::DetermineOffsets() : Vertex Buffer Lock(...) : FAILED");
        return false;
    }
    const SpriteVertex strip[4] = {{a, a, 0, 1, 0xFFFFFFFFu, t, t},
                                   {a + size, a, 0, 1, 0xFFFFFFFFu, t + 1, t},
                                   {a, a + size, 0, 1, 0xFFFFFFFFu, t, t + 1},
                                   {a + size, a + size, 0, 1, 0xFFFFFFFFu, t + 1, t + 1}};
    std::memcpy(data, strip, sizeof strip);
    vertices->Unlock();

    const bool wide = m_presentParameters.BackBufferFormat == D3DFMT_X8R8G8B8 ||
                      m_presentParameters.BackBufferFormat == D3DFMT_A8R8G8B8;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0)) || !locked.pBits) {
        log.PrintLine("CGraphics_D3D8::DetermineOffsets() : LockRect(...) : FAILED");
        return false;
    }
    const auto texel = [&locked, wide](int x, int y) -> BYTE* {
        return static_cast<BYTE*>(locked.pBits) + y * locked.Pitch + x * (wide ? 4 : 2);
    };
    for (int row = 0; row < kProbeSize; ++row) std::memset(texel(0, row), 0, size_t(kProbeSize) * (wide ? 4 : 2));
    const uint32_t full = wide ? 0xFFu : 0x1Fu, half = wide ? 0x80u : 0x10u;
    std::memcpy(texel(0, 0), &full, wide ? 4 : 2);
    std::memcpy(texel(1, 1), &half, wide ? 4 : 2);
    texture->UnlockRect(0);

    const DWORD clear =
        m_presentParameters.EnableAutoDepthStencil ? D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER : D3DCLEAR_TARGET;
    m_pd3dDevice->Clear(0, nullptr, clear, 0x0000FF00u, 1.0f, 0);
    m_pd3dDevice->BeginScene();
    m_pd3dDevice->SetTexture(0, texture);
    SetStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    SetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    SetStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    SetStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
    SetStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
    m_pd3dDevice->SetStreamSource(0, vertices, sizeof(SpriteVertex));
    m_pd3dDevice->SetVertexShader(ConvertVertexFormat(VF_SPRITE));
    m_pd3dDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    m_pd3dDevice->SetTexture(0, nullptr);
    m_pd3dDevice->EndScene();

    const RECT area{0, 0, kProbeSize, kProbeSize};
    const POINT origin{0, 0};
    if (FAILED(m_pd3dDevice->CopyRects(backBuffer, &area, 1, level, &origin))) {
        log.PrintLine("CGraphics_D3D8::DetermineOffsets() : CopyRects(...) : FAILED");
        return false;
    }
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0)) || !locked.pBits) {
        log.PrintLine("CGraphics_D3D8::DetermineOffsets() : LockRect(...) : FAILED");
        return false;
    }
    const auto read = [&](int x, int y) {
        uint32_t pixel = 0;
        std::memcpy(&pixel, texel(x, y), wide ? 4 : 2);
        return wide ? pixel & 0xFFFFu : ((pixel & 0x1Fu) << 3) | ((pixel >> 5) & 0x3Fu);
    };
    const uint32_t p00 = read(0, 0), p10 = read(1, 0), p01 = read(0, 1), p11 = read(1, 1);
    texture->UnlockRect(0);
    log.PrintLine("BufferOffset = (%.1f, %.1f), TextureOffset = (%.1f, %.1f)", double(a), double(a), double(b),
                  double(b));
    log.PrintLine("    [%04x, %04x]", p00, p10);
    log.PrintLine("    [%04x, %04x]", p01, p11);
    if (!matched && p10 == 0 && p01 == 0 && p11 == 0x80 && p00 == (wide ? 0xFFu : 0xF8u)) {
        matched = true;
        m_bufferOffset[0] = m_bufferOffset[1] = a;
        m_textureOffset[0] = m_textureOffset[1] = b;
    }
    return true;
}

} // namespace Engine::Graphics
