#pragma once
// The keyboard and mouse drivers and the records they fill once per frame.
// Key codes are the engine's (app/KeyTable.h); mouse buttons are 0 left,
// 1 right, 2 middle.

#include <array>
#include <cstdint>

#include "platform/WinTypes.h"

namespace Engine::Input {

// The mouse as of the last poll.
struct CMouseState {
    std::array<uint8_t, 3> buttons{};          // non-zero while down
    std::array<uint8_t, 3> previousButtons{};  // the buttons of the poll before
    int32_t x = 0, y = 0;                      // screen pixels, inside the screen
    int32_t dx = 0, dy = 0;                    // motion of this poll
    int32_t wheel = 0;                         // wheel turned since the last poll
};

class CKeyboardDriver {
public:
    virtual ~CKeyboardDriver() = default;
    // False (logged) when the device cannot be opened for the window.
    virtual bool Create(HWND window) = 0;
    virtual void Destroy() = 0;
    // Fills 256 bytes, one per key code: non-zero while the key is down.
    virtual void Poll(uint8_t keys[256]) = 0;
    // The application's key handlers pass their keys here first.
    virtual void OnKeyDown(int /*key*/) {}
    virtual void OnKeyUp(int /*key*/) {}
};

// What a mouse driver reads from its device for one poll.
struct CMouseSample {
    std::array<uint8_t, 3> buttons{};
    bool absolute = false;  // x, y are a position; otherwise dx, dy are motion
    int32_t x = 0, y = 0;
    int32_t dx = 0, dy = 0;
    int32_t wheel = 0;
};

class CMouseDriver {
public:
    virtual ~CMouseDriver() = default;
    virtual bool Create(HWND window) = 0;
    virtual void Destroy() = 0;
    // The screen (back buffer) the position is kept inside.
    void SetScreenSize(int width, int height);
    // Keeps the buttons as the previous ones, then takes a new sample.
    void Poll(CMouseState& state);
    // The application's mouse handlers pass their events here (x, y in
    // back-buffer coordinates).
    virtual void OnMouseMove(int /*x*/, int /*y*/) {}
    virtual void OnMouseButtonDown(int /*button*/) {}
    virtual void OnMouseButtonUp(int /*button*/) {}
    virtual void OnMouseWheel(int /*delta*/) {}

protected:
    virtual CMouseSample Sample() = 0;

private:
    int m_width = 1, m_height = 1;
    int32_t m_x = 0, m_y = 0;
};

} // namespace Engine::Input
