#pragma once
// A test window whose procedure records every message it receives, and SDL
// event builders for injecting input.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/Cursor.h"
#include "platform/Messages.h"
#include "platform/SdlBridge.h"
#include "platform/Testing.h"
#include "platform/Window.h"

namespace TestSupport {

inline std::vector<MSG>& Received() {
    static std::vector<MSG> received;
    return received;
}

inline LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg;
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    Received().push_back(msg);
    return DefWindowProc(window, message, wParam, lParam);
}

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Platform::Testing::Reset();
        Received().clear();
        WNDCLASS wc;
        wc.lpfnWndProc = RecordingProc;
        wc.cbWndExtra = sizeof(LONG_PTR);
        wc.lpszClassName = "Recording";
        RegisterClass(&wc);
    }
    void TearDown() override { Platform::Testing::Reset(); }

    // A recording class whose windows get an OpenGL framebuffer.
    static void RegisterOwnDcClass(const char* name) {
        WNDCLASS wc;
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = name;
        RegisterClass(&wc);
    }

    // A shown, active window; the messages of its creation are cleared.
    HWND MakeWindow(int width = 320, int height = 200) {
        HWND window = CreateWindowEx(0, "Recording", "test", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                     nullptr, nullptr, nullptr);
        EXPECT_NE(window, nullptr);
        Pump();
        Received().clear();
        return window;
    }

    // Dispatches every queued message the way the engine's pump does.
    static void Pump() {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }

    // The received messages of the given kinds, in order.
    static std::vector<MSG> Only(std::initializer_list<UINT> messages) {
        std::vector<MSG> found;
        for (const MSG& msg : Received())
            if (std::find(messages.begin(), messages.end(), msg.message) != messages.end()) found.push_back(msg);
        return found;
    }

    static Uint32 SdlId(HWND window) { return SDL_GetWindowID(Platform::GetSdlWindow(window)); }
};

inline SDL_Event KeyEvent(Uint32 window, SDL_Scancode scancode, bool down, SDL_Keycode keycode = 0,
                          bool repeat = false) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = window;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = keycode ? keycode : SDL_GetKeyFromScancode(scancode);
    return event;
}

inline SDL_Event TextEvent(Uint32 window, const char* utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = window;
    SDL_strlcpy(event.text.text, utf8, sizeof event.text.text);
    return event;
}

inline SDL_Event MotionEvent(Uint32 window, int x, int y, int dx, int dy) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = window;
    event.motion.x = x;
    event.motion.y = y;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    return event;
}

inline SDL_Event ButtonEvent(Uint32 window, Uint8 button, bool down, int x = 0, int y = 0) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = window;
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = x;
    event.button.y = y;
    return event;
}

inline SDL_Event WheelEvent(Uint32 window, int y, bool flipped = false) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = window;
    event.wheel.y = y;
    event.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    return event;
}

inline SDL_Event WindowEvent(Uint32 window, SDL_WindowEventID id, int data1 = 0, int data2 = 0) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = window;
    event.window.event = Uint8(id);
    event.window.data1 = data1;
    event.window.data2 = data2;
    return event;
}

inline void Push(std::initializer_list<SDL_Event> events) {
    for (SDL_Event event : events) ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

} // namespace TestSupport
