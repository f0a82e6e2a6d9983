#pragma once
// The Direct3D 8 driver's resources: DEFAULT-pool vertex buffers (released
// before a device reset and made again empty after it), managed index
// buffers, managed textures made from bitmaps (released and rebuilt from
// their bitmap across a reset), render targets that are DEFAULT-pool
// textures, and the texture-format record.

#include <cstdint>

#include "graphics/DeviceObject.h"
#include "graphics/TextureFormat.h"
#include "platform/Direct3D8.h"

namespace Engine::Graphics {

class CGraphics_D3D8;

class CTextureFormat_D3D8 : public CTextureFormat {
public:
    CTextureFormat_D3D8(uint32_t redMask, uint32_t greenMask, uint32_t blueMask, uint32_t alphaMask, uint32_t bits,
                        D3DFORMAT format)
        : CTextureFormat(redMask, greenMask, blueMask, alphaMask, bits), m_format(format) {}
    D3DFORMAT GetFormat() const { return m_format; }

private:
    D3DFORMAT m_format;
};

ref_ptr<CTextureFormat_D3D8> CreateTextureFormat_D3D8(uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                                                      uint32_t alphaMask, uint32_t bits, D3DFORMAT format);

// The flexible vertex format of engine vertex format bits.
DWORD ConvertVertexFormat(uint32_t format);

class CVertexBuffer_D3D8 : public CVertexBuffer {
public:
    // Creates the Direct3D buffer; throws Engine::CException on failure.
    CVertexBuffer_D3D8(CGraphics_D3D8* owner, int32_t count, int32_t vertexSize, uint32_t format, bool dynamic);
    ~CVertexBuffer_D3D8() override;

    void Invalidate() override;
    void Restore() override;
    // Discards the contents; null (logged) on failure.
    void* Lock() override;
    void Unlock() override;
    const void* GetData() override { return m_pData; }

    IDirect3DVertexBuffer8* GetBuffer() const { return m_pBuffer; }

private:
    CGraphics_D3D8* m_pDriver;
    IDirect3DVertexBuffer8* m_pBuffer = nullptr;
    void* m_pData = nullptr;
    uint8_t m_bLocked = 0;
};

class CIndexBuffer_D3D8 : public CIndexBuffer {
public:
    // Creates the managed Direct3D buffer; throws Engine::CException on
    // failure. Being managed, it survives a device reset.
    CIndexBuffer_D3D8(CGraphics_D3D8* owner, int32_t typeCode, int32_t count);
    ~CIndexBuffer_D3D8() override;

    void* Lock() override;
    void Unlock() override;
    const void* GetData() override { return m_pData; }

    IDirect3DIndexBuffer8* GetBuffer() const { return m_pBuffer; }

private:
    CGraphics_D3D8* m_pDriver;
    IDirect3DIndexBuffer8* m_pBuffer = nullptr;
    void* m_pData = nullptr;
    uint8_t m_bLocked = 0;
};

class CHardwareTexture_D3D8 : public CHardwareTexture {
public:
    explicit CHardwareTexture_D3D8(CGraphics_D3D8* owner);
    ~CHardwareTexture_D3D8() override;

    bool CreateFromBitmap(const ref_ptr<CBitmap>& bitmap, bool mipmap, bool freePixels, int32_t minAlphaBits) override;
    void Free() override;
    void Update() override {}
    void Invalidate() override;
    // Builds the texture unless it exists. A bitmap whose pixels were freed
    // and not loaded again leaves the texture empty (logged).
    void Restore() override;

    // Null while invalidated or after a failed creation.
    IDirect3DTexture8* GetTexture() const { return m_pTexture; }

private:
    bool CreateTexture(const CTextureFormat_D3D8& format, int32_t width, int32_t height, D3DPOOL pool);
    // Fills each level from the bitmap (resized to the texture) and its
    // halvings; throws Engine::CException after releasing the texture.
    void FillLevels(const CTextureFormat_D3D8& format, int32_t width, int32_t height);
    void ReleaseTexture();

    CGraphics_D3D8* m_pDriver;
    IDirect3DTexture8* m_pTexture = nullptr;
};

class CRenderTarget_D3D8 : public CRenderTarget {
public:
    explicit CRenderTarget_D3D8(CGraphics_D3D8* owner);
    ~CRenderTarget_D3D8() override;

    // A width x height target on a square power-of-two texture; throws
    // Engine::CException on failure.
    void Create(int32_t width, int32_t height);
    // The back buffer and its depth-stencil surface.
    void CreateDefault();
    void Invalidate() override;
    void Restore() override;
    // Makes this the device's target with a viewport over its used size.
    void SetActive();
    void ReleaseSurfaces();

    void CaptureBackBuffer() override;
    float GetMinU() override { return 0.0f; }
    float GetMinV() override { return 0.0f; }
    float GetMaxU() override;
    float GetMaxV() override;

    IDirect3DTexture8* GetTexture() const { return m_pd3dTexture; }
    bool IsDefault() const { return m_bDefault != 0; }
    bool HasDepth() const { return m_pd3dZBuffer != nullptr; }

private:
    // The texture, its surface and depth of the stored size; messages name
    // the caller.
    void CreateSurfaces(const char* textureFailed, const char* surfaceFailed, const char* depthFailed);
    void AcquireBackBuffer(const char* surfaceFailed, const char* depthFailed);
    void ReleaseLogged(bool texturesFirst);

    int32_t m_nUsedWidth = 0, m_nUsedHeight = 0;
    int32_t m_nTextureWidth = 0, m_nTextureHeight = 0;
    CGraphics_D3D8* m_pDriver;
    IDirect3DSurface8* m_pd3dSurface = nullptr;
    IDirect3DTexture8* m_pd3dTexture = nullptr;
    IDirect3DSurface8* m_pd3dZBuffer = nullptr;
    uint8_t m_bDefault = 0;
};

} // namespace Engine::Graphics
