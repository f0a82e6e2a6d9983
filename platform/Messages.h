#pragma once
// Window messages and the message queue. SDL events become the messages
// below, queued for the window they belong to, whenever the queue is read
// (PeekMessage, GetMessage) or input is polled. The numbering is this
// layer's own. Read the queue on the main thread; PostMessage may be called
// from any thread.

#include "platform/WinTypes.h"

constexpr UINT WM_NULL = 0;
constexpr UINT WM_CREATE = 1;
constexpr UINT WM_DESTROY = 2;
constexpr UINT WM_SIZE = 3;         // wParam SIZE_*, lParam client width | height << 16
constexpr UINT WM_ACTIVATE = 4;     // low word of wParam WA_*
constexpr UINT WM_PAINT = 5;        // comes while the window has an update region
constexpr UINT WM_CLOSE = 6;
constexpr UINT WM_QUIT = 7;         // wParam the exit code
constexpr UINT WM_SETCURSOR = 8;    // wParam the window, low word of lParam the hit-test code
constexpr UINT WM_KEYDOWN = 9;      // wParam virtual key, lParam see KEYDATA_* below
constexpr UINT WM_KEYUP = 10;
constexpr UINT WM_CHAR = 11;        // wParam one UTF-16 code unit
constexpr UINT WM_SYSKEYDOWN = 12;  // key messages while Alt is held (and Alt itself)
constexpr UINT WM_SYSKEYUP = 13;
constexpr UINT WM_SYSCHAR = 14;
constexpr UINT WM_SYSCOMMAND = 15;  // wParam SC_*
constexpr UINT WM_MOUSEMOVE = 16;   // wParam MK_* flags, lParam client x | y << 16 (signed)
constexpr UINT WM_LBUTTONDOWN = 17;
constexpr UINT WM_LBUTTONUP = 18;
constexpr UINT WM_RBUTTONDOWN = 19;
constexpr UINT WM_RBUTTONUP = 20;
constexpr UINT WM_MBUTTONDOWN = 21;
constexpr UINT WM_MBUTTONUP = 22;
constexpr UINT WM_MOUSEWHEEL = 23;  // signed high word of wParam: WHEEL_DELTA per notch
constexpr UINT WM_MOUSELEAVE = 24;  // after TrackMouseEvent(TME_LEAVE) only
constexpr UINT WM_ENTERMENULOOP = 25;
constexpr UINT WM_EXITMENULOOP = 26;
constexpr UINT WM_ENTERSIZEMOVE = 27;
constexpr UINT WM_EXITSIZEMOVE = 28;
constexpr UINT WM_POWERBROADCAST = 29;  // wParam PBT_*

// Bits of the long parameter of key messages.
constexpr LPARAM KEYDATA_REPEAT_MASK = 0xFFFF;         // repeat count
constexpr int KEYDATA_SCANCODE_SHIFT = 16;             // bits 16-23: scan code
constexpr LPARAM KEYDATA_EXTENDED = LPARAM(1) << 24;   // extended (E0-prefixed) key
constexpr LPARAM KEYDATA_ALTDOWN = LPARAM(1) << 29;    // Alt held
constexpr LPARAM KEYDATA_PREVDOWN = LPARAM(1) << 30;   // the key was down before
constexpr LPARAM KEYDATA_UP = LPARAM(1) << 31;         // the key is being released

constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;

constexpr WORD HTCLIENT = 1;

constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

constexpr int WHEEL_DELTA = 120;
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM wParam) { return int16_t(HIWORD(wParam)); }

constexpr WPARAM SC_SIZE = 1;
constexpr WPARAM SC_MOVE = 2;
constexpr WPARAM SC_MINIMIZE = 3;
constexpr WPARAM SC_MAXIMIZE = 4;
constexpr WPARAM SC_CLOSE = 5;
constexpr WPARAM SC_KEYMENU = 6;
constexpr WPARAM SC_MONITORPOWER = 7;

constexpr WPARAM PBT_APMQUERYSUSPEND = 0;
constexpr WPARAM PBT_APMRESUMESUSPEND = 7;

struct MSG {
    HWND hwnd = nullptr;
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;  // timeGetTime when queued
    POINT pt;        // pointer position on the screen when queued
};

// Queues a message for the window (or for the thread when null). FALSE when
// the window does not exist.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the window's procedure at once; 0 when the window does not exist.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// WM_QUIT is returned once the queued messages ahead of it are gone.
void PostQuitMessage(int exitCode);

constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;
// Takes the next message for the window (null: any) within the message
// range (0, 0: all) without waiting. Queued messages come first, then
// WM_QUIT, then WM_PAINT for a window that needs painting (WM_PAINT stays
// until the window is validated).
BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// As PeekMessage with removal, but waits for a message. Returns 0 for
// WM_QUIT, -1 when there is nothing to wait for (see Testing::SetIdleHandler).
BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
// Queues the character message for a key message: WM_CHAR (WM_SYSCHAR with
// Alt) for Enter, Backspace, Tab and Escape, and Ctrl+letter as 1..26.
// Printable characters arrive as WM_CHAR from text input on their own.
BOOL TranslateMessage(const MSG* msg);
// Calls the procedure of the message's window; 0 for thread messages.
LRESULT DispatchMessage(const MSG* msg);
