#pragma once
// What the particles of one library may cost the frame being made, counted
// in visits: each particle moved, emitted or aged counts one, and each
// sub-emitter copy a particle carries counts its units of the pool
// (SubEmitterCopyUnits) when the particle is moved or aged. A type's and an
// emitter's own work counts too (see the constants below): a file may hold
// so many types that their own work outweighs their particles'. Within the record cap a damaged effect
// file can still ask for a full pool of particles at every step, and a frame
// of many catch-up steps would then keep the application from drawing for
// minutes.
//
// Each type's step (its motion, emission and life, taken together or not at
// all) is taken while the visits left, less those held for the types already
// taken in the step and for the plan's types not yet reached, pay for what
// the type is expected to cost (CWaitedTime::Expected). What is held for a
// taken type is its expected cost less what it has spent so far, so that its
// visits count once. The frame's first step plans its types (CTypeTurns),
// holding what they cost from the frame's start: those owed are taken
// whatever the step has spent, and the plan's first, its turn, while the
// step has taken nothing; a planned type that waits is owed to the next
// frame. A later step is taken
// only while the visits left pay for what the step before it cost, and once
// a type of it waits, the rest of the frame waits. Each type takes the time it missed at its next step
// (CWaitedTime). Unlimited until the application sets a limit.
//
// Quitting does not wait on any of it: the visits, and one for each type
// asked, are also counted against the application's quit watch
// (app/FrameQuitWatch.h), and once it finds a quit pending every loop drops
// the rest of its work and no further step is taken in the frame.

#include <algorithm>
#include <cstdint>
#include <limits>

#include "app/FrameQuitWatch.h"
#include "particles/library/RecordShares.h"
#include "particles/library/TypeTurns.h"

namespace VexaParticles {

class CParticleWorkBudget {
public:
    static constexpr int64_t kUnlimited = std::numeric_limits<int64_t>::max();
    // An emitter's own step samples its 19 curves, a type's emission its 38;
    // its motion and its life step cost one visit each besides their particles.
    static constexpr int64_t kEmitterCurveVisits = 19;
    static constexpr int64_t kEmissionCurveVisits = 38;
    static constexpr int64_t kTypePassVisits = 1;
    // The least a type's step is taken to cost.
    static constexpr int64_t kLeastTypeVisits = kEmissionCurveVisits + 2 * kTypePassVisits;
    // The part of a frame's visits kept back while the record shares hold
    // steps back: 1 in kShareReserveDivisor.
    static constexpr int64_t kShareReserveDivisor = 100;

    // A frame that may spend `visits` (kUnlimited lifts the limit) starts,
    // and with it its first step.
    void StartFrame(int64_t visits);
    // The frame loop is about to run a step. The first after StartFrame is
    // the one StartFrame began.
    void StartStep();
    // The next type's step is to begin: whether it is taken, given what it
    // is expected to cost (held for it until spent or let go).
    bool TakeType(int64_t expected);
    // What is held for a taken type changes by `change`: less what it has
    // spent, or let go once its step has ended.
    void Rehold(int64_t change) { m_held = std::max<int64_t>(0, m_held + change); }
    // Where the types of the emitter about to step begin, and that emitter's
    // types let go (CTypeTurns).
    // Once a quit has stopped the frame, the types not yet reached are not
    // placed: the step ends where the quit was found, as a step the frame
    // loop cut short would.
    CTypeTurns::CRun StartTypeRun() const { return IsStopped() ? CTypeTurns::CRun{} : m_turns.StartRun(); }
    void LeaveTypes(const CTypeTurns::CRun& run, int64_t count) { m_turns.Leave(run, count); }
    // An emitter's `count` types wait the step whole, unasked.
    void PassTypes(int64_t count) {
        if (!IsStopped()) m_turns.Pass(count, kLeastTypeVisits);
    }

    // Whether the frame still takes steps; once a quit is pending it does not.
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
    // The place among the types of the first the frame's first step planned.
    int64_t GetFirstTurn() const { return m_turns.GetTurn(); }
    // The particle pool's records among the waiting types.
    CRecordShares& GetRecordShares() { return m_shares; }

private:
    // A type of the first step, under a limit (CTypeTurns).
    bool TakeFirst(const CTypeTurns::CPlace& type, int64_t expected);
    bool Affords(int64_t expected) const {
        return m_frameLimit == kUnlimited ||
               m_frameLimit - m_spent - m_held - m_turns.GetPlanLeft() - m_shareReserve >= expected;
    }

    int64_t m_frameLimit = kUnlimited;
    int64_t m_spent = 0;
    int64_t m_stepStart = 0;
    // What the types taken in the step and not yet ended are expected to cost.
    int64_t m_held = 0;
    // Left unheld while the record shares hold steps back (CRecordShares): a
    // step then makes its particles or none at random, so its cost can pass
    // what its last step cost, by which the type was taken.
    int64_t m_shareReserve = 0;
    uint64_t m_stepSerial = 1;
    int m_stepsStarted = 0;
    bool m_waiting = false;
    // The frame has taken a type.
    bool m_tookType = false;
    CTypeTurns m_turns;
    CRecordShares m_shares;
    Engine::CQuitCountdown m_quit;
};

} // namespace VexaParticles
