#pragma once
// The engine's frame clock: microseconds in 64 bits from the performance
// counter, which is monotonic (and follows the platform's test clock).

#include <cstdint>

namespace Engine {

class CTimer {
public:
    // The clock's current reading in microseconds.
    static int64_t Now();

    void Start();
    void Stop();
    bool IsRunning() const { return m_running; }
    // Microseconds since the start while running, else 0.
    int64_t GetElapsed() const;
    // Moves the start later, so that time spent elsewhere (a device
    // restore, a mode change, loading) does not count as elapsed.
    void MoveStart(int64_t microseconds) { m_start += microseconds; }

private:
    int64_t m_start = 0;
    bool m_running = false;
};

} // namespace Engine

// The process-wide frame timer.
Engine::CTimer& GetGlobalClock();
