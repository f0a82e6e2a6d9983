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

#include <cstdint>

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
