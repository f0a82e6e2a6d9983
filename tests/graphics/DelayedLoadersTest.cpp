// Running delayed loaders item by item.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Timer.h"
#include "graphics/DelayedLoaders.h"
#include "platform/Testing.h"

namespace {

struct CLog {
    std::vector<std::string> lines;
};

class CFakeLoader : public Engine::IDelayedLoader {
public:
    CFakeLoader(CLog& log, std::string name, int32_t count) : m_log(log), m_name(std::move(name)), m_count(count) {}
    void Begin() override { m_log.lines.push_back(m_name + " begin"); }
    void End() override { m_log.lines.push_back(m_name + " end"); }
    int32_t GetPendingCount() const override { return m_count; }
    void LoadItem(int32_t index) override {
        if (index < 0) throw 2;
        m_log.lines.push_back(m_name + std::to_string(index));
        if (m_name == "bad") throw 3;
    }

private:
    CLog& m_log;
    std::string m_name;
    int32_t m_count;
};

} // namespace

TEST(DelayedLoaders, RunsOneItemPerFrameThroughTheLoadersInOrder) {
    CLog log;
    Engine::CDelayedLoaders loaders({new CFakeLoader(log, "a", 2), new Engine::CEmptyDelayedLoader,
                                     new CFakeLoader(log, "b", 3)});
    loaders.Run([&](int32_t done, int32_t total) { log.lines.push_back(std::to_string(done) + "/" + std::to_string(total)); });
    const std::vector<std::string> expected{"a begin", "b begin", "0/5", "a0", "1/5", "a1", "2/5", "b0",
                                            "3/5", "b1", "4/5", "b2", "5/5", "a end", "b end"};
    EXPECT_EQ(log.lines, expected);
}

TEST(DelayedLoaders, NothingPendingDrawsOneFrameAndAFailingItemStillEnds) {
    CLog log;
    Engine::CDelayedLoaders idle({new Engine::CEmptyDelayedLoader});
    int frames = 0;
    idle.Run([&](int32_t, int32_t) { ++frames; });
    EXPECT_EQ(frames, 1);

    Engine::CDelayedLoaders failing({new CFakeLoader(log, "bad", 1)});
    EXPECT_THROW(failing.Run([](int32_t, int32_t) {}), int);
    EXPECT_EQ(log.lines.back(), "bad end");
}

// After the last item the screen stays up until the minimum duration has
// passed since the first frame; the frame timer does not see the time.
TEST(DelayedLoaders, KeepsDrawingForTheMinimumDurationAndHidesItFromTheFrameTimer) {
    Platform::Testing::UseTestClock(1'000'000);
    Engine::CTimer& clock = GetGlobalClock();
    clock.Start();
    CLog log;
    Engine::CDelayedLoaders loaders({new CFakeLoader(log, "a", 1)});
    std::vector<int32_t> frames;
    loaders.Run(
        [&](int32_t done, int32_t) {
            frames.push_back(done);
            Platform::Testing::AdvanceTestClock(100'000);
        },
        0.35);
    EXPECT_EQ(frames, (std::vector<int32_t>{0, 1, 1, 1}));
    EXPECT_EQ(clock.GetElapsed(), 0);
    clock.Stop();
    Platform::Testing::UseRealClock();
}
