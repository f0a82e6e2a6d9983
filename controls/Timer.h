#pragma once
// A repeat timer of the controls: once its interval has passed, the
// manager's per-step timer run sends its owner a timer event.

#include "app/Referenced.h"

namespace Engine::Controls {

class CBaseControl;
class CControlsManager;

class CTimer : public Engine::CReferenced {
public:
    CTimer(CControlsManager* manager, Engine::ref_ptr<CBaseControl> owner, double interval);
    ~CTimer() noexcept(false) override;

    // Arms the timer on its first run (last-fired time 0.0); afterwards true
    // when the interval has passed, the last-fired time then becoming time
    // itself, so a late run fires once.
    bool IsDue(double time);

    CControlsManager* GetManager() const { return m_pManager; }
    const Engine::ref_ptr<CBaseControl>& GetOwner() const { return m_pOwner; }
    double GetInterval() const { return m_interval; }
    void SetInterval(double interval) { m_interval = interval; }
    double GetLastFired() const { return m_lastFired; }
    // Counts afresh from the next timer run.
    void Rearm() { m_lastFired = 0.0; }

private:
    CControlsManager* m_pManager;
    Engine::ref_ptr<CBaseControl> m_pOwner;
    double m_interval;
    double m_lastFired = 0.0;
};

} // namespace Engine::Controls
