// The frame's draw limit on particle quads: what it counts of a quad, what it
// keeps when a frame asks for more than its limits, and that every particle
// type keeps its share and every particle keeps showing while it does.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "graphics/Texture.h"
#include "particles/engine/ParticleDrawLimit.h"
#include "particles/engine/VexaGraphics_Engine.h"
#include "tests/support/RecordingGraphics.h"

namespace {

using Engine::Graphics::SpriteVertex;
using Engine::Graphics::Testing::CRecordingGraphics;
using Engine::Particles::CParticleDrawLimit;
using Engine::Particles::CVexaGraphics_Engine;

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
        limit.StartType();
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

// A particle type's quads: `count` squares of `side` pixels from (x, y),
// each tagged with its index.
std::vector<SpriteVertex> Squares(int count, float side, float x, float y) {
    std::vector<SpriteVertex> quads;
    for (int i = 0; i < count; ++i) {
        const std::vector<SpriteVertex> quad = Quad(x + float(i % 16), y, side, float(i));
        quads.insert(quads.end(), quad.begin(), quad.end());
    }
    return quads;
}

// 2,000 px squares over the whole 800 x 600 screen, as a damaged effect draws.
std::vector<SpriteVertex> ScreenSquares(int count) { return Squares(count, 2000.0f, -600.0f, -700.0f); }

constexpr int64_t kQuads = 131072;
constexpr double kScreens = 32.0;

// Draws a particle type as the library does, a type's start then batches
// of at most 512 quads, and returns the tags of the quads kept.
std::vector<int> DrawType(CParticleDrawLimit& limit, const std::vector<SpriteVertex>& quads) {
    std::vector<int> kept;
    std::vector<SpriteVertex> batch;
    limit.StartType();
    for (size_t first = 0; first < quads.size(); first += 4 * 512) {
        const size_t end = std::min(quads.size(), first + 4 * 512);
        batch.assign(quads.begin() + ptrdiff_t(first), quads.begin() + ptrdiff_t(end));
        const int32_t count = limit.Keep(batch.data(), int32_t(batch.size() / 4));
        for (int32_t i = 0; i < count; ++i) kept.push_back(int(batch[size_t(4 * i)].u));
    }
    return kept;
}

// Runs `frames` frames of the types drawn in order and hands each frame
// after the first the tags kept per type. Every frame stays within the
// limits.
using CKept = std::vector<std::vector<int>>;
template <typename Check>
void RunFrames(CParticleDrawLimit& limit, const std::vector<std::vector<SpriteVertex>>& types, int frames,
               int64_t quads, double screens, Check check, int64_t typeDraws = INT64_MAX) {
    for (int frame = 0; frame < frames; ++frame) {
        limit.StartFrame(quads, screens, kWidth, kHeight, typeDraws);
        CKept kept;
        for (const std::vector<SpriteVertex>& type : types) kept.push_back(DrawType(limit, type));
        ASSERT_LE(limit.GetQuadsKept(), quads);
        ASSERT_LE(limit.GetAreaKept(), screens * kScreen);
        if (frame > 0) check(frame, kept);
    }
}

struct CSmallTypeCase {
    const char* name;
    int screenQuads;
    bool smallFirst;
};

class DrawLimitSmallTypeTest : public ::testing::TestWithParam<CSmallTypeCase> {};

// An effect of 11 small quads beside a damaged one of screen-sized quads,
// drawn before or after it: from the second frame on, it keeps a quad every
// frame and shows all of them within 11 frames (fewer than k), while the
// large one keeps its share, a different part of it each frame.
TEST_P(DrawLimitSmallTypeTest, KeepsAQuadEveryFrameAndShowsEveryQuadWithinKFrames) {
    const CSmallTypeCase& c = GetParam();
    const size_t small = c.smallFirst ? 0 : 1, large = 1 - small;
    std::vector<std::vector<SpriteVertex>> types(2);
    types[small] = Squares(11, 16.0f, 100.0f, 100.0f);
    types[large] = ScreenSquares(c.screenQuads);
    CParticleDrawLimit limit;
    std::vector<int> smallShown(11, 0), largeShown(size_t(c.screenQuads), 0);
    constexpr int kFrames = 1 + 2 * 11;
    RunFrames(limit, types, kFrames, kQuads, kScreens, [&](int frame, const CKept& kept) {
        const int64_t k = limit.GetStride();
        ASSERT_GT(k, kFrames);
        EXPECT_GE(kept[small].size(), 1u) << "frame " << frame;
        EXPECT_GE(int64_t(kept[large].size()), c.screenQuads / k - 1) << "frame " << frame;
        for (int tag : kept[small]) ++smallShown[size_t(tag)];
        for (int tag : kept[large]) EXPECT_EQ(largeShown[size_t(tag)]++, 0) << "quad " << tag << " again";
        if (frame != 11) return;
        for (int tag = 0; tag < 11; ++tag) EXPECT_GT(smallShown[size_t(tag)], 0) << "quad " << tag;
    });
}

INSTANTIATE_TEST_SUITE_P(Frames, DrawLimitSmallTypeTest,
                         ::testing::Values(CSmallTypeCase{"FirstBeside131072", 131072, true},
                                           CSmallTypeCase{"LastBeside131072", 131072, false},
                                           CSmallTypeCase{"FirstBeside5000", 5000, true},
                                           CSmallTypeCase{"LastBeside5000", 5000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct CTypesCase {
    const char* name;
    std::vector<int> counts;  // quads per type
    std::vector<float> sides;
    int64_t quads;
    double screens;
};

class DrawLimitTypesTest : public ::testing::TestWithParam<CTypesCase> {
protected:
    std::vector<std::vector<SpriteVertex>> Types() const {
        std::vector<std::vector<SpriteVertex>> types;
        for (size_t i = 0; i < GetParam().counts.size(); ++i)
            types.push_back(Squares(GetParam().counts[i], GetParam().sides[i], 0.0f, 0.0f));
        return types;
    }
};

// Types of different demand keep the same part of what each offers, by count
// and so by area, whatever their order, and every quad shows within k
// frames.
TEST_P(DrawLimitTypesTest, EachKeepsItsShareAndShowsEveryQuadWithinKFrames) {
    const CTypesCase& c = GetParam();
    const std::vector<std::vector<SpriteVertex>> types = Types();
    CParticleDrawLimit limit;
    std::vector<std::vector<int>> shown(types.size());
    for (size_t type = 0; type < types.size(); ++type) shown[type].assign(size_t(c.counts[type]), 0);
    int64_t k = 0;
    RunFrames(limit, types, 40, c.quads, c.screens, [&](int frame, const CKept& kept) {
        k = limit.GetStride();
        ASSERT_GT(k, 1);
        for (size_t type = 0; type < types.size(); ++type) {
            const double share = double(c.counts[type]) / double(k);
            EXPECT_NEAR(double(kept[type].size()), share, 1.0) << "type " << type << ", frame " << frame;
            if (frame <= k)
                for (int tag : kept[type]) ++shown[type][size_t(tag)];
        }
    });
    ASSERT_LT(k, 40);
    for (size_t type = 0; type < types.size(); ++type)
        EXPECT_EQ(std::count(shown[type].begin(), shown[type].end(), 1), c.counts[type]) << "type " << type;
}

INSTANTIATE_TEST_SUITE_P(
    Demands, DrawLimitTypesTest,
    ::testing::Values(CTypesCase{"ByCount", {3000, 1000}, {10, 10}, 400, 1000.0},
                      CTypesCase{"ByCountTheLargerLast", {1000, 3000}, {10, 10}, 400, 1000.0},
                      CTypesCase{"ByArea", {3000, 1000}, {10, 40}, 5000, 200000.0 / kScreen},
                      CTypesCase{"ByAreaTheLargerFirst", {1000, 3000}, {40, 10}, 5000, 200000.0 / kScreen}),
    [](const auto& info) { return std::string(info.param.name); });

struct COwedCase {
    const char* name;
    std::vector<SpriteVertex> (*large)(int frame);
};

class DrawLimitOwedTest : public ::testing::TestWithParam<COwedCase> {};

// A damaged effect that asks for more than the last frame showed, larger
// quads or more of them, cannot take what an emitter drawn after it is owed.
TEST_P(DrawLimitOwedTest, AnEffectDrawnFirstLeavesTheShareOfOneDrawnAfter) {
    const std::vector<SpriteVertex> small = Squares(1, 16.0f, 0, 0);
    CParticleDrawLimit limit;
    for (int frame = 0; frame < 6; ++frame) {
        limit.StartFrame(kQuads, kScreens, kWidth, kHeight);
        EXPECT_FALSE(DrawType(limit, GetParam().large(frame)).empty());
        const size_t kept = DrawType(limit, small).size();
        EXPECT_LE(limit.GetAreaKept(), kScreens * kScreen);
        if (frame == 0) continue;
        EXPECT_EQ(kept, 1u) << "frame " << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Demands, DrawLimitOwedTest,
    ::testing::Values(COwedCase{"QuadsLargerThanItsAverage",
                                [](int) {
                                    // Every other quad covers the screen, the rest nothing.
                                    std::vector<SpriteVertex> quads = ScreenSquares(5000);
                                    for (size_t i = 4; i < quads.size(); i += 8)
                                        for (size_t v = i; v < i + 4; ++v) quads[v].x = quads[v].y = 0.5f;
                                    return quads;
                                }},
                      COwedCase{"MoreQuadsThanTheLastFrame", [](int frame) { return ScreenSquares(1000 << frame); }}),
    [](const auto& info) { return std::string(info.param.name); });

struct CTurnsCase {
    const char* name;
    int types, quadsEach;
    float side;
    int64_t quads;
    double screens;
    int typesAFrame;  // what the limits pay for
    int64_t typeDraws = INT64_MAX;
    int quadsAType = 1;  // what each type drawn keeps
};

class DrawLimitTurnsTest : public ::testing::TestWithParam<CTurnsCase> {};

// More types than the limits give a quad each, as thousands of sub-emitter
// copies drawing on their own, or more than the type draws, as a file of
// many types: each frame as many types as fit are drawn, keeping one quad
// each or, past the type draws alone, every quad the other limits pay for;
// every type shows within ceil(types / typesAFrame) frames and every quad
// within that many turns of its type.
TEST_P(DrawLimitTurnsTest, TypesTakeTurnsAndEveryQuadShows) {
    const CTurnsCase& c = GetParam();
    const std::vector<std::vector<SpriteVertex>> types(size_t(c.types), Squares(c.quadsEach, c.side, 0.0f, 0.0f));
    const int pass = (c.types + c.typesAFrame - 1) / c.typesAFrame;
    std::vector<int> lastShown(size_t(c.types), 0);
    std::vector<std::vector<int>> shown(size_t(c.types), std::vector<int>(size_t(c.quadsEach), 0));
    CParticleDrawLimit limit;
    RunFrames(limit, types, 1 + pass * c.quadsEach, c.quads, c.screens, [&](int frame, const CKept& kept) {
        int typesKept = 0;
        for (size_t type = 0; type < kept.size(); ++type) {
            if (kept[type].empty()) continue;
            ASSERT_EQ(kept[type].size(), size_t(c.quadsAType)) << "type " << type << ", frame " << frame;
            ++typesKept;
            lastShown[type] = frame;
            for (int tag : kept[type]) ++shown[type][size_t(tag)];
        }
        EXPECT_EQ(limit.GetQuadsKept(), int64_t(c.typesAFrame) * c.quadsAType) << "frame " << frame;
        EXPECT_EQ(typesKept, c.typesAFrame) << "frame " << frame;
        for (size_t type = 0; type < kept.size(); ++type)
            ASSERT_GT(lastShown[type] + pass, frame) << "type " << type << " waits longer than " << pass;
    }, c.typeDraws);
    for (size_t type = 0; type < shown.size(); ++type)
        ASSERT_EQ(std::count(shown[type].begin(), shown[type].end(), 0), 0) << "type " << type;
}

INSTANTIATE_TEST_SUITE_P(
    Copies, DrawLimitTurnsTest,
    ::testing::Values(CTurnsCase{"MoreTypesThanQuads", 5000, 3, 10.0f, 1000, kScreens, 1000},
                      CTurnsCase{"MoreTypesThanScreens", 3000, 2, 2000.0f, kQuads, kScreens, 32},
                      CTurnsCase{"MoreTypesThanTypeDraws", 5000, 3, 10.0f, kQuads, kScreens, 700, 700, 3},
                      // A file of many types past the application's type draws.
                      CTurnsCase{"TypeDrawsOf33000", 33000, 3, 10.0f, kQuads, kScreens, 32768, 32768, 3},
                      CTurnsCase{"TypeDrawsOf40000", 40000, 3, 10.0f, kQuads, kScreens, 32768, 32768, 3},
                      // Twice the type draws and one more, and many effects' worth.
                      CTurnsCase{"TypeDrawsOf65537", 65537, 3, 10.0f, kQuads, kScreens, 32768, 32768, 3},
                      CTurnsCase{"TypeDrawsOf100000", 100000, 3, 10.0f, kQuads, kScreens, 32768, 32768, 3}),
    [](const auto& info) { return std::string(info.param.name); });

// Within the limits, or exactly at them, every quad of every type passes
// untouched, frame after frame.
TEST(DrawLimitTest, WithinTheLimitsEveryTypePassesUntouched) {
    const std::vector<std::vector<SpriteVertex>> types{Squares(300, 40.0f, 5.0f, 7.0f), Squares(1, 800.0f, 0, 0),
                                                       ScreenSquares(99)};
    CParticleDrawLimit limit;
    for (int frame = 0; frame < 4; ++frame) {
        // Both limits are met exactly: 400 quads, 100 screens and 300 squares of 40.
        limit.StartFrame(400, 100.0 + 300.0 * 1600.0 / kScreen, kWidth, kHeight);
        for (const std::vector<SpriteVertex>& type : types) {
            limit.StartType();
            std::vector<SpriteVertex> quads = type;
            ASSERT_EQ(limit.Keep(quads.data(), int32_t(quads.size() / 4)), int32_t(quads.size() / 4));
            EXPECT_EQ(std::memcmp(quads.data(), type.data(), quads.size() * sizeof(SpriteVertex)), 0);
        }
        EXPECT_EQ(limit.GetStride(), 1);
    }
}

// Through the binding: the texture the library sets before each type's
// draws starts the type, so an emitter drawn after a damaged one keeps a
// quad every frame.
TEST(DrawLimitBindingTest, EachTextureStartsATypeOfItsOwn) {
    CRecordingGraphics graphics;
    Engine::Graphics::CTextureList textures(&graphics);
    CVexaGraphics_Engine binding(&graphics, &textures);
    std::unique_ptr<VexaParticles::VexaGraphics::IVertexBuffer> buffer;
    ASSERT_EQ(binding.CreateVertexBuffer(buffer, 4 * 512, int32_t(sizeof(SpriteVertex)), 0x1000D, 0), 0);
    const std::vector<SpriteVertex> large = ScreenSquares(512), small = Squares(1, 16.0f, 0, 0);
    for (int frame = 0; frame < 4; ++frame) {
        binding.GetDrawLimit().StartFrame(kQuads, kScreens, kWidth, kHeight);
        graphics.Clear();
        for (const std::vector<SpriteVertex>* type : {&large, &large, &small}) {
            binding.SetTexture(0, nullptr);
            ASSERT_EQ(buffer->Lock(), 0);
            std::memcpy(buffer->GetData(), type->data(), type->size() * sizeof(SpriteVertex));
            ASSERT_EQ(buffer->Unlock(), 0);
            binding.Draw(buffer.get(), 0, int32_t(type->size() / 4), 0);
        }
        if (frame == 0) continue;
        ASSERT_FALSE(graphics.calls.empty());
        EXPECT_EQ(graphics.calls.back().name, "gDraw");
        EXPECT_EQ(graphics.calls.back().args[2], 1.0) << "frame " << frame;
    }
}

} // namespace
