#include "graphics/drivers/GraphicsD3D8.h"

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

#include "app/Application.h"
#include "app/DirectXDrivers.h"
#include "app/Exception.h"
#include "app/Log.h"
#include "app/Timer.h"
#include "graphics/Bitmap.h"
#include "graphics/drivers/DeviceLostTime.h"
#include "graphics/drivers/VideoMemory.h"
#include "graphics/drivers/VideoModeChange.h"
#include "platform/Cursor.h"
#include "platform/DirectDraw7.h"
#include "platform/Gdi.h"
#include "platform/Messages.h"
#include "platform/System.h"
#include "platform/Window.h"

namespace Engine::Graphics {

namespace {


struct CFormatRow {
    D3DFORMAT format;
    uint32_t red, green, blue, alpha, bits;
};

// The texture formats offered when the device takes them, in this order.
constexpr CFormatRow kTextureFormats[] = {
    {D3DFMT_A4R4G4B4, 0x0F00, 0x00F0, 0x000F, 0xF000, 16},
    {D3DFMT_A8R8G8B8, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u, 32},
    {D3DFMT_X8R8G8B8, 0xFF0000, 0xFF00, 0xFF, 0, 32},
    {D3DFMT_R8G8B8, 0xFF0000, 0xFF00, 0xFF, 0, 24},
    {D3DFMT_R5G6B5, 0xF800, 0x07E0, 0x001F, 0, 16},
    {D3DFMT_A1R5G5B5, 0x7C00, 0x03E0, 0x001F, 0x8000, 16},
};

int64_t ElapsedNow() {
    const CTimer& clock = GetGlobalClock();
    return clock.IsRunning() ? clock.GetElapsed() : 0;
}

// Game time does not count time since `since`.
void DiscountSince(int64_t since) {
    CTimer& clock = GetGlobalClock();
    if (clock.IsRunning()) clock.MoveStart(clock.GetElapsed() - since);
}

struct CBitmapDeleter {
    void operator()(HBITMAP bitmap) const { DeleteObject(reinterpret_cast<HGDIOBJ>(bitmap)); }
};
using CBitmapHolder = std::unique_ptr<HBITMAP__, CBitmapDeleter>;

struct CMemoryDCDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using CMemoryDCHolder = std::unique_ptr<std::remove_pointer_t<HDC>, CMemoryDCDeleter>;

struct CSurfaceReleaser {
    void operator()(IDirect3DSurface8* surface) const { surface->Release(); }
};
using CSurfaceHolder = std::unique_ptr<IDirect3DSurface8, CSurfaceReleaser>;

// A bitmap's rows as 32-bit pixels, top row first; empty when it cannot be
// read whole.
std::vector<DWORD> ReadRowsFromTop(HDC dc, HBITMAP bitmap, LONG width, LONG rows) {
    BITMAPINFO format;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = rows;  // bottom-up
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> bottomUp(size_t(width) * size_t(rows));
    if (GetDIBits(dc, bitmap, 0, UINT(rows), bottomUp.data(), &format, DIB_RGB_COLORS) != rows) return {};
    std::vector<DWORD> fromTop(bottomUp.size());
    for (LONG y = 0; y < rows; ++y)
        std::copy_n(bottomUp.begin() + ptrdiff_t(rows - 1 - y) * width, width, fromTop.begin() + ptrdiff_t(y) * width);
    return fromTop;
}

} // namespace

CGraphics* CreateGraphics_D3D8(Engine::CApplication** application) { return new CGraphics_D3D8(application); }

CGraphics_D3D8::CGraphics_D3D8(Engine::CApplication** application)
    : CGraphics_D3DStates(application), m_defaultTarget(this), m_pCurrentTarget(&m_defaultTarget) {
    m_clearColor[0] = m_clearColor[1] = m_clearColor[2] = m_clearColor[3] = 0.0f;
}

CGraphics_D3D8::~CGraphics_D3D8() noexcept {
    // The window's procedure points at this object: it must not outlive it.
    if (m_hWnd) Destroy();
    DoneD3D();
}

void CGraphics_D3D8::GetBufferOffset(float* x, float* y) {
    *x = m_bufferOffset[0];
    *y = m_bufferOffset[1];
}

void CGraphics_D3D8::GetTextureOffset(float* u, float* v) {
    *u = m_textureOffset[0];
    *v = m_textureOffset[1];
}

bool CGraphics_D3D8::LoadDriverLibrary() { return GetDirectXDrivers().D3D8Init(); }

void CGraphics_D3D8::FreeDriverLibrary() { GetDirectXDrivers().D3D8Done(); }

void CGraphics_D3D8::RegisterWindowClass() { RegisterDriverWindowClass(kWindowClass, &CGraphics_D3D8::WindowProc); }

bool CGraphics_D3D8::Create(const char* title, CGraphicsParams* params) {
    RegisterWindowClass();
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
        CLogSection section("Initializing Direct3D8");
        m_bCreated = InitD3D(m_hWnd) ? 1 : 0;
    }
    if (m_bCreated) {
        {
            CLogSection section("CApplication::OnGraphicsCreate()");
            if (app) app->OnGraphicsCreate();
        }
        UpdateCursor(true);
        ShowWindow(m_hWnd, SW_SHOWNORMAL);
        UpdateWindow(m_hWnd);
    }
    return m_hWnd && m_bCreated;
}

bool CGraphics_D3D8::InitD3D(HWND window) {
    CLog& log = GetLog();
    log.Printf("CGraphics_D3D8::Direct3DCreate8() : ");
    PFN_Direct3DCreate8 create = GetDirectXDrivers().GetDirect3DCreate8();
    m_pd3d = create ? create(D3D_SDK_VERSION) : nullptr;
    log.PrintLineRaw("%s", OkOrFailed(m_pd3d != nullptr));
    if (!m_pd3d) return false;
    m_pd3d->GetAdapterDisplayMode(0, &m_desktopMode);
    LogDeviceCaps();
    BuildPresentParameters();
    if (!CreateDevice(window)) return false;
    DetermineVideoMemory();
    LogDeviceInfo();
    {
        CLogSection section("Determining Offsets");
        DetermineOffsets();
    }
    AddTextureFormats();
    AvailableTextureFormats();
    if (m_bDeviceCheck && !CheckDriver()) {
        DoneD3D();
        return false;
    }
    try {
        InitQuadIndexBuffer();
    } catch (const CException& e) {
        log.PrintLine("%s", e.what());
        DoneD3D();
        return false;
    }
    SetDeviceDefaults();
    if (!TestD3D()) {
        DoneD3D();
        return false;
    }
    try {
        m_defaultTarget.CreateDefault();
    } catch (const CException& e) {
        log.PrintLine("%s", e.what());
        DoneD3D();
        return false;
    }
    ClearPillarBox();
    return true;
}

void CGraphics_D3D8::LogDeviceCaps() {
    D3DCAPS8 caps;
    if (FAILED(m_pd3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps))) return;
    {
        CLogSection section("Device Caps");
        CLog& log = GetLog();
        log.PrintLine("DevCaps : 0x%08x", caps.DevCaps);
        log.PrintLine("RasterCaps : 0x%08x", caps.RasterCaps);
        log.PrintLine("MaxTextureWidth : %d", int(caps.MaxTextureWidth));
        log.PrintLine("MaxTextureHeight : %d", int(caps.MaxTextureHeight));
        log.PrintLine("MaxTextureRepeat : %d", int(caps.MaxTextureRepeat));
    }
    m_params.forceFullScreen = (caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED) ? 0 : 1;
    if (m_params.forceFullScreen && !m_params.fullScreen) {
        AdjustVideoMode(m_params);
        ApplyWindowMode(m_params, m_hWnd);
    }
}

bool CGraphics_D3D8::CreateDevice(HWND window) {
    CLog& log = GetLog();
    HRESULT result = m_pd3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                          &m_presentParameters, &m_pd3dDevice);
    if (FAILED(result)) {
        log.PrintLine("CGraphics_D3D8::CreateDevice() : [HARDWARE_VERTEXPROCESSING] : %s", DXErrorToString(result));
        result = m_pd3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &m_presentParameters, &m_pd3dDevice);
    }
    log.PrintLine("CGraphics_D3D8::CreateDevice() : %s", DXErrorToString(result));
    if (SUCCEEDED(result)) return true;
    m_pd3dDevice = nullptr;
    m_pd3d->Release();
    m_pd3d = nullptr;
    return false;
}

void CGraphics_D3D8::DetermineVideoMemory() {
    CLogSection section("Video memory determination");
    CDirectXDrivers& drivers = GetDirectXDrivers();
    if (!drivers.DDInit(true)) return;
    void* created = nullptr;
    if (SUCCEEDED(drivers.GetDirectDrawCreateEx()(nullptr, &created, IID_IDirectDraw7, nullptr)) && created) {
        auto* directDraw = static_cast<IDirectDraw7*>(created);
        MeasureLocalVideoMemory(*this, directDraw, "Total Video Memory (local) : %d", "Free Video Memory (local) : %d");
        directDraw->Release();
    }
    drivers.DDDone();
}

void CGraphics_D3D8::LogDeviceInfo() {
    CLogSection section("Device Info");
    CLog& log = GetLog();
    OSVERSIONINFO version;
    GetVersionEx(&version);
    D3DADAPTER_IDENTIFIER8 identifier;
    const bool recent = version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1);
    if (recent && SUCCEEDED(m_pd3d->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &identifier))) {
        CLogSection adapter("Adapter Identifier");
        log.PrintLine("Description : %s", identifier.Description);
        log.PrintLine("VendorId : 0x%08x", identifier.VendorId);
        log.PrintLine("Driver : %s", identifier.Driver);
        log.PrintLine("DriverVersion : 0x%08x%08x", unsigned(identifier.DriverVersion.HighPart),
                      identifier.DriverVersion.LowPart);
        log.PrintLine("Revision : %d", int(identifier.Revision));
        log.PrintLine("DeviceId : 0x%08x", identifier.DeviceId);
        log.PrintLine("DeviceIdentifier : 0x%08x", identifier.DeviceIdentifier.Data1);
        log.PrintLine("SubSysId : 0x%08x", identifier.SubSysId);
        log.PrintLine("WHQLLevel : %d", int(identifier.WHQLLevel));
    }
    log.PrintLine("Available Texture Memory : %d", int(m_pd3dDevice->GetAvailableTextureMem()));
}

void CGraphics_D3D8::AddTextureFormats() {
    CTextureFormatList& formats = GetTextureFormats();
    formats.Clear();
    for (const CFormatRow& row : kTextureFormats) {
        if (FAILED(m_pd3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, m_presentParameters.BackBufferFormat, 0,
                                             D3DRTYPE_TEXTURE, row.format)))
            continue;
        formats.Add(CreateTextureFormat_D3D8(row.red, row.green, row.blue, row.alpha, row.bits, row.format));
    }
}

void CGraphics_D3D8::BuildPresentParameters() {
    D3DPRESENT_PARAMETERS& pp = m_presentParameters;
    pp = D3DPRESENT_PARAMETERS{};
    pp.BackBufferWidth = UINT(m_params.screenWidth);
    pp.BackBufferHeight = UINT(m_params.screenHeight);
    if (!m_params.fullScreen)
        pp.BackBufferFormat = m_desktopMode.Format;
    else if (m_params.alphaBits == 0 && m_params.colorBits <= 16)
        pp.BackBufferFormat = D3DFMT_R5G6B5;
    else
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.MultiSampleType = D3DMULTISAMPLE_NONE;
    pp.SwapEffect = m_params.scaled ? D3DSWAPEFFECT_COPY : D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = nullptr;
    pp.Windowed = m_params.fullScreen ? FALSE : TRUE;
    const int32_t depthBits = m_params.reserved[0], stencilBits = m_params.reserved[1];
    pp.EnableAutoDepthStencil = depthBits != 0 || stencilBits != 0;
    if (pp.EnableAutoDepthStencil)
        pp.AutoDepthStencilFormat = stencilBits != 0 ? D3DFMT_D24S8 : depthBits == 16 ? D3DFMT_D16 : D3DFMT_D24X8;
    pp.FullScreen_PresentationInterval =
        m_params.fullScreen && !m_params.waitVSync ? D3DPRESENT_INTERVAL_IMMEDIATE : D3DPRESENT_INTERVAL_DEFAULT;
}

bool CGraphics_D3D8::CheckDriver() {
    CLogSection section("CGraphics_D3D8::CheckDriver");
    try {
        CheckDriverOrThrow();
        return true;
    } catch (const CException& e) {
        GetLog().PrintLine("%s", e.what());
        return false;
    }
}

void CGraphics_D3D8::CheckDriverOrThrow() {
    const int32_t minimum = m_nRequiredVideoMemory;
    if (m_pVideoMemory && minimum != -1 && m_pVideoMemory->free != 0xFFFFFFFFu &&
        m_pVideoMemory->free < uint32_t(minimum))
        throw CException::Format("Not enough free video memory (Free : %d, Minimum : %d, Total : %d)",
                                 int(m_pVideoMemory->free), minimum, int(m_pVideoMemory->total));
    D3DCAPS8 caps;
    if (SUCCEEDED(m_pd3dDevice->GetDeviceCaps(&caps))) {
        const struct {
            DWORD caps, bit;
            const char* message;
        } kChecks[] = {
            {caps.SrcBlendCaps, D3DPBLENDCAPS_ZERO, "Checking for SrcBlendCaps : ZERO : FAILED"},
            {caps.SrcBlendCaps, D3DPBLENDCAPS_ONE, "Checking for SrcBlendCaps : ONE : FAILED"},
            {caps.SrcBlendCaps, D3DPBLENDCAPS_SRCALPHA, "Checking for SrcBlendCaps : SRCALPHA : FAILED"},
            {caps.DestBlendCaps, D3DPBLENDCAPS_ZERO, "Checking for DestBlendCaps : ZERO : FAILED"},
            {caps.DestBlendCaps, D3DPBLENDCAPS_ONE, "Checking for DestBlendCaps : ONE : FAILED"},
            {caps.DestBlendCaps, D3DPBLENDCAPS_INVSRCALPHA, "Checking for DestBlendCaps : INVSRCALPHA : FAILED"},
            {caps.TextureOpCaps, D3DTEXOPCAPS_MODULATE, "Checking for TextureOpCaps : MODULATE : FAILED"},
        };
        for (const auto& check : kChecks)
            if (!(check.caps & check.bit)) throw CException(check.message);
    }
    if (GetTextureFormats().Size() == 0) throw CException("There are no available texture formats");
    const int alphaFormat = ChooseTextureFormat(GetWindowBitsPerPixel(), 1);
    if (GetTextureFormats().Get(size_t(alphaFormat))->alpha.bits == 0)
        throw CException("There are no available alpha texture formats");
}

bool CGraphics_D3D8::TestD3D() {
    // A lock that fails is logged by the buffer and does not fail the test.
    return TestDeviceObjects("CGraphics_D3D8::TestD3D()", "TestD3D", {.indexBuffer = true, .lockFailureFails = false});
}

void CGraphics_D3D8::DoneD3D() {
    m_defaultTarget.ReleaseSurfaces();
    ReleaseQuadIndexBuffer();
    CLog& log = GetLog();
    if (m_pd3dDevice) {
        log.PrintLine("m_pd3dDevice->Release() : %d", int(m_pd3dDevice->Release()));
        m_pd3dDevice = nullptr;
    }
    if (m_pd3d) {
        log.PrintLine("m_pd3d->Release() : %d", int(m_pd3d->Release()));
        m_pd3d = nullptr;
    }
}

void CGraphics_D3D8::SetDeviceDefaults() {
    SetRenderState(D3DRS_LIGHTING, FALSE);
    SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    for (int stage = 0; stage < 8; ++stage) {
        SetStageState(stage, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
        SetStageState(stage, D3DTSS_ADDRESSV, D3DTADDRESS_WRAP);
        SetStageState(stage, D3DTSS_MINFILTER, D3DTEXF_POINT);
        SetStageState(stage, D3DTSS_MAGFILTER, D3DTEXF_POINT);
        SetStageState(stage, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    }
}

void CGraphics_D3D8::ClearPillarBox() {
    if (!m_params.fullScreen || !m_params.scaled) return;
    for (int i = 0; i < 2; ++i) {
        m_pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        m_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
    }
}

void CGraphics_D3D8::ReleaseDeviceObjects() {
    m_deviceObjects.InvalidateAll();
    ReleaseQuadIndexBuffer();
}

void CGraphics_D3D8::RestoreDeviceObjects() {
    RestoreAfterReset([this] {
        ResizeQuadIndexBuffer();
        // A reset returns every state to Direct3D's default: the driver's
        // own defaults and its current target come back before anything
        // is drawn.
        SetDeviceDefaults();
        auto* current = static_cast<CRenderTarget_D3D8*>(m_pCurrentTarget);
        m_pCurrentTarget = nullptr;
        try {
            m_defaultTarget.Restore();
            current->Restore();
            current->SetActive();
        } catch (const CException& e) {
            // The target could not come back: drawing goes to the back buffer.
            GetLog().PrintLine("%s", e.what());
            m_pCurrentTarget = &m_defaultTarget;
        }
    });
}

HRESULT CGraphics_D3D8::ResetDevice() {
    const int64_t before = ElapsedNow();
    ReleaseDeviceObjects();
    const HRESULT result = m_pd3dDevice->Reset(&m_presentParameters);
    // Lost again since the test: released objects stay released and the
    // reset is tried again on a later frame.
    if (result == D3DERR_DEVICELOST) return result;
    if (FAILED(result))
        throw CException::Format("CGraphics_D3D8::gBeginScene() : Reset(...) : FAILED : %s", DXErrorToString(result));
    UpdateCursor(true);
    FinishReset(before);
    return result;
}

void CGraphics_D3D8::FinishReset(int64_t resetStart) {
    m_bThreeContainers = m_params.fullScreen;
    // Everything is drawn again: last frame's records compare with nothing.
    ClearSpriteContainers();
    m_bSceneEnded = 0;
    ClearPillarBox();
    RestoreDeviceObjects();
    DiscountSince(resetStart);
}

bool CGraphics_D3D8::gBeginScene() {
    if (!m_pd3dDevice) return false;
    const int64_t now = ElapsedNow();
    bool begun = false;
    switch (m_pd3dDevice->TestCooperativeLevel()) {
    case D3DERR_DEVICELOST: break;
    case D3DERR_DEVICENOTRESET: begun = SUCCEEDED(ResetDevice()) && SUCCEEDED(m_pd3dDevice->BeginScene()); break;
    default: begun = SUCCEEDED(m_pd3dDevice->BeginScene()); break;
    }
    int64_t& lostSince = DeviceLostSince();
    if (begun) {
        if (lostSince != 0) {
            DiscountSince(lostSince);
            lostSince = 0;
        }
        return true;
    }
    if (lostSince == 0) lostSince = now;
    return false;
}

void CGraphics_D3D8::gEndScene() {
    if (m_pd3dDevice) m_pd3dDevice->EndScene();
    m_bSceneEnded = 1;
}

void CGraphics_D3D8::gFlipBuffers() {
    if (!m_bSceneEnded || !m_pd3dDevice) return;
    if (m_params.scaled) {
        const RECT source{0, 0, m_params.width, m_params.height};
        const RECT destination{m_params.contentLeft, m_params.contentTop, m_params.contentRight,
                               m_params.contentBottom};
        m_pd3dDevice->Present(&source, &destination, nullptr, nullptr);
    } else {
        m_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
    }
}

bool CGraphics_D3D8::ChangeVideoMode(CGraphicsParams params) {
    if (!m_pd3dDevice) return false;
    const bool wasWindowed = !m_params.fullScreen;
    // A mode the display cannot show changes nothing.
    if (!FitVideoMode(*this, params)) return false;
    const int64_t before = ElapsedNow();
    ReleaseDeviceObjects();
    const CGraphicsParams previous = m_params;
    m_params = params;
    ApplyWindowMode(m_params, m_hWnd);
    BuildPresentParameters();
    bool result = true;
    HRESULT reset = m_pd3dDevice->Reset(&m_presentParameters);
    if (FAILED(reset)) {
        GetLog().PrintLine(
            "CGraphics_D3D8::ChangeVideoMode(...) : Reset(...) : FAILED : %s : Trying to restore previous mode",
            DXErrorToString(reset));
        result = false;
        m_params = previous;
        ApplyWindowMode(m_params, m_hWnd);
        BuildPresentParameters();
        reset = m_pd3dDevice->Reset(&m_presentParameters);
        // Both modes refused: still a false result, and the objects are
        // restored all the same.
        if (FAILED(reset))
            GetLog().PrintLine("CGraphics_D3D8::ChangeVideoMode(...) : Reset(...) : FAILED : %s",
                               DXErrorToString(reset));
    }
    ApplyWindowMode(m_params, m_hWnd);
    if (wasWindowed == (m_params.fullScreen != 0)) UpdateCursor(true);
    FinishReset(before);
    return result;
}

void CGraphics_D3D8::Destroy() {
    if (!m_hWnd) return;
    CLogSection section("CGraphics_D3D8::Destroy()");
    if (m_bCreated) {
        {
            CLogSection notify("CApplication::OnGraphicsDestroy()");
            if (Engine::CApplication* app = GetApplication()) app->OnGraphicsDestroy();
        }
        ReleaseDeviceObjects();
        DestroySpriteContainers();
        DoneD3D();
        m_bCreated = 0;
    }
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    if (Engine::CApplication* app = GetApplication()) app->m_hWnd = nullptr;
    m_ppApplication = nullptr;
}

LRESULT CGraphics_D3D8::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* driver = DriverOfWindow<CGraphics_D3D8>(window, message, lParam);
    if (message == WM_DESTROY) CLogSection section("CGraphics_D3D8::WM_DESTROY()");
    if (driver && message == WM_PAINT) {
        if (Engine::CApplication* app = driver->GetApplication(); app && !app->m_bPaused) driver->gFlipBuffers();
    }
    return CGraphics::WindowProc(driver, window, message, wParam, lParam);
}

void CGraphics_D3D8::SetCursorPosition(int x, int y) {
    if (m_pd3dDevice && m_params.fullScreen) m_pd3dDevice->SetCursorPosition(x, y, 0);
}

void CGraphics_D3D8::ShowCursor(bool show, bool shownBefore, int cursorId) {
    HCURSOR cursor = LoadCursorById(cursorId);
    if (show != shownBefore) ::ShowCursor(show);
    if (m_pd3dDevice) {
        if (m_params.fullScreen) {
            ::SetCursor(nullptr);
            SetDeviceCursor(cursor);
            m_pd3dDevice->ShowCursor(show);
            return;
        }
        m_pd3dDevice->ShowCursor(FALSE);
    }
    if (show) ::SetCursor(cursor);
}

bool CGraphics_D3D8::SetDeviceCursor(HCURSOR cursor) {
    if (!m_pd3dDevice) return false;
    ICONINFO info;
    if (!GetIconInfo(cursor, &info)) return false;
    // GetIconInfo hands over copies of the cursor's bitmaps.
    const CBitmapHolder mask(info.hbmMask), colour(info.hbmColor);
    BITMAP maskSize;
    if (!GetObjectA(reinterpret_cast<HGDIOBJ>(info.hbmMask), sizeof(maskSize), &maskSize)) return false;
    // Without a colour bitmap the mask holds the AND mask above the XOR mask.
    const LONG width = maskSize.bmWidth;
    const LONG height = colour ? maskSize.bmHeight : maskSize.bmHeight / 2;
    if (width <= 0 || height <= 0) return false;

    const CMemoryDCHolder dc(CreateCompatibleDC(nullptr));
    if (!dc) return false;
    const std::vector<DWORD> maskRows = ReadRowsFromTop(dc.get(), info.hbmMask, width, maskSize.bmHeight);
    const std::vector<DWORD> colourRows = colour ? ReadRowsFromTop(dc.get(), info.hbmColor, width, height) : maskRows;
    if (maskRows.empty() || colourRows.empty()) return false;
    const size_t colourStart = colour ? 0 : size_t(height) * size_t(width);

    IDirect3DSurface8* image = nullptr;
    if (FAILED(m_pd3dDevice->CreateImageSurface(UINT(width), UINT(height), D3DFMT_A8R8G8B8, &image))) return false;
    const CSurfaceHolder surface(image);
    D3DLOCKED_RECT locked;
    if (FAILED(surface->LockRect(&locked, nullptr, 0))) return false;
    for (LONG y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + size_t(y) * size_t(locked.Pitch));
        const size_t from = size_t(y) * size_t(width);
        for (LONG x = 0; x < width; ++x)
            row[x] = maskRows[from + size_t(x)] == 0 ? colourRows[colourStart + from + size_t(x)] | 0xFF000000u : 0;
    }
    surface->UnlockRect();
    return SUCCEEDED(m_pd3dDevice->SetCursorProperties(info.xHotspot, info.yHotspot, surface.get()));
}

} // namespace Engine::Graphics
