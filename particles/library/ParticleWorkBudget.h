#pragma once
// What the particles of one library may cost the frame being made, counted
// in visits: each particle moved, emitted or aged counts one, and each
// sub-emitter copy a particle carries counts kSubEmitterCopyUnits when the
// particle is moved or aged. Within the record
// cap a damaged effect file can still ask for a full pool of particles at
// every step, and a frame of many catch-up steps then keeps the application
// from its input for minutes.
//
// The frame's first step is always taken whole, by every type: the pool
// bounds what it costs. A later step is taken only while the visits left
// pay for what the step before it cost; otherwise that step and the rest of
// the frame wait, for every type alike, and each type takes the time it
// missed at its next step (CWaitedTime). Unlimited until the application
// sets a limit.

#include <cstdint>
#include <limits>

namespace VexaParticles {

class CParticleWorkBudget {
public:
    static constexpr int64_t kUnlimited = std::numeric_limits<int64_t>::max();

    // A frame that may spend `visits` (kUnlimited lifts the limit) starts,
    // and with it its first step.
    void StartFrame(int64_t visits) {
        m_visitsLeft = visits;
        m_stepsStarted = 0;
        m_waiting = false;
        BeginStep();
    }
    // The frame loop is about to run a step. The first after StartFrame is
    // the one StartFrame began.
    void StartStep() {
        if (m_stepsStarted++ == 0) return;
        const int64_t lastStep = m_stepVisits;
        BeginStep();
        if (m_visitsLeft != kUnlimited && (m_visitsLeft <= 0 || m_visitsLeft < lastStep)) m_waiting = true;
    }

    // Whether the step under way is taken; a waiting step stays so.
    bool IsStepTaken() const { return !m_waiting; }
    // Counts the visits of work done in a taken step.
    void Spend(int64_t visits) {
        m_stepVisits += visits;
        if (m_visitsLeft != kUnlimited) m_visitsLeft -= visits;
    }
    // Tells one step from the next: a type's calls in one step share it.
    uint64_t GetStepSerial() const { return m_stepSerial; }

    int64_t GetVisitsLeft() const { return m_visitsLeft; }

private:
    void BeginStep() {
        ++m_stepSerial;
        m_stepVisits = 0;
    }

    int64_t m_visitsLeft = kUnlimited;
    int64_t m_stepVisits = 0;
    uint64_t m_stepSerial = 1;
    int m_stepsStarted = 0;
    bool m_waiting = false;
};

} // namespace VexaParticles
