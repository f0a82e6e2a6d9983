#include "graphics/DrawnAreaLimit.h"

#include <algorithm>
#include <cmath>

namespace Engine::Graphics {

void CDrawnAreaLimit::StartFrame(int32_t width, int32_t height) {
    m_width = float(std::max(width, 0));
    m_height = float(std::max(height, 0));
    m_areaLimit = std::isinf(m_screens) ? kLifted : m_screens * GetScreenArea();
    m_areaKept = m_areaOffered = 0.0;
    m_quadsKept = m_quadsDropped = 0;
}

} // namespace Engine::Graphics
