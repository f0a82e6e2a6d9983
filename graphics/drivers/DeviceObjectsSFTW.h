#pragma once
// The software driver's resources, all in ordinary memory: vertex and index
// buffers are plain arrays, a texture is a 32-bit copy of its bitmap in the
// back buffer's channel order, and the default render target is the back
// buffer itself. Nothing can be lost: invalidating a texture frees its copy,
// restoring makes it again from the bitmap the texture keeps.

#include <cstdint>

#include "graphics/DeviceObject.h"
#include "graphics/drivers/SystemMemoryBuffer.h"

namespace Engine::Graphics {

class CVertexBuffer_SFTW : public CSystemMemoryBuffer<CVertexBuffer> {
public:
    // Throws Engine::CException for a negative count or size.
    CVertexBuffer_SFTW(CGraphics* owner, int32_t count, int32_t vertexSize, uint32_t format, bool dynamic);
};

class CIndexBuffer_SFTW : public CSystemMemoryBuffer<CIndexBuffer> {
public:
    // Throws Engine::CException for a negative count.
    CIndexBuffer_SFTW(CGraphics* owner, int32_t typeCode, int32_t count);
};

class CHardwareTexture_SFTW : public CHardwareTexture {
public:
    explicit CHardwareTexture_SFTW(CGraphics* owner);

    // Keeps the bitmap and copies its pixels; with freePixels the bitmap's
    // own pixels are freed afterwards. Always succeeds: without a bitmap or
    // its pixels the copy stays empty.
    bool CreateFromBitmap(const ref_ptr<CBitmap>& bitmap, bool mipmap, bool freePixels, int32_t minAlphaBits) override;
    void Free() override {}
    void Update() override {}
    // Frees the copy; the bitmap stays.
    void Invalidate() override;
    // Copies the bitmap again unless the copy still has pixels. A bitmap
    // whose pixels were freed has nothing to copy: the texture stays empty.
    void Restore() override;

    // Brings the copy into the given channel order: red and blue exchanged
    // relative to the bitmap exactly when swapped is set.
    void SetChannelOrder(bool swapped);
    // The texels the rasteriser reads; the size is the bitmap's.
    const CBitmap& GetCopy() const { return *m_pCopy; }

private:
    void MatchChannelOrder();

    ref_ptr<CBitmap> m_pCopy;
    uint8_t m_bWantedOrder = 0;
};

// The back buffer as a render target.
class CRenderTarget_SFTW : public CRenderTarget {
public:
    using CRenderTarget::CRenderTarget;

    void CaptureBackBuffer() override {}
    float GetMinU() override { return 0.0f; }
    float GetMinV() override { return 0.0f; }
    // The whole image is used.
    float GetMaxU() override { return 1.0f; }
    float GetMaxV() override { return 1.0f; }

    uint32_t* GetPixels() const { return m_pPixels; }
    void SetPixels(uint32_t* pixels) { m_pPixels = pixels; }

private:
    uint32_t* m_pPixels = nullptr;
};

} // namespace Engine::Graphics
