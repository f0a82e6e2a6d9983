#pragma once
// Whether a quit is waiting while a frame's work runs long. The frame's
// heavy loops (particle steps, the software driver's per-quad passes, the
// frame loop's catch-up steps) call Check now and then; once the frame has
// run longer than one update step, Check asks the application's probe,
// which looks at the pending input without taking it. When the probe finds
// a quit, the frame is stopped: the loops drop the rest of their work, the
// frame loop takes no further step and skips the draw, and the program then
// ends as for any quit.
//
// A frame in which no quit is pending does all its work: the probe is only
// asked, never obeyed, unless the input it sees would end the program.

#include <chrono>
#include <cstdint>
#include <functional>

namespace Engine {

class CFrameQuitWatch {
public:
    // True when the input waiting would end the program. Main thread only.
    using CProbe = std::function<bool()>;

    // Work between two checks, in the callers' own units (particle visits,
    // quads): a check costs a pump of the event queue.
    static constexpr int64_t kCheckInterval = 4096;
    // The frame's age before the probe is first asked. A light frame ends
    // before it and never pumps the queue; a heavy one holds a quit no
    // longer than this and an interval of work, whatever the drawing costs.
    static constexpr std::chrono::microseconds kQuietTime{4000};

    using CClock = std::function<std::chrono::steady_clock::time_point()>;

    void SetProbe(CProbe probe) { m_probe = std::move(probe); }
    const CProbe& GetProbe() const { return m_probe; }
    // Tests count work rather than time: without the gate every check asks.
    void SetTimeGate(bool on) { m_timeGate = on; }
    // The clock the frame's age is read from; the steady clock unless a
    // test sets its own.
    void SetClock(CClock clock) { m_clock = std::move(clock); }

    void StartFrame();
    // Asks the probe when the frame has run long enough; true once the frame
    // is stopped (and from then on for the rest of the frame).
    bool Check();
    bool IsStopped() const { return m_stopped; }
    // Checks asked of the probe in this frame.
    int64_t GetProbes() const { return m_probes; }

private:
    CProbe m_probe;
    CClock m_clock = [] { return std::chrono::steady_clock::now(); };
    std::chrono::steady_clock::time_point m_frameStart{};
    bool m_timeGate = true;
    bool m_stopped = false;
    int64_t m_probes = 0;
};

// Counts work done in some unit and checks the watch every kCheckInterval
// units; a null watch never stops.
class CQuitCountdown {
public:
    explicit CQuitCountdown(CFrameQuitWatch* watch = nullptr) : m_watch(watch) {}

    void SetWatch(CFrameQuitWatch* watch) {
        m_watch = watch;
        m_untilCheck = CFrameQuitWatch::kCheckInterval;
    }
    CFrameQuitWatch* GetWatch() const { return m_watch; }
    // True when the frame is stopped; once it is, at once, so that a loop
    // around the one that found the quit stops at its next count too.
    bool Count(int64_t units) {
        if (IsStopped()) return true;
        m_untilCheck -= units;
        if (m_untilCheck > 0) return false;
        m_untilCheck = CFrameQuitWatch::kCheckInterval;
        return m_watch && m_watch->Check();
    }
    bool IsStopped() const { return m_watch && m_watch->IsStopped(); }

private:
    CFrameQuitWatch* m_watch;
    int64_t m_untilCheck = CFrameQuitWatch::kCheckInterval;
};

} // namespace Engine
