#include "graphics/drivers/GraphicsD3D7.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "app/Application.h"
#include "app/DirectXDrivers.h"
#include "app/Exception.h"
#include "app/Log.h"
#include "app/Timer.h"
#include "graphics/drivers/VideoMemory.h"
#include "graphics/drivers/VideoModeChange.h"
#include "platform/Display.h"
#include "platform/Messages.h"
#include "platform/Window.h"

namespace Engine::Graphics {

namespace {


int64_t ElapsedNow() {
    const CTimer& clock = GetGlobalClock();
    return clock.IsRunning() ? clock.GetElapsed() : 0;
}

// Game time does not count time since `since`.
void DiscountSince(int64_t since) {
    CTimer& clock = GetGlobalClock();
    if (clock.IsRunning()) clock.MoveStart(clock.GetElapsed() - since);
}

template <class Interface>
void ReleaseLogged(Interface*& object, const char* name) {
    if (!object) return;
    GetLog().PrintLine("%s->Release() : %d", name, int(object->Release()));
    object = nullptr;
}

bool CompareModes(const DDSURFACEDESC2& a, const DDSURFACEDESC2& b) {
    if (a.dwWidth != b.dwWidth) return a.dwWidth < b.dwWidth;
    if (a.dwHeight != b.dwHeight) return a.dwHeight < b.dwHeight;
    return a.ddpfPixelFormat.dwRGBBitCount < b.ddpfPixelFormat.dwRGBBitCount;
}

DWORD RenderDepthBit(DWORD bits) {
    switch (bits) {
    case 32: return DDBD_32;
    case 24: return DDBD_24;
    case 16: return DDBD_16;
    default: return 0;
    }
}

// The highest refresh rate the desktop lists for the size and depth; 0
// when it lists none.
DWORD DesktopRefreshCap(DWORD width, DWORD height, DWORD bits) {
    DWORD best = 0;
    DEVMODE mode;
    for (DWORD i = 0; EnumDisplaySettings(nullptr, i, &mode); ++i)
        if (mode.dmPelsWidth == width && mode.dmPelsHeight == height && mode.dmBitsPerPel == bits)
            best = std::max<DWORD>(best, mode.dmDisplayFrequency);
    return best;
}

// Search key and result of the depth-format enumeration.
struct CZBufferSearch {
    DDPIXELFORMAT format;
    bool found = false;
};

} // namespace

CGraphics* CreateGraphics_D3D7(Engine::CApplication** application) { return new CGraphics_D3D7(application); }

CGraphics_D3D7::CGraphics_D3D7(Engine::CApplication** application)
    : CGraphics_D3DStates(application), m_defaultTarget(this), m_pCurrentTarget(&m_defaultTarget) {}

CGraphics_D3D7::~CGraphics_D3D7() noexcept {
    if (m_hWnd) Destroy();
    DoneD3D();
}

void CGraphics_D3D7::GetBufferOffset(float* x, float* y) {
    *x = m_bufferOffset[0];
    *y = m_bufferOffset[1];
}

void CGraphics_D3D7::GetTextureOffset(float* u, float* v) {
    *u = m_textureOffset[0];
    *v = m_textureOffset[1];
}

void CGraphics_D3D7::RegisterRenderWindowClass() {
    RegisterDriverWindowClass(kWindowClass, &CGraphics_D3D7::RenderWindowProc);
}

bool CGraphics_D3D7::Create(const char* title, CGraphicsParams* params) {
    RegisterRenderWindowClass();
    if (params) m_params = *params;
    EnumVideoModes();
    AdjustVideoMode(m_params);
    m_hWnd = CreateDriverWindow(kWindowClass, title);
    Engine::CApplication* app = GetApplication();
    if (app) {
        app->m_hWnd = m_hWnd;
        if (m_hWnd) app->OnGraphicsWindowCreated();
    }
    if (m_hWnd) {
        CLogSection section("Initializing Direct3D7");
        m_bCreated = InitD3D(m_hWnd) ? 1 : 0;
    }
    if (m_bCreated) {
        {
            CLogSection section("CApplication::OnGraphicsCreate()");
            if (app) app->OnGraphicsCreate();
        }
        ShowWindow(m_hWnd, SW_SHOWNORMAL);
        UpdateWindow(m_hWnd);
    }
    return m_hWnd && m_bCreated;
}

bool CGraphics_D3D7::InitD3D(HWND window) {
    (void)window;
    m_pd3d = nullptr;
    m_pd3dDevice = nullptr;
    m_pddsFrontBuffer = m_pddsBackBuffer = m_pddsZBuffer = nullptr;
    m_nEnumerated = m_nAccepted = 0;
    if (!GetDirectXDrivers().DDInit(true)) return false;
    if (!D3DEnum_EnumerateDevices() || !D3DEnum_SelectDefaultDevice(&m_pChosenDevice)) {
        GetDirectXDrivers().DDDone();
        return false;
    }
    LogDeviceInfo();
    const D3D7DeviceRecord& chosen = *m_pChosenDevice;
    m_bTnLHal = chosen.deviceGuid == IID_IDirect3DTnLHalDevice;
    m_bHal = chosen.deviceGuid == IID_IDirect3DHALDevice;
    m_bHardware = chosen.hardware;
    bool created = false;
    {
        CLogSection section("Engine::Graphics::CGraphics_D3D7::CreateEnvironment(...)");
        m_params.forceFullScreen = chosen.desktopCompatible ? 0 : 1;
        if (m_params.forceFullScreen && !m_params.fullScreen) {
            AdjustVideoMode(m_params);
            ApplyWindowMode(m_params, m_hWnd);
        }
        created = CreateEnvironment(chosen.deviceGuid, chosen.driverGuid, chosen.fullScreenMode);
    }
    if (!created) {
        GetDirectXDrivers().DDDone();
        return false;
    }
    { CLogSection section("Determining Offsets"); }
    GetTextureFormats().Clear();
    m_pd3dDevice->EnumTextureFormats(&CGraphics_D3D7::RegisterTextureFormat, this);
    AvailableTextureFormats();
    MeasureLocalVideoMemory(*this, m_pdd, "Total Video Memory (local) : %d", "Free Video Memory (local) : %d");
    if (m_bDeviceCheck && !CheckDriver()) {
        DoneD3D();
        return false;
    }
    ResizeQuadIndexBuffer();
    SetDeviceDefaults();
    if (!TestD3D()) {
        DoneD3D();
        return false;
    }
    try {
        m_defaultTarget.CreateDefault();
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
        DoneD3D();
        return false;
    }
    ClearScaledSurfaces();
    return true;
}

void CGraphics_D3D7::LogDeviceInfo() {
    const D3D7DeviceRecord& d = *m_pChosenDevice;
    CLog& log = GetLog();
    CLogSection info("Device Info");
    log.PrintLine("Description : \"%s\"", d.description);
    log.PrintLine("DesktopCompatible : %s", d.desktopCompatible ? "true" : "false");
    log.PrintLine("Video Memory Total : %d", int(d.driverCaps.dwVidMemTotal));
    log.PrintLine("Video Memory Free : %d", int(d.driverCaps.dwVidMemFree));
    {
        CLogSection desc("Device Desc");
        log.PrintLine("dwDevCaps : 0x%08x", d.desc.dwDevCaps);
        log.PrintLine("dwFVFCaps : 0x%08x", d.desc.dwFVFCaps);
        log.PrintLine("dpcTriCaps : 0x%08x", d.desc.dpcTriCaps.dwSize);
        log.PrintLine("dwDeviceRenderBitDepth : %d", int(d.desc.dwDeviceRenderBitDepth));
        log.PrintLine("dwDeviceZBufferBitDepth : %d", int(d.desc.dwDeviceZBufferBitDepth));
        log.PrintLine("dwMinTextureWidth : %d", int(d.desc.dwMinTextureWidth));
        log.PrintLine("dwMinTextureHeight : %d", int(d.desc.dwMinTextureHeight));
        log.PrintLine("dwMaxTextureWidth : %d", int(d.desc.dwMaxTextureWidth));
        log.PrintLine("dwMaxTextureHeight : %d", int(d.desc.dwMaxTextureHeight));
        log.PrintLine("wMaxTextureBlendStages : %d", int(d.desc.wMaxTextureBlendStages));
        log.PrintLine("wMaxSimultaneousTextures : %d", int(d.desc.wMaxSimultaneousTextures));
    }
    CLogSection hel("HEL Caps");
    log.PrintLine("dwCaps : 0x%08x", d.emulationCaps.dwCaps);
    log.PrintLine("dwCaps2 : 0x%08x", d.emulationCaps.dwCaps2);
    log.PrintLine("dwNLVBCaps : 0x%08x", d.emulationCaps.dwNLVBCaps);
    log.PrintLine("dwNLVBCaps2 : 0x%08x", d.emulationCaps.dwNLVBCaps2);
}

// Enumeration.

bool CGraphics_D3D7::D3DEnum_EnumerateDevices() {
    PFN_DirectDrawEnumerateExA enumerate = GetDirectXDrivers().GetDirectDrawEnumerateExA();
    if (enumerate)
        enumerate(&CGraphics_D3D7::ExamineDriver, this,
                  DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES);
    if (m_nEnumerated == 0) {
        GetLog().PrintLine("Engine::Graphics::CGraphics_D3D7::D3DEnum_EnumerateDevices(...) : No devices and/or modes "
                           "were enumerated");
        return false;
    }
    if (m_nAccepted == 0) {
        GetLog().PrintLine(
            "Engine::Graphics::CGraphics_D3D7::D3DEnum_EnumerateDevices(...) : No enumerated devices were accepted");
        return false;
    }
    return true;
}

BOOL CGraphics_D3D7::ExamineDriver(GUID* guid, char* description, char*, void* context, void*) {
    auto* driver = static_cast<CGraphics_D3D7*>(context);
    void* created = nullptr;
    if (FAILED(GetDirectXDrivers().GetDirectDrawCreateEx()(guid, &created, IID_IDirectDraw7, nullptr)) || !created)
        return FALSE;
    auto* dd = static_cast<IDirectDraw7*>(created);
    void* queried = nullptr;
    if (FAILED(dd->QueryInterface(IID_IDirect3D7, &queried)) || !queried) {
        dd->Release();
        return FALSE;
    }
    auto* d3d = static_cast<IDirect3D7*>(queried);
    D3D7DeviceRecord& t = driver->m_template;
    t = D3D7DeviceRecord{};
    std::strncpy(t.description, description ? description : "", 38);
    dd->GetCaps(&t.driverCaps, &t.emulationCaps);
    t.primaryDriver = guid == nullptr;
    if (guid) t.driverGuid = *guid;
    t.desktopCompatible = (t.driverCaps.dwCaps2 & DDCAPS2_CANRENDERWINDOWED) && t.primaryDriver;
    dd->EnumDisplayModes(0, nullptr, &t, &CGraphics_D3D7::AddDisplayMode);
    std::stable_sort(t.modes.begin(), t.modes.end(), CompareModes);
    const CGraphicsParams& params = driver->m_params;
    t.wanted[0] = DWORD(params.screenWidth);
    t.wanted[1] = DWORD(params.screenHeight);
    t.wanted[2] = DWORD(params.colorBits + params.alphaBits);
    t.wanted[3] = std::min<DWORD>(DWORD(params.refresh), DesktopRefreshCap(t.wanted[0], t.wanted[1], t.wanted[2]));
    d3d->EnumDevices(&CGraphics_D3D7::AcceptDevice, driver);
    t.modes.clear();
    d3d->Release();
    dd->Release();
    return TRUE;
}

HRESULT CGraphics_D3D7::AddDisplayMode(DDSURFACEDESC2* mode, void* context) {
    if (mode) static_cast<D3D7DeviceRecord*>(context)->modes.push_back(*mode);
    return D3DENUMRET_OK;
}

HRESULT CGraphics_D3D7::AcceptDevice(char* description, char* name, D3DDEVICEDESC7* desc, void* context) {
    auto* driver = static_cast<CGraphics_D3D7*>(context);
    ++driver->m_nEnumerated;
    // The record array is full: later devices are not accepted.
    if (!desc || driver->m_nAccepted >= kMaxDevices) return D3DENUMRET_OK;
    const D3D7DeviceRecord& t = driver->m_template;
    D3D7DeviceRecord r;
    r.hardware = (desc->dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) != 0;
    r.desc = *desc;
    r.desktopCompatible = t.desktopCompatible;
    r.driverCaps = t.driverCaps;
    r.emulationCaps = t.emulationCaps;
    r.deviceGuid = desc->deviceGUID;
    r.primaryDriver = t.primaryDriver;
    r.driverGuid = t.driverGuid;
    const std::string_view text = t.primaryDriver ? (name ? name : "") : (description ? t.description : "");
    // At most 38 characters are kept; the record's array is zero-filled.
    text.copy(r.description, std::min<size_t>(text.size(), 38));
    if (!t.primaryDriver && !r.hardware) return D3DENUMRET_OK;
    if (!driver->ConfirmDevice(r.driverCaps, r.desc)) return D3DENUMRET_OK;
    for (const DDSURFACEDESC2& mode : t.modes) {
        const DWORD bits = mode.ddpfPixelFormat.dwRGBBitCount;
        if (!(desc->dwDeviceRenderBitDepth & RenderDepthBit(bits))) continue;
        r.modes.push_back(mode);
        if (mode.ddsCaps.dwCaps2 & DDSCAPS2_STEREOSURFACELEFT) r.stereoCompatible = true;
    }
    if (r.modes.empty()) return D3DENUMRET_OK;
    for (size_t i = 0; i < r.modes.size(); ++i) {
        const DDSURFACEDESC2& mode = r.modes[i];
        if (mode.dwWidth != t.wanted[0] || mode.dwHeight != t.wanted[1] ||
            mode.ddpfPixelFormat.dwRGBBitCount != t.wanted[2])
            continue;
        if (t.wanted[3] != 0 && mode.dwRefreshRate > t.wanted[3]) continue;
        if (r.currentMode >= 0 && mode.dwRefreshRate < r.fullScreenMode.dwRefreshRate) continue;
        r.currentMode = int32_t(i);
        r.fullScreenMode = mode;
        if (r.fullScreenMode.dwRefreshRate == 0) r.fullScreenMode.dwRefreshRate = t.wanted[3];
    }
    if (r.currentMode < 0) r.fullScreenMode = DDSURFACEDESC2{};
    driver->m_devices[size_t(driver->m_nAccepted++)] = std::move(r);
    return D3DENUMRET_OK;
}

bool CGraphics_D3D7::ConfirmDevice(const DDCAPS&, const D3DDEVICEDESC7&) { return true; }

bool CGraphics_D3D7::D3DEnum_SelectDefaultDevice(const D3D7DeviceRecord** chosen) {
    if (!chosen) return false;
    const D3D7DeviceRecord* tnl = nullptr;
    const D3D7DeviceRecord* other = nullptr;
    for (int i = 0; i < m_nAccepted; ++i) {
        const D3D7DeviceRecord& record = m_devices[size_t(i)];
        if (!record.hardware) continue;
        (record.deviceGuid == IID_IDirect3DTnLHalDevice ? tnl : other) = &record;
    }
    *chosen = tnl ? tnl : other;
    if (!*chosen)
        GetLog().PrintLine("Engine::Graphics::CGraphics_D3D7::D3DEnum_SelectDefaultDevice(...) : FAILED : No "
                           "Compatible Devices Found");
    return *chosen != nullptr;
}

void CGraphics_D3D7::D3DEnum_ReleaseModeLists() {
    for (D3D7DeviceRecord& record : m_devices) record.modes = {};
}

// The environment.

bool CGraphics_D3D7::CreateEnvironment(const GUID& device, const GUID& driver, const DDSURFACEDESC2& mode) {
    const bool ok = OpenDirectDraw(driver) &&
                    (m_params.fullScreen ? BuildFlipChain(mode) : BuildWindowedSurfaces()) && OpenDevice(device) &&
                    (m_params.reserved[0] == 0 || CreateZBuffer(device));
    if (ok) return true;
    if (m_pdd && m_bCooperativeLevel) m_pdd->SetCooperativeLevel(m_hWnd, DDSCL_NORMAL);
    m_bCooperativeLevel = 0;
    ReleaseInterfaces();
    D3DEnum_ReleaseModeLists();
    return false;
}

void CGraphics_D3D7::ReleaseInterfaces() {
    ReleaseLogged(m_pd3dDevice, "m_pd3dDevice");
    ReleaseLogged(m_pddsZBuffer, "m_pddsZBuffer");
    ReleaseLogged(m_pddsBackBuffer, "m_pddsBackBuffer");
    ReleaseLogged(m_pddsFrontBuffer, "m_pddsFrontBuffer");
    ReleaseLogged(m_pd3d, "m_pd3d");
    ReleaseLogged(m_pdd, "m_pdd");
}

bool CGraphics_D3D7::OpenDirectDraw(const GUID& driver) {
    CLog& log = GetLog();
    GUID copy = driver;
    void* created = nullptr;
    HRESULT result = GetDirectXDrivers().GetDirectDrawCreateEx()(&copy, &created, IID_IDirectDraw7, nullptr);
    log.PrintLine("DirectDrawCreateEx(...) : %s", DXErrorToString(result));
    if (FAILED(result) || !created) return false;
    m_pdd = static_cast<IDirectDraw7*>(created);
    result = m_pdd->SetCooperativeLevel(
        m_hWnd, m_params.fullScreen ? DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE : DDSCL_NORMAL);
    log.PrintLine("SetCooperativeLevel(...) : %s", DXErrorToString(result));
    if (FAILED(result)) return false;
    m_bCooperativeLevel = 1;
    DDSURFACEDESC2 desktop;
    if (FAILED(m_pdd->GetDisplayMode(&desktop))) return false;
    const bool deep = desktop.ddpfPixelFormat.dwRGBBitCount > 8;
    log.Printf("Display Bit Count = %d : ", int(desktop.ddpfPixelFormat.dwRGBBitCount));
    log.PrintLineRaw("%s", OkOrFailed(deep));
    return deep;
}

bool CGraphics_D3D7::BuildFlipChain(const DDSURFACEDESC2& mode) {
    CLog& log = GetLog();
    const DWORD bits = mode.ddpfPixelFormat.dwRGBBitCount;
    const DWORD flags = mode.dwWidth == 320 && mode.dwHeight == 200 && bits == 8 ? DDSDM_STANDARDVGAMODE : 0;
    HRESULT result = m_pdd->SetDisplayMode(mode.dwWidth, mode.dwHeight, bits, mode.dwRefreshRate, flags);
    log.PrintLine("SetDisplayMode(...) : %s", DXErrorToString(result));
    if (FAILED(result)) return false;
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    desc.dwBackBufferCount = 1;
    result = m_pdd->CreateSurface(&desc, &m_pddsFrontBuffer, nullptr);
    log.PrintLine("Creating Front Buffer : %s", DXErrorToString(result));
    if (FAILED(result)) {
        m_pddsFrontBuffer = nullptr;
        return false;
    }
    DDSCAPS2 caps;
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    result = m_pddsFrontBuffer->GetAttachedSurface(&caps, &m_pddsBackBuffer);
    log.PrintLine("GetAttachedSurface(...) : %s", DXErrorToString(result));
    if (FAILED(result)) {
        m_pddsBackBuffer = nullptr;
        return false;
    }
    m_pddsBackBuffer->AddRef();
    return true;
}

bool CGraphics_D3D7::BuildWindowedSurfaces() {
    CLog& log = GetLog();
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    HRESULT result = m_pdd->CreateSurface(&desc, &m_pddsFrontBuffer, nullptr);
    log.PrintLine("Creating Front Buffer : %s", DXErrorToString(result));
    if (FAILED(result)) {
        m_pddsFrontBuffer = nullptr;
        return false;
    }
    IDirectDrawClipper* clipper = nullptr;
    result = m_pdd->CreateClipper(0, &clipper, nullptr);
    log.PrintLine("CreateClipper(...) : %s", DXErrorToString(result));
    if (FAILED(result)) return false;
    clipper->SetHWnd(0, m_hWnd);
    m_pddsFrontBuffer->SetClipper(clipper);
    log.PrintLine("pcClipper->Release() : %d", int(clipper->Release()));
    desc = DDSURFACEDESC2{};
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = DWORD(m_params.screenWidth);
    desc.dwHeight = DWORD(m_params.screenHeight);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY;
    result = m_pdd->CreateSurface(&desc, &m_pddsBackBuffer, nullptr);
    log.PrintLine("Creating Back Buffer : %s", DXErrorToString(result));
    if (FAILED(result)) {
        m_pddsBackBuffer = nullptr;
        return false;
    }
    return true;
}

bool CGraphics_D3D7::OpenDevice(const GUID& device) {
    CLog& log = GetLog();
    void* queried = nullptr;
    HRESULT result = m_pdd->QueryInterface(IID_IDirect3D7, &queried);
    log.PrintLine("querying Direct3D Interface : %s", DXErrorToString(result));
    if (FAILED(result)) return false;
    m_pd3d = static_cast<IDirect3D7*>(queried);
    result = m_pd3d->CreateDevice(device, m_pddsBackBuffer, &m_pd3dDevice);
    log.PrintLine("Creating Direct3D Device : %s", DXErrorToString(result));
    if (FAILED(result)) {
        m_pd3dDevice = nullptr;
        return false;
    }
    D3DVIEWPORT7 viewport{0, 0, DWORD(m_params.width), DWORD(m_params.height), 0.0f, 1.0f};
    result = m_pd3dDevice->SetViewport(&viewport);
    log.PrintLine("SetViewport(...) : %s", DXErrorToString(result));
    return SUCCEEDED(result);
}

HRESULT CGraphics_D3D7::PickZBufferFormat(DDPIXELFORMAT* format, void* context) {
    auto* search = static_cast<CZBufferSearch*>(context);
    if (!format || !search || !(format->dwFlags & DDPF_ZBUFFER)) return D3DENUMRET_OK;
    if (format->dwRGBBitCount != search->format.dwRGBBitCount) return D3DENUMRET_OK;
    search->format = *format;
    search->found = true;
    return D3DENUMRET_CANCEL;
}

bool CGraphics_D3D7::CreateZBuffer(const GUID& device) {
    CLog& log = GetLog();
    D3DDEVICEDESC7 desc;
    if (FAILED(m_pd3dDevice->GetCaps(&desc)) || (desc.dpcTriCaps.dwRasterCaps & D3DPRASTERCAPS_ZBUFFERLESSHSR))
        return false;
    DDSURFACEDESC2 back;
    m_pddsBackBuffer->GetSurfaceDesc(&back);
    CZBufferSearch search;
    search.format.dwRGBBitCount = back.ddpfPixelFormat.dwRGBBitCount;
    m_pd3d->EnumZBufferFormats(device, &CGraphics_D3D7::PickZBufferFormat, &search);
    if (!search.found) {
        search.format.dwRGBBitCount = 16;
        m_pd3d->EnumZBufferFormats(device, &CGraphics_D3D7::PickZBufferFormat, &search);
    }
    if (!search.found) {
        log.PrintLine("Engine::Graphics::CGraphics_D3D7::CreateZBuffer(...) : Device doesn't support requested "
                      "zbuffer format");
        return false;
    }
    DDSURFACEDESC2 z;
    z.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    z.dwWidth = back.dwWidth;
    z.dwHeight = back.dwHeight;
    z.ddpfPixelFormat = search.format;
    z.ddsCaps.dwCaps = DDSCAPS_ZBUFFER;
    const HRESULT result = m_pdd->CreateSurface(&z, &m_pddsZBuffer, nullptr);
    if (FAILED(result)) {
        m_pddsZBuffer = nullptr;
        log.PrintLine("Engine::Graphics::CGraphics_D3D7::CreateZBuffer(...) : Couldn't create a ZBuffer surface");
        if (result == DDERR_OUTOFVIDEOMEMORY)
            log.PrintLine("Engine::Graphics::CGraphics_D3D7::CreateZBuffer(...) : Out of video memory");
        return false;
    }
    if (FAILED(m_pddsBackBuffer->AddAttachedSurface(m_pddsZBuffer))) {
        log.PrintLine(
            "Engine::Graphics::CGraphics_D3D7::CreateZBuffer(...) : Couldn't attach zbuffer to render surface");
        return false;
    }
    if (FAILED(m_pd3dDevice->SetRenderTarget(m_pddsBackBuffer, 0))) {
        log.PrintLine("Engine::Graphics::CGraphics_D3D7::CreateZBuffer(...) : SetRenderTarget(...) failed after "
                      "attaching zbuffer");
        return false;
    }
    return true;
}

HRESULT CGraphics_D3D7::RegisterTextureFormat(DDPIXELFORMAT* format, void* context) {
    auto* driver = static_cast<CGraphics_D3D7*>(context);
    constexpr DWORD kSkipped = DDPF_LUMINANCE | DDPF_BUMPLUMINANCE | DDPF_BUMPDUDV | DDPF_PALETTEINDEXED8;
    if (!format || !driver || (format->dwFlags & kSkipped) || format->dwRGBBitCount < 16 ||
        (format->dwFlags & DDPF_FOURCC) || format->dwRGBAlphaBitMask == 0x8000)
        return D3DENUMRET_OK;
    driver->GetTextureFormats().Add(ref_ptr<CTextureFormat_D3D7>(new CTextureFormat_D3D7(*format)));
    return D3DENUMRET_OK;
}

// Checks.

bool CGraphics_D3D7::CheckDriver() {
    CLogSection section("CGraphics_D3D7::CheckDriver");
    try {
        const int32_t minimum = m_nRequiredVideoMemory;
        if (m_pVideoMemory && minimum != -1 && m_pVideoMemory->free != 0xFFFFFFFFu &&
            m_pVideoMemory->free < uint32_t(minimum))
            throw CException::Format("Not enough free video memory (Free : %d, Minimum : %d, Total : %d)",
                                     int(m_pVideoMemory->free), minimum, int(m_pVideoMemory->total));
        if (GetTextureFormats().Size() == 0) throw CException("There are no available texture formats");
        const int alpha = ChooseTextureFormat(GetWindowBitsPerPixel(), 1);
        if (GetTextureFormats().Get(size_t(alpha))->alpha.bits == 0)
            throw CException("There are no available alpha texture formats");
        return true;
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
        return false;
    }
}

bool CGraphics_D3D7::TestD3D() {
    // This driver's indices live in system memory: the test makes none.
    return TestDeviceObjects("CGraphics_D3D7::TestD3D()", "TestD3D", {.indexBuffer = false, .lockFailureFails = true});
}

void CGraphics_D3D7::DoneD3D() {
    if (!m_pdd && !m_pd3dDevice) return;
    CLogSection section("CGraphics_D3D7::DoneD3D(...)");
    m_defaultTarget.ReleaseSurface();
    if (m_pdd && m_bCooperativeLevel) m_pdd->SetCooperativeLevel(m_hWnd, DDSCL_NORMAL);
    m_bCooperativeLevel = 0;
    m_quadIndices = {};
    m_nQuadCapacity = 0;
    ReleaseInterfaces();
    D3DEnum_ReleaseModeLists();
    GetDirectXDrivers().DDDone();
}

HRESULT CGraphics_D3D7::ClearSurface(IDirectDrawSurface7* surface) {
    if (!surface) return DD_OK;
    DDSURFACEDESC2 desc;
    const HRESULT result = surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
    if (FAILED(result)) return result;
    auto* row = static_cast<uint8_t*>(desc.lpSurface);
    for (DWORD y = 0; y < desc.dwHeight; ++y, row += desc.lPitch)
        std::memset(row, 0, size_t(desc.dwWidth) * desc.ddpfPixelFormat.dwRGBBitCount / 8);
    return surface->Unlock(nullptr);
}

void CGraphics_D3D7::ClearScaledSurfaces() {
    if (!m_params.fullScreen || !m_params.scaled) return;
    ClearSurface(m_pddsBackBuffer);
    ClearSurface(m_pddsFrontBuffer);
}

// The frame.

void CGraphics_D3D7::FinishRestore(int64_t started) {
    m_bThreeContainers = m_params.fullScreen;
    ClearSpriteContainers();
    m_bSceneEnded = 0;
    ClearScaledSurfaces();
    m_deviceObjects.RestoreAll(true);
    ReloadResources();
    m_deviceObjects.RestoreAll(false);
    if (Engine::CApplication* app = GetApplication()) app->OnGraphicsRestored();
    DiscountSince(started);
}

bool CGraphics_D3D7::gBeginScene() {
    if (!m_pdd || !m_pd3dDevice) return false;
    const HRESULT cooperation = m_pdd->TestCooperativeLevel();
    if (cooperation == DDERR_NOEXCLUSIVEMODE || cooperation == DDERR_EXCLUSIVEMODEALREADYSET ||
        cooperation == DDERR_WRONGMODE)
        return false;
    if (m_pddsFrontBuffer->IsLost() != DD_OK) {
        const int64_t started = ElapsedNow();
        m_deviceObjects.InvalidateAll();
        if (FAILED(m_pdd->RestoreAllSurfaces()))
            throw CException("Engine::Graphics::CGraphics_D3D7::gBeginScene() : Unable to restore surfaces");
        // The device's state survives, its surfaces' contents do not.
        FinishRestore(started);
    }
    return m_pd3dDevice->BeginScene() == D3D7_OK;
}

void CGraphics_D3D7::gEndScene() {
    if (m_pd3dDevice) m_pd3dDevice->EndScene();
    m_bSceneEnded = 1;
}

void CGraphics_D3D7::gFlipBuffers() {
    if (!m_bSceneEnded || !m_pddsFrontBuffer || !m_pddsBackBuffer) return;
    if (!m_params.fullScreen) {
        POINT topLeft{m_params.contentLeft, m_params.contentTop};
        POINT bottomRight{m_params.contentRight, m_params.contentBottom};
        ClientToScreen(m_hWnd, &topLeft);
        ClientToScreen(m_hWnd, &bottomRight);
        RECT destination{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
        m_pddsFrontBuffer->Blt(&destination, m_pddsBackBuffer, nullptr, DDBLT_WAIT, nullptr);
    } else if (!m_params.scaled) {
        m_pddsFrontBuffer->Flip(nullptr, m_params.waitVSync ? DDFLIP_WAIT : DDFLIP_WAIT | DDFLIP_NOVSYNC);
    } else {
        RECT destination{m_params.contentLeft, m_params.contentTop, m_params.contentRight, m_params.contentBottom};
        RECT source{0, 0, m_params.width, m_params.height};
        m_pddsFrontBuffer->Blt(&destination, m_pddsBackBuffer, &source, DDBLT_WAIT, nullptr);
    }
}

bool CGraphics_D3D7::ChangeVideoMode(CGraphicsParams params) {
    // A mode the display cannot show changes nothing.
    if (!FitVideoMode(*this, params)) return false;
    const int64_t started = ElapsedNow();
    m_deviceObjects.InvalidateAll();
    DoneD3D();
    const CGraphicsParams previous = m_params;
    m_params = params;
    ApplyWindowMode(m_params, m_hWnd);
    bool result = InitD3D(m_hWnd);
    if (!result) {
        GetLog().PrintLine("Engine::Graphics::CGraphics_D3D7::ChangeVideoMode(...) : InitD3D(...) : FAILED : Trying "
                           "to restore previous mode");
        m_params = previous;
        ApplyWindowMode(m_params, m_hWnd);
        // Both modes refused: still a false result. The driver goes on
        // without a device (frames do not begin, objects wait unmade) until
        // a later change succeeds.
        if (!InitD3D(m_hWnd))
            GetLog().PrintLine("Engine::Graphics::CGraphics_D3D7::ChangeVideoMode(...) : InitD3D(...) : FAILED");
    }
    ApplyWindowMode(m_params, m_hWnd);
    // The current target is made again by the restore pass; drawing goes to
    // the back buffer until it is chosen again.
    m_pCurrentTarget = &m_defaultTarget;
    FinishRestore(started);
    // Falling back to the previous mode is a failure to change it.
    return result;
}

void CGraphics_D3D7::Destroy() {
    if (!m_hWnd) return;
    CLogSection section("Engine::Graphics::CGraphics_D3D7::Destroy()");
    if (m_bCreated) {
        {
            CLogSection notify("CApplication::OnGraphicsDestroy()");
            if (Engine::CApplication* app = GetApplication()) app->OnGraphicsDestroy();
        }
        m_deviceObjects.InvalidateAll();
        // What the base holds for the device goes before the device itself.
        DestroySpriteContainers();
        DoneD3D();
        m_bCreated = 0;
    }
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    if (Engine::CApplication* app = GetApplication()) app->m_hWnd = nullptr;
    m_ppApplication = nullptr;
}

LRESULT CGraphics_D3D7::RenderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* driver = DriverOfWindow<CGraphics_D3D7>(window, message, lParam);
    if (message == WM_DESTROY) CLogSection section("Engine::Graphics::CGraphics_D3D7::WM_DESTROY()");
    if (driver && message == WM_ACTIVATE && driver->m_bCreated && driver->m_params.fullScreen) {
        if (LOWORD(wParam) == WA_INACTIVE) {
            const LRESULT result = CGraphics::WindowProc(driver, window, message, wParam, lParam);
            // A window hidden to be closed stays hidden.
            if (IsWindowVisible(window)) ShowWindow(window, SW_SHOWMINIMIZED);
            return result;
        }
        ShowWindow(window, SW_SHOWNORMAL);
    }
    if (driver && message == WM_PAINT) {
        if (Engine::CApplication* app = driver->GetApplication(); app && !app->m_bPaused) driver->gFlipBuffers();
    }
    return CGraphics::WindowProc(driver, window, message, wParam, lParam);
}

} // namespace Engine::Graphics
