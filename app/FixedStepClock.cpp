#include "app/FixedStepClock.h"

#include "app/Log.h"

namespace Engine {

void CFixedStepClock::Reset(int64_t now) {
    m_last = now;
    m_carry = 0;
    m_gameTime = 0;
}

CFixedStepClock::CFrame CFixedStepClock::Advance(int64_t now) {
    CFrame frame;
    if (now < m_last) {
        // Skipping alone would skip every frame until the clock caught up
        // with the old reading: start again from this one.
        GetLog().PrintLine("Timer went backwards : %lld -> %lld", static_cast<long long>(m_last),
                           static_cast<long long>(now));
        m_last = now;
        frame.skipped = true;
        return frame;
    }
    m_carry += now - m_last;
    m_last = now;
    int64_t steps = m_carry / kStepMicroseconds;
    m_carry %= kStepMicroseconds;
    if (steps > kMaxStepsPerFrame) {
        GetLog().PrintLine("nTickCount is too big: %d", int(steps > INT32_MAX ? INT32_MAX : steps));
        steps = 1;
    }
    frame.steps = int(steps);
    frame.firstStepStart = m_gameTime;
    m_gameTime += steps * kStepMicroseconds;
    return frame;
}

} // namespace Engine
