#include "platform/Messages.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/Detail.h"
#include "platform/Keyboard.h"
#include "platform/SdlBridge.h"
#include "platform/Testing.h"
#include "platform/Time.h"
#include "platform/Window.h"

namespace {

struct CQueue {
    std::mutex mutex;
    std::deque<MSG> posted;
    bool quitPending = false;
    int quitCode = 0;
    std::function<void()> idle;
};

CQueue& Queue() {
    static CQueue queue;
    return queue;
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = timeGetTime();
    GetCursorPos(&msg.pt);
    return msg;
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window && msg.hwnd != window) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

bool InRange(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

// The character a key gives without text input: the control keys, and
// Ctrl with a letter as 1..26.
WPARAM CharacterOfKey(WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_RETURN: return 13;
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_ESCAPE: return 27;
    default: break;
    }
    const bool ctrl = Platform::Detail::IsKeyDown(VK_CONTROL) && !Platform::Detail::IsKeyDown(VK_MENU);
    if (ctrl && virtualKey >= 'A' && virtualKey <= 'Z') return virtualKey - 'A' + 1;
    return 0;
}

} // namespace

namespace Platform::Detail {

void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg = MakeMessage(window, message, wParam, lParam);
    CQueue& queue = Queue();
    std::lock_guard lock(queue.mutex);
    queue.posted.push_back(msg);
}

std::vector<MSG> CopyPostedMessages(bool* quitPending) {
    CQueue& queue = Queue();
    std::lock_guard lock(queue.mutex);
    *quitPending = queue.quitPending;
    return {queue.posted.begin(), queue.posted.end()};
}

void DropMessagesFor(HWND window) {
    CQueue& queue = Queue();
    std::lock_guard lock(queue.mutex);
    std::erase_if(queue.posted, [window](const MSG& msg) { return msg.hwnd == window; });
}

void ResetMessages() {
    CQueue& queue = Queue();
    std::lock_guard lock(queue.mutex);
    queue.posted.clear();
    queue.quitPending = false;
    queue.idle = nullptr;
}

} // namespace Platform::Detail

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !IsWindow(window)) return FALSE;
    Platform::Detail::QueueMessage(window, message, wParam, lParam);
    return TRUE;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = Platform::Detail::GetWindowProc(window);
    return proc ? proc(window, message, wParam, lParam) : 0;
}

void PostQuitMessage(int exitCode) {
    CQueue& queue = Queue();
    std::lock_guard lock(queue.mutex);
    queue.quitPending = true;
    queue.quitCode = exitCode;
}

BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg) return FALSE;
    Platform::PumpSdlEvents();
    CQueue& queue = Queue();
    {
        std::lock_guard lock(queue.mutex);
        auto it = std::find_if(queue.posted.begin(), queue.posted.end(),
                               [&](const MSG& m) { return Matches(m, window, filterMin, filterMax); });
        if (it != queue.posted.end()) {
            *msg = *it;
            if (!(removeFlags & PM_REMOVE)) return TRUE;
            queue.posted.erase(it);
            Platform::Detail::ApplyInputMessage(msg->message, msg->wParam, msg->lParam);
            return TRUE;
        }
        if (queue.quitPending && InRange(WM_QUIT, filterMin, filterMax)) {
            *msg = MakeMessage(nullptr, WM_QUIT, WPARAM(queue.quitCode), 0);
            if (removeFlags & PM_REMOVE) queue.quitPending = false;
            return TRUE;
        }
    }
    if (!InRange(WM_PAINT, filterMin, filterMax)) return FALSE;
    if (HWND paint = Platform::Detail::FindWindowToPaint(window)) {
        *msg = MakeMessage(paint, WM_PAINT, 0, 0);
        return TRUE;
    }
    return FALSE;
}

BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg) return -1;
    for (;;) {
        if (PeekMessage(msg, window, filterMin, filterMax, PM_REMOVE)) return msg->message == WM_QUIT ? 0 : 1;
        std::function<void()> idle;
        {
            CQueue& queue = Queue();
            std::lock_guard lock(queue.mutex);
            idle = queue.idle;
        }
        if (idle) {
            idle();
            if (PeekMessage(msg, window, filterMin, filterMax, PM_REMOVE)) return msg->message == WM_QUIT ? 0 : 1;
            return -1;
        }
        // Waits for SDL input, looking at the queue now and then for messages
        // posted by other threads.
        if (SDL_WasInit(SDL_INIT_VIDEO))
            SDL_WaitEventTimeout(nullptr, 10);
        else
            Sleep(10);
    }
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    const WPARAM character = CharacterOfKey(msg->wParam);
    if (!character) return TRUE;
    MSG charMsg = MakeMessage(msg->hwnd, msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR, character, msg->lParam);
    CQueue& queue = Queue();
    std::lock_guard lock(queue.mutex);
    queue.posted.push_front(charMsg);
    return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

namespace Platform::Testing {

void SetIdleHandler(std::function<void()> handler) {
    CQueue& queue = Queue();
    std::lock_guard lock(queue.mutex);
    queue.idle = std::move(handler);
}

} // namespace Platform::Testing
