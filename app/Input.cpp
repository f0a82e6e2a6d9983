#include "app/Input.h"

#include <algorithm>

namespace Engine::Input {

void CMouseDriver::SetScreenSize(int width, int height) {
    m_width = std::max(width, 1);
    m_height = std::max(height, 1);
    m_x = std::clamp(m_x, 0, m_width - 1);
    m_y = std::clamp(m_y, 0, m_height - 1);
}

void CMouseDriver::Poll(CMouseState& state) {
    state.previousButtons = state.buttons;
    const CMouseSample sample = Sample();
    const int32_t x = sample.absolute ? sample.x : m_x + sample.dx;
    const int32_t y = sample.absolute ? sample.y : m_y + sample.dy;
    m_x = std::clamp(x, 0, m_width - 1);
    m_y = std::clamp(y, 0, m_height - 1);
    state.buttons = sample.buttons;
    state.x = m_x;
    state.y = m_y;
    state.dx = sample.dx;
    state.dy = sample.dy;
    state.wheel = sample.wheel;
}

} // namespace Engine::Input
