// The frame's draw limit on particle quads: what it counts of a quad, what it
// keeps when a frame asks for more than its limits, and that every emitter
// and every particle keeps showing while it does.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "particles/ParticleDrawLimit.h"

namespace {

using Engine::Graphics::SpriteVertex;
using Engine::Particles::CParticleDrawLimit;

constexpr int32_t kWidth = 800, kHeight = 600;
constexpr double kScreen = double(kWidth) * kHeight;

// A square quad with its top-left corner at (x, y); u carries a tag that
// tells the quads apart.
std::vector<SpriteVertex> Quad(float x, float y, float side, float tag) {
    return {{x, y, 0, 1, 0, tag, 0}, {x + side, y, 0, 1, 0, tag, 0}, {x + side, y + side, 0, 1, 0, tag, 0},
            {x, y + side, 0, 1, 0, tag, 0}};
}

struct CAreaCase {
    const char* name;
    std::vector<SpriteVertex> quad;
    double area;
};

class DrawLimitAreaTest : public ::testing::TestWithParam<CAreaCase> {};

// A quad's cost is its bounding box clipped to the back buffer.
TEST_P(DrawLimitAreaTest, CountsTheCoveredArea) {
    CParticleDrawLimit limit;
    limit.StartFrame(10, 100.0, kWidth, kHeight);
    std::vector<SpriteVertex> quad = GetParam().quad;
    EXPECT_EQ(limit.Keep(quad.data(), 1), 1);
    EXPECT_EQ(limit.GetAreaKept(), GetParam().area);
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Quads, DrawLimitAreaTest,
    ::testing::Values(CAreaCase{"Inside", Quad(10, 20, 30, 0), 900.0},
                      CAreaCase{"CutByTheLeftAndTopEdges", Quad(-10, -20, 30, 0), 20.0 * 10.0},
                      CAreaCase{"Outside", Quad(900, 20, 30, 0), 0.0},
                      CAreaCase{"LargerThanTheScreen", Quad(-1e9f, -1e9f, 3e9f, 0), kScreen},
                      CAreaCase{"Infinite", Quad(-kInf, -kInf, kInf, 0), kScreen},
                      CAreaCase{"NotANumber", Quad(kNaN, 0, 10, 0), kScreen},
                      CAreaCase{"Turned",
                                {{5, 0, 0, 1, 0, 0, 0}, {10, 5, 0, 1, 0, 0, 0}, {5, 10, 0, 1, 0, 0, 0}, {0, 5, 0, 1, 0, 0, 0}},
                                100.0}),
    [](const auto& info) { return std::string(info.param.name); });

// Two emitters each drawing `per` quads a frame in one draw call, each quad
// `side` pixels square; returns the tags kept by each.
struct CFrameKept {
    std::vector<float> first, second;
};

CFrameKept DrawFrame(CParticleDrawLimit& limit, int per, float side) {
    CFrameKept kept;
    for (int emitter = 0; emitter < 2; ++emitter) {
        std::vector<SpriteVertex> quads;
        for (int i = 0; i < per; ++i) {
            const std::vector<SpriteVertex> quad = Quad(float(i % 20) * 30.0f, 0, side, float(emitter * per + i));
            quads.insert(quads.end(), quad.begin(), quad.end());
        }
        const int32_t count = limit.Keep(quads.data(), per);
        for (int32_t i = 0; i < count; ++i) (emitter == 0 ? kept.first : kept.second).push_back(quads[size_t(4 * i)].u);
    }
    return kept;
}

// Within its limits a frame keeps every quad, in place.
TEST(DrawLimitTest, WithinTheLimitsEveryQuadIsKeptInPlace) {
    CParticleDrawLimit limit;
    for (int frame = 0; frame < 3; ++frame) {
        limit.StartFrame(100, 1.0, kWidth, kHeight);
        const CFrameKept kept = DrawFrame(limit, 50, 10.0f);
        ASSERT_EQ(kept.first.size(), 50u);
        ASSERT_EQ(kept.second.size(), 50u);
        for (int i = 0; i < 50; ++i) EXPECT_EQ(kept.first[size_t(i)], float(i));
    }
}

struct CShareCase {
    const char* name;
    int64_t quads;
    double screens;
    float side;
};

class DrawLimitShareTest : public ::testing::TestWithParam<CShareCase> {};

// Two emitters asking for four times what the frame pays for, by count or by
// area: the first frame keeps what its limits pay for; from the next on each
// emitter keeps a share every frame, in order, and within four frames every
// particle has shown.
TEST_P(DrawLimitShareTest, EveryEmitterKeepsAShareAndEveryParticleShowsInTurn) {
    const CShareCase& c = GetParam();
    CParticleDrawLimit limit;
    std::vector<int> shown(400, 0);
    for (int frame = 0; frame < 5; ++frame) {
        limit.StartFrame(c.quads, c.screens, kWidth, kHeight);
        const CFrameKept kept = DrawFrame(limit, 200, c.side);
        EXPECT_LE(limit.GetQuadsKept(), c.quads);
        EXPECT_LE(limit.GetAreaKept(), c.screens * kScreen);
        EXPECT_TRUE(std::is_sorted(kept.first.begin(), kept.first.end()));
        if (frame == 0) {
            EXPECT_EQ(kept.first.size(), 100u) << "the limits are met in the first emitter";
            EXPECT_TRUE(kept.second.empty());
            continue;
        }
        EXPECT_EQ(limit.GetStride(), 4);
        EXPECT_EQ(kept.first.size(), 50u) << "frame " << frame;
        EXPECT_EQ(kept.second.size(), 50u) << "frame " << frame;
        for (float tag : kept.first) ++shown[size_t(tag)];
        for (float tag : kept.second) ++shown[size_t(tag)];
    }
    for (int tag = 0; tag < 400; ++tag) EXPECT_EQ(shown[size_t(tag)], 1) << "particle " << tag;
}

INSTANTIATE_TEST_SUITE_P(Limits, DrawLimitShareTest,
                         ::testing::Values(CShareCase{"ByCount", 100, 1000.0, 10.0f},
                                           CShareCase{"ByArea", 1000, 10050.0 / kScreen, 10.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
