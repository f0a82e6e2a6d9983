// Curve and gradient sampling against values worked out by hand, and the
// particle generator against its formulas evaluated independently.

#include <gtest/gtest.h>

#include <vector>

#include "particles/library/ColourGradient.h"
#include "particles/library/ParameterCurve.h"
#include "particles/library/ParticleRandom.h"

namespace VexaParticles {
namespace {

struct CCurveCase {
    std::vector<CCurveKey> keys;
    bool smooth;
    float t;
    float expected;
};

class CurveSampleTest : public ::testing::TestWithParam<CCurveCase> {};

TEST_P(CurveSampleTest, GivesTheHandComputedValue) {
    const CCurveCase& c = GetParam();
    EXPECT_FLOAT_EQ(SampleCurve(CParameterCurve(c.keys, c.smooth), c.t), c.expected);
}

const std::vector<CCurveKey> kRamp{{0, 0}, {2, 10}};
const std::vector<CCurveKey> kThree{{0, 0}, {1, 10}, {3, 30}};

INSTANTIATE_TEST_SUITE_P(Keys, CurveSampleTest, ::testing::Values(
    CCurveCase{{{0, 5}}, false, -1, 5}, CCurveCase{{{0, 5}}, false, 10, 5},
    CCurveCase{kRamp, false, -1, 0}, CCurveCase{kRamp, false, 0, 0}, CCurveCase{kRamp, false, 2, 10},
    CCurveCase{kRamp, false, 3, 10}, CCurveCase{kRamp, false, 0.5f, 2.5f},
    CCurveCase{kRamp, true, 1, 5}, CCurveCase{kRamp, true, 0.5f, 1.5625f},
    CCurveCase{kThree, false, 1, 10}, CCurveCase{kThree, false, 2, 20}, CCurveCase{kThree, true, 2, 20},
    CCurveCase{{}, false, 1, 0}));

struct CGradientCase {
    std::vector<CColourKey> keys;
    int32_t repeat;
    float t;
    float expectedRed;
};

class GradientSampleTest : public ::testing::TestWithParam<CGradientCase> {};

TEST_P(GradientSampleTest, GivesTheHandComputedColour) {
    const CGradientCase& c = GetParam();
    const CColour colour = SampleColourGradient(CColourGradient(c.keys, c.repeat, false), c.t);
    EXPECT_FLOAT_EQ(colour.red, c.expectedRed);
    // Green runs opposite to red, so all channels are interpolated alike.
    if (!c.keys.empty()) {
        EXPECT_FLOAT_EQ(colour.green, 1.0f - c.expectedRed);
    }
}

const std::vector<CColourKey> kBlend{{0, 0, 1, 0, 1}, {1, 1, 0, 0, 1}};
const std::vector<CColourKey> kLate{{2, 0, 1, 0, 1}, {4, 1, 0, 0, 1}};
const std::vector<CColourKey> kAcrossZero{{-1, 0.5f, 0.5f, 0, 1}, {1, 1, 0, 0, 1}};

INSTANTIATE_TEST_SUITE_P(Keys, GradientSampleTest, ::testing::Values(
    CGradientCase{kBlend, 2, 0.75f, 0.5f}, CGradientCase{kBlend, 3, 0.25f, 0.75f},
    CGradientCase{kBlend, 1, 5, 1}, CGradientCase{kBlend, 0, 5, 1}, CGradientCase{kBlend, 0, 0.25f, 0.25f},
    CGradientCase{kBlend, 2, -1, 0}, CGradientCase{kLate, 2, 2.5f, 0.5f},
    CGradientCase{{{1, 0, 1, 0, 1}, {1, 1, 0, 0, 1}}, 2, 2, 0}, CGradientCase{{}, 2, 1, 0},
    // -0.3 * 2 wraps to -1.6, below the first key: the first segment runs on.
    CGradientCase{kAcrossZero, 2, -0.3f, 0.35f}, CGradientCase{kAcrossZero, 2, 0, 0.5f}));

TEST(ParticleRandom, FirstValuesFollowTheFormulas) {
    // Worked out separately from the seeding and drawing formulas; the later
    // values cover cursor B wrapping past the last word twice.
    const std::vector<uint32_t> expected{0x5fc8c3ed, 0x3d647e69, 0x8b9ee8f9, 0xcf0c968d, 0xa4d1187e, 0xfb03ad81};
    const std::vector<uint32_t> later{0xe0770220, 0x1ea9af6d, 0x7ff6421c, 0x06bfc729, 0x5768fe3a, 0xbe9031cb};
    ParticleRandomGenerator generator{{}, 0, 1, true};
    ParticleRandomSeed(generator, 12345);
    std::vector<uint32_t> values;
    for (int i = 0; i < 40; ++i) values.push_back(ParticleRandomNext(generator));
    EXPECT_EQ(std::vector<uint32_t>(values.begin(), values.begin() + 6), expected);
    EXPECT_EQ(std::vector<uint32_t>(values.begin() + 34, values.end()), later);
}

TEST(ParticleRandom, SeedFillsTheStateAndCursorsNeverMeet) {
    ParticleRandomGenerator& generator = GetParticleRandomGenerator();
    EXPECT_TRUE(generator.initialised);
    ParticleRandomSeed(generator, 0);
    EXPECT_EQ(generator.state[0], (0u - 97832771u) ^ 341392369u);
    for (int i = 0; i < 1000; ++i) {
        ParticleRandomNext(generator);
        ASSERT_NE(generator.cursorA, generator.cursorB);
    }
}

} // namespace
} // namespace VexaParticles
