#pragma once
// The time a particle type waited while the frame's budget held its steps
// back, and the time its next step covers. A type that waits loses nothing:
// its next step moves its particles over the whole time missed and emits for
// it, and its particles keep their ages (ages are read from the step's time).

#include <cstdint>

#include "particles/library/ParticleWorkBudget.h"

namespace VexaParticles {

// What one call of a type's step does: nothing while the step waits.
struct CStepSpan {
    bool taken = true;
    float time = 0;
    float dt = 0;
};

class CWaitedTime {
public:
    // Motion covers the missed time from where it began.
    CStepSpan ForMotion(const CParticleWorkBudget* budget, float time, float dt) {
        if (Waits(budget, time, dt)) return {false, time, dt};
        return m_missed > 0.0f ? CStepSpan{true, m_missedFrom, m_missed + dt} : CStepSpan{true, time, dt};
    }
    // Emission and life run at the step's time over the missed time too;
    // this ends the type's step, so the missed time is spent.
    CStepSpan ForLife(const CParticleWorkBudget* budget, float time, float dt) {
        if (Waits(budget, time, dt)) return {false, time, dt};
        const CStepSpan span{true, time, m_missed + dt};
        m_missed = 0.0f;
        return span;
    }
    void Clear() { m_missed = 0.0f; }
    float GetMissed() const { return m_missed; }

private:
    // A step's motion and life are held back together: its time is missed once.
    bool Waits(const CParticleWorkBudget* budget, float time, float dt) {
        if (!budget || budget->IsStepTaken()) return false;
        if (m_missedStep == budget->GetStepSerial()) return true;
        m_missedStep = budget->GetStepSerial();
        if (m_missed == 0.0f) m_missedFrom = time;
        m_missed += dt;
        return true;
    }

    float m_missed = 0;
    float m_missedFrom = 0;
    uint64_t m_missedStep = 0;
};

} // namespace VexaParticles
