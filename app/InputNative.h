#pragma once
// The native input drivers: the keyboard reads the window system's key
// state; the mouse is fed by the application's window-message handlers.

#include "app/Input.h"

namespace Engine::Input::Drivers::Native {

class CKeyboard : public CKeyboardDriver {
public:
    bool Create(HWND window) override;
    void Destroy() override {}
    void Poll(uint8_t keys[256]) override;
};

class CMouse : public CMouseDriver {
public:
    bool Create(HWND window) override;
    void Destroy() override {}
    void OnMouseMove(int x, int y) override;
    void OnMouseButtonDown(int button) override;
    void OnMouseButtonUp(int button) override;
    void OnMouseWheel(int delta) override { m_wheel += delta; }

protected:
    CMouseSample Sample() override;

private:
    std::array<uint8_t, 3> m_buttons{};
    std::array<uint8_t, 3> m_pressed{};  // pressed since the last poll
    int32_t m_x = 0, m_y = 0;
    int32_t m_lastX = 0, m_lastY = 0;  // the position at the poll before
    int32_t m_wheel = 0;
};

} // namespace Engine::Input::Drivers::Native
