// The frame's sprite area limit: what a frame's sprite quads may cover, met
// in the order the frame emits them, on every road a sprite quad takes to
// the driver; and the software driver's update pass, which drops the rest
// of its work when a quit stops the frame.

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "app/Application.h"
#include "graphics/DrawnAreaLimit.h"
#include "graphics/Graphics.h"
#include "tests/graphics/SpriteQueueFixture.h"

using namespace Engine::Graphics;
using namespace SpriteQueueTesting;
using Engine::ref_ptr;

namespace {

constexpr int32_t kWidth = 800, kHeight = 600;
constexpr double kScreen = double(kWidth) * kHeight;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct CRect {
    float left, top, right, bottom;
};

struct CLimitCase {
    const char* name;
    double screens;
    bool started;  // a frame was started
    std::vector<CRect> quads;
    std::vector<bool> kept;
    double areaKept;  // in screens
};

class AreaLimit : public testing::TestWithParam<CLimitCase> {};

TEST_P(AreaLimit, KeepsTheQuadsThatFitInOrder) {
    const CLimitCase& c = GetParam();
    CDrawnAreaLimit limit, upright;
    limit.SetScreens(c.screens);
    upright.SetScreens(c.screens);
    // Each frame starts from nothing.
    for (int frame = 0; frame < 2; ++frame) {
        if (c.started) limit.StartFrame(kWidth, kHeight);
        if (c.started) upright.StartFrame(kWidth, kHeight);
        std::vector<bool> kept, keptUpright;
        for (const CRect& r : c.quads) {
            const SpriteVertex quad[4] = {{r.left, r.top, 0, 1, 0, 0, 0}, {r.right, r.top, 0, 1, 0, 0, 0},
                                          {r.right, r.bottom, 0, 1, 0, 0, 0}, {r.left, r.bottom, 0, 1, 0, 0, 0}};
            kept.push_back(limit.Keep(quad));
            // Mirrored (corner 0 at the bottom right) on the upright road.
            const SpriteVertex mirrored[4] = {quad[2], quad[3], quad[0], quad[1]};
            keptUpright.push_back(upright.KeepUpright(frame == 0 ? quad : mirrored));
        }
        EXPECT_EQ(kept, c.kept) << "frame " << frame;
        EXPECT_EQ(keptUpright, c.kept) << "frame " << frame << ", the upright road";
        EXPECT_EQ(upright.GetAreaKept(), limit.GetAreaKept()) << "frame " << frame;
        EXPECT_EQ(upright.GetAreaOffered(), limit.GetAreaOffered()) << "frame " << frame;
        if (!c.started) continue;
        EXPECT_DOUBLE_EQ(limit.GetAreaKept(), c.areaKept * kScreen);
        const auto dropped = std::count(c.kept.begin(), c.kept.end(), false);
        EXPECT_EQ(limit.GetQuadsDropped(), dropped);
        EXPECT_EQ(limit.GetQuadsKept(), int64_t(c.kept.size()) - dropped);
    }
}

const CRect kScreenRect{0, 0, 800, 600}, kHalf{0, 0, 400, 600}, kQuarter{400, 300, 800, 600};

INSTANTIATE_TEST_SUITE_P(
    Cases, AreaLimit,
    testing::Values(
        CLimitCase{"WithinTheLimitEveryQuadIsKept", 2, true, {kScreenRect, kHalf, kQuarter}, {true, true, true}, 1.75},
        CLimitCase{"AQuadThatReachesTheLimitExactlyIsKept", 1.5, true, {kScreenRect, kHalf}, {true, true}, 1.5},
        CLimitCase{"QuadsPastTheLimitAreDroppedAndLaterOnesThatFitKept",
                   1.5,
                   true,
                   {kScreenRect, kScreenRect, kQuarter, kQuarter, kQuarter},
                   {true, false, true, true, false},
                   1.5},
        CLimitCase{"OnlyTheScreenCounts",
                   1,
                   true,
                   {{-8e8f, -6e8f, 8e8f, 6e8f}, {900, 0, 1000, 600}, {0, -50, 800, -1}, kQuarter},
                   {true, true, true, false},
                   1},
        CLimitCase{"ANotANumberCountsAsTheWholeScreen", 1.5, true, {{kNaN, 0, 1, 1}, kScreenRect}, {true, false}, 1},
        CLimitCase{"LiftedKeepsEverything",
                   CDrawnAreaLimit::kLifted,
                   true,
                   {kScreenRect, kScreenRect, kScreenRect},
                   {true, true, true},
                   3},
        CLimitCase{"BeforeTheFirstFrameNothingIsLimited", 0, false, {kScreenRect, kScreenRect}, {true, true}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Ten sprites each covering the screen, told apart by colour, under a limit
// of three screens: the first three the frame emits are drawn. The sprites
// reach the driver flushed, buffered for the software driver, or drawn at
// once.
enum class ERoad { Flushed, Buffered, DrawnAtOnce };

class SpriteAreaLimit : public QueueFixture, public testing::WithParamInterface<ERoad> {
protected:
    static constexpr int kSprites = 10;
    static constexpr double kScreens = 3.0;

    void SetUp() override {
        QueueFixture::SetUp();
        driver.GetParams().width = kWidth;
        driver.GetParams().height = kHeight;
        if (GetParam() == ERoad::Buffered) {
            driver.m_bSoftware = true;
            driver.CreateSpriteContainers();
        }
        driver.GetSpriteAreaLimit().SetScreens(kScreens);
        driver.GetSpriteAreaLimit().StartFrame(kWidth, kHeight);
        driver.Clear();
    }

    // The colour of each quad that reached the driver, in order.
    std::vector<uint32_t> Drawn() const {
        std::vector<uint32_t> colours;
        if (GetParam() == ERoad::Buffered) {
            for (const CBufferedSprite& record : driver.GetSpritesContainer()->GetRecords())
                colours.push_back(record.block.vertices[0].color);
            return colours;
        }
        for (const CRecordedCall* draw : Draws()) {
            const std::vector<SpriteVertex> vertices = Vertices(*draw);
            for (size_t i = 0; i + 4 <= vertices.size(); i += 4) colours.push_back(vertices[i].color);
        }
        return colours;
    }
};

TEST_P(SpriteAreaLimit, TheFirstQuadsEmittedAreDrawnUpToTheLimit) {
    // 16 by 16 texels scaled to 800 by 600.
    CSpriteRef& sprite = Sprite("other");
    for (int i = 0; i < kSprites; ++i) {
        const uint32_t colour = 0xFF000000u | uint32_t(i);
        if (GetParam() == ERoad::DrawnAtOnce) {
            CSpriteQueueItem item = sprite.GetTemplate();
            item.scaleX = 50.0f;
            item.scaleY = 37.5f;
            std::fill(std::begin(item.colors), std::end(item.colors), colour);
            sprite.Draw(item);
        } else {
            CSpriteQueue::QueueSpriteAtSizeF(params, sprite, 0, 0, 50.0f, 37.5f, colour);
        }
    }
    CSpriteQueue::Flush(params);
    EXPECT_EQ(Drawn(), (std::vector<uint32_t>{0xFF000000u, 0xFF000001u, 0xFF000002u}));
    const CDrawnAreaLimit& limit = driver.GetSpriteAreaLimit();
    EXPECT_DOUBLE_EQ(limit.GetAreaKept(), kScreens * kScreen);
    EXPECT_DOUBLE_EQ(limit.GetAreaOffered(), kSprites * kScreen);
    EXPECT_EQ(limit.GetQuadsDropped(), kSprites - 3);
}

TEST_P(SpriteAreaLimit, ParticleQuadsAreNotCounted) {
    ref_ptr<CVertexBuffer> vertices;
    driver.CreateVertexBuffer(vertices, 8, sizeof(SpriteVertex), VF_SPRITE, true);
    auto* quads = static_cast<SpriteVertex*>(vertices->Lock());
    for (int i = 0; i < 8; ++i) quads[i] = {i % 4 == 1 || i % 4 == 2 ? 800.0f : 0.0f, i % 4 >= 2 ? 600.0f : 0.0f, 0, 1, 0, 0, 0};
    vertices->Unlock();
    driver.BufferParticleQuads(0, vertices, 2, ref_ptr<CTexture>(new CTexture(nullptr, nullptr)));
    EXPECT_EQ(driver.GetSpriteAreaLimit().GetAreaOffered(), 0.0);
}

std::string RoadName(const testing::TestParamInfo<ERoad>& info) {
    switch (info.param) {
    case ERoad::Flushed: return "Flushed";
    case ERoad::Buffered: return "Buffered";
    case ERoad::DrawnAtOnce: return "DrawnAtOnce";
    }
    return "";
}

INSTANTIATE_TEST_SUITE_P(Roads, SpriteAreaLimit, testing::Values(ERoad::Flushed, ERoad::Buffered, ERoad::DrawnAtOnce),
                         RoadName);

// The software driver's update pass over a frame of many small new quads,
// each redrawn by one draw; a quit is posted once `quitAfter` of them are
// drawn (never when negative). The application's watch asks its probe at
// every check.
struct CPassCase {
    const char* name;
    bool application;  // the driver has an application (tests' drivers may not)
    int quitAfter;
};

class UpdatePassQuit : public testing::TestWithParam<CPassCase> {
protected:
    static constexpr int kQuads = 20000;

    void SetUp() override {
        CSpriteQueue::SetDriver(&driver);
        ASSERT_TRUE(CSpriteQueue::CreateVertexBuffer());
        ASSERT_TRUE(CSpriteQueue::Init());
        driver.GetParams().width = kWidth;
        driver.GetParams().height = kHeight;
        driver.CreateSpriteContainers();
    }
    void TearDown() override {
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
    }
    int64_t DrawCount() const {
        return std::count_if(driver.calls.begin(), driver.calls.end(),
                             [](const CRecordedCall& call) { return call.name == "gDraw"; });
    }

    Engine::CApplication app;
    Engine::CApplication* cell = GetParam().application ? &app : nullptr;
    CRecordingGraphics driver{&cell};
};

TEST_P(UpdatePassQuit, ThePassStopsWithinACheckIntervalOfTheQuit) {
    const CPassCase& c = GetParam();
    Engine::CFrameQuitWatch& watch = app.GetQuitWatch();
    watch.SetTimeGate(false);
    watch.SetProbe([&] { return c.quitAfter >= 0 && DrawCount() >= c.quitAfter; });
    watch.StartFrame();
    const ref_ptr<CTexture> texture(new CTexture(nullptr, nullptr));
    for (int i = 0; i < kQuads; ++i) {
        const float x = float(i * 7 % 790), y = float(i * 13 % 590);
        const SpriteVertex quad[4] = {{x, y, 0, 1, 0, 0, 0}, {x + 4, y, 0, 1, 0, 0, 0}, {x + 4, y + 4, 0, 1, 0, 0, 0},
                                      {x, y + 4, 0, 1, 0, 0, 0}};
        driver.GetSpritesContainer()->Add(quad, texture, {});
    }
    driver.Clear();
    driver.FinishBufferedFrame();
    const int64_t draws = DrawCount();
    if (c.quitAfter < 0 || !c.application) {
        EXPECT_EQ(draws, kQuads) << "a frame without a quit does all its work";
        EXPECT_FALSE(watch.IsStopped());
        return;
    }
    EXPECT_TRUE(watch.IsStopped());
    EXPECT_GE(draws, c.quitAfter);
    EXPECT_LE(draws, c.quitAfter + Engine::CFrameQuitWatch::kCheckInterval);
}

INSTANTIATE_TEST_SUITE_P(Cases, UpdatePassQuit,
                         testing::Values(CPassCase{"NoQuit", true, -1}, CPassCase{"QuitWhileMarking", true, 0},
                                         CPassCase{"QuitWhileDrawing", true, 5000},
                                         CPassCase{"NoApplicationNoCheck", false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
