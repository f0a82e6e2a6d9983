#include "graphics/drivers/DeviceObjectsD3D8.h"

#include <algorithm>
#include <memory>

#include "app/DirectXDrivers.h"
#include "app/Exception.h"
#include "app/Log.h"
#include "graphics/Bitmap.h"
#include "graphics/Resample.h"
#include "graphics/drivers/BufferSize.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "graphics/drivers/TextureSize.h"

namespace Engine::Graphics {

namespace {

template <class Interface>
void ReleaseInterface(Interface*& object) {
    if (object) object->Release();
    object = nullptr;
}

// The whole buffer's memory, or null after logging the failure as `what`.
template <class Buffer>
void* LockBuffer(Buffer* buffer, DWORD flags, const char* what, void*& data, uint8_t& locked) {
    if (!buffer) return nullptr;
    BYTE* bytes = nullptr;
    const HRESULT result = buffer->Lock(0, 0, &bytes, flags);
    if (FAILED(result)) {
        GetLog().PrintLine("%s : %s", what, DXErrorToString(result));
        return nullptr;
    }
    locked = 1;
    data = bytes;
    return bytes;
}

template <class Buffer>
void UnlockBuffer(Buffer* buffer, void*& data, uint8_t& locked) {
    if (buffer && locked) buffer->Unlock();
    locked = 0;
    data = nullptr;
}

// The next mipmap level of a 32-bit image: each pixel the mean of a 2 x 2
// block (edge pixels repeat on odd sizes).
CBitmapIO::CImageData HalveImage(const CBitmapIO::CImageData& image) {
    CBitmapIO::CImageData half;
    half.width = std::max(image.width / 2, 1);
    half.height = std::max(image.height / 2, 1);
    half.pixels.resize(size_t(half.width) * size_t(half.height));
    for (int32_t y = 0; y < half.height; ++y) {
        for (int32_t x = 0; x < half.width; ++x) {
            const int32_t x0 = std::min(2 * x, image.width - 1), x1 = std::min(2 * x + 1, image.width - 1);
            const int32_t y0 = std::min(2 * y, image.height - 1), y1 = std::min(2 * y + 1, image.height - 1);
            const uint32_t block[4] = {image.pixels[size_t(y0 * image.width + x0)],
                                       image.pixels[size_t(y0 * image.width + x1)],
                                       image.pixels[size_t(y1 * image.width + x0)],
                                       image.pixels[size_t(y1 * image.width + x1)]};
            uint32_t mean = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                uint32_t sum = 2;
                for (uint32_t pixel : block) sum += (pixel >> shift) & 0xFF;
                mean |= (sum / 4) << shift;
            }
            half.pixels[size_t(y * half.width + x)] = mean;
        }
    }
    return half;
}

} // namespace

ref_ptr<CTextureFormat_D3D8> CreateTextureFormat_D3D8(uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                                                      uint32_t alphaMask, uint32_t bits, D3DFORMAT format) {
    return ref_ptr<CTextureFormat_D3D8>(
        new CTextureFormat_D3D8(redMask, greenMask, blueMask, alphaMask, bits, format));
}

DWORD ConvertVertexFormat(uint32_t format) {
    DWORD fvf = 0;
    if (format & VF_RHW)
        fvf = D3DFVF_XYZRHW;
    else if (format & VF_XYZ)
        fvf = D3DFVF_XYZ;
    if (format & VF_DIFFUSE) fvf |= D3DFVF_DIFFUSE;
    if (format & VF_SPECULAR) fvf |= D3DFVF_SPECULAR;
    if (format & VF_NORMAL) fvf |= D3DFVF_NORMAL;
    if (format & VF_TEX0) fvf |= 0x100;
    if (format & VF_TEX1) fvf |= 0x200;
    if (format & VF_TEX2) fvf |= 0x300;
    if (format & VF_TEX3) fvf |= 0x400;
    return fvf;
}

// Vertex buffer.

CVertexBuffer_D3D8::CVertexBuffer_D3D8(CGraphics_D3D8* owner, int32_t count, int32_t vertexSize, uint32_t format,
                                       bool dynamic)
    : CVertexBuffer(owner, count, vertexSize, format, dynamic), m_pDriver(owner) {
    CheckedBufferBytes("CVertexBuffer_D3D8::CreateVertexBuffer() : FAILED", count, vertexSize);
    Restore();
}

CVertexBuffer_D3D8::~CVertexBuffer_D3D8() { ReleaseInterface(m_pBuffer); }

void CVertexBuffer_D3D8::Invalidate() {
    // A DEFAULT-pool buffer must go before the device can be reset.
    m_pData = nullptr;
    m_bLocked = 0;
    ReleaseInterface(m_pBuffer);
}

void CVertexBuffer_D3D8::Restore() {
    if (m_pBuffer) return;
    IDirect3DDevice8* device = m_pDriver->GetDevice();
    if (!device || FAILED(device->CreateVertexBuffer(UINT(m_nCount) * UINT(m_nVertexSize), D3DUSAGE_DYNAMIC,
                                                     ConvertVertexFormat(m_nFormat), D3DPOOL_DEFAULT, &m_pBuffer))) {
        m_pBuffer = nullptr;
        throw CException("CVertexBuffer_D3D8::CreateVertexBuffer() : FAILED");
    }
}

void* CVertexBuffer_D3D8::Lock() {
    return LockBuffer(m_pBuffer, D3DLOCK_DISCARD, "CVertexBuffer_D3D8::Lock()", m_pData, m_bLocked);
}

void CVertexBuffer_D3D8::Unlock() { UnlockBuffer(m_pBuffer, m_pData, m_bLocked); }

// Index buffer.

CIndexBuffer_D3D8::CIndexBuffer_D3D8(CGraphics_D3D8* owner, int32_t typeCode, int32_t count)
    : CIndexBuffer(owner, typeCode, count), m_pDriver(owner) {
    const size_t bytes = CheckedBufferBytes("CIndexBuffer_D3D8::CreateIndexBuffer() : FAILED", count, m_nBytesPerIndex);
    // Every 4-byte index type gets 32-bit indices: the size and the format agree.
    const D3DFORMAT format = m_nBytesPerIndex == 2 ? D3DFMT_INDEX16 : D3DFMT_INDEX32;
    IDirect3DDevice8* device = owner->GetDevice();
    if (!device || FAILED(device->CreateIndexBuffer(UINT(bytes), 0, format, D3DPOOL_MANAGED, &m_pBuffer))) {
        m_pBuffer = nullptr;
        throw CException("CIndexBuffer_D3D8::CreateIndexBuffer() : FAILED");
    }
}

CIndexBuffer_D3D8::~CIndexBuffer_D3D8() { ReleaseInterface(m_pBuffer); }

void* CIndexBuffer_D3D8::Lock() { return LockBuffer(m_pBuffer, 0, "CIndexBuffer_D3D8::Lock()", m_pData, m_bLocked); }

void CIndexBuffer_D3D8::Unlock() { UnlockBuffer(m_pBuffer, m_pData, m_bLocked); }

// Hardware texture.

CHardwareTexture_D3D8::CHardwareTexture_D3D8(CGraphics_D3D8* owner) : CHardwareTexture(owner), m_pDriver(owner) {}

CHardwareTexture_D3D8::~CHardwareTexture_D3D8() { Free(); }

bool CHardwareTexture_D3D8::CreateFromBitmap(const ref_ptr<CBitmap>& bitmap, bool mipmap, bool freePixels,
                                             int32_t minAlphaBits) {
    m_bFreePixels = freePixels ? 1 : 0;
    m_nMinAlphaBits = minAlphaBits;
    if (bitmap != m_pBitmap) m_pBitmap = bitmap;
    m_bMipmap = mipmap ? 1 : 0;
    Restore();
    return true;
}

void CHardwareTexture_D3D8::ReleaseTexture() { ReleaseInterface(m_pTexture); }

void CHardwareTexture_D3D8::Invalidate() { ReleaseTexture(); }

void CHardwareTexture_D3D8::Free() {
    ReleaseTexture();
    DropHeldBitmap();
}

void CHardwareTexture_D3D8::Restore() {
    if (m_pTexture) return;
    CLogSection section("CGraphics_D3D8::CHardwareTexture_D3D8::Restore()");
    IDirect3DDevice8* device = m_pDriver->GetDevice();
    if (!device || !m_pBitmap) return;
    // Checked before anything is made: a bitmap whose pixels were freed and
    // not loaded again has nothing to upload.
    if (!m_pBitmap->GetPixels()) {
        GetLog().PrintLine("Graphics::CHardwareTexture_D3D8::CreateInternal(...) : Bitmap is not loaded (%d, %d)",
                           m_pBitmap->GetWidth(), m_pBitmap->GetHeight());
        return;
    }
    int32_t width = m_pBitmap->GetWidth(), height = m_pBitmap->GetHeight();
    D3DCAPS8 caps;
    // Unknown caps take the strictest rules.
    CTextureRules rules{0, 0, true, true};
    if (SUCCEEDED(device->GetDeviceCaps(&caps)))
        rules = {int32_t(caps.MaxTextureWidth), int32_t(caps.MaxTextureHeight),
                 (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0, (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0};
    FitTextureSize(rules, width, height);
    const int index = m_pDriver->ChooseTextureFormat(m_pDriver->GetWindowBitsPerPixel(), m_nMinAlphaBits);
    const ref_ptr<CTextureFormat_D3D8> format =
        DynamicRefCast<CTextureFormat_D3D8>(m_pDriver->GetTextureFormats().Get(size_t(index)));
    ReleaseTexture();
    if (!CreateTexture(*format, width, height, D3DPOOL_MANAGED)) return;
    if (m_bFreePixels && m_pBitmap->GetPixels()) m_pBitmap->FreePixels();
}

bool CHardwareTexture_D3D8::CreateTexture(const CTextureFormat_D3D8& format, int32_t width, int32_t height,
                                          D3DPOOL pool) {
    const HRESULT result = D3DXCreateTexture(m_pDriver->GetDevice(), UINT(width), UINT(height),
                                             m_bMipmap ? D3DX_DEFAULT : 0, 0, format.GetFormat(), pool, &m_pTexture);
    if (FAILED(result)) {
        m_pTexture = nullptr;
        GetLog().PrintLine("CHardwareTexture_D3D8::CreateFromBitmap()::CreateTexture() : %s : %s",
                           pool == D3DPOOL_MANAGED ? "D3DPOOL_MANAGED" : "D3DPOOL_SYSTEMMEM", DXErrorToString(result));
        return false;
    }
    D3DSURFACE_DESC desc;
    const HRESULT described = m_pTexture->GetLevelDesc(0, &desc);
    if (FAILED(described)) {
        ReleaseTexture();
        throw CException::Format("CHardwareTexture_D3D8::CreateFromBitmap()::CreateTexture() : GetLevelDesc(...) : %s",
                                 DXErrorToString(described));
    }
    FillLevels(format, int32_t(desc.Width), int32_t(desc.Height));
    return true;
}

void CHardwareTexture_D3D8::FillLevels(const CTextureFormat_D3D8& format, int32_t width, int32_t height) {
    const CBitmapIO::CImageData& source = m_pBitmap->GetImage();
    CBitmapIO::CImageData level;
    if (source.width != width || source.height != height) {
        GetLog().PrintLine("Resizing bitmap from (%d, %d) to (%d, %d)", source.width, source.height, width, height);
        ResampleBitmap(level, source, width, height);
    } else {
        level = source;
    }
    // Without mipmaps only level 0 exists; with them every level gets the
    // halved image, so minified drawing does not read empty levels.
    const UINT levels = m_bMipmap ? m_pTexture->GetLevelCount() : 1;
    for (UINT index = 0; index < levels; ++index) {
        D3DLOCKED_RECT locked;
        const HRESULT result = m_pTexture->LockRect(index, &locked, nullptr, 0);
        const char* failure = FAILED(result) ? DXErrorToString(result) : !locked.pBits ? "FAILED : NULL buffer pointer"
                                                                                     : nullptr;
        if (failure) {
            ReleaseTexture();
            throw CException::Format("CHardwareTexture_D3D8::CreateFromBitmap()::CreateTexture() : LockRect(...) : %s",
                                     failure);
        }
        if (!level.pixels.empty()) ConvertToTextureFormat(format, level, locked.pBits, locked.Pitch);
        const HRESULT unlocked = m_pTexture->UnlockRect(index);
        if (FAILED(unlocked)) {
            ReleaseTexture();
            throw CException::Format(
                "CHardwareTexture_D3D8::CreateFromBitmap()::CreateTexture() : UnlockRect(...) : %s",
                DXErrorToString(unlocked));
        }
        if (index + 1 < levels) level = HalveImage(level);
    }
}

// Render target.

CRenderTarget_D3D8::CRenderTarget_D3D8(CGraphics_D3D8* owner) : CRenderTarget(owner), m_pDriver(owner) {}

CRenderTarget_D3D8::~CRenderTarget_D3D8() {
    ReleaseSurfaces();
    // A driver that went first detached its objects and cleared their owner.
    if (GetOwner()) m_pDriver->OnRenderTargetDestroyed(this);
}

void CRenderTarget_D3D8::Create(int32_t width, int32_t height) {
    m_nUsedWidth = width;
    m_nUsedHeight = height;
    m_nTextureWidth = m_nTextureHeight = std::max(NextPowerOfTwo(width), NextPowerOfTwo(height));
    CreateSurfaces("CRenderTarget_D3D8::Create(...) : FAILED",
                   "CRenderTarget_D3D8::Create(...) : GetSurfaceLevel(...) : FAILED",
                   "CRenderTarget_D3D8::Create(...) : CreateDepthStencilSurface(...) : FAILED");
}

void CRenderTarget_D3D8::CreateSurfaces(const char* textureFailed, const char* surfaceFailed, const char* depthFailed) {
    IDirect3DDevice8* device = m_pDriver->GetDevice();
    const D3DPRESENT_PARAMETERS& parameters = m_pDriver->GetPresentParameters();
    if (!device || FAILED(D3DXCreateTexture(device, UINT(m_nTextureWidth), UINT(m_nTextureHeight), 1,
                                            D3DUSAGE_RENDERTARGET, parameters.BackBufferFormat, D3DPOOL_DEFAULT,
                                            &m_pd3dTexture))) {
        m_pd3dTexture = nullptr;
        throw CException(textureFailed);
    }
    if (FAILED(m_pd3dTexture->GetSurfaceLevel(0, &m_pd3dSurface))) {
        m_pd3dSurface = nullptr;
        ReleaseInterface(m_pd3dTexture);
        throw CException(surfaceFailed);
    }
    if (parameters.EnableAutoDepthStencil &&
        FAILED(device->CreateDepthStencilSurface(UINT(m_nTextureWidth), UINT(m_nTextureHeight),
                                                 parameters.AutoDepthStencilFormat, parameters.MultiSampleType,
                                                 &m_pd3dZBuffer))) {
        m_pd3dZBuffer = nullptr;
        ReleaseInterface(m_pd3dSurface);
        ReleaseInterface(m_pd3dTexture);
        throw CException(depthFailed);
    }
}

void CRenderTarget_D3D8::CreateDefault() {
    m_bDefault = 1;
    AcquireBackBuffer("CRenderTarget_D3D8::CreateDefault() : FAILED", nullptr);
}

void CRenderTarget_D3D8::AcquireBackBuffer(const char* surfaceFailed, const char* depthFailed) {
    IDirect3DDevice8* device = m_pDriver->GetDevice();
    if (!device || FAILED(device->GetRenderTarget(&m_pd3dSurface))) {
        m_pd3dSurface = nullptr;
        throw CException(surfaceFailed);
    }
    if (!m_pDriver->GetPresentParameters().EnableAutoDepthStencil && depthFailed) return;
    if (FAILED(device->GetDepthStencilSurface(&m_pd3dZBuffer))) {
        m_pd3dZBuffer = nullptr;
        if (depthFailed) throw CException(depthFailed);
    }
}

void CRenderTarget_D3D8::ReleaseLogged(bool texturesFirst) {
    CLog& log = GetLog();
    const auto release = [&log](auto*& object, const char* name) {
        if (!object) return;
        log.PrintLine("%s->Release() : %d", name, int(object->Release()));
        object = nullptr;
    };
    if (texturesFirst) {
        release(m_pd3dSurface, "m_pd3dSurface");
        release(m_pd3dTexture, "m_pd3dTexture");
        release(m_pd3dZBuffer, "m_pd3dZBuffer");
    } else {
        release(m_pd3dZBuffer, "m_pd3dZBuffer");
        release(m_pd3dSurface, "m_pd3dSurface");
        release(m_pd3dTexture, "m_pd3dTexture");
    }
}

void CRenderTarget_D3D8::Invalidate() { ReleaseLogged(false); }

void CRenderTarget_D3D8::ReleaseSurfaces() {
    ReleaseLogged(true);
    m_bDefault = 0;
}

void CRenderTarget_D3D8::Restore() {
    if (m_pd3dTexture || m_pd3dSurface) return;
    if (m_bDefault) {
        AcquireBackBuffer("CRenderTarget_D3D8::Restore() : GetRenderTarget(...) : FAILED",
                          "CRenderTarget_D3D8::Restore() : GetDepthStencilSurface(...) : FAILED");
        return;
    }
    if (m_nTextureWidth <= 0) return;
    CreateSurfaces("CRenderTarget_D3D8::Restore() : D3DXCreateTexture(...) : FAILED",
                   "CRenderTarget_D3D8::Restore() : GetSurfaceLevel(...) : FAILED",
                   "CRenderTarget_D3D8::Restore() : CreateDepthStencilSurface(...) : FAILED");
}

void CRenderTarget_D3D8::SetActive() {
    if (m_pDriver->GetRenderTarget() == this) return;
    IDirect3DDevice8* device = m_pDriver->GetDevice();
    if (!device || FAILED(device->SetRenderTarget(m_pd3dSurface, m_pd3dZBuffer)))
        throw CException("CRenderTarget_D3D8::SetActive() : FAILED");
    D3DVIEWPORT8 viewport;
    const CGraphicsParams& params = m_pDriver->GetParams();
    viewport.Width = DWORD(m_bDefault ? params.width : m_nUsedWidth);
    viewport.Height = DWORD(m_bDefault ? params.height : m_nUsedHeight);
    if (FAILED(device->SetViewport(&viewport)))
        throw CException("CRenderTarget_D3D8::SetActive() : SetViewport(...) : FAILED");
    m_pDriver->MakeCurrentTarget(this);
}

void CRenderTarget_D3D8::CaptureBackBuffer() {
    auto* defaultTarget = static_cast<CRenderTarget_D3D8*>(m_pDriver->GetDefaultRenderTarget());
    IDirect3DDevice8* device = m_pDriver->GetDevice();
    if (!device || !defaultTarget->m_pd3dSurface || !m_pd3dSurface) return;
    device->CopyRects(defaultTarget->m_pd3dSurface, nullptr, 0, m_pd3dSurface, nullptr);
}

float CRenderTarget_D3D8::GetMaxU() {
    return m_nTextureWidth > 0 ? float(m_nUsedWidth) / float(m_nTextureWidth) : 0.0f;
}

float CRenderTarget_D3D8::GetMaxV() {
    return m_nTextureHeight > 0 ? float(m_nUsedHeight) / float(m_nTextureHeight) : 0.0f;
}

// The driver's side of the device objects.

void CGraphics_D3D8::CreateVertexBuffer(ref_ptr<CVertexBuffer>& out, int count, int vertexSize, uint32_t format,
                                        bool dynamic) {
    out = new CVertexBuffer_D3D8(this, count, vertexSize, format, dynamic);
}

void CGraphics_D3D8::CreateIndexBuffer(ref_ptr<CIndexBuffer>& out, int typeCode, int count, bool) {
    out = new CIndexBuffer_D3D8(this, typeCode, count);
}

void CGraphics_D3D8::CreateHardwareTexture(ref_ptr<CHardwareTexture>& out, ref_ptr<CBitmap> bitmap, bool mipmap,
                                           bool freePixels, int32_t minAlphaBits) {
    ref_ptr<CHardwareTexture_D3D8> texture(new CHardwareTexture_D3D8(this));
    if (!texture->CreateFromBitmap(bitmap, mipmap, freePixels, minAlphaBits)) {
        GetLog().PrintLine("CGraphics_D3D8::CreateHardwareTexture() : FAILED");
        out = nullptr;
        return;
    }
    out = texture.get();
}

CRenderTarget* CGraphics_D3D8::CreateRenderTarget(int width, int height) {
    auto target = std::make_unique<CRenderTarget_D3D8>(this);
    target->Create(width, height);
    return target.release();
}

void CGraphics_D3D8::SetRenderTarget(CRenderTarget* target) {
    if (!target) target = &m_defaultTarget;
    auto* target_D3D8 = dynamic_cast<CRenderTarget_D3D8*>(target);
    if (!target_D3D8) throw 1; // another driver's target
    target_D3D8->SetActive();
}

void CGraphics_D3D8::OnRenderTargetDestroyed(CRenderTarget_D3D8* target) {
    if (target != m_pCurrentTarget || target == &m_defaultTarget) return;
    m_pCurrentTarget = nullptr;
    try {
        if (m_pd3dDevice) m_defaultTarget.SetActive();
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
    }
    m_pCurrentTarget = &m_defaultTarget;
}

} // namespace Engine::Graphics
