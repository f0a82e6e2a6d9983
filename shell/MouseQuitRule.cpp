#include "shell/MouseQuitRule.h"

namespace Engine {

bool CMouseQuitRule::OnMouseMove(int32_t x, int32_t y) {
    const bool first = m_x == kNoPosition && m_y == kNoPosition;
    const bool quits = !first && x != m_x && y != m_y;
    m_x = x;
    m_y = y;
    return quits;
}

} // namespace Engine
