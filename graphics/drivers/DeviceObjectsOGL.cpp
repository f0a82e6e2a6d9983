#include "graphics/drivers/DeviceObjectsOGL.h"

#include <algorithm>

#include "app/Exception.h"
#include "app/Log.h"
#include "graphics/Bitmap.h"
#include "graphics/Resample.h"
#include "graphics/drivers/GlCheck.h"
#include "graphics/drivers/GraphicsOGL.h"

namespace Engine::Graphics {

namespace {

// What GL takes for a bitmap: no side past GL_MAX_TEXTURE_SIZE, powers of
// two without the non-power-of-two extension, square without the rectangle
// extension.
CTextureRules TextureRules(const CGraphics_OGL& driver) {
    return {driver.GetMaxTextureSize(), driver.GetMaxTextureSize(),
            !driver.HasExtension("GL_ARB_texture_non_power_of_two"), !driver.HasExtension("GL_ARB_texture_rectangle")};
}

// Textures are bound and deleted through the driver's state cache, so that
// it knows which texture GL has bound.
void DeleteGlTexture(CGraphics_OGL& driver, int32_t& name) {
    driver.GetStateCache().DeleteTexture(GLuint(name));
    name = -1;
}

int32_t GenerateBoundTexture(CGraphics_OGL& driver) {
    GLuint name = 0;
    GL_CHECK(glGenTextures(1, &name));
    driver.GetStateCache().BindTexture(name);
    return int32_t(name);
}

} // namespace

ref_ptr<CTextureFormat_OGL> CreateTextureFormat_OGL(uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                                                    uint32_t alphaMask, GLint internalFormat) {
    return ref_ptr<CTextureFormat_OGL>(new CTextureFormat_OGL(redMask, greenMask, blueMask, alphaMask, internalFormat));
}

CVertexBuffer_OGL::CVertexBuffer_OGL(CGraphics* owner, int32_t count, int32_t vertexSize, uint32_t format,
                                     bool dynamic)
    : CSystemMemoryBuffer(SystemBufferBytes("CVertexBuffer_OGL::CVertexBuffer_OGL()", count, vertexSize), owner, count,
                              vertexSize, format, dynamic) {}

CIndexBuffer_OGL::CIndexBuffer_OGL(CGraphics* owner, int32_t typeCode, int32_t count)
    : CSystemMemoryBuffer(SystemBufferBytes("CIndexBuffer_OGL::CIndexBuffer_OGL()", count, BytesPerIndex(typeCode)),
                          owner, typeCode, count) {}

CHardwareTexture_OGL::CHardwareTexture_OGL(CGraphics_OGL* owner) : CHardwareTexture(owner) {}

CHardwareTexture_OGL::~CHardwareTexture_OGL() { Free(); }

CGraphics_OGL* CHardwareTexture_OGL::Driver() const { return static_cast<CGraphics_OGL*>(GetOwner()); }

bool CHardwareTexture_OGL::CreateFromBitmap(const ref_ptr<CBitmap>& bitmap, bool mipmap, bool freePixels,
                                            int32_t minAlphaBits) {
    m_bMipmap = mipmap ? 1 : 0;
    m_bFreePixels = freePixels ? 1 : 0;
    m_nMinAlphaBits = minAlphaBits;
    if (bitmap != m_pBitmap) m_pBitmap = bitmap;
    // A texture made again shows the new bitmap, not the old upload.
    DeleteTexture();
    Restore();
    return true;
}

void CHardwareTexture_OGL::DeleteTexture() {
    if (m_nTexture < 0) return;
    CGraphics_OGL* driver = Driver();
    if (driver && driver->HasContext())
        DeleteGlTexture(*driver, m_nTexture);
    else
        m_nTexture = -1; // went with its context
}

void CHardwareTexture_OGL::Invalidate() { DeleteTexture(); }

void CHardwareTexture_OGL::Free() {
    DeleteTexture();
    DropHeldBitmap();
}

void CHardwareTexture_OGL::Restore() {
    if (m_nTexture >= 0) return;
    CGraphics_OGL* driver = Driver();
    if (!driver || !driver->HasContext()) return;
    if (!m_pBitmap || !m_pBitmap->GetPixels()) {
        GetLog().PrintLine("Engine::Graphics::CHardwareTexture_OGL::Restore() : no pixels to upload");
        return;
    }
    const CBitmapIO::CImageData& image = m_pBitmap->GetImage();
    int32_t width = image.width, height = image.height;
    FitTextureSize(TextureRules(*driver), width, height);
    CBitmapIO::CImageData resized;
    if (width != image.width || height != image.height) {
        GetLog().PrintLine("Resizing bitmap from (%d, %d) to (%d, %d)", image.width, image.height, width, height);
        ResampleBitmap(resized, image, width, height);
        if (resized.pixels.empty()) {
            GetLog().PrintLine("Engine::Graphics::CHardwareTexture_OGL::Restore() : FAILED : cannot resize");
            return;
        }
    }
    m_nTexture = GenerateBoundTexture(*driver);
    Upload(resized.pixels.empty() ? image : resized);
    if (m_bFreePixels) m_pBitmap->FreePixels();
}

void CHardwareTexture_OGL::Upload(const CBitmapIO::CImageData& image) {
    if (m_bMipmap) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, image.width, image.height, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
        GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST));
        return;
    }
    CGraphics_OGL& driver = *Driver();
    const int index = driver.ChooseTextureFormat(driver.GetWindowBitsPerPixel(), m_nMinAlphaBits);
    const ref_ptr<CTextureFormat_OGL> format =
        DynamicRefCast<CTextureFormat_OGL>(driver.GetTextureFormats().Get(size_t(index)));
    std::vector<uint8_t> converted(size_t(format->bitsPerPixel / 8) * size_t(image.width) * size_t(image.height));
    ConvertToTextureFormat(*format, image, converted.data(), 0);
    GL_CHECK(glTexImage2D(GL_TEXTURE_2D, 0, format->GetInternalFormat(), image.width, image.height, 0,
                          format->GetPixelFormat(), GL_UNSIGNED_BYTE, converted.data()));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST));
}

void CHardwareTexture_OGL::Update() {
    // A texture whose pixels were freed has nothing to send.
    CGraphics_OGL* driver = Driver();
    if (m_nTexture < 0 || !driver || !m_pBitmap || !m_pBitmap->GetPixels()) return;
    driver->GetStateCache().BindTexture(GLuint(m_nTexture));
    GL_CHECK(glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, m_pBitmap->GetWidth(), m_pBitmap->GetHeight(), GL_RGBA,
                             GL_UNSIGNED_BYTE, m_pBitmap->GetPixels()));
}

CRenderTarget_OGL::CRenderTarget_OGL(CGraphics_OGL* owner) : CRenderTarget(owner) {}

CRenderTarget_OGL::CRenderTarget_OGL(CGraphics_OGL* owner, int32_t width, int32_t height) : CRenderTarget(owner) {
    InitTexture(width, height);
}

CRenderTarget_OGL::~CRenderTarget_OGL() {
    CGraphics_OGL* driver = Driver();
    if (!driver) return;
    if (m_nTexture >= 0 && driver->HasContext()) DeleteGlTexture(*driver, m_nTexture);
    driver->OnRenderTargetDestroyed(this);
}

CGraphics_OGL* CRenderTarget_OGL::Driver() const { return static_cast<CGraphics_OGL*>(GetOwner()); }

void CRenderTarget_OGL::InitTexture(int32_t width, int32_t height) {
    m_nUsedWidth = std::max(width, 0);
    m_nUsedHeight = std::max(height, 0);
    m_nTextureWidth = m_nTextureHeight = std::max(NextPowerOfTwo(width), NextPowerOfTwo(height));
    m_nTexture = GenerateBoundTexture(*Driver());
    GL_CHECK(glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, m_nTextureWidth, m_nTextureHeight, 0, GL_RGBA,
                          GL_UNSIGNED_BYTE, nullptr));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT));
    GL_CHECK(glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT));
}

void CRenderTarget_OGL::CaptureBackBuffer() {
    CGraphics_OGL* driver = Driver();
    if (m_nTexture < 0 || !driver) return;
    driver->GetStateCache().BindTexture(GLuint(m_nTexture));
    GL_CHECK(glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, driver->GetParams().height - m_nUsedHeight, m_nUsedWidth,
                                 m_nUsedHeight));
}

float CRenderTarget_OGL::GetMinV() {
    return m_nTextureHeight > 0 ? float(m_nUsedHeight) / float(m_nTextureHeight) : 0.0f;
}

float CRenderTarget_OGL::GetMaxU() {
    return m_nTextureWidth > 0 ? float(m_nUsedWidth) / float(m_nTextureWidth) : 0.0f;
}

// The driver's side of the device objects.

void CGraphics_OGL::CreateVertexBuffer(ref_ptr<CVertexBuffer>& out, int count, int vertexSize, uint32_t format,
                                       bool dynamic) {
    out = new CVertexBuffer_OGL(this, count, vertexSize, format, dynamic);
}

void CGraphics_OGL::CreateIndexBuffer(ref_ptr<CIndexBuffer>& out, int typeCode, int count, bool) {
    out = new CIndexBuffer_OGL(this, typeCode, count);
}

void CGraphics_OGL::CreateHardwareTexture(ref_ptr<CHardwareTexture>& out, ref_ptr<CBitmap> bitmap, bool mipmap,
                                          bool freePixels, int32_t minAlphaBits) {
    ref_ptr<CHardwareTexture_OGL> texture(new CHardwareTexture_OGL(this));
    if (!texture->CreateFromBitmap(bitmap, mipmap, freePixels, minAlphaBits)) {
        GetLog().PrintLine("Engine::Graphics::CGraphics_OGL::CreateHardwareTexture() : FAILED");
        out = nullptr;
        return;
    }
    out = texture.get();
}

CRenderTarget* CGraphics_OGL::CreateRenderTarget(int width, int height) {
    return new CRenderTarget_OGL(this, width, height);
}

void CGraphics_OGL::SetRenderTarget(CRenderTarget* target) {
    if (!target) {
        ActivateRenderTarget(&m_defaultTarget);
        return;
    }
    auto* target_OGL = dynamic_cast<CRenderTarget_OGL*>(target);
    if (!target_OGL) throw 1; // another driver's target
    ActivateRenderTarget(target_OGL);
}

void CGraphics_OGL::ActivateRenderTarget(CRenderTarget_OGL* target) {
    if (target == m_pCurrentTarget) return;
    const int32_t width = m_params.width, height = m_params.height;
    // What was drawn for the target being left goes into its texture.
    if (!m_pCurrentTarget->IsFrameBuffer()) {
        GL_CHECK(glViewport(0, 0, width, height));
        m_pCurrentTarget->CaptureBackBuffer();
    }
    // A target draws into the top-left area of the window.
    if (target->IsFrameBuffer())
        GL_CHECK(glViewport(0, 0, width, height));
    else
        GL_CHECK(glViewport(0, height - target->GetUsedHeight(), target->GetUsedWidth(), target->GetUsedHeight()));
    m_pCurrentTarget = target;
}

void CGraphics_OGL::OnRenderTargetDestroyed(CRenderTarget_OGL* target) {
    if (target != m_pCurrentTarget || target == &m_defaultTarget) return;
    m_pCurrentTarget = &m_defaultTarget;
    if (HasContext()) GL_CHECK(glViewport(0, 0, m_params.width, m_params.height));
}

} // namespace Engine::Graphics
