#pragma once
// What the particles of one library may cost the frame being made, counted
// in visits: each particle moved, emitted or aged counts one, and each
// sub-emitter copy a particle carries counts kSubEmitterCopyUnits when the
// particle is moved or aged. Within the record cap a damaged effect file can
// still ask for a full pool of particles at every step, and a frame of many
// catch-up steps would then keep the application from drawing for minutes.
//
// The frame's first step is always taken whole, by every type: the pool
// bounds what it costs. A later step is taken only while the visits left
// pay for what the step before it cost; otherwise that step and the rest of
// the frame wait, for every type alike, and each type takes the time it
// missed at its next step (CWaitedTime). Unlimited until the application
// sets a limit.
//
// Quitting does not wait on any of it: the visits are also counted against
// the application's quit watch (app/FrameQuitWatch.h), and once it finds a
// quit pending every loop drops the rest of its work and no further step is
// taken in the frame.

#include <cstdint>
#include <limits>

#include "app/FrameQuitWatch.h"

namespace VexaParticles {

class CParticleWorkBudget {
public:
    static constexpr int64_t kUnlimited = std::numeric_limits<int64_t>::max();

    // A frame that may spend `visits` (kUnlimited lifts the limit) starts,
    // and with it its first step.
    void StartFrame(int64_t visits) {
        m_frameLimit = visits;
        m_spent = 0;
        m_stepStart = 0;
        m_stepsStarted = 0;
        m_waiting = false;
        ++m_stepSerial;
    }
    // The frame loop is about to run a step. The first after StartFrame is
    // the one StartFrame began.
    void StartStep() {
        if (m_stepsStarted++ == 0) return;
        const int64_t lastStep = m_spent - m_stepStart;
        m_stepStart = m_spent;
        ++m_stepSerial;
        const int64_t left = GetVisitsLeft();
        if (left != kUnlimited && (left <= 0 || left < lastStep)) m_waiting = true;
    }

    // Whether the step under way is taken; a waiting step stays so, and so
    // does every step once a quit is pending.
    bool IsStepTaken() const { return !m_waiting && !m_quit.IsStopped(); }
    // Counts the visits of work about to be done in a taken step; true when
    // a quit is pending and the work is to be dropped. Once the frame is
    // stopped nothing more is counted: the loop of a sub-emitter copy may
    // have found the quit while its particle's loop still runs.
    bool Spend(int64_t visits) {
        if (m_quit.IsStopped()) return true;
        m_spent += visits;
        return m_quit.Count(visits);
    }
    bool IsStopped() const { return m_quit.IsStopped(); }
    // Tells one step from the next: a type's calls in one step share it.
    uint64_t GetStepSerial() const { return m_stepSerial; }

    // The application's watch (not owned); null checks for nothing.
    void SetQuitWatch(Engine::CFrameQuitWatch* watch) { m_quit.SetWatch(watch); }

    int64_t GetVisitsLeft() const { return m_frameLimit == kUnlimited ? kUnlimited : m_frameLimit - m_spent; }
    // Visits counted since the frame started.
    int64_t GetFrameVisits() const { return m_spent; }

private:
    int64_t m_frameLimit = kUnlimited;
    int64_t m_spent = 0;
    int64_t m_stepStart = 0;
    uint64_t m_stepSerial = 1;
    int m_stepsStarted = 0;
    bool m_waiting = false;
    Engine::CQuitCountdown m_quit;
};

} // namespace VexaParticles
