#include "graphics/Graphics.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "app/Application.h"
#include "app/ApplicationHandles.h"
#include "app/Exception.h"
#include "app/KeyTable.h"
#include "app/Log.h"
#include "graphics/LogColumns.h"
#include "graphics/SprFileManager.h"
#include "graphics/Texture.h"
#include "graphics/VideoModes.h"
#include "platform/Cursor.h"
#include "platform/Display.h"
#include "platform/Keyboard.h"
#include "platform/Messages.h"
#include "platform/Registry.h"
#include "platform/System.h"
#include "platform/Window.h"

namespace Engine::Graphics {

namespace {
CGraphics* g_pGraphics = nullptr;
CGraphics::ManagerFactory g_placeFileFactory = nullptr;
CGraphics::ManagerFactory g_mapFileFactory = nullptr;
// Shared by every driver object: whether the system cursor is visible.
bool g_bSystemCursorShown = true;
bool g_bDesktopModeLogged = false;

uint16_t LowWord(uintptr_t value) { return uint16_t(value & 0xFFFF); }

// Asks for (or cancels) one WM_MOUSELEAVE for the window.
void TrackMouseLeave(HWND window, bool track) {
    TRACKMOUSEEVENT request;
    request.dwFlags = track ? TME_LEAVE : (TME_LEAVE | TME_CANCEL);
    request.hwndTrack = window;
    TrackMouseEvent(&request);
}
int16_t HighWordSigned(uintptr_t value) { return int16_t((value >> 16) & 0xFFFF); }
int GetOSMajorVersion() {
    OSVERSIONINFO info;
    return GetVersionEx(&info) ? int(info.dwMajorVersion) : 0;
}
} // namespace

CGraphics* GetGraphics() { return g_pGraphics; }
void SetGraphics(CGraphics* graphics) { g_pGraphics = graphics; }

void CGraphics::SetResourceManagerFactories(ManagerFactory placeFiles, ManagerFactory mapFiles) {
    g_placeFileFactory = placeFiles;
    g_mapFileFactory = mapFiles;
}

CGraphics::CGraphics(Engine::CApplication** application) : m_ppApplication(application) {
    ResetGraphicsParams(m_params);
    m_pSprFileManager = new CSprFileManager(this);
    m_pTextureManager = new CTextureManager(this);
    if (g_placeFileFactory) m_pPlaceFileManager = g_placeFileFactory(this);
    if (g_mapFileFactory) m_pMapFileManager = g_mapFileFactory(this);
    m_hDefaultCursor = LoadCursorById(-1);
    m_nHandCursor = GetOSMajorVersion() <= 4 ? CURSOR_ARROW : CURSOR_HAND;
}

CGraphics::~CGraphics() {
    // Buffered quads hold textures: they go while the managers still exist.
    DestroySpriteContainers();
    m_pPlaceFileManager.Release();
    m_pMapFileManager.Release();
    m_pSprFileManager.Release();
    m_pTextureManager.Release();
    m_videoModes.clear();
    m_textureFormats.Clear();
    if (g_pGraphics == this) g_pGraphics = nullptr;
}

Engine::CApplication* CGraphics::GetApplication() const {
    return m_ppApplication ? *m_ppApplication : nullptr;
}

void CGraphics::StartQuadCountdown() {
    Engine::CApplication* app = GetApplication();
    m_quadCountdown.SetWatch(app ? &app->GetQuitWatch() : nullptr);
}

bool CGraphics::CountDrawnQuads(int64_t quads) { return m_quadCountdown.IsStopped() || m_quadCountdown.Count(quads); }

bool CGraphics::TakeQuadsWatched(int32_t count, const std::function<void(int32_t first, int32_t quads)>& take) {
    for (int32_t done = 0; done < count; done += kWatchedQuads) {
        const int32_t piece = std::min(kWatchedQuads, count - done);
        if (CountDrawnQuads(piece)) return false;
        take(done, piece);
    }
    return true;
}

bool CGraphics::DrawQuadsWatched(ref_ptr<CVertexBuffer> vertices, int32_t firstQuad, int32_t count) {
    // Quads are drawn independently and in order: the pieces draw what one
    // call would.
    return TakeQuadsWatched(count, [&](int32_t first, int32_t quads) {
        gDraw(PRIM_QUAD_LIST, vertices, firstQuad + first, quads, nullptr);
    });
}

ref_ptr<CSprFileManager> CGraphics::GetSprFileManager() const { return m_pSprFileManager; }
ref_ptr<CTextureManager> CGraphics::GetTextureManager() const { return m_pTextureManager; }

void CGraphics::SetViewMatrix(const float* matrix) { std::memcpy(m_viewMatrix, matrix, sizeof m_viewMatrix); }
void CGraphics::SetWorldMatrix(const float* matrix) { std::memcpy(m_worldMatrix, matrix, sizeof m_worldMatrix); }

void CGraphics::ReportVideoMemory(uint32_t total, uint32_t free) {
    if (!m_pVideoMemory) return;
    // A word still all ones takes the value; otherwise only a larger value
    // replaces it (a stored 0 stays 0).
    auto merge = [](uint32_t& stored, uint32_t value) {
        if (stored == 0xFFFFFFFFu || (stored != 0 && value > stored)) stored = value;
    };
    merge(m_pVideoMemory->total, total);
    merge(m_pVideoMemory->free, free);
}

bool CGraphics::ProcessMessages() {
    if (Engine::CApplication* app = GetApplication()) std::memset(app->m_frameInputFlags, 0, sizeof app->m_frameInputFlags);
    if (m_bQuit) return true;
    for (;;) {
        Engine::CApplication* app = GetApplication();
        // Mouse input already delivered keeps an inactive application from waiting.
        const bool noWait =
            app && (app->IsActive() || app->m_frameInputFlags[Engine::CApplication::FRAME_INPUT_MOUSE]);
        MSG message;
        const bool taken = noWait ? PeekMessage(&message, nullptr, 0, 0, PM_REMOVE) != 0
                                  : GetMessage(&message, nullptr, 0, 0) >= 0;
        if (!taken) return false;
        if (message.message == WM_QUIT) return true;
        TranslateMessage(&message);
        DispatchMessage(&message);
        if (m_bQuit) return true;
    }
}

int CGraphics::VirtualKeyToKeyCode(int virtualKey) {
    return Engine::Input::KeyCodeFromVirtualKey(unsigned(virtualKey));
}

void CGraphics::WindowToScreen(int32_t& x, int32_t& y) const { Graphics::WindowToScreen(m_params, x, y); }

void CGraphics::MouseMoveToScreen(LPARAM lParam, int32_t& x, int32_t& y) const {
    // Signed, so positions left of or above the window stay negative.
    x = int16_t(uintptr_t(lParam) & 0xFFFF);
    y = int16_t((uintptr_t(lParam) >> 16) & 0xFFFF);
    WindowToScreen(x, y);
}

LRESULT CGraphics::WindowProc(CGraphics* driver, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Engine::CApplication* app = driver ? driver->GetApplication() : nullptr;
    switch (message) {
    case WM_CREATE:
        InitCommonControls();
        if (driver) driver->m_bMouseHasLeft = 0;
        TrackMouseLeave(window, true);
        break;
    case WM_DESTROY:
        TrackMouseLeave(window, false);
        break;
    case WM_ACTIVATE:
        if (app) {
            const bool active = LowWord(wParam) != 0;
            if (active != app->IsActive()) {
                app->OnActivate(active);
                app->Pause(!active);
            }
        }
        break;
    case WM_PAINT:
        ValidateRect(window, nullptr);
        break;
    case WM_CLOSE:
        if (driver) driver->m_bQuit = 1;
        return 1;
    case WM_SETCURSOR:
        if (driver) driver->UpdateCursor(false);
        return 0;
    case WM_KEYDOWN:
        if (driver && app && !driver->m_pressedKeys.count(LowWord(wParam))) app->NotifyKeyDown(VirtualKeyToKeyCode(LowWord(wParam)));
        break;
    case WM_KEYUP:
        if (driver) {
            const int key = LowWord(wParam);
            if (app && !driver->m_pressedKeys.count(key)) app->NotifyKeyUp(VirtualKeyToKeyCode(key));
            driver->m_pressedKeys.erase(key);
        }
        break;
    case WM_CHAR:
        if (app) app->NotifyChar(char16_t(LowWord(wParam)));
        break;
    case WM_SYSCHAR:
        if (LowWord(wParam) == 13 && (uintptr_t(lParam) & (1u << 29))) {
            if (app) app->OnAltEnter();
            if (driver) {
                driver->m_pressedKeys.insert(VK_RETURN);
                driver->m_pressedKeys.insert(VK_MENU);
            }
            return 0;
        }
        break;
    case WM_SYSCOMMAND: {
        const WPARAM command = wParam;
        if ((command == SC_SIZE || command == SC_MOVE || command == SC_MAXIMIZE || command == SC_KEYMENU ||
             command == SC_MONITORPOWER) &&
            driver && driver->m_params.fullScreen)
            return 1;
        break;
    }
    case WM_MOUSEMOVE:
        if (driver) driver->OnMouseMoveMessage(window, lParam);
        break;
    case WM_LBUTTONDOWN: if (app) app->NotifyMouseButtonDown(0); break;
    case WM_RBUTTONDOWN: if (app) app->NotifyMouseButtonDown(1); break;
    case WM_MBUTTONDOWN: if (app) app->NotifyMouseButtonDown(2); break;
    case WM_LBUTTONUP: if (app) app->NotifyMouseButtonUp(0); break;
    case WM_RBUTTONUP: if (app) app->NotifyMouseButtonUp(1); break;
    case WM_MBUTTONUP: if (app) app->NotifyMouseButtonUp(2); break;
    case WM_MOUSEWHEEL:
        if (app) app->NotifyMouseWheel(HighWordSigned(uintptr_t(wParam)));
        break;
    case WM_ENTERMENULOOP: if (app) app->Pause(true); break;
    case WM_EXITMENULOOP: if (app) app->Pause(false); break;
    case WM_ENTERSIZEMOVE:
        if (app) app->Pause(true);
        InvalidateRect(window, nullptr, false);
        break;
    case WM_EXITSIZEMOVE: if (app) app->Pause(false); break;
    case WM_POWERBROADCAST:
        if (wParam == 0 || wParam == 7) return 1;
        break;
    case WM_MOUSELEAVE:
        if (driver) driver->m_bMouseHasLeft = 1;
        if (app) app->OnMouseLeave();
        break;
    default:
        break;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

void CGraphics::OnMouseMoveMessage(HWND window, LPARAM lParam) {
    Engine::CApplication* app = GetApplication();
    if (!GetCapture() && m_bMouseHasLeft) {
        m_bMouseHasLeft = 0;
        TrackMouseLeave(window, true);
        if (app) app->OnMouseEnter();
    }
    if (app) {
        int32_t x = 0, y = 0;
        MouseMoveToScreen(lParam, x, y);
        app->NotifyMouseMove(x, y);
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    SetCursorPosition(cursor.x, cursor.y);
}

namespace {

// A registry value as its 32-byte buffer takes it; longer text is not read.
std::optional<std::string> ReadDisplaySetting(const char* valueName) {
    std::optional<std::string> value = Platform::RegQueryConfigValue("Display\\Settings", valueName);
    if (value && value->size() >= 32) return std::nullopt;
    return value;
}

// Old systems (major version 4 or lower) keep the desktop mode in the
// display settings of the hardware configuration; both values must parse.
CVideoMode ReadDesktopMode() {
    OSVERSIONINFO version;
    CVideoMode desktop;
    if (GetVersionEx(&version) && version.dwMajorVersion <= 4) {
        const std::optional<std::string> resolution = ReadDisplaySetting("Resolution");
        const std::optional<std::string> bits = ReadDisplaySetting("BitsPerPixel");
        int32_t width = 0, height = 0, bpp = 0;
        if (resolution && bits && std::sscanf(resolution->c_str(), "%d,%d", &width, &height) == 2 &&
            std::sscanf(bits->c_str(), "%d", &bpp) == 1)
            desktop = CVideoMode{width, height, 0, bpp};
        return desktop;
    }
    DEVMODE current{};
    if (EnumDisplaySettings(nullptr, ENUM_CURRENT_SETTINGS, &current))
        desktop = CVideoMode{int32_t(current.dmPelsWidth), int32_t(current.dmPelsHeight),
                             int32_t(current.dmDisplayFrequency), int32_t(current.dmBitsPerPel)};
    return desktop;
}

} // namespace

void CGraphics::EnumVideoModes() {
    if (!m_videoModes.empty()) return;
    CLogSection section("CGraphics::EnumVideoModes()");
    m_desktopMode = ReadDesktopMode();
    DEVMODE mode{};
    for (DWORD index = 0; EnumDisplaySettings(nullptr, index, &mode); ++index) {
        if (mode.dmBitsPerPel < 16) continue;
        m_videoModes.push_back(CVideoMode{int32_t(mode.dmPelsWidth), int32_t(mode.dmPelsHeight),
                                          int32_t(mode.dmDisplayFrequency), int32_t(mode.dmBitsPerPel)});
    }
    if (g_bDesktopModeLogged) return;
    g_bDesktopModeLogged = true;
    GetLog().PrintLine("Desktop Video Mode : %dx%dx%d %d Hz", m_desktopMode.width, m_desktopMode.height,
                       m_desktopMode.bpp, m_desktopMode.refresh);
    CLogSection list("Available Video Modes");
    std::vector<std::string> cells;
    for (const CVideoMode& m : m_videoModes) {
        cells.push_back(FormatString("%4dx%4dx%d %3d Hz", m.width, m.height, m.bpp, m.refresh).str());
    }
    LogColumns(cells, ", ");
}

void CGraphics::AdjustVideoMode(CGraphicsParams& params) {
    Engine::CApplication* app = GetApplication();
    Graphics::AdjustVideoMode(m_videoModes, m_desktopMode, params, IsDirect3D(), [app](CGraphicsParams& p) {
        if (app) app->OnAdjustGraphicsParams(&p);
    });
}

void CGraphics::ComputeWindowRect(const CGraphicsParams& params, DWORD& style, DWORD& exStyle, RECT& rect) {
    const bool coversDesktop =
        params.screenWidth >= m_desktopMode.width && params.screenHeight >= m_desktopMode.height;
    if (params.fullScreen) {
        style = WS_POPUP;
        exStyle = 0;
    } else {
        style = coversDesktop ? (WS_POPUP | WS_VISIBLE) : (WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
        exStyle = WS_EX_APPWINDOW;
    }
    rect = RECT{params.x, params.y, params.x + params.screenWidth, params.y + params.screenHeight};
    AdjustWindowRectEx(&rect, style, false, exStyle);
    if (params.keepPosition || params.fullScreen) return;
    // Place the client area at the origin, then centre on the desktop.
    rect.left -= params.x; rect.right -= params.x;
    rect.top -= params.y; rect.bottom -= params.y;
    if (params.center) {
        const int32_t halfX = (m_desktopMode.width - params.screenWidth) / 2;
        const int32_t halfY = (m_desktopMode.height - params.screenHeight) / 2;
        if (halfX > 0) { rect.left += halfX; rect.right += halfX; }
        if (halfY > 0) { rect.top += halfY; rect.bottom += halfY; }
    }
}

HWND CGraphics::CreateDriverWindow(const char* className, const char* title) {
    DWORD style = 0, exStyle = 0;
    RECT rect{};
    ComputeWindowRect(m_params, style, exStyle, rect);
    return CreateWindowEx(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                          rect.bottom - rect.top, nullptr, nullptr, Engine::GetApplicationHandles().instance, this);
}

void CGraphics::ApplyWindowMode(const CGraphicsParams& params, HWND window) {
    DWORD style = 0, exStyle = 0;
    RECT rect{};
    ComputeWindowRect(params, style, exStyle, rect);
    exStyle = WS_EX_APPWINDOW;
    SetWindowLongPtr(window, GWL_STYLE, LONG_PTR(style));
    SetWindowLongPtr(window, GWL_EXSTYLE, LONG_PTR(exStyle));
    SetWindowPos(window, HWND_NOTOPMOST, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_SHOWWINDOW);
}

HCURSOR CGraphics::LoadCursorById(int cursorId) const {
    static const struct { int id; IDC_CURSOR cursor; } kCursors[] = {
        {CURSOR_IBEAM, IDC_IBEAM},       {CURSOR_WAIT, IDC_WAIT},         {CURSOR_CROSS, IDC_CROSS},
        {CURSOR_UPARROW, IDC_UPARROW},   {CURSOR_SIZENWSE, IDC_SIZENWSE}, {CURSOR_SIZENESW, IDC_SIZENESW},
        {CURSOR_SIZEWE, IDC_SIZEWE},     {CURSOR_SIZENS, IDC_SIZENS},     {CURSOR_SIZEALL, IDC_SIZEALL},
        {CURSOR_NO, IDC_NO},             {CURSOR_APPSTARTING, IDC_APPSTARTING}, {CURSOR_HELP, IDC_HELP},
    };
    if (cursorId == CURSOR_HAND) return LoadCursor(nullptr, m_nHandCursor == CURSOR_HAND ? IDC_HAND : IDC_ARROW);
    for (const auto& entry : kCursors) {
        if (entry.id == cursorId) return LoadCursor(nullptr, entry.cursor);
    }
    return LoadCursor(nullptr, IDC_ARROW);
}

void CGraphics::SetCursor(int cursorId) {
    m_nCursor = cursorId;
    UpdateCursor(false);
}

void CGraphics::UpdateCursor(bool force) {
    Engine::CApplication* app = GetApplication();
    if (!app || !app->m_hWnd) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(app->m_hWnd, &cursor);
    RECT client{};
    GetClientRect(app->m_hWnd, &client);
    const bool inside = cursor.x >= client.left && cursor.x < client.right && cursor.y >= client.top &&
                        cursor.y < client.bottom;
    bool show = app->m_nSystemCursor != 0 || !inside;
    const int id = inside ? m_nCursor : CURSOR_ARROW;
    if (inside && id == CURSOR_NONE) show = false;
    if (id != m_nLastShownCursor || show != g_bSystemCursorShown || force) {
        ShowCursor(show, g_bSystemCursorShown, id);
        m_nLastShownCursor = id;
        g_bSystemCursorShown = show;
    }
}

void CGraphics::ShowCursor(bool show, bool shownBefore, int cursorId) {
    ::SetCursor(LoadCursorById(cursorId));
    if (show != shownBefore) ::ShowCursor(show);
}

void CGraphics::OnReloadProgress(void* context, int current) {
    auto* self = static_cast<CGraphics*>(context);
    if (Engine::CApplication* app = self->GetApplication()) app->OnLoadingProgress(self->m_nReloadTotal, current);
}

void CGraphics::ReloadResources() {
    if (m_pSprFileManager) {
        m_pSprFileManager->ReloadBitmaps(1, nullptr, nullptr);
        if (m_bReloadProgress) {
            m_nReloadTotal = m_pSprFileManager->CountBitmaps(0);
            m_pSprFileManager->ReloadBitmaps(0, &CGraphics::OnReloadProgress, this);
        } else {
            m_pSprFileManager->ReloadBitmaps(0, nullptr, nullptr);
        }
    }
}

void CGraphics::RegisterDriverWindowClass(const char* name, LRESULT (*procedure)(HWND, UINT, WPARAM, LPARAM),
                                          bool glFramebuffer) {
    WNDCLASS wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | (glFramebuffer ? CS_OWNDC : 0);
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = sizeof(LONG_PTR);
    const Engine::CApplicationHandles& handles = Engine::GetApplicationHandles();
    wc.hInstance = handles.instance;
    wc.hIcon = handles.icon;
    wc.hCursor = handles.cursor;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = name;
    RegisterClass(&wc);
}

void* CGraphics::StoredDriverOfWindow(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCT*>(lParam);
        SetWindowLongPtr(window, 0, LONG_PTR(create->lpCreateParams));
    }
    return reinterpret_cast<void*>(GetWindowLongPtr(window, 0));
}

void CGraphics::ExerciseDeviceObjects(const CDeviceObjectTest& test) {
    ref_ptr<CVertexBuffer> vertices;
    CreateVertexBuffer(vertices, 1024, int(sizeof(SpriteVertex)), VF_SPRITE, true);
    ref_ptr<CIndexBuffer> indices;
    if (test.indexBuffer) CreateIndexBuffer(indices, INDEX_16, 1024, false);
    ref_ptr<CBitmap> bitmap(new CBitmap);
    bitmap->Create(256, 256);
    ref_ptr<CHardwareTexture> texture;
    CreateHardwareTexture(texture, bitmap, false, false, -1);
    bool locked = vertices->Lock() != nullptr;
    vertices->Unlock();
    if (indices) {
        locked = indices->Lock() != nullptr && locked;
        indices->Unlock();
    }
    if (!locked && test.lockFailureFails) throw CException("CGraphics::ExerciseDeviceObjects() : Lock() : FAILED");
}

bool CGraphics::TestDeviceObjects(const char* sectionName, const char* testName, const CDeviceObjectTest& test) {
    CLogSection section(sectionName);
    bool ok = true;
    try {
        ExerciseDeviceObjects(test);
    } catch (const CException&) {
        ok = false;
    }
    GetLog().PrintLine("%s() : %s", testName, OkOrFailed(ok));
    return ok;
}

void CGraphics::RestoreAfterReset(const std::function<void()>& setDefaultStates) {
    m_deviceObjects.RestoreAll(true);
    if (setDefaultStates) setDefaultStates();
    ReloadResources();
    m_deviceObjects.RestoreAll(false);
    // Told last, so that everything the application touches is restored.
    if (Engine::CApplication* app = GetApplication()) app->OnGraphicsRestored();
}

} // namespace Engine::Graphics
