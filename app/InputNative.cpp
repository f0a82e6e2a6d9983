#include "app/InputNative.h"

#include "app/KeyTable.h"
#include "platform/Keyboard.h"
#include "platform/Window.h"

namespace Engine::Input::Drivers::Native {

bool CKeyboard::Create(HWND window) { return IsWindow(window) != FALSE; }

void CKeyboard::Poll(uint8_t keys[256]) {
    BYTE state[256];
    GetKeyboardState(state);
    const std::array<uint8_t, 256>& table = GetKeyTable();
    for (size_t code = 0; code < table.size(); ++code)
        keys[code] = (table[code] && (state[table[code]] & 0x80)) ? 0x80 : 0;
}

bool CMouse::Create(HWND window) { return IsWindow(window) != FALSE; }

void CMouse::OnMouseMove(int x, int y) {
    m_x = x;
    m_y = y;
}

void CMouse::OnMouseButtonDown(int button) {
    if (button < 0 || button >= 3) return;
    m_buttons[size_t(button)] = 0x80;
    m_pressed[size_t(button)] = 0x80;
}

void CMouse::OnMouseButtonUp(int button) {
    if (button >= 0 && button < 3) m_buttons[size_t(button)] = 0;
}

CMouseSample CMouse::Sample() {
    CMouseSample sample;
    sample.absolute = true;
    // A click that starts and ends between two polls still shows as one
    // poll with the button down.
    for (size_t i = 0; i < m_buttons.size(); ++i) sample.buttons[i] = m_buttons[i] | m_pressed[i];
    m_pressed = {};
    sample.x = m_x;
    sample.y = m_y;
    sample.dx = m_x - m_lastX;
    sample.dy = m_y - m_lastY;
    sample.wheel = m_wheel;
    m_lastX = m_x;
    m_lastY = m_y;
    m_wheel = 0;
    return sample;
}

} // namespace Engine::Input::Drivers::Native
