// The loading steps with a quit watch: a step whose reader finds a quit ends
// the loading, and no later step runs; counting outside a step looks at
// nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/LoadCancelled.h"
#include "app/LoadingQuitCheck.h"
#include "app/LoadingSteps.h"
#include "app/TestFiles.h"

namespace {

using Engine::CFrameQuitWatch;
using Engine::CLoadingQuitCheck;

class LoadingStepsTest : public ::testing::Test {
protected:
    LoadingStepsTest() {
        watch.SetTimeGate(false);
        watch.SetProbe([this] {
            ++looks;
            return looks > quitAfterLooks;
        });
    }
    // A step that reads `records` records, one unit each.
    std::function<void()> Reader(const char* name, int records) {
        return [this, name, records] {
            ran.push_back(name);
            for (int i = 0; i < records; ++i) {
                CLoadingQuitCheck::Count();
                ++read;
            }
        };
    }

    CFrameQuitWatch watch;
    int looks = 0, quitAfterLooks = 1'000'000;
    int64_t read = 0;
    std::vector<std::string> ran;
    TestFiles::CLogCapture log;
};

TEST_F(LoadingStepsTest, AQuitFoundInAStepEndsTheLoadingWithinAnInterval) {
    quitAfterLooks = 1;  // the second look finds it
    Engine::CLoadingSteps steps(&watch);
    steps.Add("Loading A", Reader("A", 100));
    steps.Add("Loading B", Reader("B", 10 * int(CFrameQuitWatch::kCheckInterval)));
    steps.Add("Loading C", Reader("C", 1));
    while (steps.RunNext()) {
    }
    EXPECT_EQ(ran, (std::vector<std::string>{"A", "B"})) << "no step after the cut one";
    // A step starts the count afresh: B's second look, one interval after
    // its first, finds the quit.
    EXPECT_EQ(looks, 2);
    EXPECT_EQ(read, 100 + 2 * CFrameQuitWatch::kCheckInterval - 1);
    EXPECT_TRUE(steps.IsCancelled());
    EXPECT_FALSE(steps.IsDone()) << "loading never ends as done";
    EXPECT_EQ(steps.GetDone(), 2);
    EXPECT_FALSE(steps.RunNext());
    EXPECT_FALSE(log.Contains("Loading C"));
}

TEST_F(LoadingStepsTest, CountingOutsideAStepLooksAtNothing) {
    quitAfterLooks = 0;
    ASSERT_EQ(CLoadingQuitCheck::GetCurrent(), nullptr);
    Reader("alone", 3 * int(CFrameQuitWatch::kCheckInterval))();
    EXPECT_EQ(looks, 0);
    {
        CLoadingQuitCheck check(watch);
        EXPECT_THROW(Reader("inside", int(CFrameQuitWatch::kCheckInterval))(), Engine::CLoadCancelled);
        EXPECT_EQ(check.GetUnits(), CFrameQuitWatch::kCheckInterval);
    }
    EXPECT_EQ(CLoadingQuitCheck::GetCurrent(), nullptr);
}

} // namespace
