#pragma once
// Work run under a loading quit check whose look posts a quit once the work
// has reached the part under test, and finds it at the look after: where
// the quit was posted and where it was found, in units of loading work.
// Work is counted, not time.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "app/LoadCancelled.h"
#include "app/LoadingQuitCheck.h"

namespace TestFiles {

struct CQuitLook {
    // Runs work with the check installed and expects the quit to cut it,
    // with no unit counted after the look that found it.
    void Run(const std::function<bool()>& reached, const std::function<void()>& work) {
        Engine::CFrameQuitWatch watch;
        watch.SetTimeGate(false);
        watch.SetProbe([&] {
            const int64_t units = Engine::CLoadingQuitCheck::GetCurrent()->GetUnits();
            if (postedAt >= 0) {
                stoppedAt = units;
                return true;
            }
            if (reached()) postedAt = units;
            return false;
        });
        Engine::CLoadingQuitCheck check(watch);
        EXPECT_THROW(work(), Engine::CLoadCancelled);
        EXPECT_EQ(check.GetUnits(), stoppedAt) << "no work counted after the quit was found";
    }

    // The quit was posted during the work and found within units of it.
    void ExpectFoundWithin(int64_t units) const {
        ASSERT_GE(postedAt, 0) << "posted during the work";
        ASSERT_GE(stoppedAt, postedAt);
        EXPECT_LE(stoppedAt - postedAt, units);
    }

    int64_t postedAt = -1;
    int64_t stoppedAt = -1;
};

} // namespace TestFiles
