#include "graphics/drivers/GraphicsSFTW.h"

#include <algorithm>

#include "app/Application.h"
#include "app/Exception.h"
#include "app/Log.h"
#include "graphics/Bitmap.h"
#include "graphics/drivers/VideoModeChange.h"
#include "platform/Messages.h"
#include "platform/Window.h"

namespace Engine::Graphics {

namespace {

constexpr const char* kModeChangeFailed =
    "Engine::Graphics::CGraphics_SFTW::WindowProc()::ChangeDisplaySettings(...) : FAILED";
constexpr uint32_t kRedMask = 0x00FF0000, kGreenMask = 0x0000FF00, kBlueMask = 0x000000FF;

} // namespace

CGraphics* CreateGraphics_SFTW(Engine::CApplication** application) { return new CGraphics_SFTW(application); }

CGraphics_SFTW::CGraphics_SFTW(Engine::CApplication** application)
    : CGraphics(application), m_pCurrentTarget(&m_defaultTarget), m_defaultTarget(this) {}

CGraphics_SFTW::~CGraphics_SFTW() noexcept {
    // The window's procedure points at this object: it must not outlive it.
    if (m_hWnd) Destroy();
}

// Drawn by GDI: the window needs no OpenGL framebuffer.
void CGraphics_SFTW::RegisterSoftwareWindowClass() {
    RegisterDriverWindowClass(kWindowClass, &CGraphics_SFTW::WindowProc, false);
}

bool CGraphics_SFTW::Create(const char* title, CGraphicsParams* params) {
    RegisterSoftwareWindowClass();
    if (params) m_params = *params;
    m_params.forceFullScreen = 0;
    m_params.forceWindowed = 0;
    // The mode list and the fitted mode size the window like every driver's.
    EnumVideoModes();
    AdjustVideoMode(m_params);
    m_hWnd = CreateDriverWindow(kWindowClass, title);
    Engine::CApplication* app = GetApplication();
    if (app) app->m_hWnd = m_hWnd;
    if (!m_hWnd) return false;
    {
        CLogSection section("CGraphics_SFTW::Create()");
        m_hWindowDC = GetDC(m_hWnd);
        GetLog().PrintLine("GetDC() : 0x%08x", unsigned(uintptr_t(m_hWindowDC)));
        if (app) app->OnGraphicsWindowCreated();
        m_bCreated = InitSFTW() ? 1 : 0;
        if (m_bCreated) {
            {
                CLogSection notify("CApplication::OnGraphicsCreate()");
                if (app) app->OnGraphicsCreate();
            }
            if (m_nPresentPath == 0 && m_params.fullScreen && !EnterChosenMode())
                GetLog().PrintLine("Engine::Graphics::CGraphics_SFTW::Create()::ChangeDisplaySettings(...) : FAILED");
            ShowWindow(m_hWnd, SW_SHOWNORMAL);
            UpdateWindow(m_hWnd);
        }
    }
    return m_bCreated != 0;
}

bool CGraphics_SFTW::InitSFTW() {
    BuildRasterTables();
    if (m_nPresentPath < 0) {
        // There is no DirectDraw stage; the log keeps the record of it.
        CLogSection section("Engine::Graphics::CGraphics_SFTW::InitSFTW() : InitDDraw()");
        GetLog().PrintLine("InitDDraw() : %s", OkOrFailed(false));
    }
    if (m_nPresentPath < 0) {
        CLogSection section("Engine::Graphics::CGraphics_SFTW::InitSFTW() : InitGDI()");
        const bool ok = InitGDI();
        GetLog().PrintLine("InitGDI() : %s", OkOrFailed(ok));
        if (ok) m_nPresentPath = 0;
    }
    if (m_nPresentPath < 0) return false;
    SetColorOrder(m_redMask == kRedMask && m_greenMask == kGreenMask && m_blueMask == kBlueMask);
    return true;
}

bool CGraphics_SFTW::InitGDI() {
    const int32_t width = std::max(m_params.width, 1), height = std::max(m_params.height, 1);
    m_bitmapInfo = BITMAPINFO{};
    m_bitmapInfo.bmiHeader.biWidth = width;
    // Top-down, one row more than the screen.
    m_bitmapInfo.bmiHeader.biHeight = -(height + 1);
    m_bitmapInfo.bmiHeader.biBitCount = 32;
    m_bitmapInfo.bmiHeader.biCompression = BI_BITFIELDS;
    m_bitmapInfo.bmiColors[0] = kRedMask;
    m_bitmapInfo.bmiColors[1] = kGreenMask;
    m_bitmapInfo.bmiColors[2] = kBlueMask;
    m_hMemoryDC = CreateCompatibleDC(nullptr);
    if (!m_hMemoryDC) {
        GetLog().PrintLine("CGraphics_SFTW::InitGDI() : CreateCompatibleDC(...) : FAILED");
        return false;
    }
    void* bits = nullptr;
    m_hDibSection = CreateDIBSection(m_hMemoryDC, &m_bitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_hDibSection || !bits) {
        DeleteDC(m_hMemoryDC);
        if (m_hDibSection) DeleteObject(reinterpret_cast<HGDIOBJ>(m_hDibSection));
        m_hMemoryDC = nullptr;
        m_hDibSection = nullptr;
        GetLog().PrintLine("CGraphics_SFTW::InitGDI() : CreateDIBSection(...) : FAILED");
        return false;
    }
    m_hOldBitmap = SelectObject(m_hMemoryDC, reinterpret_cast<HGDIOBJ>(m_hDibSection));
    SetBkMode(m_hMemoryDC, TRANSPARENT);
    m_defaultTarget.SetPixels(static_cast<uint32_t*>(bits));
    m_nPitch = width * 4;
    m_nBufferWidth = width;
    m_nBufferHeight = height;
    m_redMask = kRedMask;
    m_greenMask = kGreenMask;
    m_blueMask = kBlueMask;
    return true;
}

void CGraphics_SFTW::DoneGDI() {
    if (m_hMemoryDC) SelectObject(m_hMemoryDC, m_hOldBitmap);
    if (m_hDibSection) DeleteObject(reinterpret_cast<HGDIOBJ>(m_hDibSection));
    if (m_hMemoryDC) DeleteDC(m_hMemoryDC);
    m_hDibSection = nullptr;
    m_hMemoryDC = nullptr;
    m_defaultTarget.SetPixels(nullptr);
    m_nBufferWidth = m_nBufferHeight = 0;
}

bool CGraphics_SFTW::FitBackBuffer() {
    if (m_nPresentPath != 0 || (m_params.width == m_nBufferWidth && m_params.height == m_nBufferHeight)) return true;
    DoneGDI();
    if (!InitGDI()) return false;
    SetColorOrder(m_redMask == kRedMask && m_greenMask == kGreenMask && m_blueMask == kBlueMask);
    return true;
}

void CGraphics_SFTW::SetColorOrder(bool rgb) {
    m_bColorOrder = rgb ? 1 : 0;
    for (size_t i = 0; i < m_deviceObjects.GetCount(); ++i)
        if (auto* texture = dynamic_cast<CHardwareTexture_SFTW*>(m_deviceObjects.Get(i))) texture->SetChannelOrder(rgb);
}

CRasterTarget CGraphics_SFTW::GetBackBuffer() const {
    // Drawing is bounded by the mode, never beyond the buffer.
    return {m_defaultTarget.GetPixels(), std::min(m_params.width, m_nBufferWidth),
            std::min(m_params.height, m_nBufferHeight), m_nPitch};
}

bool CGraphics_SFTW::FindDisplayMode() {
    return FindFullScreenMode(m_params, m_params.colorBits > 16 ? 32 : 16, m_displayMode);
}

bool CGraphics_SFTW::EnterChosenMode() {
    // Without a listed mode the stored one is asked for all the same.
    FindDisplayMode();
    return ChangeDisplaySettings(&m_displayMode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

bool CGraphics_SFTW::ChangeVideoMode(CGraphicsParams params) {
    if (m_nPresentPath != 0) return false;
    return ChangeDriverVideoMode(*this, m_hWnd, params,
                                 {[this] { return EnterChosenMode(); },
                                  [this] {
                                      m_bThreeContainers = 0;
                                      // Everything is drawn again, on a grid of the new size.
                                      if (const ref_ptr<CDirtyRects> grid = GetDirtyRects()) {
                                          grid->Resize();
                                          ClearSpriteContainers();
                                      }
                                      m_bFrameReady = 0;
                                  },
                                  kModeChangeFailed,
                                  // A new size needs a new back buffer.
                                  [this] { return FitBackBuffer(); }});
}

void CGraphics_SFTW::Destroy() {
    if (!m_hWnd) return;
    {
        CLogSection section("CGraphics_SFTW::Destroy()");
        if (m_bCreated) {
            CLogSection notify("CApplication::OnGraphicsDestroy()");
            if (Engine::CApplication* app = GetApplication()) app->OnGraphicsDestroy();
        }
        if (m_bCreated) {
            if (m_params.fullScreen && m_nPresentPath == 0) ChangeDisplaySettings(nullptr, 0);
            m_deviceObjects.InvalidateAll();
            DestroySpriteContainers();
            DoneGDI();
            // A later Create sets the back buffer up again.
            m_nPresentPath = -1;
            m_bCreated = 0;
        }
    }
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    if (Engine::CApplication* app = GetApplication()) app->m_hWnd = nullptr;
    m_ppApplication = nullptr;
}

void CGraphics_SFTW::gFlipBuffers() {
    if (!m_bFrameReady) return;
    CollectPresentRects();
    m_paintList.clear();
    if (!m_params.fullScreen && !IsWindowVisibleOnScreen()) return;
    PresentRects(m_params.width, m_params.height);
}

void CGraphics_SFTW::CollectPresentRects() {
    m_presentList.clear();
    const ref_ptr<CDirtyRects> grid = GetDirtyRects();
    if (!grid) {
        m_presentList.push_back({0, m_params.width, 0, m_params.height});
        return;
    }
    // Areas the window asked to repaint are copied too, changed or not.
    for (const CRect& r : m_paintList) {
        CellRect cells = grid->ToCells(float(r.left), float(r.right), float(r.top), float(r.bottom));
        if (grid->ClipCells(cells)) grid->MarkCells(cells);
    }
    CellRect all{-10000, 10000, -10000, 10000};
    if (!grid->ClipCells(all)) return;
    m_dirtyRects.clear();
    grid->ExtractRects(all, m_dirtyRects);
    for (const PixelRect& r : m_dirtyRects) m_presentList.push_back({r.left, r.right, r.top, r.bottom});
}

bool CGraphics_SFTW::IsWindowVisibleOnScreen() const {
    RECT client{};
    GetClientRect(m_hWnd, &client);
    POINT topLeft{client.left, client.top};
    ClientToScreen(m_hWnd, &topLeft);
    int32_t width = std::min<int32_t>(m_params.width, client.right - client.left);
    int32_t height = std::min<int32_t>(m_params.height, client.bottom - client.top);
    if (topLeft.x < 0) width += topLeft.x;
    if (topLeft.y < 0) height += topLeft.y;
    return width > 0 && height > 0;
}

void CGraphics_SFTW::PresentRects(int32_t width, int32_t height) {
    const uint32_t* bits = m_defaultTarget.GetPixels();
    if (!bits || !m_hWindowDC) return;
    width = std::min(width, m_nBufferWidth);
    height = std::min(height, m_nBufferHeight);
    const UINT rows = UINT(m_nBufferHeight + 1);
    for (const CRect& r : m_presentList) {
        const int32_t left = std::max(r.left, 0), top = std::max(r.top, 0);
        const int32_t right = std::min(r.right, width), bottom = std::min(r.bottom, height);
        if (right <= left || bottom <= top) continue;
        // The source row counts from the bottom of the bitmap.
        SetDIBitsToDevice(m_hWindowDC, left, top, DWORD(right - left), DWORD(bottom - top), left,
                          int(rows) - bottom, 0, rows, bits, &m_bitmapInfo, DIB_RGB_COLORS);
    }
}

LRESULT CGraphics_SFTW::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* driver = DriverOfWindow<CGraphics_SFTW>(window, message, lParam);
    if (driver) {
        switch (message) {
        case WM_DESTROY: {
            CLogSection section("CGraphics_SFTW::WM_DESTROY()");
            if (driver->m_hWindowDC) ReleaseDC(window, driver->m_hWindowDC);
            driver->m_hWindowDC = nullptr;
            break;
        }
        case WM_ACTIVATE:
            if (driver->m_bCreated && driver->m_nPresentPath == 0 && driver->m_params.fullScreen)
                return OnFullScreenActivate(driver, driver->m_displayMode, "CGraphics_SFTW::WindowProc()::ChangeDisplaySettings(...) : FAILED", window, message, wParam,
                                            lParam);
            break;
        case WM_PAINT:
            driver->OnPaintMessage(window);
            return 0;
        default:
            break;
        }
    }
    return CGraphics::WindowProc(driver, window, message, wParam, lParam);
}

void CGraphics_SFTW::OnPaintMessage(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    const RECT& r = paint.rcPaint;
    if (r.right > r.left && r.bottom > r.top) m_paintList.push_back({r.left, r.right, r.top, r.bottom});
    ValidateRect(window, &paint.rcPaint);
    // An active application presents from its frame loop.
    if (Engine::CApplication* app = GetApplication(); app && !app->IsActive()) gFlipBuffers();
    EndPaint(window, &paint);
}

void CGraphics_SFTW::CreateVertexBuffer(ref_ptr<CVertexBuffer>& out, int count, int vertexSize, uint32_t format,
                                        bool dynamic) {
    try {
        out = ref_ptr<CVertexBuffer>(new CVertexBuffer_SFTW(this, count, vertexSize, format, dynamic));
    } catch (const std::bad_alloc&) {
        out = nullptr;
    }
}

void CGraphics_SFTW::CreateIndexBuffer(ref_ptr<CIndexBuffer>& out, int typeCode, int count, bool) {
    try {
        out = ref_ptr<CIndexBuffer>(new CIndexBuffer_SFTW(this, typeCode, count));
    } catch (const std::bad_alloc&) {
        out = nullptr;
    }
}

void CGraphics_SFTW::CreateHardwareTexture(ref_ptr<CHardwareTexture>& out, ref_ptr<CBitmap> bitmap, bool mipmap,
                                           bool, int32_t minAlphaBits) {
    ref_ptr<CHardwareTexture_SFTW> texture(new CHardwareTexture_SFTW(this));
    if (!texture->CreateFromBitmap(bitmap, mipmap, false, minAlphaBits)) {
        GetLog().PrintLine("CGraphics_SFTW::CreateHardwareTexture() : FAILED");
        out = nullptr;
        return;
    }
    texture->SetChannelOrder(m_bColorOrder != 0);
    out = texture;
}

} // namespace Engine::Graphics
