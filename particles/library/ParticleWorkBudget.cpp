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
    m_roundEndWaits = false;
    m_turns.StartFrame();
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
    const CTypeTurns::CPlace type = m_turns.NextType(expected);
    if (!IsStepTaken()) return false;
    if (m_frameLimit != kUnlimited && type.doneInRound) return false;
    if (m_frameLimit != kUnlimited && type.beforeTurn) return TakeRoundEnd(type, expected);
    if (!type.isTurn && !Affords(expected)) {
        m_turns.Waited(type);
        m_waiting = true;
        return false;
    }
    m_held += expected;
    return true;
}

bool CParticleWorkBudget::TakeRoundEnd(const CTypeTurns::CPlace& type, int64_t expected) {
    if (m_roundEndWaits || !Affords(expected + m_turns.GetRoundRest())) {
        // The rest of the round's end waits too, so that the round stays in order.
        m_roundEndWaits = true;
        m_turns.Waited(type);
        return false;
    }
    m_held += expected;
    return true;
}

} // namespace VexaParticles
