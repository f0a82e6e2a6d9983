#include "particles/library/ParticleWorkBudget.h"

#include "particles/library/ParticlePool.h"

namespace VexaParticles {

void CParticleWorkBudget::StartFrame(int64_t visits) {
    m_frameLimit = visits;
    m_spent = 0;
    m_stepStart = 0;
    m_stepsStarted = 0;
    m_held = 0;
    m_shareReserve = visits == kUnlimited || m_shares.KeptPart(GetParticleRecordCap()) >= 1.0
                         ? 0
                         : visits / kShareReserveDivisor;
    m_waiting = false;
    m_tookType = false;
    m_turns.StartFrame(visits == kUnlimited ? kUnlimited : visits - m_shareReserve, visits != kUnlimited);
    ++m_stepSerial;
}

void CParticleWorkBudget::StartStep() {
    if (m_stepsStarted++ == 0) return;
    const int64_t lastStep = m_spent - m_stepStart;
    m_stepStart = m_spent;
    m_held = 0;
    ++m_stepSerial;
    m_turns.StartLaterStep();
    const int64_t left = GetVisitsLeft();
    if (left != kUnlimited && (left <= 0 || left < lastStep)) m_waiting = true;
}

bool CParticleWorkBudget::TakeType(int64_t expected) {
    // Each type asked counts on the quit watch, the types that wait too: a
    // frame whose visits are spent still walks every type, and a million
    // types would hold a quit the whole walk long.
    if (m_quit.Count(1)) return false;
    const CTypeTurns::CPlace type = m_turns.NextType(expected);
    if (!IsStepTaken()) return false;
    if (type.firstStep && m_frameLimit != kUnlimited) return TakeFirst(type, expected);
    if (!Affords(expected)) {
        m_waiting = true;
        return false;
    }
    m_held += expected;
    return true;
}

bool CParticleWorkBudget::TakeFirst(const CTypeTurns::CPlace& type, int64_t expected) {
    // A type the plan leaves out takes only what the plan's types did not
    // need. A planned type that waits is owed to the next frame; the rest of
    // the plan goes on.
    if (!type.planned && m_turns.GetPlanLeft() > 0) return false;
    if (!type.owed && !(type.isTurn && !m_tookType) && !Affords(expected)) return false;
    m_tookType = true;
    m_turns.Took(type);
    m_held += expected;
    return true;
}

} // namespace VexaParticles
