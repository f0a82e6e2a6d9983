#include "platform/Window.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Cursor.h"
#include "platform/Detail.h"
#include "platform/Messages.h"
#include "platform/Resources.h"
#include "platform/SdlBridge.h"
#include "platform/Testing.h"
#include "platform/XWithdraw.h"

namespace {

struct CWindowClass {
    WNDCLASS wc;
    std::string name;
};

struct CWindow {
    HWND handle = nullptr;
    CWindowClass cls;
    SDL_Window* sdl = nullptr;
    DWORD style = 0, exStyle = 0;
    std::vector<BYTE> extra;
    RECT rect;  // outer rectangle on the screen (equal to the client area here)
    size_t reportedWidth = 0, reportedHeight = 0;
    bool visible = false, minimized = false, destroying = false;
    bool invalid = false;
    RECT update;
    bool trackLeave = false;
    HICON icon = nullptr;  // shown by the window manager
};

// Windows are used on the main thread; the lock only guards the tables, so
// that PostMessage from another thread can ask whether a window exists.
struct CWindowTable {
    std::mutex mutex;
    std::map<std::string, CWindowClass> classes;
    std::map<uintptr_t, std::unique_ptr<CWindow>> windows;  // ordered by creation
    uintptr_t nextHandle = 0x10000;
    HWND active = nullptr;
    POINT cursor;
};

CWindowTable& Table() {
    static CWindowTable table;
    return table;
}

CWindow* Find(HWND window) {
    CWindowTable& t = Table();
    std::lock_guard lock(t.mutex);
    auto it = t.windows.find(reinterpret_cast<uintptr_t>(window));
    return it == t.windows.end() ? nullptr : it->second.get();
}

RECT ClientRectOf(const CWindow& w) {
    if (w.minimized) return RECT{};
    return RECT{0, 0, w.rect.right - w.rect.left, w.rect.bottom - w.rect.top};
}

void SendSizeIfChanged(CWindow& w) {
    const RECT client = ClientRectOf(w);
    const auto width = size_t(client.right), height = size_t(client.bottom);
    if (w.minimized || (width == w.reportedWidth && height == w.reportedHeight)) return;
    w.reportedWidth = width;
    w.reportedHeight = height;
    SendMessage(w.handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(int(width), int(height)));
}

void ApplyBorder(CWindow& w) {
    SDL_SetWindowBordered(w.sdl, (w.style & WS_CAPTION) ? SDL_TRUE : SDL_FALSE);
}

// A visible pop-up window that covers the display while a full-screen mode
// is in force is shown full screen in that mode.
void SyncFullscreen(CWindow& w) {
    const Platform::Detail::CCurrentMode mode = Platform::Detail::GetCurrentMode();
    const bool covers = w.rect.left <= 0 && w.rect.top <= 0 && w.rect.right >= mode.width &&
                        w.rect.bottom >= mode.height;
    const bool wanted = w.visible && (w.style & WS_POPUP) && mode.fullscreen && covers;
    const Uint32 current = SDL_GetWindowFlags(w.sdl) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (!wanted) {
        if (current) SDL_SetWindowFullscreen(w.sdl, 0);
        return;
    }
    if (mode.isDesktop) {
        SDL_SetWindowFullscreen(w.sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    SDL_DisplayMode sdlMode{};
    sdlMode.w = mode.width;
    sdlMode.h = mode.height;
    SDL_SetWindowDisplayMode(w.sdl, &sdlMode);
    SDL_SetWindowFullscreen(w.sdl, SDL_WINDOW_FULLSCREEN);
}

void SetActivation(HWND window, HWND other, bool active, bool queue) {
    CWindow* w = Find(window);
    if (!w) return;
    const WPARAM wParam = MAKEWPARAM(active ? WA_ACTIVE : WA_INACTIVE, w->minimized ? 1 : 0);
    if (queue)
        Platform::Detail::QueueMessage(window, WM_ACTIVATE, wParam, LPARAM(other));
    else
        SendMessage(window, WM_ACTIVATE, wParam, LPARAM(other));
    if (!active) Platform::Detail::OnDirectInputWindowDeactivated(window);
}

void ChangeActivation(HWND window, bool activate, bool queue) {
    CWindowTable& t = Table();
    HWND previous;
    {
        std::lock_guard lock(t.mutex);
        previous = t.active;
        if (activate ? previous == window : previous != window) return;
        t.active = activate ? window : nullptr;
    }
    if (previous) SetActivation(previous, activate ? window : nullptr, false, queue);
    if (activate) SetActivation(window, previous, true, queue);
}

// Gives the window the largest picture of its class icon.
void ApplyClassIcon(CWindow& w) {
    const std::vector<Platform::CIconImage>* images = Platform::GetIconImages(w.cls.wc.hIcon);
    if (!images) return;
    const Platform::CIconImage& image = images->front();
    const Platform::CSdlSurface surface = Platform::WrapArgbPixels(image.pixels.data(), image.width, image.height);
    if (!surface) return;
    SDL_SetWindowIcon(w.sdl, surface.get());
    w.icon = w.cls.wc.hIcon;
}

bool ValidIndex(const CWindow& w, int index) {
    return index >= 0 && size_t(index) + sizeof(LONG_PTR) <= w.extra.size();
}

} // namespace

namespace Platform {

SDL_Window* GetSdlWindow(HWND window) {
    CWindow* w = Find(window);
    return w ? w->sdl : nullptr;
}

HWND FindWindowBySdlId(Uint32 windowId) {
    CWindowTable& t = Table();
    std::lock_guard lock(t.mutex);
    for (auto& [id, w] : t.windows)
        if (SDL_GetWindowID(w->sdl) == windowId) return w->handle;
    return nullptr;
}

} // namespace Platform

namespace Platform::Detail {

WNDPROC GetWindowProc(HWND window) {
    CWindow* w = Find(window);
    return w ? w->cls.wc.lpfnWndProc : nullptr;
}

bool IsOpenGlWindow(HWND window) {
    CWindow* w = Find(window);
    return w && (w->cls.wc.style & CS_OWNDC);
}

HWND FindWindowToPaint(HWND filter) {
    CWindowTable& t = Table();
    std::lock_guard lock(t.mutex);
    for (auto& [id, w] : t.windows) {
        if (filter && w->handle != filter) continue;
        if (w->visible && w->invalid && !w->minimized) return w->handle;
    }
    return nullptr;
}

void SetCursorScreenPos(POINT point) {
    CWindowTable& t = Table();
    std::lock_guard lock(t.mutex);
    t.cursor = point;
}

void ActivateWindow(HWND window) { ChangeActivation(window, true, true); }
void DeactivateWindow(HWND window) { ChangeActivation(window, false, true); }

void SyncFullscreenWindows() {
    std::vector<HWND> handles;
    {
        CWindowTable& t = Table();
        std::lock_guard lock(t.mutex);
        for (auto& [id, w] : t.windows) handles.push_back(w->handle);
    }
    for (HWND handle : handles)
        if (CWindow* w = Find(handle)) SyncFullscreen(*w);
}

bool TakeMouseLeaveRequest(HWND window) {
    CWindow* w = Find(window);
    if (!w || !w->trackLeave) return false;
    w->trackLeave = false;
    return true;
}

void SetMinimized(HWND window, bool minimized) {
    CWindow* w = Find(window);
    if (!w || w->minimized == minimized) return;
    w->minimized = minimized;
    if (minimized) {
        QueueMessage(window, WM_SIZE, SIZE_MINIMIZED, 0);
        return;
    }
    const RECT client = ClientRectOf(*w);
    w->reportedWidth = size_t(client.right);
    w->reportedHeight = size_t(client.bottom);
    QueueMessage(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    InvalidateRect(window, nullptr, FALSE);
}

void MoveWindowRect(HWND window, const RECT& rect) {
    CWindow* w = Find(window);
    if (!w) return;
    const bool resized = rect.right - rect.left != w->rect.right - w->rect.left ||
                         rect.bottom - rect.top != w->rect.bottom - w->rect.top;
    w->rect = rect;
    if (!resized || w->minimized) return;
    w->reportedWidth = size_t(rect.right - rect.left);
    w->reportedHeight = size_t(rect.bottom - rect.top);
    QueueMessage(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(int(w->reportedWidth), int(w->reportedHeight)));
    InvalidateRect(window, nullptr, FALSE);
}

RECT GetWindowScreenRect(HWND window) {
    CWindow* w = Find(window);
    return w ? w->rect : RECT{};
}

void ResetWindows() {
    CWindowTable& t = Table();
    std::map<uintptr_t, std::unique_ptr<CWindow>> windows;
    {
        std::lock_guard lock(t.mutex);
        windows.swap(t.windows);
        t.classes.clear();
        t.active = nullptr;
        t.cursor = POINT{};
    }
    for (auto& [id, w] : windows) SDL_DestroyWindow(w->sdl);
}

} // namespace Platform::Detail

ATOM RegisterClass(const WNDCLASS* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
    CWindowTable& t = Table();
    std::lock_guard lock(t.mutex);
    const std::string key = Platform::Detail::LowerCase(windowClass->lpszClassName);
    if (t.classes.count(key)) return 0;
    CWindowClass& cls = t.classes[key];
    cls.wc = *windowClass;
    cls.name = windowClass->lpszClassName;
    cls.wc.lpszClassName = cls.name.c_str();
    cls.wc.lpszMenuName = nullptr;
    return ATOM(t.classes.size());
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, void* menu, HINSTANCE instance, void* param) {
    using Platform::Testing::Failure;
    if (!className || Platform::Testing::ConsumeFailure(Failure::WindowCreation)) return nullptr;
    auto window = std::make_unique<CWindow>();
    {
        CWindowTable& t = Table();
        std::lock_guard lock(t.mutex);
        auto it = t.classes.find(Platform::Detail::LowerCase(className));
        if (it == t.classes.end()) return nullptr;
        window->cls = it->second;
        window->cls.wc.lpszClassName = window->cls.name.c_str();
    }
    if (!Platform::EnsureSdlVideo()) return nullptr;
    if (x == CW_USEDEFAULT) x = y = 0;
    width = std::max(width, 1);
    height = std::max(height, 1);
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (!(style & WS_CAPTION)) flags |= SDL_WINDOW_BORDERLESS;
    if (window->cls.wc.style & CS_OWNDC) {
        flags |= SDL_WINDOW_OPENGL;
        Platform::Detail::PrepareGlWindow();
    }
    window->sdl = SDL_CreateWindow(title ? title : "", x, y, width, height, flags);
    if (!window->sdl) return nullptr;
    ApplyClassIcon(*window);
    window->style = style & ~WS_VISIBLE;
    window->exStyle = exStyle;
    window->extra.assign(size_t(std::max(window->cls.wc.cbWndExtra, 0)), 0);
    window->rect = RECT{x, y, x + width, y + height};
    window->reportedWidth = size_t(width);
    window->reportedHeight = size_t(height);

    HWND handle;
    {
        CWindowTable& t = Table();
        std::lock_guard lock(t.mutex);
        handle = reinterpret_cast<HWND>(t.nextHandle);
        t.nextHandle += 2;
        window->handle = handle;
        t.windows.emplace(reinterpret_cast<uintptr_t>(handle), std::move(window));
    }
    CREATESTRUCT create;
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hwndParent = parent;
    create.cx = width;
    create.cy = height;
    create.x = x;
    create.y = y;
    create.style = LONG(style);
    create.lpszName = title;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    (void)menu;
    if (SendMessage(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (style & WS_VISIBLE) ShowWindow(handle, SW_SHOW);
    return handle;
}

BOOL DestroyWindow(HWND window) {
    CWindow* w = Find(window);
    if (!w) return FALSE;
    if (w->destroying) return TRUE;
    w->destroying = true;
    ChangeActivation(window, false, false);
    SendMessage(window, WM_DESTROY, 0, 0);
    std::unique_ptr<CWindow> owned;
    {
        CWindowTable& t = Table();
        std::lock_guard lock(t.mutex);
        auto it = t.windows.find(reinterpret_cast<uintptr_t>(window));
        owned = std::move(it->second);
        t.windows.erase(it);
    }
    SDL_DestroyWindow(owned->sdl);
    Platform::Detail::DropMessagesFor(window);
    return TRUE;
}

BOOL IsWindow(HWND window) { return Find(window) ? TRUE : FALSE; }

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETCURSOR: {
        CWindow* w = Find(window);
        if (!w || LOWORD(uintptr_t(lParam)) != HTCLIENT || !w->cls.wc.hCursor) return FALSE;
        SetCursor(w->cls.wc.hCursor);
        return TRUE;
    }
    case WM_SYSCOMMAND:
        if (wParam == SC_CLOSE) SendMessage(window, WM_CLOSE, 0, 0);
        if (wParam == SC_MINIMIZE) ShowWindow(window, SW_MINIMIZE);
        return 0;
    default:
        return 0;
    }
}

UINT_PTR GetClassLongPtr(HWND window, int index) {
    CWindow* w = Find(window);
    if (!w) return 0;
    if (index == GCLP_HCURSOR) return reinterpret_cast<UINT_PTR>(w->cls.wc.hCursor);
    if (index == GCLP_HICON) return reinterpret_cast<UINT_PTR>(w->cls.wc.hIcon);
    return 0;
}

LONG_PTR GetWindowLongPtr(HWND window, int index) {
    CWindow* w = Find(window);
    if (!w) return 0;
    if (index == GWL_STYLE) return LONG_PTR(w->style | (w->visible ? WS_VISIBLE : 0));
    if (index == GWL_EXSTYLE) return LONG_PTR(w->exStyle);
    if (!ValidIndex(*w, index)) return 0;
    LONG_PTR value;
    std::memcpy(&value, w->extra.data() + index, sizeof value);
    return value;
}

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value) {
    CWindow* w = Find(window);
    if (!w) return 0;
    const LONG_PTR previous = GetWindowLongPtr(window, index);
    if (index == GWL_STYLE) {
        w->style = DWORD(value) & ~WS_VISIBLE;
        ApplyBorder(*w);
        SyncFullscreen(*w);
    } else if (index == GWL_EXSTYLE) {
        w->exStyle = DWORD(value);
    } else if (ValidIndex(*w, index)) {
        std::memcpy(w->extra.data() + index, &value, sizeof value);
    }
    return previous;
}

BOOL ShowWindow(HWND window, int command) {
    CWindow* w = Find(window);
    if (!w) return FALSE;
    const BOOL wasVisible = w->visible ? TRUE : FALSE;
    if (command == SW_HIDE) {
        if (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_FULLSCREEN) Platform::WithdrawFromXDisplay(w->sdl);
        SDL_HideWindow(w->sdl);
        w->visible = false;
        SyncFullscreen(*w);
        ChangeActivation(window, false, false);
        return wasVisible;
    }
    w->visible = true;
    SDL_ShowWindow(w->sdl);
    if (command == SW_SHOWMINIMIZED || command == SW_MINIMIZE) {
        SDL_MinimizeWindow(w->sdl);
        if (!w->minimized) {
            w->minimized = true;
            SendMessage(window, WM_SIZE, SIZE_MINIMIZED, 0);
        }
        return wasVisible;
    }
    if (w->minimized) {
        SDL_RestoreWindow(w->sdl);
        w->minimized = false;
        w->reportedWidth = w->reportedHeight = size_t(-1);
        SendSizeIfChanged(*w);
        // The procedure may have destroyed the window.
        if (!(w = Find(window))) return wasVisible;
    }
    SyncFullscreen(*w);
    InvalidateRect(window, nullptr, TRUE);
    ChangeActivation(window, true, false);
    return wasVisible;
}

BOOL IsWindowVisible(HWND window) {
    const CWindow* w = Find(window);
    return w && w->visible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    CWindow* w = Find(window);
    if (!w) return FALSE;
    if (w->visible && w->invalid && !w->minimized) SendMessage(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    CWindow* w = Find(window);
    if (!w) return FALSE;
    if (!(flags & SWP_NOMOVE)) {
        SDL_SetWindowPosition(w->sdl, x, y);
        const LONG dx = x - w->rect.left, dy = y - w->rect.top;
        w->rect = RECT{w->rect.left + dx, w->rect.top + dy, w->rect.right + dx, w->rect.bottom + dy};
    }
    if (!(flags & SWP_NOSIZE)) {
        width = std::max(width, 1);
        height = std::max(height, 1);
        SDL_SetWindowSize(w->sdl, width, height);
        w->rect.right = w->rect.left + width;
        w->rect.bottom = w->rect.top + height;
        SendSizeIfChanged(*w);
        if (!(w = Find(window))) return FALSE;  // destroyed by its procedure
        InvalidateRect(window, nullptr, TRUE);
    }
    if (!(flags & SWP_NOZORDER) && (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST))
        SDL_SetWindowAlwaysOnTop(w->sdl, insertAfter == HWND_TOPMOST ? SDL_TRUE : SDL_FALSE);
    if (flags & SWP_FRAMECHANGED) ApplyBorder(*w);
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(window, SW_SHOW);
    else if (flags & SWP_HIDEWINDOW)
        ShowWindow(window, SW_HIDE);
    else
        SyncFullscreen(*w);
    return TRUE;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD) { return rect ? TRUE : FALSE; }

BOOL GetClientRect(HWND window, RECT* rect) {
    CWindow* w = Find(window);
    if (!w || !rect) return FALSE;
    *rect = ClientRectOf(*w);
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    CWindow* w = Find(window);
    if (!w || !point) return FALSE;
    point->x += w->rect.left;
    point->y += w->rect.top;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    CWindow* w = Find(window);
    if (!w || !point) return FALSE;
    point->x -= w->rect.left;
    point->y -= w->rect.top;
    return TRUE;
}

BOOL GetCursorPos(POINT* point) {
    if (!point) return FALSE;
    CWindowTable& t = Table();
    std::lock_guard lock(t.mutex);
    *point = t.cursor;
    return TRUE;
}

HWND GetCapture() { return nullptr; }

HWND GetActiveWindow() {
    CWindowTable& t = Table();
    std::lock_guard lock(t.mutex);
    return t.active;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL) {
    CWindow* w = Find(window);
    if (!w) return FALSE;
    const RECT client = ClientRectOf(*w);
    RECT area = rect ? *rect : client;
    area.left = std::max(area.left, client.left);
    area.top = std::max(area.top, client.top);
    area.right = std::min(area.right, client.right);
    area.bottom = std::min(area.bottom, client.bottom);
    if (area.right <= area.left || area.bottom <= area.top) return TRUE;
    if (!w->invalid) {
        w->update = area;
    } else {
        w->update.left = std::min(w->update.left, area.left);
        w->update.top = std::min(w->update.top, area.top);
        w->update.right = std::max(w->update.right, area.right);
        w->update.bottom = std::max(w->update.bottom, area.bottom);
    }
    w->invalid = true;
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    CWindow* w = Find(window);
    if (!w) return FALSE;
    // One bounding rectangle cannot lose a part: only a rectangle that covers
    // all of it validates.
    if (!rect || (rect->left <= w->update.left && rect->top <= w->update.top &&
                  rect->right >= w->update.right && rect->bottom >= w->update.bottom))
        w->invalid = false;
    return TRUE;
}

// Window handles are never reused, so a window's device context can simply
// carry the handle's value.
HDC GetDC(HWND window) { return Find(window) ? reinterpret_cast<HDC>(window) : nullptr; }

int ReleaseDC(HWND window, HDC dc) { return window && GetDC(window) == dc ? 1 : 0; }

HWND WindowFromDC(HDC dc) {
    HWND window = reinterpret_cast<HWND>(dc);
    return Find(window) ? window : nullptr;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    CWindow* w = Find(window);
    if (!w || !paint) return nullptr;
    paint->hdc = nullptr;
    paint->fErase = FALSE;
    paint->rcPaint = w->invalid ? w->update : RECT{};
    w->invalid = false;
    return nullptr;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*) { return TRUE; }

BOOL TrackMouseEvent(TRACKMOUSEEVENT* request) {
    if (!request || !(request->dwFlags & TME_LEAVE)) return FALSE;
    CWindow* w = Find(request->hwndTrack);
    if (!w) return FALSE;
    w->trackLeave = !(request->dwFlags & TME_CANCEL);
    return TRUE;
}

void InitCommonControls() {}

HGDIOBJ GetStockObject(int object) {
    if (object < 0 || object > 19) return nullptr;
    return reinterpret_cast<HGDIOBJ>(uintptr_t(0x100 + object));
}

void Platform::Detail::CloseAllWindows() {
    std::vector<HWND> handles;
    {
        CWindowTable& t = Table();
        std::lock_guard lock(t.mutex);
        for (auto& [id, w] : t.windows) handles.push_back(w->handle);
    }
    for (HWND handle : handles) QueueMessage(handle, WM_CLOSE, 0, 0);
}

HICON Platform::Testing::GetWindowIcon(HWND window) {
    CWindow* w = Find(window);
    return w ? w->icon : nullptr;
}
