// SDL events into window messages, key state and DirectInput state.

#include <algorithm>
#include <array>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Detail.h"
#include "platform/Keyboard.h"
#include "platform/Messages.h"
#include "platform/PendingInput.h"
#include "platform/SdlBridge.h"
#include "platform/Unicode.h"
#include "platform/Window.h"

namespace {

using namespace Platform::Detail;

struct CVideo {
    std::mutex mutex;
    bool tried = false;
    bool ok = false;
    std::thread::id thread;  // SDL's events belong to the thread that started video
};

CVideo& Video() {
    static CVideo video;
    return video;
}

// Pointer buttons held, as MK_* flags.
WPARAM g_buttons = 0;

HWND TargetWindow(Uint32 windowId) {
    HWND window = Platform::FindWindowBySdlId(windowId);
    return window ? window : GetActiveWindow();
}

WPARAM MouseKeyFlags() {
    WPARAM flags = g_buttons;
    if (IsPhysicalKeyDown(VK_SHIFT)) flags |= MK_SHIFT;
    if (IsPhysicalKeyDown(VK_CONTROL)) flags |= MK_CONTROL;
    return flags;
}

void TrackPointer(HWND window, int x, int y) {
    const RECT rect = GetWindowScreenRect(window);
    SetCursorScreenPos(POINT{rect.left + x, rect.top + y});
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    HWND window = Platform::FindWindowBySdlId(event.windowID);
    if (!window) return;
    RECT rect = GetWindowScreenRect(window);
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE: QueueMessage(window, WM_CLOSE, 0, 0); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: ActivateWindow(window); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: DeactivateWindow(window); break;
    case SDL_WINDOWEVENT_EXPOSED: InvalidateRect(window, nullptr, FALSE); break;
    case SDL_WINDOWEVENT_MINIMIZED: SetMinimized(window, true); break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED: SetMinimized(window, false); break;
    case SDL_WINDOWEVENT_MOVED:
        MoveWindowRect(window, RECT{event.data1, event.data2, event.data1 + rect.right - rect.left,
                                    event.data2 + rect.bottom - rect.top});
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        MoveWindowRect(window, RECT{rect.left, rect.top, rect.left + event.data1, rect.top + event.data2});
        break;
    case SDL_WINDOWEVENT_LEAVE:
        if (TakeMouseLeaveRequest(window)) QueueMessage(window, WM_MOUSELEAVE, 0, 0);
        break;
    default: break;
    }
}

bool AltWithoutCtrl() { return IsPhysicalKeyDown(VK_MENU) && !IsPhysicalKeyDown(VK_CONTROL); }

// The message a key event becomes, once the physical keys hold it: Alt
// (without Ctrl) held or not.
MSG KeyMessageOf(const SDL_KeyboardEvent& event, const CKeyInfo& key, HWND window, bool alt) {
    const bool down = event.type == SDL_KEYDOWN;
    const BYTE shared = SharedVirtualKey(key.virtualKey);
    const bool extended = (key.scanCode & 0xFF00) == 0xE000;
    // Keys pressed with Alt, and Alt itself, are system keys; Alt's own
    // release is a plain key-up so that the window sees it end.
    const bool system = (alt && !(shared == VK_MENU && !down)) || key.virtualKey == VK_F1 + 9;  // F10
    LPARAM data = 1 | (LPARAM(key.scanCode & 0xFF) << KEYDATA_SCANCODE_SHIFT);
    if (extended) data |= KEYDATA_EXTENDED;
    if (alt || (shared == VK_MENU && down)) data |= KEYDATA_ALTDOWN;
    if (!down || event.repeat) data |= KEYDATA_PREVDOWN;
    if (!down) data |= KEYDATA_UP;
    MSG msg{};
    msg.hwnd = window;
    msg.message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    msg.wParam = shared;
    msg.lParam = data;
    return msg;
}

void TranslateKeyEvent(const SDL_KeyboardEvent& event) {
    CKeyInfo key;
    if (!LookupSdlKey(event.keysym.scancode, event.keysym.sym, key)) return;
    const bool down = event.type == SDL_KEYDOWN;
    SetPhysicalKey(key.virtualKey, down);
    const bool extended = (key.scanCode & 0xFF00) == 0xE000;
    FeedDirectInputKey(BYTE((key.scanCode & 0x7F) | (extended ? 0x80 : 0)), down);
    HWND window = TargetWindow(event.windowID);
    if (!window) return;
    const MSG msg = KeyMessageOf(event, key, window, AltWithoutCtrl());
    QueueMessage(window, msg.message, msg.wParam, msg.lParam);
}

void TranslateTextEvent(const SDL_TextInputEvent& event) {
    HWND window = TargetWindow(event.windowID);
    if (!window) return;
    const UINT message = AltWithoutCtrl() ? WM_SYSCHAR : WM_CHAR;
    for (const char16_t unit : Platform::Utf8ToUtf16(event.text)) QueueMessage(window, message, WPARAM(unit), 1);
}

void TranslateMotion(const SDL_MouseMotionEvent& event) {
    FeedDirectInputMouseMotion(event.xrel, event.yrel);
    HWND window = Platform::FindWindowBySdlId(event.windowID);
    if (!window) return;
    TrackPointer(window, event.x, event.y);
    QueueMessage(window, WM_SETCURSOR, WPARAM(window), MAKELPARAM(HTCLIENT, int(WM_MOUSEMOVE)));
    QueueMessage(window, WM_MOUSEMOVE, MouseKeyFlags(), MAKELPARAM(event.x, event.y));
}

struct CButton {
    Uint8 sdl;
    int index;
    WPARAM flag;
    BYTE virtualKey;
    UINT down, up;
};
constexpr CButton kButtons[] = {
    {SDL_BUTTON_LEFT, 0, MK_LBUTTON, VK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP},
    {SDL_BUTTON_RIGHT, 1, MK_RBUTTON, VK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP},
    {SDL_BUTTON_MIDDLE, 2, MK_MBUTTON, VK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP},
};

void TranslateButton(const SDL_MouseButtonEvent& event) {
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    for (const auto& button : kButtons) {
        if (button.sdl != event.button) continue;
        g_buttons = down ? (g_buttons | button.flag) : (g_buttons & ~button.flag);
        SetPhysicalKey(button.virtualKey, down);
        FeedDirectInputMouseButton(button.index, down);
        HWND window = Platform::FindWindowBySdlId(event.windowID);
        if (!window) return;
        TrackPointer(window, event.x, event.y);
        QueueMessage(window, down ? button.down : button.up, MouseKeyFlags(), MAKELPARAM(event.x, event.y));
        return;
    }
}

void TranslateWheel(const SDL_MouseWheelEvent& event) {
    int delta = event.y * WHEEL_DELTA;
    if (event.direction == SDL_MOUSEWHEEL_FLIPPED) delta = -delta;
    if (!delta) return;
    FeedDirectInputMouseWheel(delta);
    HWND window = TargetWindow(event.windowID);
    if (!window) return;
    POINT cursor;
    GetCursorPos(&cursor);
    QueueMessage(window, WM_MOUSEWHEEL, MAKEWPARAM(int(MouseKeyFlags()), delta), MAKELPARAM(cursor.x, cursor.y));
}

void Translate(const SDL_Event& event) {
    switch (event.type) {
    case SDL_WINDOWEVENT: TranslateWindowEvent(event.window); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: TranslateKeyEvent(event.key); break;
    case SDL_TEXTINPUT: TranslateTextEvent(event.text); break;
    case SDL_MOUSEMOTION: TranslateMotion(event.motion); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: TranslateButton(event.button); break;
    case SDL_MOUSEWHEEL: TranslateWheel(event.wheel); break;
    case SDL_QUIT: CloseAllWindows(); break;  // an interrupt or the session ending
    default: break;
    }
}

// The message an event becomes, as far as telling whether it ends the
// program needs: closing, keys (with the Alt state a copy of the keys
// carries through the queue), pointer moves and presses. Changes nothing.
void PeekMessageOf(const SDL_Event& event, std::array<BYTE, 256>& keys, std::vector<MSG>& out) {
    MSG msg{};
    switch (event.type) {
    case SDL_QUIT: msg.message = Platform::PENDING_SDL_QUIT; break;
    case SDL_WINDOWEVENT:
        if (event.window.event != SDL_WINDOWEVENT_CLOSE) return;
        msg.hwnd = Platform::FindWindowBySdlId(event.window.windowID);
        if (!msg.hwnd) return;
        msg.message = WM_CLOSE;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        CKeyInfo key;
        if (!LookupSdlKey(event.key.keysym.scancode, event.key.keysym.sym, key)) return;
        SetKeyState(keys, key.virtualKey, event.type == SDL_KEYDOWN);
        HWND window = TargetWindow(event.key.windowID);
        if (!window) return;
        const bool alt = (keys[VK_MENU] & 0x80) && !(keys[VK_CONTROL] & 0x80);
        msg = KeyMessageOf(event.key, key, window, alt);
        break;
    }
    case SDL_MOUSEMOTION:
        msg.hwnd = Platform::FindWindowBySdlId(event.motion.windowID);
        if (!msg.hwnd) return;
        msg.message = WM_MOUSEMOVE;
        msg.lParam = MAKELPARAM(event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN: {
        const auto* button = std::find_if(std::begin(kButtons), std::end(kButtons),
                                          [&](const CButton& b) { return b.sdl == event.button.button; });
        msg.hwnd = Platform::FindWindowBySdlId(event.button.windowID);
        if (button == std::end(kButtons) || !msg.hwnd) return;
        msg.message = button->down;
        msg.lParam = MAKELPARAM(event.button.x, event.button.y);
        break;
    }
    default: return;
    }
    out.push_back(msg);
}

bool IsVideoThread() {
    CVideo& video = Video();
    std::lock_guard lock(video.mutex);
    return video.ok && video.thread == std::this_thread::get_id();
}

} // namespace

namespace Platform {

std::vector<MSG> PeekPendingMessages() {
    bool quitPending = false;
    std::vector<MSG> pending = CopyPostedMessages(&quitPending);
    if (IsVideoThread()) {
        SDL_PumpEvents();
        std::array<BYTE, 256> keys = CopyPhysicalKeys();
        std::vector<SDL_Event> events(size_t(std::max(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 0)));
        const int seen = SDL_PeepEvents(events.data(), int(events.size()), SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
        events.resize(size_t(std::max(seen, 0)));
        for (const SDL_Event& event : events) PeekMessageOf(event, keys, pending);
    }
    if (quitPending) pending.push_back(MSG{nullptr, WM_QUIT, 0, 0, 0, {}});
    return pending;
}

bool EnsureSdlVideo() {
    CVideo& video = Video();
    std::lock_guard lock(video.mutex);
    if (video.tried) return video.ok;
    video.tried = true;
    // Closing windows and losing focus are the engine's to handle.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // A press that gives the window focus is still a press, as on Windows:
    // X11 SDL drops one that comes within 10 ms of the focus, so a click on
    // a window just shown (the screensaver's quit) could be lost.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A window's pixels are the CPU's to write, as a device context's are:
    // left to itself, SDL puts a renderer with an OpenGL context behind the
    // window's surface, loading the GL driver for nothing.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    video.ok = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    video.thread = std::this_thread::get_id();
    return video.ok;
}

void PumpSdlEvents() {
    if (!IsVideoThread()) return;
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) Translate(event);
}

CSdlSurface WrapArgbPixels(const uint32_t* pixels, int width, int height) {
    return CSdlSurface(SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32,
                                                          width * 4, SDL_PIXELFORMAT_ARGB8888));
}

} // namespace Platform

namespace Platform::Detail {

void ResetEvents() {
    g_buttons = 0;
    CVideo& video = Video();
    std::lock_guard lock(video.mutex);
    if (video.ok) SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

} // namespace Platform::Detail
