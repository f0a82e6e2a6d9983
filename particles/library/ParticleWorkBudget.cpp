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
    m_owedHeld = m_turns.GetOwedCost();
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
    if (type.firstStep && m_frameLimit != kUnlimited) return TakePlanned(type, expected);
    if (!Affords(expected)) {
        m_waiting = true;
        return false;
    }
    m_held += expected;
    return true;
}

bool CParticleWorkBudget::TakePlanned(const CTypeTurns::CPlace& type, int64_t expected) {
    if (type.known && !type.planned) return false;
    if (type.owedCost >= 0) {
        // Owed since the last frame: what was held for it from the frame's
        // start is now held as for any taken type.
        m_owedHeld = std::max<int64_t>(0, m_owedHeld - type.owedCost);
    } else if (!(type.isTurn && !m_tookType) && !Affords(expected)) {
        // It is owed to the next frame; the rest of the plan goes on.
        return false;
    }
    m_tookType = true;
    m_turns.Took(type);
    m_held += expected;
    return true;
}

} // namespace VexaParticles
