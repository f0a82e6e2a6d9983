#pragma once
// A particle type's turns at the frame's budget: whether its step is taken,
// what its last taken step cost, the time it waited while the budget held its
// steps back, and the time its next step covers. A type that waits loses
// nothing: its next step moves its particles over the whole time missed and
// emits for it, and its particles keep their ages (ages are read from the
// step's time).
//
// The type's first call in a step asks the budget; its motion, emission and
// life then follow that answer together. A type given no budget (read
// without a library, or a sub-emitter copy, whose step is its parent
// particle's) always takes its steps.

#include <algorithm>
#include <cstdint>

#include "particles/library/ParticleWorkBudget.h"
#include "particles/library/WaitedSteps.h"

namespace VexaParticles {

// What one call of a type's step does: nothing while the step waits.
struct CStepSpan {
    bool taken = true;
    float time = 0;
    float dt = 0;
};

class CWaitedTime {
public:
    // Motion covers the missed time from where it began. `samples`: whether
    // the step's emission will sample its curves (Expected).
    CStepSpan ForMotion(CParticleWorkBudget* budget, float time, float dt, bool samples) {
        if (Waits(budget, time, dt, samples)) return {false, time, dt};
        StartPart(budget);
        return m_missed > 0.0f ? CStepSpan{true, m_missedFrom, m_missed + dt} : CStepSpan{true, time, dt};
    }
    // Emission and life run at the step's time over the missed time too;
    // this ends the type's step, so the missed time is spent.
    CStepSpan ForLife(CParticleWorkBudget* budget, float time, float dt, bool samples) {
        if (Waits(budget, time, dt, samples)) return {false, time, dt};
        StartPart(budget);
        const CStepSpan span{true, time, m_missed + dt};
        m_missed = 0.0f;
        return span;
    }
    // The motion begun by ForMotion is done: its visits count to the step's
    // cost, and what is held for the life step is what that cost at the
    // last step (what the whole step was expected to cost, for a type not
    // yet stepped), grown
    // as the motion did (the particles the type gained while it waited),
    // and at least what the step was expected to cost less what the motion
    // spent.
    void EndMotion(CParticleWorkBudget* budget) {
        m_motion = EndPart(budget);
        if (!budget) return;
        const int64_t lastLife = m_lastCost > 0 ? AsSampling(m_lastCost - m_lastMotion, m_samples) : m_expected;
        const int64_t life = std::max<int64_t>({0, m_expected - m_motion, lastLife + (m_motion - m_lastMotion)});
        budget->Rehold(life - m_expected);
        m_expected = life;
    }
    // The life step begun by ForLife is done, and with it the type's step:
    // what was held for it is let go.
    void EndLife(CParticleWorkBudget* budget) {
        EndPart(budget);
        if (!budget) return;
        m_lastCost = m_cost;
        m_lastMotion = m_motion;
        m_lastSampled = m_samples;
        budget->Rehold(-m_expected);
        m_expected = 0;
    }
    // The steps its emitter waits whole (not owned; null for none).
    void Follow(const CWaitedSteps* steps) {
        m_steps = steps;
        m_absorbed = steps ? steps->GetWaited() : 0.0;
    }
    // Nothing is missed, the emitter's waited steps so far included.
    void Clear() {
        m_missed = 0.0f;
        m_absorbed = m_steps ? m_steps->GetWaited() : 0.0;
    }
    float GetMissed() const { return m_missed + float(Unabsorbed()); }
    // What its next step is expected to cost when its emission samples its
    // curves (`samples`) or not: what its last step cost, its curves counted
    // as this step samples them; at least kLeastTypeVisits while it samples,
    // else its motion's and life's own visits.
    int64_t Expected(bool samples) const {
        return std::max(AsSampling(m_lastCost, samples),
                        samples ? CParticleWorkBudget::kLeastTypeVisits : 2 * CParticleWorkBudget::kTypePassVisits);
    }
    // Visits the type's last taken step counted.
    int64_t GetLastCost() const { return m_lastCost; }

private:
    // A step's motion and life are held back together: its time is missed once.
    bool Waits(CParticleWorkBudget* budget, float time, float dt, bool samples) {
        if (!budget) return false;
        if (m_step != budget->GetStepSerial()) {
            m_step = budget->GetStepSerial();
            TakeWaitedSteps();
            m_cost = 0;
            m_motion = 0;
            m_expected = Expected(samples);
            m_samples = samples;
            m_taken = budget->TakeType(m_expected);
            if (m_taken) {
                m_nextFrom = time + dt;
            } else {
                m_expected = 0;
                Miss(time, dt);
            }
        }
        return !m_taken;
    }
    // The steps the whole emitter waited since the type's last look began
    // where its last taken step ended.
    void TakeWaitedSteps() {
        const double waited = Unabsorbed();
        if (m_steps) m_absorbed = m_steps->GetWaited();
        if (waited > 0.0) Miss(m_nextFrom, float(waited));
    }
    // A cost of the last step with its emission's curves counted as `samples` says.
    int64_t AsSampling(int64_t cost, bool samples) const {
        const int64_t curves = CParticleWorkBudget::kEmissionCurveVisits;
        return cost + (samples ? curves : 0) - (m_lastSampled ? curves : 0);
    }
    double Unabsorbed() const { return m_steps ? m_steps->GetWaited() - m_absorbed : 0.0; }
    void Miss(float from, float dt) {
        if (m_missed == 0.0f) m_missedFrom = from;
        m_missed += dt;
    }
    void StartPart(const CParticleWorkBudget* budget) {
        if (budget) m_partStart = budget->GetFrameVisits();
    }
    // The part's visits, counted to the step's cost.
    int64_t EndPart(const CParticleWorkBudget* budget) {
        if (!budget) return 0;
        const int64_t visits = budget->GetFrameVisits() - m_partStart;
        m_cost += visits;
        return visits;
    }

    float m_missed = 0;
    float m_missedFrom = 0;
    // Where the type's last taken step ended, and the emitter's waited time
    // the type has taken.
    float m_nextFrom = 0;
    const CWaitedSteps* m_steps = nullptr;
    double m_absorbed = 0;
    uint64_t m_step = 0;
    bool m_taken = true;
    // What the budget still holds for the taken step.
    int64_t m_expected = 0;
    int64_t m_cost = 0;
    int64_t m_lastCost = 0;
    // The motion's part of the step's cost, and of the last taken step's.
    int64_t m_motion = 0;
    int64_t m_lastMotion = 0;
    // Whether this step's emission samples its curves, and the last taken step's did.
    bool m_samples = false;
    bool m_lastSampled = false;
    int64_t m_partStart = 0;
};

} // namespace VexaParticles
