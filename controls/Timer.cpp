#include "controls/Timer.h"

#include "controls/BaseControl.h"

namespace Engine::Controls {

CTimer::CTimer(CControlsManager* manager, Engine::ref_ptr<CBaseControl> owner, double interval)
    : m_pManager(manager), m_pOwner(std::move(owner)), m_interval(interval) {}

CTimer::~CTimer() noexcept(false) = default;

bool CTimer::IsDue(double time) {
    if (m_lastFired == 0.0) {
        m_lastFired = time;
        return false;
    }
    if (time < m_lastFired + m_interval) return false;
    m_lastFired = time;
    return true;
}

} // namespace Engine::Controls
