// Curve and gradient sampling find their segment by bisection; each must give
// exactly what the walk from the first key gave, for keys in any order.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <span>
#include <tuple>
#include <vector>

#include "particles/library/ColourGradient.h"
#include "particles/library/ParameterCurve.h"

namespace VexaParticles {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The samplers as they walked before the lookup.
float WalkCurve(std::span<const CCurveKey> keys, bool smooth, float t) {
    if (keys.empty()) return 0.0f;
    if (keys.size() == 1 || t <= keys.front().time) return keys.front().value;
    if (t >= keys.back().time) return keys.back().value;
    size_t k = 0;
    while (keys[k + 1].time < t) ++k;
    float u = (t - keys[k].time) / (keys[k + 1].time - keys[k].time);
    if (smooth) u = (3.0f - 2.0f * u) * u * u;
    return keys[k].value + (keys[k + 1].value - keys[k].value) * u;
}

CColour WalkGradient(std::span<const CColourKey> keys, int32_t repeat, float t) {
    if (keys.empty()) return {};
    const CColourKey& first = keys.front();
    if (keys.size() == 1 || t <= first.time) return {first.red, first.green, first.blue, first.alpha};
    if (repeat > 1) {
        const float span = keys.back().time - first.time;
        if (!(span > 0.0f)) return {first.red, first.green, first.blue, first.alpha};
        t = std::fmod(t * float(repeat), span) + first.time;
        if (t == first.time) return {first.red, first.green, first.blue, first.alpha};
    } else if (t >= keys.back().time) {
        return {keys.back().red, keys.back().green, keys.back().blue, keys.back().alpha};
    }
    size_t k = 0;
    while (k + 2 < keys.size() && keys[k + 1].time < t) ++k;
    const float u = (t - keys[k].time) / (keys[k + 1].time - keys[k].time);
    auto mix = [u](float a, float b) { return a + (b - a) * u; };
    return {mix(keys[k].red, keys[k + 1].red), mix(keys[k].green, keys[k + 1].green),
            mix(keys[k].blue, keys[k + 1].blue), mix(keys[k].alpha, keys[k + 1].alpha)};
}

enum class EOrder { kSorted, kUnsorted, kDuplicates, kNaN, kSignedZero, kDescending };

// Random key times of one order, 1 to 40 keys.
std::vector<float> Times(EOrder order, std::mt19937& random) {
    std::uniform_real_distribution<float> any(-4.0f, 4.0f);
    std::vector<float> times(std::uniform_int_distribution<size_t>(1, 40)(random));
    for (float& time : times) time = any(random);
    switch (order) {
    case EOrder::kSorted: std::sort(times.begin(), times.end()); break;
    case EOrder::kUnsorted: break;
    case EOrder::kDuplicates:
        for (float& time : times) time = std::round(time);  // runs of equal neighbours
        if (random() & 1) std::sort(times.begin(), times.end());
        break;
    case EOrder::kNaN:
        for (float& time : times)
            if (random() % 4 == 0) time = kNaN;
        if (random() & 1) std::sort(times.begin(), times.end(), [](float a, float b) { return a < b; });
        break;
    case EOrder::kSignedZero:
        for (float& time : times) time = random() % 3 == 0 ? time : (random() & 1 ? -0.0f : 0.0f);
        if (random() & 1) std::sort(times.begin(), times.end());
        break;
    case EOrder::kDescending: std::sort(times.rbegin(), times.rend()); break;
    }
    return times;
}

// Every key time, the points between neighbours and a little past each,
// and times outside every key.
std::vector<float> SampleTimes(const std::vector<float>& times) {
    std::vector<float> ts{kNaN, -kInf, kInf, -100.0f, -0.0f, 0.0f, 100.0f, 0.5f, -2.5f};
    for (size_t i = 0; i < times.size(); ++i) {
        ts.insert(ts.end(), {times[i], std::nextafter(times[i], kInf), std::nextafter(times[i], -kInf)});
        if (i + 1 < times.size()) ts.push_back(0.5f * (times[i] + times[i + 1]));
    }
    return ts;
}

void ExpectSameBits(float actual, float expected, float t) {
    EXPECT_EQ(std::bit_cast<uint32_t>(actual), std::bit_cast<uint32_t>(expected)) << "t = " << t;
}

class CurveLookupTest : public ::testing::TestWithParam<std::tuple<EOrder, bool>> {};

TEST_P(CurveLookupTest, GivesTheWalksValueBitForBit) {
    const auto [order, smooth] = GetParam();
    std::mt19937 random(unsigned(order) * 2 + smooth);
    for (int table = 0; table < 200; ++table) {
        std::vector<CCurveKey> keys;
        for (float time : Times(order, random)) keys.push_back({time, float(random() % 100) * 0.25f});
        const CParameterCurve curve(keys, smooth);
        for (float t : SampleTimes(Times(order, random))) ExpectSameBits(SampleCurve(curve, t), WalkCurve(keys, smooth, t), t);
        for (float t : SampleTimes(Times(EOrder::kSorted, random))) ExpectSameBits(SampleCurve(curve, t), WalkCurve(keys, smooth, t), t);
        for (const CCurveKey& key : keys) ExpectSameBits(SampleCurve(curve, key.time), WalkCurve(keys, smooth, key.time), key.time);
        if (HasFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(Orders, CurveLookupTest,
                         ::testing::Combine(::testing::Values(EOrder::kSorted, EOrder::kUnsorted, EOrder::kDuplicates,
                                                              EOrder::kNaN, EOrder::kSignedZero, EOrder::kDescending),
                                            ::testing::Bool()));

class GradientLookupTest : public ::testing::TestWithParam<std::tuple<EOrder, int32_t, bool>> {};

TEST_P(GradientLookupTest, GivesTheWalksColourBitForBit) {
    const auto [order, repeat, randomStart] = GetParam();
    std::mt19937 random(unsigned(order) * 16 + unsigned(repeat) * 2 + randomStart);
    for (int table = 0; table < 200; ++table) {
        std::vector<CColourKey> keys;
        for (float time : Times(order, random)) {
            const float c = float(random() % 16) / 16.0f;
            keys.push_back({time, c, 1.0f - c, c * 0.5f, 1.0f});
        }
        const CColourGradient gradient(keys, repeat, randomStart);
        std::vector<float> ts = SampleTimes(Times(order, random));
        for (const CColourKey& key : keys) ts.push_back(key.time);
        for (float t : ts) {
            const CColour actual = SampleColourGradient(gradient, t), expected = WalkGradient(keys, repeat, t);
            ExpectSameBits(actual.red, expected.red, t);
            ExpectSameBits(actual.green, expected.green, t);
            ExpectSameBits(actual.blue, expected.blue, t);
            ExpectSameBits(actual.alpha, expected.alpha, t);
        }
        if (HasFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(Orders, GradientLookupTest,
                         ::testing::Combine(::testing::Values(EOrder::kSorted, EOrder::kUnsorted, EOrder::kDuplicates,
                                                              EOrder::kNaN, EOrder::kSignedZero, EOrder::kDescending),
                                            ::testing::Values(0, 1, 3), ::testing::Bool()));

struct COrderCase {
    std::vector<float> times;
    bool inOrder;
};

class KeyOrderTest : public ::testing::TestWithParam<COrderCase> {};

// Only the times from key 1 on matter to the walk; a NaN counts above every
// number. Copies of a curve share its table, maxima included.
TEST_P(KeyOrderTest, IsCheckedOnceAndShared) {
    std::vector<CCurveKey> keys;
    for (float time : GetParam().times) keys.push_back({time, 1.0f});
    const CParameterCurve curve(keys, false);
    CParameterCurve copy = curve;
    copy.SetBorrowed();
    EXPECT_EQ(curve.GetTable()->IsInOrder(), GetParam().inOrder);
    EXPECT_EQ(copy.GetTable(), curve.GetTable());
}

INSTANTIATE_TEST_SUITE_P(Tables, KeyOrderTest, ::testing::Values(
    COrderCase{{5}, true}, COrderCase{{5, 1}, true}, COrderCase{{9, 1, 2, 2}, true}, COrderCase{{0, 1, kNaN, kNaN}, true},
    COrderCase{{0, -0.0f, 0.0f, -0.0f}, true}, COrderCase{{0, 2, 1}, false}, COrderCase{{0, kNaN, 1}, false}));

} // namespace
} // namespace VexaParticles
