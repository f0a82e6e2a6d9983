#pragma once
// A driver for tests: records every call and its arguments, keeps vertex and
// index buffers in memory, and draws nothing.

#include <string>
#include <vector>

#include "graphics/Graphics.h"

namespace Engine::Graphics::Testing {

struct CRecordedCall {
    std::string name;
    std::vector<double> args;
    // gDraw: a copy of the drawn vertices (first..first+count primitives).
    std::vector<uint8_t> vertices;
    const void* object = nullptr; // texture or buffer involved, if any
};

class CMemoryVertexBuffer : public CVertexBuffer {
public:
    CMemoryVertexBuffer(CGraphics* owner, int count, int size, uint32_t format, bool dynamic)
        : CVertexBuffer(owner, count, size, format, dynamic), m_data(size_t(count) * size_t(size)) {}
    void* Lock() override { return m_bValid ? m_data.data() : nullptr; }
    void Unlock() override {}
    const void* GetData() override { return m_data.data(); }
    void Invalidate() override { m_bValid = false; }
    void Restore() override { m_bValid = true; }

private:
    std::vector<uint8_t> m_data;
    bool m_bValid = true;
};

class CMemoryIndexBuffer : public CIndexBuffer {
public:
    CMemoryIndexBuffer(CGraphics* owner, int type, int count)
        : CIndexBuffer(owner, type, count), m_data(size_t(count) * size_t(GetBytesPerIndex())) {}
    void* Lock() override { return m_data.data(); }
    void Unlock() override {}
    const void* GetData() override { return m_data.data(); }

private:
    std::vector<uint8_t> m_data;
};

class CRecordingHardwareTexture : public CHardwareTexture {
public:
    using CHardwareTexture::CHardwareTexture;
    bool CreateFromBitmap(const ref_ptr<CBitmap>& bitmap, bool mipmap, bool freePixels, int32_t minAlphaBits) override;
    void Free() override { m_pBitmap = nullptr; }
    void Update() override {}
    void Invalidate() override { m_bValid = false; }
    void Restore() override { m_bValid = true; }
    int width = 0, height = 0;
    bool m_bValid = true;
};

class CRecordingGraphics : public CGraphics {
public:
    explicit CRecordingGraphics(Engine::CApplication** application = nullptr, bool colorRGBA = true);

    std::vector<CRecordedCall> calls;
    // Names of the calls in order, for compact assertions.
    std::vector<std::string> Names() const;
    void Clear() { calls.clear(); }
    bool m_bColorRGBA;
    bool m_bFailTextures = false;
    bool m_bFailVertexBuffers = false;
    bool m_bThrowVertexBuffers = false;  // CreateVertexBuffer throws CException
    bool m_bSoftware = false;
    float m_bufferOffset[2] = {0.0f, 0.0f};
    float m_textureOffset[2] = {0.0f, 0.0f};

    bool IsDirect3D() override { return false; }
    bool IsSoftwareRenderer() override { return m_bSoftware; }
    void GetBufferOffset(float* x, float* y) override { *x = m_bufferOffset[0]; *y = m_bufferOffset[1]; }
    void GetTextureOffset(float* u, float* v) override { *u = m_textureOffset[0]; *v = m_textureOffset[1]; }
    void gSetLight(int index, const CLight*) override { Record("gSetLight", {double(index)}); }
    void gSetMaterial(int face, const CMaterial*) override { Record("gSetMaterial", {double(face)}); }
    void gSetFog(const CFog* fog) override { Record("gSetFog", {double(fog ? fog->mode : 0)}); }
    void SetPerspective(float w, float h, float n, float f) override { Record("SetPerspective", {w, h, n, f}); }
    void SetOrtho(float w, float h, float n, float f) override { Record("SetOrtho", {w, h, n, f}); }
    void SetOrtho2D(float w, float h, float n, float f) override { Record("SetOrtho2D", {w, h, n, f}); }
    void gDraw(int type, ref_ptr<CVertexBuffer> vertices, int first, int count, ref_ptr<CIndexBuffer> indices) override;
    void CreateVertexBuffer(ref_ptr<CVertexBuffer>& out, int count, int size, uint32_t format, bool dynamic) override;
    void CreateIndexBuffer(ref_ptr<CIndexBuffer>& out, int type, int count, bool dynamic) override;
    void CreateHardwareTexture(ref_ptr<CHardwareTexture>& out, ref_ptr<CBitmap> bitmap, bool mipmap, bool freePixels,
                               int32_t minAlphaBits) override;
    CRenderTarget* CreateRenderTarget(int, int) override { return nullptr; }
    bool IsColorRGBA() override { return m_bColorRGBA; }
    void gClear(uint32_t flags) override {
        ClearColorAsQuad(flags);
        Record("gClear", {double(flags)});
    }
    bool gBeginScene() override { Record("gBeginScene", {}); return true; }
    void gEndScene() override { Record("gEndScene", {}); }
    void gFlipBuffers() override { Record("gFlipBuffers", {}); }
    bool LoadDriverLibrary() override { return true; }
    void FreeDriverLibrary() override {}
    bool ChangeVideoMode(CGraphicsParams) override { Record("ChangeVideoMode", {}); return true; }
    bool Create(const char*, CGraphicsParams* params) override;
    void Destroy() override { Record("Destroy", {}); }
    void SetRenderTarget(CRenderTarget* target) override { m_pTarget = target; }
    CRenderTarget* GetRenderTarget() override { return m_pTarget; }
    CRenderTarget* GetDefaultRenderTarget() override { return nullptr; }
    void gSetTexture(int stage, CBaseHardwareTexture* texture) override;
    void gSetTextureStage(int stage, ref_ptr<CTexture> texture) override;
    void gSetTextureWrap(int stage, int u, int v) override { Record("gSetTextureWrap", {double(stage), double(u), double(v)}); }
    void gSetTextureFilter(int stage, int mn, int mg, int mp) override {
        Record("gSetTextureFilter", {double(stage), double(mn), double(mg), double(mp)});
    }
    void gSetCullMode(int cull) override { Record("gSetCullMode", {double(cull)}); }
    void gSetFrontFace(int front) override { Record("gSetFrontFace", {double(front)}); }
    void gSwitch(int id, bool on) override { Record("gSwitch", {double(id), double(on)}); }
    void gSetBlendFunc(int s, int d) override { Record("gSetBlendFunc", {double(s), double(d)}); }
    void gSetDepthFunc(int f) override { Record("gSetDepthFunc", {double(f)}); }
    void gSetColorMaterial(int s) override { Record("gSetColorMaterial", {double(s)}); }
    void gSetLightModel(bool l) override { Record("gSetLightModel", {double(l)}); }
    void gSetAmbient(float r, float g, float b, float a) override { Record("gSetAmbient", {r, g, b, a}); }
    void gSetTwoSidedLighting(bool t) override { Record("gSetTwoSidedLighting", {double(t)}); }
    void gSetColorMask(bool r, bool g, bool b, bool a) override {
        Record("gSetColorMask", {double(r), double(g), double(b), double(a)});
    }
    void gSetAlphaFunc(int f, float ref) override { Record("gSetAlphaFunc", {double(f), ref}); }
    void gSetShadeModel(int s) override { Record("gSetShadeModel", {double(s)}); }
    void gSetStencilMask(uint32_t m) override { Record("gSetStencilMask", {double(m)}); }
    void gSetStencilOp(uint32_t a, uint32_t b, uint32_t c) override { Record("gSetStencilOp", {double(a), double(b), double(c)}); }
    void gSetStencilFunc(int f, int32_t r, uint32_t m) override { Record("gSetStencilFunc", {double(f), double(r), double(m)}); }
    void gSetTexGen(int stage, int mode) override { Record("gSetTexGen", {double(stage), double(mode)}); }
    void gSetTextureMatrix(int stage, const float*) override { Record("gSetTextureMatrix", {double(stage)}); }
    void gSetTextureCombine(int stage, int op, int channel, int a1, const float*, int a2, const float*) override {
        Record("gSetTextureCombine", {double(stage), double(op), double(channel), double(a1), double(a2)});
    }

    using CGraphics::m_bQuit;
    using CGraphics::m_pressedKeys;
    using CGraphics::m_videoModes;
    using CGraphics::m_desktopMode;

private:
    void Record(const char* name, std::vector<double> args, const void* object = nullptr);
    CRenderTarget* m_pTarget = nullptr;
};

} // namespace Engine::Graphics::Testing
