#include "graphics/drivers/GraphicsOGL.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/Application.h"
#include "app/DirectXDrivers.h"
#include "app/Log.h"
#include "graphics/Bitmap.h"
#include "graphics/drivers/GlCheck.h"
#include "graphics/drivers/VideoMemory.h"
#include "graphics/drivers/VideoModeChange.h"
#include "platform/DirectDraw7.h"
#include "platform/Messages.h"
#include "platform/Window.h"

namespace Engine::Graphics {

namespace {

const char* GlText(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

constexpr const char* kModeChangeFailed = "Engine::Graphics::CGraphics_OGL::WindowProc()::ChangeDisplaySettings(...) : FAILED";

// The minimum version the fixed-function paths need.
constexpr int kRequiredMajor = 1;
constexpr int kRequiredMinor = 3;

} // namespace

CGraphics* CreateGraphics_OGL(Engine::CApplication** application) { return new CGraphics_OGL(application); }

CGraphics_OGL::CGraphics_OGL(Engine::CApplication** application)
    : CGraphics(application), m_defaultTarget(this), m_pCurrentTarget(&m_defaultTarget) {
    // The base keeps the matrices; the driver starts from identity so that
    // setting only one of them still gives a sound model-view.
    const float identity[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    std::memcpy(m_worldMatrix, identity, sizeof m_worldMatrix);
    std::memcpy(m_viewMatrix, identity, sizeof m_viewMatrix);
}

CGraphics_OGL::~CGraphics_OGL() noexcept {
    // The window's procedure points at this object: it must not outlive it.
    if (m_hWnd) Destroy();
}

bool CGraphics_OGL::IsStageDisabled(int stage) const {
    return stage < 0 || stage >= 4 || m_stageDisabled[stage] != 0;
}

void CGraphics_OGL::RegisterWindowClass() { RegisterDriverWindowClass(kWindowClass, &CGraphics_OGL::WindowProc); }

bool CGraphics_OGL::Create(const char* title, CGraphicsParams* params) {
    RegisterWindowClass();
    if (params) m_params = *params;
    m_params.forceFullScreen = 0;
    m_params.forceWindowed = 0;
    EnumVideoModes();
    AdjustVideoMode(m_params);
    m_hWnd = CreateDriverWindow(kWindowClass, title);
    if (Engine::CApplication* app = GetApplication(); app && m_hWnd) {
        app->m_hWnd = m_hWnd;
        app->OnGraphicsWindowCreated();
    }
    {
        CLogSection section("Engine::Graphics::CGraphics_OGL::Create()");
        m_hDC = GetDC(m_hWnd);
        GetLog().PrintLine("GetDC() : 0x%08x", unsigned(uintptr_t(m_hDC)));
        bool formatSet;
        {
            CLogSection setup("Engine::Graphics::CGraphics_OGL::SetupPixelFormat");
            formatSet = SetupPixelFormat(m_hDC, m_params);
        }
        if (formatSet && CreateContext()) {
            m_bCreated = 1;
            m_extensions = GlText(GL_EXTENSIONS);
            m_nMaxTextureSize = QueryMaxTextureSize();
            LogDriverInfo();
        }
        if (m_bCreated && !RunChecks()) AbandonWindow();
        if (m_bCreated) ShowCreatedWindow();
    }
    if (Engine::CApplication* app = GetApplication()) app->m_hWnd = m_hWnd;
    return m_hWnd && m_bCreated;
}

bool CGraphics_OGL::SetupPixelFormat(HDC dc, const CGraphicsParams& mode) {
    PIXELFORMATDESCRIPTOR pfd;
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = mode.colorBits == 16 ? 16 : 32;
    const int32_t depthBits = mode.reserved[0];
    pfd.cDepthBits = depthBits == 0 ? 0 : depthBits == 16 ? 16 : 24;
    pfd.cStencilBits = BYTE(mode.reserved[1]);
    pfd.iLayerType = PFD_MAIN_PLANE;
    LogPixelFormat(pfd);
    const int format = ChoosePixelFormat(dc, &pfd);
    GetLog().PrintLine("ChoosePixelFormat() : %d", format);
    if (format == 0) return false;
    DescribePixelFormat(dc, format, sizeof pfd, &pfd);
    const bool set = SetPixelFormat(dc, format, &pfd) != FALSE;
    GetLog().PrintLine("SetPixelFormat() : %s", OkOrFailed(set));
    return set;
}

void CGraphics_OGL::LogPixelFormat(const PIXELFORMATDESCRIPTOR& pfd) {
    CLogSection section("PIXELFORMATDESCRIPTOR");
    CLog& log = GetLog();
    log.PrintLine("nSize        = %d", pfd.nSize);
    log.PrintLine("nVersion     = %d", pfd.nVersion);
    log.PrintLine("dwFlags      = %d", int(pfd.dwFlags));
    log.PrintLine("iPixelType   = %d", pfd.iPixelType);
    log.PrintLine("cColorBits   = %d", pfd.cColorBits);
    log.PrintLine("cDepthBits   = %d", pfd.cDepthBits);
    log.PrintLine("cAccumBits   = %d", pfd.cAccumBits);
    log.PrintLine("cStencilBits = %d", pfd.cStencilBits);
}

bool CGraphics_OGL::CreateContext() {
    CLog& log = GetLog();
    m_hRC = wglCreateContext(m_hDC);
    log.Printf("wglCreateContext(...) : ");
    log.PrintLineRaw("%s", OkOrFailed(m_hRC != nullptr));
    if (!m_hRC) return false;
    log.Printf("wglMakeCurrent(...) : ");
    if (!wglMakeCurrent(m_hDC, m_hRC)) {
        wglDeleteContext(m_hRC);
        m_hRC = nullptr;
        log.PrintLineRaw("FAILED");
        return false;
    }
    log.PrintLineRaw("OK");
    m_states.Forget();
    return true;
}

int32_t CGraphics_OGL::QueryMaxTextureSize() {
    GLint size = 0;
    GL_CHECK(glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size));
    return std::max(size, GLint(0));
}

void CGraphics_OGL::LogDriverInfo() {
    CLogSection section("OpenGL Driver Info");
    CLog& log = GetLog();
    log.PrintLine("GL_VENDOR : %s", GlText(GL_VENDOR));
    log.PrintLine("GL_VERSION : %s", GlText(GL_VERSION));
    log.PrintLine("GL_RENDERER : %s", GlText(GL_RENDERER));
    log.PrintLine("GL_EXTENSIONS : %s", m_extensions.c_str());
}

bool CGraphics_OGL::RunChecks() {
    // The application-set flag refuses the system's software renderer.
    if (m_params.appFlag && std::strcmp(GlText(GL_RENDERER), "GDI Generic") == 0) {
        GetLog().PrintLine("Hardware Acceleration Not Found");
        return false;
    }
    QueryDriverCaps();
    if (m_bDeviceCheck && !CheckDriver()) return false;
    return TestGL();
}

void CGraphics_OGL::AbandonWindow() {
    m_bCreated = 0;
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

void CGraphics_OGL::QueryDriverCaps() {
    m_pfnSwapInterval = reinterpret_cast<PFNWGLSWAPINTERVALEXTPROC>(wglGetProcAddress("wglSwapIntervalEXT"));
    DetermineVideoMemory();
    AddTextureFormats();
    AvailableTextureFormats();
}

void CGraphics_OGL::DetermineVideoMemory() {
    CLogSection section("Video memory determination");
    CDirectXDrivers& drivers = GetDirectXDrivers();
    if (!drivers.DDInit(false)) return;
    IDirectDraw* first = nullptr;
    if (SUCCEEDED(drivers.GetDirectDrawCreate()(nullptr, &first, nullptr)) && first) {
        void* queried = nullptr;
        const HRESULT result = first->QueryInterface(IID_IDirectDraw7, &queried);
        first->Release();
        if (SUCCEEDED(result) && queried) {
            auto* directDraw = static_cast<IDirectDraw7*>(queried);
            MeasureLocalVideoMemory(*this, directDraw, "Total Video Memory : %d", "Free Video Memory : %d");
            directDraw->Release();
        }
    }
    drivers.DDDone();
}

void CGraphics_OGL::AddTextureFormats() {
    CTextureFormatList& formats = GetTextureFormats();
    formats.Clear();
    formats.Add(CreateTextureFormat_OGL(0xFF, 0xFF00, 0xFF0000, 0, GL_RGB));
    formats.Add(CreateTextureFormat_OGL(0xFF, 0xFF00, 0xFF0000, 0xFF000000, GL_RGBA));
    formats.Add(CreateTextureFormat_OGL(0xF0, 0xF000, 0xF00000, 0xF0000000, GL_RGBA4));
    formats.Add(CreateTextureFormat_OGL(0xF8, 0xF800, 0xF80000, 0x80000000, GL_RGB5_A1));
    formats.Add(CreateTextureFormat_OGL(0xF8, 0xFC00, 0xF80000, 0, GL_RGB16));
}

bool CGraphics_OGL::CheckDriver() {
    CLogSection section("CGraphics_OGL::CheckDriver");
    try {
        CheckDriverOrThrow();
        return true;
    } catch (const Engine::CException& e) {
        GetLog().PrintLine("%s", e.what());
        return false;
    }
}

void CGraphics_OGL::CheckDriverOrThrow() {
    const int32_t minimum = m_nRequiredVideoMemory;
    if (m_pVideoMemory && minimum != -1 && m_pVideoMemory->free != 0xFFFFFFFFu &&
        uint32_t(minimum) > m_pVideoMemory->free)
        throw CException::Format("Not enough free video memory (Free : %d, Minimum : %d, Total : %d)",
                                 int(m_pVideoMemory->free), minimum, int(m_pVideoMemory->total));
    if (GetTextureFormats().Size() == 0) throw CException("There are no available texture formats");
    const int alphaFormat = ChooseTextureFormat(GetWindowBitsPerPixel(), 1);
    if (GetTextureFormats().Get(size_t(alphaFormat))->alpha.bits == 0)
        throw CException("There are no available alpha texture formats");
    const char* version = GlText(GL_VERSION);
    int major = 0, minor = 0;
    if (std::sscanf(version, "%d.%d", &major, &minor) == 2 &&
        (major < kRequiredMajor || (major == kRequiredMajor && minor < kRequiredMinor)))
        throw CException::Format("Unsupported driver version (Found : %s, Required : %d.%d)", version,
                                 kRequiredMajor, kRequiredMinor);
}

bool CGraphics_OGL::TestGL() {
    CLogSection section("CGraphics_OGL::TestGL()");
    bool ok = true;
    try {
        ExerciseDeviceObjects({.indexBuffer = true, .lockFailureFails = true});
    } catch (...) {
        ok = false;
    }
    GetLog().PrintLine("TestOGL() : %s", OkOrFailed(ok));
    return ok;
}

bool CGraphics_OGL::FindDisplayMode() {
    return FindFullScreenMode(m_params, DWORD(GetWindowBitsPerPixel()), m_displayMode);
}

bool CGraphics_OGL::EnterChosenMode() {
    // A mode that is not listed fails like a refused change.
    return FindDisplayMode() && ChangeDisplaySettings(&m_displayMode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

void CGraphics_OGL::ShowCreatedWindow() {
    if (m_pfnSwapInterval) m_pfnSwapInterval(m_params.waitVSync && m_params.fullScreen ? 1 : 0);
    if (m_params.fullScreen && !EnterChosenMode())
        GetLog().PrintLine("Engine::Graphics::CGraphics_OGL::Create()::ChangeDisplaySettings(...) : FAILED");
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    UpdateWindow(m_hWnd);
    GL_CHECK(glViewport(0, 0, m_params.width, m_params.height));
    CLogSection section("CApplication::OnGraphicsCreate()");
    if (Engine::CApplication* app = GetApplication()) app->OnGraphicsCreate();
}

void CGraphics_OGL::Destroy() {
    if (!m_hWnd) return;
    DestroySpriteContainers();
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    if (Engine::CApplication* app = GetApplication()) app->m_hWnd = nullptr;
    m_ppApplication = nullptr;
}

bool CGraphics_OGL::ChangeVideoMode(CGraphicsParams params) {
    return ChangeDriverVideoMode(*this, m_hWnd, params,
                                 {[this] { return EnterChosenMode(); },
                                  [this] {
                                      // What GL holds after a mode change is not ours to assume.
                                      m_states.Forget();
                                      if (m_params.fullScreen && m_pfnSwapInterval)
                                          m_pfnSwapInterval(m_params.waitVSync ? 1 : 0);
                                      GL_CHECK(glViewport(0, 0, m_params.width, m_params.height));
                                      m_bThreeContainers = m_params.fullScreen;
                                      // Last frames' records describe another picture.
                                      ClearSpriteContainers();
                                      m_bFrameReady = 0;
                                  },
                                  kModeChangeFailed});
}

void CGraphics_OGL::gEndScene() {
    GL_CHECK(glFlush());
    m_bFrameReady = 1;
}

void CGraphics_OGL::gFlipBuffers() {
    if (m_bFrameReady) SwapBuffers(m_hDC);
}

LRESULT CGraphics_OGL::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* driver = DriverOfWindow<CGraphics_OGL>(window, message, lParam);
    if (driver) {
        switch (message) {
        case WM_DESTROY:
            return driver->OnDestroyMessage(window, message, wParam, lParam);
        case WM_ACTIVATE:
            if (driver->m_bCreated && driver->m_params.fullScreen)
                return OnFullScreenActivate(driver, driver->m_displayMode, kModeChangeFailed, window, message, wParam,
                                            lParam);
            break;
        case WM_PAINT:
            if (Engine::CApplication* app = driver->GetApplication(); app && !app->m_bPaused) driver->gFlipBuffers();
            break;
        default:
            break;
        }
    }
    return CGraphics::WindowProc(driver, window, message, wParam, lParam);
}

LRESULT CGraphics_OGL::OnDestroyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    {
        CLogSection section("Engine::Graphics::CGraphics_OGL::WM_DESTROY()");
        if (m_bCreated) {
            {
                CLogSection notify("CApplication::OnGraphicsDestroy()");
                if (Engine::CApplication* app = GetApplication()) app->OnGraphicsDestroy();
            }
            m_deviceObjects.InvalidateAll();
        }
        if (m_hRC) {
            GetLog().PrintLine("wglMakeCurrent(...)");
            wglMakeCurrent(nullptr, nullptr);
            GetLog().PrintLine("wglDeleteContext(...)");
            wglDeleteContext(m_hRC);
            m_hRC = nullptr;
            m_nMaxTextureSize = 0;
            m_queueLimit.Forget();
            m_states.Forget();
        }
        if (m_hDC) {
            ReleaseDC(window, m_hDC);
            m_hDC = nullptr;
        }
        if (m_bCreated) {
            if (m_params.fullScreen) ChangeDisplaySettings(nullptr, 0);
            m_bCreated = 0;
        }
    }
    return CGraphics::WindowProc(this, window, message, wParam, lParam);
}

} // namespace Engine::Graphics
