#pragma once
// Window classes and windows. Each window is one SDL window; its client area
// is the SDL window's drawable area (frames belong to the window manager, so
// AdjustWindowRectEx leaves a rectangle unchanged). Windows live on the main
// thread: create, show, move and destroy them there.

#include "platform/WinTypes.h"

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Class styles. CS_OWNDC marks windows that get an OpenGL context.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_OWNDC = 0x0020;

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;  // bytes of per-window storage read by GetWindowLongPtr
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;  // the cursor DefWindowProc sets over the client area
    HBRUSH hbrBackground = nullptr;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
};

// Returns 0 when the name is missing or already registered. A window of the
// class shows the class icon (an icon of platform/Resources.h) as its own.
ATOM RegisterClass(const WNDCLASS* windowClass);

// The class handles of a window's class; 0 for another index or no window.
constexpr int GCLP_HCURSOR = -12;
constexpr int GCLP_HICON = -14;
UINT_PTR GetClassLongPtr(HWND window, int index);

// Window styles. A window without WS_CAPTION has no border; a WS_POPUP
// window that covers the display while a full-screen mode is set
// (ChangeDisplaySettings) is shown full screen.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

constexpr int CW_USEDEFAULT = int(0x80000000);

struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    HINSTANCE hInstance = nullptr;
    HWND hwndParent = nullptr;
    int cy = 0, cx = 0, y = 0, x = 0;
    LONG style = 0;
    const char* lpszName = nullptr;
    const char* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

// Creates the window and sends WM_CREATE (lParam = CREATESTRUCT*) before
// returning; a procedure that answers -1 makes the creation fail. Null when
// the class is unknown, SDL cannot make the window, or the procedure refused.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, void* menu, HINSTANCE instance, void* param);
// Sends WM_DESTROY, then destroys the window; its queued messages are dropped.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);

// The default handling: WM_CLOSE destroys the window, WM_PAINT validates it,
// WM_SETCURSOR over the client area sets the class cursor, WM_SYSCOMMAND
// SC_CLOSE sends WM_CLOSE. Everything else answers 0.
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Window data: a non-negative index is a byte offset into the class's
// per-window storage; GWL_STYLE and GWL_EXSTYLE reach the styles. Set
// returns the previous value; a bad index gives 0 and changes nothing.
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
LONG_PTR GetWindowLongPtr(HWND window, int index);
LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value);

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;
// Showing a hidden window activates it (WM_ACTIVATE to it and to the window
// that loses activation) and marks it for painting; hiding the active
// window deactivates it (WM_ACTIVATE, WA_INACTIVE, sent once it is hidden).
// Returns whether the window was visible before.
BOOL ShowWindow(HWND window, int command);
// Whether the window is shown (a minimised window is).
BOOL IsWindowVisible(HWND window);
// Sends WM_PAINT at once when the window needs painting.
BOOL UpdateWindow(HWND window);

constexpr HWND HWND_TOP = nullptr;
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(intptr_t(-1));
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(intptr_t(-2));
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
// Moves and sizes the window (WM_SIZE is sent when the client size changes).
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);

// A minimised window has an empty client rectangle.
BOOL GetClientRect(HWND window, RECT* rect);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
// The pointer's last known position on the screen.
BOOL GetCursorPos(POINT* point);
// Nothing captures the pointer in this layer: always null.
HWND GetCapture();
HWND GetActiveWindow();
HWND GetForegroundWindow();

// The update region is kept as one bounding rectangle. A null rectangle
// means the whole client area.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);

// A window's device context: one per window, valid while the window lives
// (every window behaves as if its class had CS_OWNDC). Null for a window
// that does not exist.
HDC GetDC(HWND window);
// Returns 1 when the context belongs to the window; the context stays valid.
int ReleaseDC(HWND window, HDC dc);
// The window of a device context, or null once the window is gone.
HWND WindowFromDC(HDC dc);

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint;
};
// Fills rcPaint with the update rectangle and validates the window.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// Asks for one WM_MOUSELEAVE when the pointer next leaves the window.
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_CANCEL = 0x80000000;
struct TRACKMOUSEEVENT {
    DWORD cbSize = sizeof(TRACKMOUSEEVENT);
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = 0;
};
BOOL TrackMouseEvent(TRACKMOUSEEVENT* request);

// The common controls need no set-up here.
void InitCommonControls();

constexpr int NULL_BRUSH = 5;
constexpr int BLACK_BRUSH = 4;
// A token for a stock object; nothing draws with it.
HGDIOBJ GetStockObject(int object);

namespace Platform::Testing {

// The icon the window shows (given to SDL when it was made); null for none.
HICON GetWindowIcon(HWND window);

} // namespace Platform::Testing
