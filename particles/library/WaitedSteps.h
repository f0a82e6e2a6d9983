#pragma once
// The steps an emitter's types all waited, counted once for the emitter:
// a step that waits from its start (a later step of a frame whose visits are
// spent, or any step once a quit is pending) costs the emitter one look, not
// one per type. Each type takes the time at its next look (CWaitedTime).

#include <cstdint>

#include "particles/library/ParticleWorkBudget.h"

namespace VexaParticles {

class CWaitedSteps {
public:
    // Whether the whole step waits for the emitter's `types`; the emitter's
    // first look in a step decides it. Null never waits. Types that wait
    // whole keep their places in the turns.
    bool Waits(CParticleWorkBudget* budget, float dt, int32_t types) {
        if (!budget) return false;
        if (m_step == budget->GetStepSerial()) return m_waiting;
        m_step = budget->GetStepSerial();
        if (const CTypeTurns::CRun run = budget->StartTypeRun(); run.first >= 0) m_run = run;
        m_waiting = !budget->IsStepTaken();
        if (m_waiting) {
            m_waited += dt;
            budget->PassTypes(types);
        }
        return m_waiting;
    }
    // The emitter's `types` are let go: the turns lose their places.
    void Leave(CParticleWorkBudget* budget, int32_t types) const {
        if (budget) budget->LeaveTypes(m_run, types);
    }
    // The time of every step waited so far, summed.
    double GetWaited() const { return m_waited; }

private:
    double m_waited = 0;
    uint64_t m_step = 0;
    bool m_waiting = false;
    // Where the types began in the last first step the emitter took.
    CTypeTurns::CRun m_run;
};

} // namespace VexaParticles
