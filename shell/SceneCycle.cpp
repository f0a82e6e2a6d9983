#include "shell/SceneCycle.h"

namespace Engine {

namespace {
// Fixed steps of a third of a tenth of a second do not add up to whole
// seconds exactly; a change due within this margin happens now.
constexpr double kTimeMargin = 1e-6;
} // namespace

void CSceneCycle::Start(int count, int first, double periodSeconds) {
    m_count = count > 0 ? count : 0;
    m_current = m_count > 0 && first >= 0 ? first % m_count : 0;
    m_period = periodSeconds;
    m_time = 0.0;
}

bool CSceneCycle::Advance(double step) {
    m_time += step;
    if (m_time + kTimeMargin < m_period) return false;
    m_time = 0.0;
    if (m_count > 0) m_current = (m_current + 1) % m_count;
    return true;
}

} // namespace Engine
