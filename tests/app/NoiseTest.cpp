#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "app/Noise.h"
#include "app/Random.h"

namespace {

struct SeedCase { uint32_t seed; std::array<int, 5> values; };

class CrtRandTest : public testing::TestWithParam<SeedCase> {};

TEST_P(CrtRandTest, ReproducesRuntimeSequence) {
    CrtSrand(GetParam().seed);
    for (int expected : GetParam().values) EXPECT_EQ(CrtRand(), expected);
}

// Worked by hand from state = state * 214013 + 2531011 (mod 2^32), (state >> 16) & 0x7FFF.
INSTANTIATE_TEST_SUITE_P(Seeds, CrtRandTest,
                         testing::Values(SeedCase{1, {41, 18467, 6334, 26500, 19169}},
                                         SeedCase{548485, {21687, 23748, 29499, 8495, 3004}},
                                         SeedCase{0xFFFFFFFFu, {35, 29739, 3374, 11141, 31308}}));

TEST(GradientNoiseTest, ZeroAtLatticePointsAndGoldenValues) {
    const float d = 1.0f / 256; // exact at every position used
    for (float k : {-10003.0f, -3.0f, 0.0f, 1.0f, 7.0f, 511.0f, 512.0f, 4000.0f}) {
        EXPECT_EQ(GradientNoise1D(k), 0.0f) << k;
        // Gradients lie in [-1, 1), so the noise leaves a lattice point no steeper than 1.
        EXPECT_LE(std::fabs(GradientNoise1D(k - d)), d) << k;
        EXPECT_LE(std::fabs(GradientNoise1D(k + d)), d) << k;
    }
    // Values from an independent evaluation of the seeded tables.
    EXPECT_FLOAT_EQ(GradientNoise1D(0.5f), -0.1337890625f);
    EXPECT_FLOAT_EQ(GradientNoise1D(1.75f), 0.248199462890625f);
    EXPECT_FLOAT_EQ(GradientNoise1D(-10000.5f), -0.2294921875f);
}

TEST(GradientNoiseTest, DefinedForHugeAndNonFiniteInput) {
    // Huge positions are whole numbers, so lattice points: noise 0, and the
    // integral stays finite however far the cell index is from any int range.
    for (float x : {3e9f, -3e9f, 1e20f, -1e30f, std::numeric_limits<float>::max()}) {
        EXPECT_EQ(GradientNoise1D(x), 0.0f) << x;
        EXPECT_TRUE(std::isfinite(GradientNoiseIntegral1D(0.5f, x))) << x;
    }
    const float inf = std::numeric_limits<float>::infinity();
    for (float x : {inf, -inf, std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_EQ(GradientNoise1D(x), 0.0f) << x;
        EXPECT_EQ(GradientNoiseIntegral1D(0.5f, x), 0.0f) << x;
        EXPECT_EQ(GradientNoiseIntegral1D(x, 0.5f), 0.0f) << x;
    }
}

TEST(GradientNoiseTest, LaterCallsLeaveGeneratorAlone) {
    GradientNoise1D(0.5f);
    CrtSrand(12345);
    int first = -1; // a new thread's generator starts at seed 1
    std::thread([&] {
        GradientNoise1D(0.25f);
        first = CrtRand();
    }).join();
    EXPECT_EQ(first, 41);
}

struct SpanCase { float x0, x1; };

class NoiseIntegralTest : public testing::TestWithParam<SpanCase> {};

double MidpointSum(float x0, float x1) {
    const int n = 200000;
    const double h = (double(x1) - x0) / n;
    double sum = 0;
    for (int k = 0; k < n; ++k)
        sum += GradientNoise1D(static_cast<float>(x0 + (k + 0.5) * h));
    return sum * h;
}

TEST_P(NoiseIntegralTest, MatchesNumericSum) {
    const auto [x0, x1] = GetParam();
    const float got = GradientNoiseIntegral1D(x0, x1);
    EXPECT_NEAR(got, MidpointSum(x0, x1), 2e-6 * std::fabs(x1 - x0) + 2e-7);
    EXPECT_FLOAT_EQ(GradientNoiseIntegral1D(x1, x0), -got);
}

// Inside one cell, several cells, negative, reversed, across lattice position 0, many cells, empty.
INSTANTIATE_TEST_SUITE_P(Spans, NoiseIntegralTest,
                         testing::Values(SpanCase{0.1f, 0.9f}, SpanCase{0.25f, 3.75f}, SpanCase{-2.3f, -0.4f},
                                         SpanCase{5.5f, 1.2f}, SpanCase{-10003.7f, -9998.2f},
                                         SpanCase{11000.0f, 11075.5f}, SpanCase{2.0f, 2.0f}));

// Several spans in one call give each span's own integral, bit for bit,
// whichever spans share a call: in one cell, across cells, below the
// origin's cell, near and past 2^31 lattice units, and not finite.
TEST(GradientNoiseTest, SpansInOneCallAsOneByOne) {
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<SpanCase> spans{{0.1f, 0.14f},          {0.3f, 0.7f},           {0.98f, 1.02f},
                                      {-10000.5f, -10000.46f}, {-10001.2f, -10000.9f}, {-0.0f, 0.01f},
                                      {2.0f, 2.0f},            {5.5f, 1.2f},           {2147470000.0f, 2147470000.0f},
                                      {2.2e9f, 2.2e9f},        {-2.2e9f, -2.2e9f},     {0.5f, inf},
                                      {std::numeric_limits<float>::quiet_NaN(), 0.5f}};
    auto bits = [](float value) { return std::bit_cast<uint32_t>(value); };
    for (const SpanCase& a : spans)
        for (const SpanCase& b : spans) {
            const float from[3] = {a.x0, b.x0, a.x1}, to[3] = {a.x1, b.x1, b.x0};
            float out[3];
            GradientNoiseIntegrals1D(from, to, out, 3);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(bits(out[i]), bits(GradientNoiseIntegral1D(from[i], to[i])))
                    << from[i] << " to " << to[i] << " as span " << i;
        }
}

TEST(GradientNoiseTest, WholePeriodsIntegrateToZero) {
    EXPECT_NEAR(GradientNoiseIntegral1D(0.3f, 0.3f + 512 * 100), 0.0f, 1e-4f);
    EXPECT_NEAR(GradientNoiseIntegral1D(-7.0f, 505.0f), 0.0f, 1e-5f);
}

} // namespace
