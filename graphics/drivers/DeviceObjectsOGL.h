#pragma once
// The OpenGL driver's resources: vertex and index buffers in system memory
// (handed to GL as client arrays at each draw), textures uploaded from
// bitmaps, render targets that copy the frame buffer into a texture, and the
// texture-format record.

#include <cstdint>
#include <vector>

#include "graphics/DeviceObject.h"
#include "graphics/TextureFormat.h"
#include "graphics/drivers/SystemMemoryBuffer.h"
#include "graphics/drivers/TextureSize.h"
#include "platform/Wgl.h"

namespace Engine::Graphics {

class CGraphics_OGL;

class CTextureFormat_OGL : public CTextureFormat {
public:
    CTextureFormat_OGL(uint32_t redMask, uint32_t greenMask, uint32_t blueMask, uint32_t alphaMask,
                       GLint internalFormat)
        : CTextureFormat(redMask, greenMask, blueMask, alphaMask, 32), m_internalFormat(internalFormat) {}

    // The layout of the converted pixels handed to GL.
    GLenum GetPixelFormat() const { return m_pixelFormat; }
    GLint GetInternalFormat() const { return m_internalFormat; }

private:
    GLenum m_pixelFormat = GL_RGBA;
    GLint m_internalFormat;
};

ref_ptr<CTextureFormat_OGL> CreateTextureFormat_OGL(uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                                                    uint32_t alphaMask, GLint internalFormat);

class CVertexBuffer_OGL : public CSystemMemoryBuffer<CVertexBuffer> {
public:
    // Throws Engine::CException for a negative count or size.
    CVertexBuffer_OGL(CGraphics* owner, int32_t count, int32_t vertexSize, uint32_t format, bool dynamic);
};

class CIndexBuffer_OGL : public CSystemMemoryBuffer<CIndexBuffer> {
public:
    // Throws Engine::CException for a negative count.
    CIndexBuffer_OGL(CGraphics* owner, int32_t typeCode, int32_t count);
};

class CHardwareTexture_OGL : public CHardwareTexture {
public:
    explicit CHardwareTexture_OGL(CGraphics_OGL* owner);
    ~CHardwareTexture_OGL() override;

    // Holds the bitmap and uploads it; true.
    bool CreateFromBitmap(const ref_ptr<CBitmap>& bitmap, bool mipmap, bool freePixels, int32_t minAlphaBits) override;
    void Free() override;
    // Uploads the bitmap's pixels unconverted at the texture's origin.
    void Update() override;
    void Invalidate() override;
    // Creates and uploads the GL texture unless it exists. A bitmap whose
    // pixels were freed has nothing to upload: the texture stays without a
    // GL name until its owner creates it again.
    void Restore() override;

    // -1 while there is no GL texture.
    int32_t GetTextureName() const { return m_nTexture; }

private:
    CGraphics_OGL* Driver() const;
    // Uploads the image into the bound texture.
    void Upload(const CBitmapIO::CImageData& image);
    void DeleteTexture();

    int32_t m_nTexture = -1;
};

class CRenderTarget_OGL : public CRenderTarget {
public:
    // The frame buffer itself: no texture.
    explicit CRenderTarget_OGL(CGraphics_OGL* owner);
    // A target of width x height pixels with a square power-of-two texture.
    CRenderTarget_OGL(CGraphics_OGL* owner, int32_t width, int32_t height);
    ~CRenderTarget_OGL() override;

    // Copies the used area at the top left of the frame buffer into the
    // texture's lower-left corner (GL stores rows bottom first).
    void CaptureBackBuffer() override;
    float GetMinU() override { return 0.0f; }
    // V runs from GetMinV at the top of the image to 0 at the bottom.
    float GetMinV() override;
    float GetMaxU() override;
    float GetMaxV() override { return 0.0f; }

    int32_t GetTextureName() const { return m_nTexture; }
    bool IsFrameBuffer() const { return m_nTexture < 0; }
    int32_t GetUsedWidth() const { return m_nUsedWidth; }
    int32_t GetUsedHeight() const { return m_nUsedHeight; }
    int32_t GetTextureSize() const { return m_nTextureWidth; }

private:
    CGraphics_OGL* Driver() const;
    void InitTexture(int32_t width, int32_t height);

    int32_t m_nUsedWidth = 0;
    int32_t m_nUsedHeight = 0;
    int32_t m_nTextureWidth = 0;
    int32_t m_nTextureHeight = 0;
    int32_t m_nTexture = -1;
};

} // namespace Engine::Graphics
