#include "platform/DirectDraw7.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <utility>

#include "platform/Detail.h"
#include "platform/Display.h"
#include "platform/GlContext.h"
#include "platform/GlPipeline.h"
#include "platform/PixelLayout.h"
#include "platform/Window.h"

namespace {

using Platform::Gl::CGlContext;
using Platform::Gl::CGlDepthBuffer;
using Platform::Gl::CGlImage;
using Platform::Gl::CGlPipeline;
using Platform::Gl::CPixelLayout;
using Platform::Testing::CDDConfig;
using Platform::Testing::CDDDriver;
using Platform::Testing::CDDMode;

struct CVideoMemory {
    DWORD total = 64u << 20;
    DWORD free = 64u << 20;
};

struct CDDState {
    CVideoMemory memory;
    CDDConfig config;
    bool surfacesLost = false;
    bool exclusiveLost = false;
    int stillDrawing = 0;
    int liveObjects = 0;
    std::vector<Platform::Testing::CDDPresentation> presentations;
    CDDMode displayMode{0, 0, 0, 0, 0};
};

CDDState& State() {
    static CDDState state;
    return state;
}

// Kept for the test hook; only the latest, so that a long run does not grow.
void RecordPresentation(const Platform::Testing::CDDPresentation& presentation) {
    constexpr size_t kKept = 64;
    std::vector<Platform::Testing::CDDPresentation>& kept = State().presentations;
    if (kept.size() >= kKept) kept.erase(kept.begin());
    kept.push_back(presentation);
}

// A counted stand-in object, counted among the live ones.
template <class Interface>
class CCounted : public Platform::CUnknownImpl<Interface> {
public:
    CCounted() { ++State().liveObjects; }
    ~CCounted() override { --State().liveObjects; }
};

template <class Interface>
void ReleaseHeld(Interface*& object) {
    if (object) object->Release();
    object = nullptr;
}

DDPIXELFORMAT RgbFormat(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
    DDPIXELFORMAT format;
    format.dwFlags = DDPF_RGB | (alpha ? DDPF_ALPHAPIXELS : 0);
    format.dwRGBBitCount = bits;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    format.dwRGBAlphaBitMask = alpha;
    return format;
}

const DDPIXELFORMAT kX8R8G8B8 = RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0);

CPixelLayout LayoutOf(const DDPIXELFORMAT& format) {
    return CPixelLayout{int(std::max<DWORD>(format.dwRGBBitCount, 8) / 8), format.dwRGBAlphaBitMask,
                        format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
}

bool IsPrimaryGuid(const GUID* guid) { return !guid || *guid == GUID{}; }

// The window and its OpenGL context one DirectDraw object draws with,
// shared by everything it makes so that GL objects outlive none of it.
struct CCore {
    HWND window = nullptr;
    CGlContext context;
    std::set<class CSurface7*> surfaces;
};

class CSurface7 : public CCounted<IDirectDrawSurface7> {
public:
    CSurface7(std::shared_ptr<CCore> core, DWORD caps, DWORD width, DWORD height, const DDPIXELFORMAT& format)
        : m_core(std::move(core)), m_caps(caps), m_width(std::max<DWORD>(width, 1)),
          m_height(std::max<DWORD>(height, 1)), m_format(format) {
        m_core->context.MakeCurrent();
        if (caps & DDSCAPS_ZBUFFER)
            m_depth = std::make_unique<CGlDepthBuffer>(int(m_width), int(m_height));
        else
            m_image = std::make_unique<CGlImage>(int(m_width), int(m_height), 1, format.dwRGBAlphaBitMask != 0);
        m_core->surfaces.insert(this);
        Wipe();
    }
    ~CSurface7() override {
        m_core->context.MakeCurrent();
        // Surfaces made with a complex surface go with it, whatever their
        // count (GetAttachedSurface counts them, but only the root frees them).
        for (CSurface7* attached : m_attached) {
            if (attached->m_bImplicit)
                delete attached;
            else
                attached->Release();
        }
        m_core->surfaces.erase(this);
    }

    HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** attached) override {
        if (!caps || !attached) return DDERR_INVALIDPARAMS;
        *attached = FindAttached(caps->dwCaps);
        if (!*attached) return DDERR_NOTFOUND;
        (*attached)->AddRef();
        return DD_OK;
    }
    HRESULT AddAttachedSurface(IDirectDrawSurface7* attached) override {
        auto* surface = static_cast<CSurface7*>(attached);
        if (!surface || surface == this) return DDERR_INVALIDPARAMS;
        surface->AddRef();
        m_attached.push_back(surface);
        return DD_OK;
    }
    HRESULT DeleteAttachedSurface(DWORD, IDirectDrawSurface7* attached) override {
        const auto found = std::find(m_attached.begin(), m_attached.end(), attached);
        if (found == m_attached.end()) return DDERR_NOTFOUND;
        m_attached.erase(found);
        attached->Release();
        return DD_OK;
    }
    HRESULT SetClipper(IDirectDrawClipper*) override { return DD_OK; }
    HRESULT IsLost() override { return State().surfacesLost ? DDERR_SURFACELOST : DD_OK; }

    HRESULT Flip(IDirectDrawSurface7*, DWORD flags) override {
        CSurface7* back = FindAttached(DDSCAPS_BACKBUFFER);
        if (!(m_caps & DDSCAPS_PRIMARYSURFACE) || !back) return DDERR_INVALIDPARAMS;
        if (State().surfacesLost) return DDERR_SURFACELOST;
        const RECT whole = back->Whole();
        RecordPresentation({true, flags, whole, WindowRect()});
        // A flip waits for the retrace unless told not to; a Blt never does.
        m_core->context.SetSwapInterval((flags & DDFLIP_NOVSYNC) ? 0 : 1);
        Present(*back->m_image, whole, WindowRect());
        return DD_OK;
    }
    HRESULT Blt(RECT* destination, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags, void*) override {
        auto* from = static_cast<CSurface7*>(source);
        if (!from || !from->m_image || !m_image) return DDERR_INVALIDPARAMS;
        if (State().surfacesLost) return DDERR_SURFACELOST;
        const RECT sourceArea = sourceRect ? *sourceRect : from->Whole();
        if (m_caps & DDSCAPS_PRIMARYSURFACE) {
            // The primary is the desktop: the destination comes in screen
            // coordinates and lands in the window's client area.
            RecordPresentation({false, flags, sourceArea, destination ? *destination : WindowRect()});
            RECT area = WindowRect();
            if (destination) {
                POINT topLeft{destination->left, destination->top}, bottomRight{destination->right, destination->bottom};
                ScreenToClient(m_core->window, &topLeft);
                ScreenToClient(m_core->window, &bottomRight);
                area = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
            }
            m_core->context.SetSwapInterval(0);
            Present(*from->m_image, sourceArea, area);
            return DD_OK;
        }
        const RECT area = destination ? *destination : Whole();
        m_core->context.MakeCurrent();
        glBindFramebuffer(GL_READ_FRAMEBUFFER, from->m_image->GetFramebuffer(0));
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_image->GetFramebuffer(0));
        glBlitFramebuffer(sourceArea.left, sourceArea.top, sourceArea.right, sourceArea.bottom, area.left, area.top,
                          area.right, area.bottom, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        return DD_OK;
    }
    HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD, HANDLE) override {
        CDDState& state = State();
        if (!desc || rect || !m_image) return DDERR_INVALIDPARAMS;
        if (state.surfacesLost) return DDERR_SURFACELOST;
        if (state.stillDrawing > 0) {
            --state.stillDrawing;
            return DDERR_WASSTILLDRAWING;
        }
        if (m_locked) return DDERR_SURFACEBUSY;
        m_core->context.MakeCurrent();
        std::vector<uint8_t> rgba;
        m_image->Read(0, rgba);
        const CPixelLayout layout = LayoutOf(m_format);
        m_lock.assign(rgba.size() / 4 * size_t(layout.bytes), 0);
        Platform::Gl::PackPixels(layout, rgba.data(), m_lock.data(), rgba.size() / 4);
        m_locked = true;
        GetSurfaceDesc(desc);
        desc->lpSurface = m_lock.data();
        return DD_OK;
    }
    HRESULT Unlock(RECT*) override {
        if (!m_locked) return DDERR_NOTLOCKED;
        m_core->context.MakeCurrent();
        const CPixelLayout layout = LayoutOf(m_format);
        std::vector<uint8_t> rgba(m_lock.size() / size_t(layout.bytes) * 4);
        Platform::Gl::UnpackPixels(layout, m_lock.data(), rgba.data(), rgba.size() / 4);
        m_image->Write(0, rgba.data());
        m_locked = false;
        m_lock.clear();
        // What is written to the primary is on the screen at once.
        if (m_caps & DDSCAPS_PRIMARYSURFACE) Present(*m_image, Whole(), WindowRect());
        return DD_OK;
    }
    HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) override {
        if (!desc) return DDERR_INVALIDPARAMS;
        *desc = DDSURFACEDESC2{};
        desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
        desc->dwWidth = m_width;
        desc->dwHeight = m_height;
        desc->lPitch = LONG(m_width * DWORD(LayoutOf(m_format).bytes));
        desc->ddpfPixelFormat = m_format;
        desc->ddsCaps.dwCaps = m_caps;
        return DD_OK;
    }

    CSurface7* FindAttached(DWORD caps) const {
        for (CSurface7* surface : m_attached)
            if ((surface->m_caps & caps) == caps) return surface;
        return nullptr;
    }
    CGlImage* GetImage() const { return m_image.get(); }
    CGlDepthBuffer* GetDepth() const { return m_depth.get(); }
    DWORD GetCaps() const { return m_caps; }
    void MakeImplicit() { m_bImplicit = true; }
    // Memory comes back from a restore, contents do not.
    void Wipe() {
        if (!m_image) return;
        std::vector<uint8_t> black(size_t(m_width) * m_height * 4, 0);
        m_image->Write(0, black.data());
    }
    RECT Whole() const { return RECT{0, 0, LONG(m_width), LONG(m_height)}; }

private:
    RECT WindowRect() const {
        int width = 0, height = 0;
        m_core->context.GetDrawableSize(width, height);
        return RECT{0, 0, width, height};
    }
    void Present(CGlImage& image, const RECT& source, const RECT& destination) {
        m_core->context.MakeCurrent();
        Platform::Gl::PresentImage(m_core->context, image, source, destination);
    }

    std::shared_ptr<CCore> m_core;
    DWORD m_caps;
    DWORD m_width, m_height;
    DDPIXELFORMAT m_format;
    std::unique_ptr<CGlImage> m_image;
    std::unique_ptr<CGlDepthBuffer> m_depth;
    std::vector<CSurface7*> m_attached;
    std::vector<uint8_t> m_lock;
    bool m_locked = false;
    // Part of a complex surface, made and freed with its root.
    bool m_bImplicit = false;
};

class CClipper7 : public CCounted<IDirectDrawClipper> {
public:
    HRESULT SetHWnd(DWORD, HWND window) override { return window ? DD_OK : DDERR_INVALIDPARAMS; }
};

class CVertexBuffer7 : public CCounted<IDirect3DVertexBuffer7> {
public:
    CVertexBuffer7(DWORD fvf, DWORD count)
        : m_fvf(fvf), m_data(size_t(Platform::Gl::VertexFormatSize(fvf)) * count) {}
    HRESULT Lock(DWORD, void** data, DWORD* size) override {
        if (!data) return DDERR_INVALIDPARAMS;
        *data = m_data.data();
        if (size) *size = DWORD(m_data.size());
        return D3D7_OK;
    }
    HRESULT Unlock() override { return D3D7_OK; }
    Platform::Gl::CVertexStream Stream() const {
        return {m_data.data(), m_data.size(), m_fvf, Platform::Gl::VertexFormatSize(m_fvf)};
    }

private:
    DWORD m_fvf;
    std::vector<uint8_t> m_data;
};

// Primitives that a vertex (or index) count makes.
UINT PrimitivesOf(D3DPRIMITIVETYPE type, DWORD count) {
    switch (type) {
    case D3DPT_LINELIST: return count / 2;
    case D3DPT_LINESTRIP: return count > 0 ? count - 1 : 0;
    case D3DPT_TRIANGLELIST: return count / 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return count > 1 ? count - 2 : 0;
    default: return count;
    }
}

// Direct3D 7's filter values as the core's (Direct3D 8's) ones.
DWORD CoreStageValue(D3DTEXTURESTAGESTATETYPE state, DWORD value) {
    if (state == D3DTSS_MAGFILTER && value == D3DTFG_ANISOTROPIC) return D3DTEXF_ANISOTROPIC;
    if (state == D3DTSS_MIPFILTER && value >= D3DTFP_NONE && value <= D3DTFP_LINEAR) return value - 1;
    return value;
}

class CDevice7;
CDevice7* g_lastDevice = nullptr;

class CDevice7 : public CCounted<IDirect3DDevice7> {
public:
    CDevice7(std::shared_ptr<CCore> core, const D3DDEVICEDESC7& desc, CSurface7* target)
        : m_core(std::move(core)), m_desc(desc) {
        m_core->context.MakeCurrent();
        m_pipeline = std::make_unique<CGlPipeline>();
        for (auto& stage : m_stageStates) {
            stage[D3DTSS_MAGFILTER] = D3DTFG_POINT;
            stage[D3DTSS_MINFILTER] = D3DTFN_POINT;
            stage[D3DTSS_MIPFILTER] = D3DTFP_NONE;
        }
        SetRenderTarget(target, 0);
        g_lastDevice = this;
    }
    ~CDevice7() override {
        m_core->context.MakeCurrent();
        for (CSurface7*& texture : m_textures) ReleaseHeld(texture);
        ReleaseHeld(m_target);
        m_pipeline.reset();
        if (g_lastDevice == this) g_lastDevice = nullptr;
    }

    CSurface7* GetTarget() const { return m_target; }
    void MakeCurrent() const { m_core->context.MakeCurrent(); }

    HRESULT GetCaps(D3DDEVICEDESC7* desc) override {
        if (!desc || State().config.deviceCapsFail) return DDERR_GENERIC;
        *desc = m_desc;
        return D3D7_OK;
    }
    HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) override {
        if (!callback) return DDERR_INVALIDPARAMS;
        for (DDPIXELFORMAT format : State().config.textureFormats)
            if (callback(&format, context) == HRESULT(D3DENUMRET_CANCEL)) break;
        return D3D7_OK;
    }
    HRESULT BeginScene() override { return D3D7_OK; }
    HRESULT EndScene() override { return D3D7_OK; }
    HRESULT SetRenderTarget(IDirectDrawSurface7* surface, DWORD) override {
        auto* target = static_cast<CSurface7*>(surface);
        if (!target || !target->GetImage()) return DDERR_INVALIDPARAMS;
        target->AddRef();
        ReleaseHeld(m_target);
        m_target = target;
        D3DVIEWPORT7 viewport;
        viewport.dwWidth = DWORD(target->GetImage()->GetWidth(0));
        viewport.dwHeight = DWORD(target->GetImage()->GetHeight(0));
        return SetViewport(&viewport);
    }
    HRESULT GetRenderTarget(IDirectDrawSurface7** surface) override {
        if (!surface) return DDERR_INVALIDPARAMS;
        *surface = m_target;
        if (m_target) m_target->AddRef();
        return m_target ? D3D7_OK : DDERR_NOTFOUND;
    }
    HRESULT Clear(DWORD count, const RECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) override {
        if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !Depth()) return DDERR_INVALIDPARAMS;
        if (State().surfacesLost) return DDERR_SURFACELOST;
        Bind();
        m_pipeline->Clear(count, rects, flags, colour, z, stencil);
        return D3D7_OK;
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
        if (!matrix) return DDERR_INVALIDPARAMS;
        m_pipeline->SetTransform(state, *matrix);
        return D3D7_OK;
    }
    HRESULT SetViewport(const D3DVIEWPORT7* viewport) override {
        if (!viewport) return DDERR_INVALIDPARAMS;
        D3DVIEWPORT8 core;
        core.X = viewport->dwX, core.Y = viewport->dwY;
        core.Width = viewport->dwWidth, core.Height = viewport->dwHeight;
        core.MinZ = viewport->dvMinZ, core.MaxZ = viewport->dvMaxZ;
        m_pipeline->SetViewport(core);
        return D3D7_OK;
    }
    HRESULT GetViewport(D3DVIEWPORT7* viewport) override {
        if (!viewport) return DDERR_INVALIDPARAMS;
        const D3DVIEWPORT8& core = m_pipeline->GetViewport();
        *viewport = D3DVIEWPORT7{core.X, core.Y, core.Width, core.Height, core.MinZ, core.MaxZ};
        return D3D7_OK;
    }
    HRESULT SetMaterial(const D3DMATERIAL7* material) override {
        if (!material) return DDERR_INVALIDPARAMS;
        m_pipeline->SetMaterial(
            D3DMATERIAL8{material->diffuse, material->ambient, material->specular, material->emissive, material->power});
        return D3D7_OK;
    }
    HRESULT SetLight(DWORD index, const D3DLIGHT7* light) override {
        if (!light) return DDERR_INVALIDPARAMS;
        D3DLIGHT8 core;
        core.Type = light->dltType;
        core.Diffuse = light->dcvDiffuse, core.Specular = light->dcvSpecular, core.Ambient = light->dcvAmbient;
        core.Position = light->dvPosition, core.Direction = light->dvDirection;
        core.Range = light->dvRange, core.Falloff = light->dvFalloff;
        core.Attenuation0 = light->dvAttenuation0, core.Attenuation1 = light->dvAttenuation1;
        core.Attenuation2 = light->dvAttenuation2;
        core.Theta = light->dvTheta, core.Phi = light->dvPhi;
        m_pipeline->SetLight(index, core);
        return D3D7_OK;
    }
    HRESULT LightEnable(DWORD index, BOOL enable) override {
        m_pipeline->EnableLight(index, enable != FALSE);
        return D3D7_OK;
    }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        m_pipeline->SetRenderState(state, value);
        return D3D7_OK;
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
        if (!value) return DDERR_INVALIDPARAMS;
        *value = m_pipeline->GetRenderState(state);
        return D3D7_OK;
    }
    HRESULT SetTexture(DWORD stage, IDirectDrawSurface7* texture) override {
        if (stage >= Platform::Gl::kStages) return DDERR_INVALIDPARAMS;
        auto* surface = static_cast<CSurface7*>(texture);
        if (surface) surface->AddRef();
        ReleaseHeld(m_textures[stage]);
        m_textures[stage] = surface;
        m_pipeline->SetTexture(stage, surface ? surface->GetImage() : nullptr);
        return D3D7_OK;
    }
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override {
        if (stage >= Platform::Gl::kStages || state >= 32) return DDERR_INVALIDPARAMS;
        m_stageStates[stage][state] = value;
        m_pipeline->SetStageState(stage, state, CoreStageValue(state, value));
        return D3D7_OK;
    }
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) override {
        if (!value || stage >= Platform::Gl::kStages || state >= 32) return DDERR_INVALIDPARAMS;
        *value = IsFilter(state) ? m_stageStates[stage][state] : m_pipeline->GetStageState(stage, state);
        return D3D7_OK;
    }
    HRESULT DrawPrimitiveVB(D3DPRIMITIVETYPE type, IDirect3DVertexBuffer7* buffer, DWORD startVertex,
                            DWORD vertexCount, DWORD) override {
        auto* vertices = static_cast<CVertexBuffer7*>(buffer);
        if (!vertices) return DDERR_INVALIDPARAMS;
        if (State().surfacesLost) return DDERR_SURFACELOST;
        Bind();
        return m_pipeline->Draw(type, vertices->Stream(), startVertex, PrimitivesOf(type, vertexCount), nullptr)
                   ? D3D7_OK
                   : DDERR_INVALIDPARAMS;
    }
    HRESULT DrawIndexedPrimitiveVB(D3DPRIMITIVETYPE type, IDirect3DVertexBuffer7* buffer, DWORD startVertex, DWORD,
                                   WORD* indices, DWORD indexCount, DWORD) override {
        auto* vertices = static_cast<CVertexBuffer7*>(buffer);
        if (!vertices || !indices) return DDERR_INVALIDPARAMS;
        if (State().surfacesLost) return DDERR_SURFACELOST;
        Bind();
        const Platform::Gl::CIndexStream stream{reinterpret_cast<const uint8_t*>(indices), size_t(indexCount) * 2, 2,
                                                startVertex};
        return m_pipeline->Draw(type, vertices->Stream(), 0, PrimitivesOf(type, indexCount), &stream)
                   ? D3D7_OK
                   : DDERR_INVALIDPARAMS;
    }

private:
    static bool IsFilter(DWORD state) {
        return state == D3DTSS_MAGFILTER || state == D3DTSS_MINFILTER || state == D3DTSS_MIPFILTER;
    }
    // The depth surface attached to the render target, as DirectDraw binds it.
    CGlDepthBuffer* Depth() const {
        CSurface7* depth = m_target ? m_target->FindAttached(DDSCAPS_ZBUFFER) : nullptr;
        return depth ? depth->GetDepth() : nullptr;
    }
    void Bind() {
        MakeCurrent();
        m_pipeline->SetTarget(m_target ? m_target->GetImage() : nullptr, 0, Depth());
    }

    std::shared_ptr<CCore> m_core;
    D3DDEVICEDESC7 m_desc;
    std::unique_ptr<CGlPipeline> m_pipeline;
    CSurface7* m_target = nullptr;
    std::array<CSurface7*, Platform::Gl::kStages> m_textures{};
    std::array<std::array<DWORD, 32>, Platform::Gl::kStages> m_stageStates{};
};

const CDDDriver* FindDriver(const GUID* guid) {
    const std::vector<CDDDriver>& drivers = State().config.drivers;
    for (const CDDDriver& driver : drivers)
        if (IsPrimaryGuid(guid) ? driver.guid == GUID{} : driver.guid == *guid) return &driver;
    return nullptr;
}

std::vector<CDDMode> ModesOf(const CDDDriver& driver) {
    if (!driver.modes.empty()) return driver.modes;
    std::vector<CDDMode> modes;
    DEVMODE mode;
    for (DWORD i = 0; EnumDisplaySettings(nullptr, i, &mode); ++i)
        for (DWORD bits : {16u, 32u})
            modes.push_back(CDDMode{mode.dmPelsWidth, mode.dmPelsHeight, bits, mode.dmDisplayFrequency, 0});
    return modes;
}

class CDirectDraw7;

class CDirect3D7 : public CCounted<IDirect3D7> {
public:
    explicit CDirect3D7(CDirectDraw7* owner);
    ~CDirect3D7() override;
    HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback, void* context) override;
    HRESULT CreateDevice(const GUID& device, IDirectDrawSurface7* surface, IDirect3DDevice7** created) override;
    HRESULT CreateVertexBuffer(D3DVERTEXBUFFERDESC* desc, IDirect3DVertexBuffer7** created, DWORD) override {
        if (!desc || !created || desc->dwNumVertices == 0) return DDERR_INVALIDPARAMS;
        *created = new CVertexBuffer7(desc->dwFVF, desc->dwNumVertices);
        return D3D7_OK;
    }
    HRESULT EnumZBufferFormats(const GUID&, LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) override {
        if (!callback) return DDERR_INVALIDPARAMS;
        for (DWORD depth : State().config.zBufferDepths) {
            DDPIXELFORMAT format;
            format.dwFlags = DDPF_ZBUFFER;
            format.dwRGBBitCount = depth;
            if (callback(&format, context) == HRESULT(D3DENUMRET_CANCEL)) break;
        }
        return D3D7_OK;
    }

private:
    CDirectDraw7* m_owner;
};

class CDirectDraw7 : public CCounted<IDirectDraw7> {
public:
    explicit CDirectDraw7(const CDDDriver* driver) : m_driver(driver ? *driver : CDDDriver{}) {}
    ~CDirectDraw7() override { LeaveDisplayMode(); }

    const CDDDriver& GetDriver() const { return m_driver; }
    const std::shared_ptr<CCore>& GetCore() const { return m_core; }

    HRESULT GetAvailableVidMem(DDSCAPS2* caps, DWORD* total, DWORD* free) override {
        if (!caps || !(caps->dwCaps & DDSCAPS_LOCALVIDMEM)) return E_INVALIDARG;
        if (total) *total = State().memory.total;
        if (free) *free = State().memory.free;
        return S_OK;
    }
    HRESULT QueryInterface(const GUID& interfaceId, void** object) override {
        if (!object) return DDERR_INVALIDPARAMS;
        *object = nullptr;
        if (!(interfaceId == IID_IDirect3D7)) return E_NOINTERFACE;
        *object = static_cast<IDirect3D7*>(new CDirect3D7(this));
        return DD_OK;
    }
    HRESULT GetCaps(DDCAPS* driver, DDCAPS* emulation) override {
        if (driver) {
            *driver = DDCAPS{};
            driver->dwCaps2 = m_driver.caps2;
            driver->dwVidMemTotal = State().memory.total;
            driver->dwVidMemFree = State().memory.free;
        }
        if (emulation) *emulation = DDCAPS{};
        return DD_OK;
    }
    HRESULT EnumDisplayModes(DWORD, DDSURFACEDESC2*, void* context, LPDDENUMMODESCALLBACK2 callback) override {
        if (!callback) return DDERR_INVALIDPARAMS;
        for (const CDDMode& mode : ModesOf(m_driver)) {
            DDSURFACEDESC2 desc;
            desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
            desc.dwWidth = mode.width;
            desc.dwHeight = mode.height;
            desc.dwRefreshRate = mode.refresh;
            desc.ddpfPixelFormat = mode.bits == 16 ? RgbFormat(16, 0xF800, 0x07E0, 0x001F, 0) : kX8R8G8B8;
            desc.ddpfPixelFormat.dwRGBBitCount = mode.bits;
            desc.ddsCaps.dwCaps2 = mode.caps2;
            if (callback(&desc, context) == HRESULT(D3DENUMRET_CANCEL)) break;
        }
        return DD_OK;
    }
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
        m_flags = flags;
        if (!(flags & DDSCL_EXCLUSIVE)) LeaveDisplayMode();
        if (!window || (m_core && m_core->window == window)) return DD_OK;
        auto core = std::make_shared<CCore>();
        if (!core->context.Create(window)) return DDERR_INVALIDPARAMS;
        core->window = window;
        m_core = std::move(core);
        return DD_OK;
    }
    HRESULT GetDisplayMode(DDSURFACEDESC2* desc) override {
        if (!desc) return DDERR_INVALIDPARAMS;
        DEVMODE desktop;
        if (!EnumDisplaySettings(nullptr, ENUM_REGISTRY_SETTINGS, &desktop)) return DDERR_GENERIC;
        *desc = DDSURFACEDESC2{};
        desc->dwWidth = m_mode.width ? m_mode.width : desktop.dmPelsWidth;
        desc->dwHeight = m_mode.width ? m_mode.height : desktop.dmPelsHeight;
        desc->ddpfPixelFormat = kX8R8G8B8;
        desc->ddpfPixelFormat.dwRGBBitCount = m_mode.width ? m_mode.bits : desktop.dmBitsPerPel;
        desc->dwRefreshRate = m_mode.width ? m_mode.refresh : desktop.dmDisplayFrequency;
        return DD_OK;
    }
    // The display itself is switched, and the cooperative window covers it.
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits, DWORD refresh, DWORD) override {
        if (!(m_flags & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
        for (const CDDMode& mode : ModesOf(m_driver))
            if (mode.width == width && mode.height == height && mode.bits == bits &&
                (refresh == 0 || mode.refresh == refresh)) {
                const CDDMode chosen{width, height, bits, refresh ? refresh : mode.refresh, 0};
                if (!Platform::Detail::EnterFullScreenMode(m_core ? m_core->window : nullptr, width, height, bits,
                                                           chosen.refresh))
                    return DDERR_INVALIDMODE;
                m_mode = chosen;
                State().displayMode = m_mode;
                return DD_OK;
            }
        return DDERR_INVALIDMODE;
    }
    HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** surface, IUnknown*) override {
        if (!desc || !surface) return DDERR_INVALIDPARAMS;
        *surface = nullptr;
        if (!m_core) return DDERR_NOCOOPERATIVELEVELSET;
        const DWORD caps = desc->ddsCaps.dwCaps;
        if (caps & State().config.failSurfaceCaps) return DDERR_OUTOFVIDEOMEMORY;
        DDPIXELFORMAT format = kX8R8G8B8;
        if (desc->dwFlags & DDSD_PIXELFORMAT) format = desc->ddpfPixelFormat;
        if (caps & DDSCAPS_PRIMARYSURFACE) {
            int width = 0, height = 0;
            m_core->context.GetDrawableSize(width, height);
            auto* primary = new CSurface7(m_core, caps, DWORD(width), DWORD(height), kX8R8G8B8);
            if ((caps & DDSCAPS_FLIP) && (desc->dwFlags & DDSD_BACKBUFFERCOUNT)) {
                // The flip chain's back buffer has the display mode's size.
                DDSURFACEDESC2 mode;
                GetDisplayMode(&mode);
                auto* back = new CSurface7(m_core, DDSCAPS_BACKBUFFER | DDSCAPS_3DDEVICE, mode.dwWidth,
                                           mode.dwHeight, kX8R8G8B8);
                back->MakeImplicit();
                primary->AddAttachedSurface(back);
                back->Release();
            }
            *surface = primary;
            return DD_OK;
        }
        if (!(desc->dwFlags & DDSD_WIDTH) || !(desc->dwFlags & DDSD_HEIGHT) || desc->dwWidth == 0 ||
            desc->dwHeight == 0 || desc->dwWidth > 8192 || desc->dwHeight > 8192)
            return DDERR_INVALIDPARAMS;
        if (!(caps & DDSCAPS_ZBUFFER) &&
            (format.dwFlags & (DDPF_FOURCC | DDPF_PALETTEINDEXED8) || format.dwRGBBitCount < 16 ||
             format.dwRGBBitCount > 32))
            return DDERR_INVALIDPARAMS;
        *surface = new CSurface7(m_core, caps, desc->dwWidth, desc->dwHeight, format);
        return DD_OK;
    }
    HRESULT CreateClipper(DWORD, IDirectDrawClipper** clipper, IUnknown*) override {
        if (!clipper) return DDERR_INVALIDPARAMS;
        *clipper = new CClipper7;
        return DD_OK;
    }
    HRESULT TestCooperativeLevel() override {
        if (!State().exclusiveLost) return DD_OK;
        return (m_flags & DDSCL_EXCLUSIVE) ? DDERR_NOEXCLUSIVEMODE : DDERR_WRONGMODE;
    }
    HRESULT RestoreAllSurfaces() override {
        CDDState& state = State();
        if (state.exclusiveLost && (m_flags & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
        state.surfacesLost = false;
        if (m_core) {
            m_core->context.MakeCurrent();
            for (CSurface7* surface : m_core->surfaces) surface->Wipe();
        }
        return DD_OK;
    }

private:
    // Back to the desktop's mode when this object set another.
    void LeaveDisplayMode() {
        if (!m_mode.width) return;
        m_mode = CDDMode{0, 0, 0, 0, 0};
        ChangeDisplaySettings(nullptr, 0);
    }

    CDDDriver m_driver;
    std::shared_ptr<CCore> m_core;
    DWORD m_flags = 0;
    CDDMode m_mode{0, 0, 0, 0, 0};
};

CDirect3D7::CDirect3D7(CDirectDraw7* owner) : m_owner(owner) { m_owner->AddRef(); }
CDirect3D7::~CDirect3D7() { m_owner->Release(); }

HRESULT CDirect3D7::EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback, void* context) {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (Platform::Testing::CDDDevice device : m_owner->GetDriver().devices) {
        char description[] = "Direct3D 7 on OpenGL";
        std::vector<char> name(device.name, device.name + std::strlen(device.name) + 1);
        device.desc.deviceGUID = device.guid;
        if (callback(description, name.data(), &device.desc, context) == HRESULT(D3DENUMRET_CANCEL)) break;
    }
    return D3D7_OK;
}

HRESULT CDirect3D7::CreateDevice(const GUID& device, IDirectDrawSurface7* surface, IDirect3DDevice7** created) {
    if (!created) return DDERR_INVALIDPARAMS;
    *created = nullptr;
    auto* target = static_cast<CSurface7*>(surface);
    if (!target || !target->GetImage() || !(target->GetCaps() & DDSCAPS_3DDEVICE) || !m_owner->GetCore())
        return DDERR_INVALIDPARAMS;
    if (State().config.createDeviceFails) return DDERR_GENERIC;
    for (const Platform::Testing::CDDDevice& known : m_owner->GetDriver().devices)
        if (known.guid == device) {
            D3DDEVICEDESC7 desc = known.desc;
            desc.deviceGUID = known.guid;
            *created = new CDevice7(m_owner->GetCore(), desc, target);
            return D3D7_OK;
        }
    return DDERR_NOTFOUND;
}

class CDirectDraw : public CCounted<IDirectDraw> {
public:
    explicit CDirectDraw(const CDDDriver* driver) : m_found(driver != nullptr), m_driver(driver ? *driver : CDDDriver{}) {}

    HRESULT QueryInterface(const GUID& interfaceId, void** object) override {
        if (!object) return DDERR_INVALIDPARAMS;
        *object = nullptr;
        if (!(interfaceId == IID_IDirectDraw7)) return E_NOINTERFACE;
        *object = static_cast<IDirectDraw7*>(new CDirectDraw7(m_found ? &m_driver : nullptr));
        return DD_OK;
    }

private:
    bool m_found;
    CDDDriver m_driver;
};

} // namespace

const GUID IID_IDirectDraw7{0x15E65EC0, 0x3B9C, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
const GUID IID_IDirect3D7{0xF5049E77, 0x4861, 0x11D2, {0xA4, 0x07, 0x00, 0xA0, 0xC9, 0x06, 0x29, 0xA8}};
const GUID IID_IDirect3DRGBDevice{0xA4665C60, 0x2673, 0x11CF, {0xA3, 0x1A, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
const GUID IID_IDirect3DHALDevice{0x84E63DE0, 0x46AA, 0x11CF, {0x81, 0x6F, 0x00, 0x00, 0xC0, 0x20, 0x15, 0x6E}};
const GUID IID_IDirect3DTnLHalDevice{0xF5049E78, 0x4861, 0x11D2, {0xA4, 0x07, 0x00, 0xA0, 0xC9, 0x06, 0x29, 0xA8}};

UINT D3DXGetFVFVertexSize(DWORD fvf) { return Platform::Gl::VertexFormatSize(fvf); }

HRESULT DirectDrawCreate(GUID* driver, IDirectDraw** created, IUnknown* outer) {
    if (!created || outer) return E_INVALIDARG;
    *created = nullptr;
    const CDDDriver* found = FindDriver(driver);
    if (!found && !IsPrimaryGuid(driver)) return DDERR_INVALIDPARAMS;
    *created = new CDirectDraw(found);
    return S_OK;
}

HRESULT DirectDrawCreateEx(GUID* driver, void** created, const GUID& interfaceId, IUnknown* outer) {
    if (!created || outer) return E_INVALIDARG;
    *created = nullptr;
    if (!(interfaceId == IID_IDirectDraw7)) return E_NOINTERFACE;
    const CDDDriver* found = FindDriver(driver);
    if (!found && !IsPrimaryGuid(driver)) return DDERR_INVALIDPARAMS;
    *created = static_cast<IDirectDraw7*>(new CDirectDraw7(found));
    return S_OK;
}

HRESULT DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback, void* context, DWORD) {
    if (!callback) return E_INVALIDARG;
    for (const CDDDriver& driver : std::vector<CDDDriver>(State().config.drivers)) {
        GUID guid = driver.guid;
        std::vector<char> description(driver.description, driver.description + std::strlen(driver.description) + 1);
        char name[] = "display";
        if (!callback(guid == GUID{} ? nullptr : &guid, description.data(), name, context, nullptr)) break;
    }
    return S_OK;
}

namespace Platform::Testing {

CDDDevice MakeDDDevice(const char* name, const GUID& guid, bool hardware) {
    CDDDevice device;
    device.name = name;
    device.guid = guid;
    D3DDEVICEDESC7& desc = device.desc;
    desc.dwDevCaps = hardware ? D3DDEVCAPS_HWRASTERIZATION : 0;
    desc.dwDeviceRenderBitDepth = DDBD_16 | DDBD_32;
    desc.dwDeviceZBufferBitDepth = DDBD_16 | DDBD_24;
    desc.dwMinTextureWidth = desc.dwMinTextureHeight = 1;
    desc.dwMaxTextureWidth = desc.dwMaxTextureHeight = 2048;
    desc.wMaxTextureBlendStages = desc.wMaxSimultaneousTextures = 8;
    desc.deviceGUID = guid;
    return device;
}

CDDConfig::CDDConfig() {
    CDDDriver primary;
    primary.devices = {MakeDDDevice("RGB Emulation", IID_IDirect3DRGBDevice, false),
                       MakeDDDevice("Direct3D HAL", IID_IDirect3DHALDevice, true),
                       MakeDDDevice("Direct3D T&L HAL", IID_IDirect3DTnLHalDevice, true)};
    drivers = {primary};
    // X8R8G8B8 ahead of A8R8G8B8, and no format with less alpha ahead of it,
    // so that a 32-bit window takes 8 bits per channel.
    textureFormats = {kX8R8G8B8, RgbFormat(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u),
                      RgbFormat(16, 0xF800, 0x07E0, 0x001F, 0), RgbFormat(16, 0x7C00, 0x03E0, 0x001F, 0x8000),
                      RgbFormat(16, 0x0F00, 0x00F0, 0x000F, 0xF000)};
}

void SetVideoMemory(DWORD total, DWORD free) { State().memory = CVideoMemory{total, free}; }
DDPIXELFORMAT RgbPixelFormat(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
    return RgbFormat(bits, red, green, blue, alpha);
}
CDDConfig& DDConfig() { return State().config; }
void LoseDDSurfaces() { State().surfacesLost = true; }
void SetDDExclusiveLost(bool lost) { State().exclusiveLost = lost; }
void InjectDDStillDrawing(int times) { State().stillDrawing = times; }
int GetDD7LiveObjectCount() { return State().liveObjects; }
std::vector<CDDPresentation> TakeDDPresentations() { return std::exchange(State().presentations, {}); }
CDDMode GetDDDisplayMode() { return State().displayMode; }

DWORD ReadDD7RenderTarget(int x, int y) {
    CSurface7* target = g_lastDevice ? g_lastDevice->GetTarget() : nullptr;
    CGlImage* image = target ? target->GetImage() : nullptr;
    if (!image || x < 0 || y < 0 || x >= image->GetWidth(0) || y >= image->GetHeight(0)) return 0;
    g_lastDevice->MakeCurrent();
    GLubyte rgba[4] = {};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, image->GetFramebuffer(0));
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return DWORD(rgba[0]) << 16 | DWORD(rgba[1]) << 8 | rgba[2];
}

} // namespace Platform::Testing

namespace Platform::Detail {

std::vector<CLibraryEntry> DirectDrawLibraryEntries() {
    return {{"DirectDrawCreate", ToProc(&DirectDrawCreate)},
            {"DirectDrawCreateEx", ToProc(&DirectDrawCreateEx)},
            {"DirectDrawEnumerateExA", ToProc(&DirectDrawEnumerateExA)}};
}

void ResetDirectDraw() {
    CDDState& state = State();
    state.memory = CVideoMemory{};
    state.config = CDDConfig{};
    state.surfacesLost = state.exclusiveLost = false;
    state.stillDrawing = 0;
    state.presentations.clear();
    state.displayMode = CDDMode{0, 0, 0, 0, 0};
}

} // namespace Platform::Detail
