#pragma once
// Looks for a pending quit while data loads, as a long frame does
// (FrameQuitWatch.h). A loading step installs a check for its length,
// starting the watch as a frame would; the readers of the data files count
// the records they read through Count. Once the watch finds a quit waiting,
// Count throws CLoadCancelled, which unwinds the load: whatever was half
// read goes with the stack, and nothing is logged as a failure.
//
// Outside a step (a tool's or a test's own load, another thread) Count
// counts nothing and never throws.
//
// Code that must not throw (a parser's callbacks, a destructor) counts
// through CountStops instead and unwinds later, through Count, once it is
// back where throwing is safe.

#include <cstdint>
#include <functional>

#include "app/FrameQuitWatch.h"

namespace Engine {

class CLoadingQuitCheck {
public:
    explicit CLoadingQuitCheck(CFrameQuitWatch& watch);
    ~CLoadingQuitCheck();
    CLoadingQuitCheck(const CLoadingQuitCheck&) = delete;
    CLoadingQuitCheck& operator=(const CLoadingQuitCheck&) = delete;

    // Counts units of loading work against this thread's check; throws
    // CLoadCancelled once its watch is stopped.
    static void Count(int64_t units = 1);
    // Counts like Count but never throws: true once the watch is stopped,
    // and from then on without counting.
    static bool CountStops(int64_t units = 1) noexcept;
    // Runs load under a check of its own, for a load that is no step;
    // false when a quit cut it.
    static bool Run(CFrameQuitWatch& watch, const std::function<void()>& load);
    // The check of the step under way on this thread; null outside one.
    static CLoadingQuitCheck* GetCurrent();

    // Units counted since the check was installed.
    int64_t GetUnits() const { return m_units; }

private:
    CQuitCountdown m_countdown;
    int64_t m_units = 0;
    CLoadingQuitCheck* m_outer;
};

} // namespace Engine
