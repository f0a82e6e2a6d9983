#include "app/Timer.h"

#include "platform/Time.h"

namespace Engine {

int64_t CTimer::Now() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;  // the counter ticks in microseconds
}

void CTimer::Start() {
    m_start = Now();
    m_running = true;
}

void CTimer::Stop() { m_running = false; }

int64_t CTimer::GetElapsed() const { return m_running ? Now() - m_start : 0; }

} // namespace Engine

Engine::CTimer& GetGlobalClock() {
    static Engine::CTimer clock;
    return clock;
}
