// A frame asks its quit probe only once it has run the quiet time: a light
// frame never pumps the queue, a heavy one asks at every check from then
// on, and a quit found stops the rest of the frame.

#include <gtest/gtest.h>

#include <chrono>

#include "app/FrameQuitWatch.h"

namespace {

using Engine::CFrameQuitWatch;
using std::chrono::microseconds;

struct CGateCase {
    microseconds age;
    bool asks;
};

class FrameQuitWatchGateTest : public ::testing::TestWithParam<CGateCase> {};

TEST_P(FrameQuitWatchGateTest, AsksOnlyOnceTheFrameHasRunTheQuietTime) {
    std::chrono::steady_clock::time_point now{};
    CFrameQuitWatch watch;
    watch.SetClock([&] { return now; });
    int asked = 0;
    watch.SetProbe([&] { return ++asked == 2; });
    watch.StartFrame();
    now += GetParam().age;
    EXPECT_FALSE(watch.Check());
    EXPECT_EQ(asked, GetParam().asks ? 1 : 0);
    // A second look: a frame that asks finds the quit the probe now reports
    // and stays stopped without asking again.
    EXPECT_EQ(watch.Check(), GetParam().asks);
    EXPECT_EQ(watch.Check(), GetParam().asks);
    EXPECT_EQ(watch.GetProbes(), GetParam().asks ? 2 : 0);
    // The next frame starts quiet again.
    watch.StartFrame();
    EXPECT_FALSE(watch.Check());
    EXPECT_FALSE(watch.IsStopped());
}

INSTANTIATE_TEST_SUITE_P(Ages, FrameQuitWatchGateTest,
                         ::testing::Values(CGateCase{microseconds(0), false}, CGateCase{microseconds(1), false},
                                           CGateCase{microseconds(2000), false},
                                           CGateCase{CFrameQuitWatch::kQuietTime - microseconds(1), false},
                                           CGateCase{CFrameQuitWatch::kQuietTime, true},
                                           CGateCase{CFrameQuitWatch::kQuietTime + microseconds(1), true},
                                           CGateCase{microseconds(33333), true},
                                           CGateCase{microseconds(10'000'000), true}));

} // namespace
