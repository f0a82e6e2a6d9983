#pragma once
// The Direct3D 7 driver's resources: system-memory vertex buffers (released
// on a loss and made again empty), index arrays kept in memory, texture
// surfaces uploaded from bitmaps, render targets that are texture surfaces,
// and the texture-format record with its DirectDraw pixel format.

#include <cstdint>
#include <vector>

#include "graphics/DeviceObject.h"
#include "graphics/TextureFormat.h"
#include "platform/DirectDraw7.h"

namespace Engine::Graphics {

class CGraphics_D3D7;

class CTextureFormat_D3D7 : public CTextureFormat {
public:
    explicit CTextureFormat_D3D7(const DDPIXELFORMAT& format)
        : CTextureFormat(format.dwRBitMask, format.dwGBitMask, format.dwBBitMask, format.dwRGBAlphaBitMask,
                         format.dwRGBBitCount),
          m_format(format) {}
    const DDPIXELFORMAT& GetPixelFormat() const { return m_format; }

private:
    DDPIXELFORMAT m_format;
};

class CVertexBuffer_D3D7 : public CVertexBuffer {
public:
    // Creates the Direct3D buffer; throws Engine::CException on failure.
    CVertexBuffer_D3D7(CGraphics_D3D7* owner, int32_t count, int32_t vertexSize, uint32_t format, bool dynamic);
    ~CVertexBuffer_D3D7() override;

    void Invalidate() override;
    void Restore() override { CreateVertexBuffer(); }
    // Throws Engine::CException when the buffer cannot be locked.
    void* Lock() override;
    void Unlock() override;
    const void* GetData() override { return m_pData; }

    IDirect3DVertexBuffer7* GetBuffer() const { return m_pBuffer; }

private:
    void CreateVertexBuffer();

    CGraphics_D3D7* m_pDriver;
    IDirect3DVertexBuffer7* m_pBuffer = nullptr;
    void* m_pData = nullptr;
    uint8_t m_bLocked = 0;
    // Direct3D 7 sizes a buffer by its format; vertices of another size are
    // written here and packed into the buffer on Unlock.
    std::vector<uint8_t> m_shadow;
    void* m_pLockedBuffer = nullptr;
};

class CIndexBuffer_D3D7 : public CIndexBuffer {
public:
    // Throws Engine::CException for an impossible size.
    CIndexBuffer_D3D7(CGraphics_D3D7* owner, int32_t typeCode, int32_t count);

    void* Lock() override;
    void Unlock() override;
    const void* GetData() override { return m_pData; }

    // The indices as the 16-bit ones Direct3D 7 draws with; false when a
    // 32-bit index does not fit.
    bool GetIndices16(std::vector<WORD>& indices) const;

private:
    std::vector<uint8_t> m_indices;
    void* m_pData = nullptr;
    uint8_t m_bLocked = 0;
};

class CHardwareTexture_D3D7 : public CHardwareTexture {
public:
    explicit CHardwareTexture_D3D7(CGraphics_D3D7* owner);
    ~CHardwareTexture_D3D7() override;

    bool CreateFromBitmap(const ref_ptr<CBitmap>& bitmap, bool mipmap, bool freePixels, int32_t minAlphaBits) override;
    void Free() override;
    void Update() override {}
    void Invalidate() override;
    // Uploads the bitmap unless the surface exists. A bitmap whose pixels
    // were freed leaves the texture without a surface (logged).
    void Restore() override;

    IDirectDrawSurface7* GetSurface() const { return m_pd3dTexture; }

private:
    void ReleaseSurface(bool logged);

    DDSURFACEDESC2 m_desc;
    CGraphics_D3D7* m_pDriver;
    IDirectDrawSurface7* m_pd3dTexture = nullptr;
};

class CRenderTarget_D3D7 : public CRenderTarget {
public:
    explicit CRenderTarget_D3D7(CGraphics_D3D7* owner);
    ~CRenderTarget_D3D7() override;

    // A width x height target on a square power-of-two texture surface;
    // throws Engine::CException on failure.
    void Create(int32_t width, int32_t height);
    // Stands for the device's render target, the back buffer.
    void CreateDefault();
    // The surface goes with its DirectDraw object; Restore makes it again
    // at the stored size.
    void Invalidate() override;
    void Restore() override;
    // Moves the depth buffer here and makes this the device's target.
    void SetActive();
    void ReleaseSurface();

    void CaptureBackBuffer() override {}
    float GetMinU() override { return 0.0f; }
    float GetMinV() override { return 0.0f; }
    float GetMaxU() override;
    float GetMaxV() override;

    IDirectDrawSurface7* GetSurface() const { return m_pd3dTexture; }
    bool IsDefault() const { return m_bDefault != 0; }

private:
    void CreateSurface(const char* failure);

    CGraphics_D3D7* m_pDriver;
    int32_t m_nUsedWidth = 0, m_nUsedHeight = 0;
    int32_t m_nTextureWidth = 0, m_nTextureHeight = 0;
    DDSURFACEDESC2 m_desc;
    IDirectDrawSurface7* m_pd3dTexture = nullptr;
    uint8_t m_bDefault = 0;
};

} // namespace Engine::Graphics
