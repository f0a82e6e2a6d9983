#include "graphics/drivers/DeviceObjectsD3D7.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "app/DirectXDrivers.h"
#include "app/Exception.h"
#include "app/Log.h"
#include "graphics/Bitmap.h"
#include "graphics/Resample.h"
#include "graphics/drivers/BufferSize.h"
#include "graphics/drivers/DeviceObjectsD3D8.h"
#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/TextureSize.h"

namespace Engine::Graphics {

namespace {

template <class Interface>
void ReleaseLogged(Interface*& object, const char* line) {
    if (!object) return;
    GetLog().PrintLine(line, int(object->Release()));
    object = nullptr;
}

// Locks a whole surface, waiting while the device is still drawing.
HRESULT LockWaiting(IDirectDrawSurface7* surface, DDSURFACEDESC2& desc) {
    HRESULT result;
    do result = surface->Lock(nullptr, &desc, 0, nullptr);
    while (result == DDERR_WASSTILLDRAWING);
    return result;
}

DDSURFACEDESC2 TextureDesc(DWORD width, DWORD height, const DDPIXELFORMAT& format, DWORD caps) {
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddpfPixelFormat = format;
    desc.ddpfPixelFormat.dwSize = 32;
    desc.ddsCaps.dwCaps = caps;
    desc.dwTextureStage = 0;
    return desc;
}

// The first texture format the device enumerates with 32 bits per pixel,
// else the first with 16.
struct CRenderTargetFormatSearch {
    DDPIXELFORMAT found[2];
    bool has[2] = {false, false};
};

HRESULT NoteRenderTargetFormat(DDPIXELFORMAT* format, void* context) {
    auto* search = static_cast<CRenderTargetFormatSearch*>(context);
    if (!format) return D3DENUMRET_OK;
    const int slot = format->dwRGBBitCount == 32 ? 0 : format->dwRGBBitCount == 16 ? 1 : -1;
    if (slot >= 0 && !search->has[slot]) {
        search->found[slot] = *format;
        search->has[slot] = true;
    }
    return search->has[0] ? HRESULT(D3DENUMRET_CANCEL) : HRESULT(D3DENUMRET_OK);
}

bool FindRenderTargetFormat(IDirect3DDevice7* device, DDPIXELFORMAT& format) {
    CRenderTargetFormatSearch search;
    if (!device || FAILED(device->EnumTextureFormats(&NoteRenderTargetFormat, &search))) return false;
    if (!search.has[0] && !search.has[1]) return false;
    format = search.found[search.has[0] ? 0 : 1];
    return true;
}

} // namespace

// Vertex buffer.

CVertexBuffer_D3D7::CVertexBuffer_D3D7(CGraphics_D3D7* owner, int32_t count, int32_t vertexSize, uint32_t format,
                                       bool dynamic)
    : CVertexBuffer(owner, count, vertexSize, format, dynamic), m_pDriver(owner) {
    CheckedBufferBytes("CVertexBuffer_D3D7::CreateVertexBuffer() : FAILED", count, vertexSize);
    CreateVertexBuffer();
}

CVertexBuffer_D3D7::~CVertexBuffer_D3D7() { Invalidate(); }

void CVertexBuffer_D3D7::CreateVertexBuffer() {
    if (m_pBuffer) return;
    D3DVERTEXBUFFERDESC desc;
    desc.dwCaps = D3DVBCAPS_SYSTEMMEMORY;
    desc.dwFVF = ConvertVertexFormat(m_nFormat);
    desc.dwNumVertices = DWORD(m_nCount);
    IDirect3D7* d3d = m_pDriver->GetDirect3D();
    if (!d3d || FAILED(d3d->CreateVertexBuffer(&desc, &m_pBuffer, 0))) {
        m_pBuffer = nullptr;
        throw CException("CVertexBuffer_D3D7::CreateVertexBuffer() : FAILED");
    }
}

void CVertexBuffer_D3D7::Invalidate() {
    if (m_bLocked && m_pBuffer) m_pBuffer->Unlock();
    m_bLocked = 0;
    m_pData = m_pLockedBuffer = nullptr;
    if (m_pBuffer) m_pBuffer->Release();
    m_pBuffer = nullptr;
}

void* CVertexBuffer_D3D7::Lock() {
    if (!m_pBuffer) throw CException("CVertexBuffer_D3D7::Lock() : no buffer");
    void* data = nullptr;
    const HRESULT result = m_pBuffer->Lock(DDLOCK_WAIT, &data, nullptr);
    if (FAILED(result)) throw CException::Format("CVertexBuffer_D3D7::Lock() : %s", DXErrorToString(result));
    m_bLocked = 1;
    m_pLockedBuffer = data;
    // The buffer holds vertices of the format's size: others are written
    // into a shadow of the engine's size and packed on Unlock.
    const UINT formatSize = D3DXGetFVFVertexSize(ConvertVertexFormat(m_nFormat));
    if (UINT(m_nVertexSize) == formatSize) {
        m_pData = data;
    } else {
        m_shadow.resize(size_t(m_nCount) * size_t(m_nVertexSize));
        m_pData = m_shadow.data();
    }
    return m_pData;
}

void CVertexBuffer_D3D7::Unlock() {
    if (!m_bLocked || !m_pBuffer) return;
    if (m_pData == m_shadow.data()) {
        const size_t formatSize = D3DXGetFVFVertexSize(ConvertVertexFormat(m_nFormat));
        const size_t copied = std::min<size_t>(formatSize, size_t(m_nVertexSize));
        auto* out = static_cast<uint8_t*>(m_pLockedBuffer);
        for (int32_t i = 0; i < m_nCount; ++i)
            std::memcpy(out + size_t(i) * formatSize, m_shadow.data() + size_t(i) * size_t(m_nVertexSize), copied);
    }
    m_pBuffer->Unlock();
    m_pData = m_pLockedBuffer = nullptr;
    m_bLocked = 0;
}

// Index buffer.

CIndexBuffer_D3D7::CIndexBuffer_D3D7(CGraphics_D3D7* owner, int32_t typeCode, int32_t count)
    : CIndexBuffer(owner, typeCode, count) {
    // Sized by the index type: 32-bit indices get 4 bytes each.
    m_indices.assign(CheckedBufferBytes("CIndexBuffer_D3D7::CreateIndexBuffer() : FAILED", count, m_nBytesPerIndex), 0);
}

void* CIndexBuffer_D3D7::Lock() {
    m_pData = m_indices.data();
    m_bLocked = 1;
    return m_pData;
}

void CIndexBuffer_D3D7::Unlock() {
    m_pData = nullptr;
    m_bLocked = 0;
}

bool CIndexBuffer_D3D7::GetIndices16(std::vector<WORD>& indices) const {
    indices.resize(size_t(m_nCount));
    for (size_t i = 0; i < indices.size(); ++i) {
        uint32_t index = 0;
        std::memcpy(&index, m_indices.data() + i * size_t(m_nBytesPerIndex), size_t(m_nBytesPerIndex));
        if (index > 0xFFFF) return false;
        indices[i] = WORD(index);
    }
    return true;
}

// Hardware texture.

CHardwareTexture_D3D7::CHardwareTexture_D3D7(CGraphics_D3D7* owner) : CHardwareTexture(owner), m_pDriver(owner) {}

CHardwareTexture_D3D7::~CHardwareTexture_D3D7() { Free(); }

bool CHardwareTexture_D3D7::CreateFromBitmap(const ref_ptr<CBitmap>& bitmap, bool mipmap, bool freePixels,
                                             int32_t minAlphaBits) {
    (void)mipmap;
    if (bitmap != m_pBitmap) m_pBitmap = bitmap;
    m_bFreePixels = freePixels ? 1 : 0;
    m_nMinAlphaBits = minAlphaBits;
    Restore();
    return true;
}

void CHardwareTexture_D3D7::ReleaseSurface(bool logged) {
    if (logged)
        ReleaseLogged(m_pd3dTexture, "m_pd3dTexture->Release() : %d");
    else if (m_pd3dTexture)
        m_pd3dTexture->Release();
    m_pd3dTexture = nullptr;
}

void CHardwareTexture_D3D7::Invalidate() { ReleaseSurface(true); }

void CHardwareTexture_D3D7::Free() {
    ReleaseSurface(false);
    DropHeldBitmap();
}

void CHardwareTexture_D3D7::Restore() {
    if (m_pd3dTexture) return;
    IDirectDraw7* dd = m_pDriver->GetDirectDraw();
    IDirect3DDevice7* device = m_pDriver->GetDevice();
    if (!dd || !device || !m_pBitmap) return;
    // Checked first: pixels freed after the last upload are not read.
    if (!m_pBitmap->GetPixels()) {
        GetLog().PrintLine("Engine::Graphics::CGraphics_D3D7::CHardwareTexture_D3D7::Restore() : Bitmap is not "
                           "loaded (%d, %d)",
                           m_pBitmap->GetWidth(), m_pBitmap->GetHeight());
        return;
    }
    int32_t width = m_pBitmap->GetWidth(), height = m_pBitmap->GetHeight();
    D3DDEVICEDESC7 caps;
    // Unknown caps take the strictest rules.
    CTextureRules rules{0, 0, true, true};
    if (SUCCEEDED(device->GetCaps(&caps)))
        rules = {int32_t(caps.dwMaxTextureWidth), int32_t(caps.dwMaxTextureHeight),
                 (caps.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_POW2) != 0,
                 (caps.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0};
    FitTextureSize(rules, width, height);
    const int index = m_pDriver->ChooseTextureFormat(m_pDriver->GetWindowBitsPerPixel(), m_nMinAlphaBits);
    const ref_ptr<CTextureFormat_D3D7> format =
        DynamicRefCast<CTextureFormat_D3D7>(m_pDriver->GetTextureFormats().Get(size_t(index)));
    m_desc = TextureDesc(DWORD(width), DWORD(height), format->GetPixelFormat(), DDSCAPS_TEXTURE);
    if (m_pDriver->IsHalDevice()) m_desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    if (FAILED(dd->CreateSurface(&m_desc, &m_pd3dTexture, nullptr))) {
        m_pd3dTexture = nullptr;
        throw CException(
            "Engine::Graphics::CGraphics_D3D7::CHardwareTexture_D3D7::Restore() : CreateSurface(...) : FAILED");
    }
    const CBitmapIO::CImageData& source = m_pBitmap->GetImage();
    CBitmapIO::CImageData resized;
    const CBitmapIO::CImageData* pixels = &source;
    if (source.width != width || source.height != height) {
        GetLog().PrintLine("Resizing bitmap from (%d, %d) to (%d, %d)", source.width, source.height, width, height);
        ResampleBitmap(resized, source, width, height);
        pixels = &resized;
    }
    DDSURFACEDESC2 locked;
    if (FAILED(LockWaiting(m_pd3dTexture, locked)) || !locked.lpSurface) {
        ReleaseSurface(true);
        throw CException("Engine::Graphics::CGraphics_D3D7::CHardwareTexture_D3D7::Restore() : Lock() : FAILED");
    }
    ConvertToTextureFormat(*format, *pixels, locked.lpSurface, locked.lPitch);
    m_pd3dTexture->Unlock(nullptr);
    if (m_bFreePixels) m_pBitmap->FreePixels();
}

// Render target.

CRenderTarget_D3D7::CRenderTarget_D3D7(CGraphics_D3D7* owner) : CRenderTarget(owner), m_pDriver(owner) {}

CRenderTarget_D3D7::~CRenderTarget_D3D7() {
    ReleaseSurface();
    // A driver that went first detached its objects and cleared their owner.
    if (GetOwner()) m_pDriver->OnRenderTargetDestroyed(this);
}

void CRenderTarget_D3D7::Create(int32_t width, int32_t height) {
    m_nUsedWidth = width;
    m_nUsedHeight = height;
    m_nTextureWidth = m_nTextureHeight = std::max(NextPowerOfTwo(width), NextPowerOfTwo(height));
    CreateSurface("CRenderTarget_D3D7::Create(...) : CreateSurface(...) : FAILED");
}

void CRenderTarget_D3D7::CreateSurface(const char* failure) {
    DDPIXELFORMAT format;
    if (!FindRenderTargetFormat(m_pDriver->GetDevice(), format))
        throw CException("Engine::Graphics::CGraphics_D3D7::CHardwareTexture_D3D7::Restore() : Cannot find valid "
                         "texture format");
    m_desc = TextureDesc(DWORD(m_nTextureWidth), DWORD(m_nTextureHeight), format,
                         DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE);
    IDirectDraw7* dd = m_pDriver->GetDirectDraw();
    if (!dd || FAILED(dd->CreateSurface(&m_desc, &m_pd3dTexture, nullptr))) {
        m_pd3dTexture = nullptr;
        throw CException(failure);
    }
}

void CRenderTarget_D3D7::CreateDefault() {
    m_bDefault = 1;
    IDirect3DDevice7* device = m_pDriver->GetDevice();
    if (!device || FAILED(device->GetRenderTarget(&m_pd3dTexture))) {
        m_pd3dTexture = nullptr;
        throw CException("CRenderTarget_D3D8::CreateDefault() : FAILED");
    }
}

void CRenderTarget_D3D7::ReleaseSurface() {
    ReleaseLogged(m_pd3dTexture, "m_pd3dTexture->Release() : %d");
    m_bDefault = 0;
}

void CRenderTarget_D3D7::Invalidate() {
    // The default target follows the back buffer; the others are made
    // again on Restore, since a mode change replaces the DirectDraw object.
    if (!m_bDefault) ReleaseLogged(m_pd3dTexture, "m_pd3dTexture->Release() : %d");
}

void CRenderTarget_D3D7::Restore() {
    if (m_bDefault || m_pd3dTexture || m_nTextureWidth <= 0) return;
    CreateSurface("CRenderTarget_D3D7::Restore() : CreateSurface(...) : FAILED");
    if (m_pDriver->GetRenderTarget() == this) {
        m_pDriver->MakeCurrentTarget(nullptr);
        SetActive();
    }
}

void CRenderTarget_D3D7::SetActive() {
    IDirect3DDevice7* device = m_pDriver->GetDevice();
    if (!device || !m_pd3dTexture) throw CException("CRenderTarget_D3D7::SetActive() : FAILED");
    IDirectDrawSurface7* current = nullptr;
    if (SUCCEEDED(device->GetRenderTarget(&current)) && current) {
        DDSCAPS2 caps;
        caps.dwCaps = DDSCAPS_ZBUFFER;
        IDirectDrawSurface7* depth = nullptr;
        if (current != m_pd3dTexture && SUCCEEDED(current->GetAttachedSurface(&caps, &depth)) && depth) {
            current->DeleteAttachedSurface(0, depth);
            m_pd3dTexture->AddAttachedSurface(depth);
            depth->Release();
        }
        current->Release();
    }
    if (FAILED(device->SetRenderTarget(m_pd3dTexture, 0))) throw CException("CRenderTarget_D3D7::SetActive() : FAILED");
    const CGraphicsParams& params = m_pDriver->GetParams();
    D3DVIEWPORT7 viewport{0, 0, DWORD(m_bDefault ? params.width : m_nUsedWidth),
                          DWORD(m_bDefault ? params.height : m_nUsedHeight), 0.0f, 1.0f};
    if (FAILED(device->SetViewport(&viewport)))
        throw CException("CRenderTarget_D3D7::SetActive() : SetViewport(...) : FAILED");
    m_pDriver->MakeCurrentTarget(this);
}

float CRenderTarget_D3D7::GetMaxU() {
    return m_nTextureWidth > 0 ? float(m_nUsedWidth) / float(m_nTextureWidth) : 0.0f;
}

float CRenderTarget_D3D7::GetMaxV() {
    return m_nTextureHeight > 0 ? float(m_nUsedHeight) / float(m_nTextureHeight) : 0.0f;
}

// The driver's side of the device objects.

void CGraphics_D3D7::CreateVertexBuffer(ref_ptr<CVertexBuffer>& out, int count, int vertexSize, uint32_t format,
                                        bool dynamic) {
    out = new CVertexBuffer_D3D7(this, count, vertexSize, format, dynamic);
}

void CGraphics_D3D7::CreateIndexBuffer(ref_ptr<CIndexBuffer>& out, int typeCode, int count, bool) {
    out = new CIndexBuffer_D3D7(this, typeCode, count);
}

void CGraphics_D3D7::CreateHardwareTexture(ref_ptr<CHardwareTexture>& out, ref_ptr<CBitmap> bitmap, bool mipmap,
                                           bool freePixels, int32_t minAlphaBits) {
    ref_ptr<CHardwareTexture_D3D7> texture(new CHardwareTexture_D3D7(this));
    if (!texture->CreateFromBitmap(bitmap, mipmap, freePixels, minAlphaBits)) {
        GetLog().PrintLine("Engine::Graphics::CGraphics_D3D7::CreateHardwareTexture() : FAILED");
        out = nullptr;
        return;
    }
    out = texture.get();
}

CRenderTarget* CGraphics_D3D7::CreateRenderTarget(int width, int height) {
    auto target = std::make_unique<CRenderTarget_D3D7>(this);
    target->Create(width, height);
    return target.release();
}

void CGraphics_D3D7::SetRenderTarget(CRenderTarget* target) {
    if (!target) target = &m_defaultTarget;
    auto* target_D3D7 = dynamic_cast<CRenderTarget_D3D7*>(target);
    if (!target_D3D7) throw 1; // another driver's target
    target_D3D7->SetActive();
}

void CGraphics_D3D7::OnRenderTargetDestroyed(CRenderTarget_D3D7* target) {
    if (target != m_pCurrentTarget || target == &m_defaultTarget) return;
    m_pCurrentTarget = &m_defaultTarget;
    try {
        if (m_pd3dDevice && m_defaultTarget.GetSurface()) m_defaultTarget.SetActive();
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
    }
}

} // namespace Engine::Graphics
