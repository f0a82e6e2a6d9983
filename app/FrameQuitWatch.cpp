#include "app/FrameQuitWatch.h"

namespace Engine {

void CFrameQuitWatch::StartFrame() {
    m_frameStart = m_clock();
    m_stopped = false;
    m_probes = 0;
}

bool CFrameQuitWatch::Check() {
    if (m_stopped) return true;
    if (!m_probe) return false;
    if (m_timeGate && m_clock() - m_frameStart < kQuietTime) return false;
    ++m_probes;
    m_stopped = m_probe();
    return m_stopped;
}

} // namespace Engine
