// The bucket index must count exactly the values below t whatever their
// spread (even, bunched, infinite, NaN at the end, a span too wide or too
// narrow for a float), alone and in a batch over several indexes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "particles/library/TimeBuckets.h"

namespace VexaParticles {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kMax = std::numeric_limits<float>::max();
constexpr float kTiny = std::numeric_limits<float>::denorm_min();

enum class ESpread { kEven, kRuns, kBunched, kInfinite, kWide, kNarrow, kAllNaN };

// Non-decreasing values, a NaN tail now and then.
std::vector<float> Values(ESpread spread, size_t n, std::mt19937& random) {
    std::vector<float> values(n);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (size_t i = 0; i < n; ++i) {
        const float u = unit(random);
        switch (spread) {
        case ESpread::kEven: values[i] = float(i) * 0.25f - 3.0f; break;
        case ESpread::kRuns: values[i] = float(random() % (n / 8 + 1)); break;
        // Nearly all in one bucket's width, so that bucket is bisected.
        case ESpread::kBunched: values[i] = i % 50 == 0 ? u * 1e6f : 1.0f + u * 1e-3f; break;
        case ESpread::kInfinite: values[i] = i % 7 == 0 ? -kInf : i % 7 == 6 ? kInf : u; break;
        case ESpread::kWide: values[i] = (2.0f * u - 1.0f) * kMax; break;
        case ESpread::kNarrow: values[i] = float(random() % 3) * kTiny; break;
        case ESpread::kAllNaN: values[i] = kNaN; break;
        }
    }
    std::sort(values.begin(), values.end());
    if (n > 0 && random() % 3 == 0) std::fill(values.end() - std::min<size_t>(n, 1 + random() % 4), values.end(), kNaN);
    return values;
}

// The values below t come first (a NaN is never below), so the count is
// where they end.
size_t Below(const std::vector<float>& values, float t) {
    return size_t(std::partition_point(values.begin(), values.end(), [t](float value) { return value < t; }) - values.begin());
}

// An index over values spaced `stride` floats apart, as over a table's
// points, the value first in each.
struct CBuilt {
    CBuilt(std::vector<float> given, size_t stride)
        : values(std::move(given)), items(values.size() * stride, -1.0f), room(CTimeBuckets::RoomFor(values.size())) {
        for (size_t i = 0; i < values.size(); ++i) items[i * stride] = values[i];
        index = CTimeBuckets(items.data(), stride * sizeof(float), values.size(), room);
    }
    std::vector<float> values;
    std::vector<float> items;
    std::vector<uint32_t> room;
    CTimeBuckets index;
};

std::vector<float> Probes(const std::vector<float>& values) {
    std::vector<float> ts = {kNaN, -kInf, kInf, 0.0f, -0.0f, kMax, -kMax, kTiny};
    for (float value : values) ts.insert(ts.end(), {value, std::nextafter(value, kInf), std::nextafter(value, -kInf)});
    return ts;
}

class TimeBucketsTest : public ::testing::TestWithParam<std::tuple<ESpread, size_t>> {};

TEST_P(TimeBucketsTest, CountsTheValuesBelowAloneAndBatched) {
    const auto [spread, n] = GetParam();
    std::mt19937 random{unsigned(n) * 7 + unsigned(spread)};
    const CBuilt built(Values(spread, n, random), 1 + n % 5);
    const CBuilt other(Values(ESpread::kEven, random() % 300, random), 2);
    for (float t : Probes(built.values)) {
        ASSERT_EQ(built.index.CountBelow(t), Below(built.values, t)) << t;
        // Interleaved with searches of another index.
        CTimeBuckets::CSearch searches[] = {{&other.index, t, 99, 99}, {&built.index, t, 99, 99}, {&other.index, -t, 99, 99}};
        CTimeBuckets::CountBelow(searches);
        EXPECT_EQ(searches[0].count, Below(other.values, t));
        EXPECT_EQ(searches[1].count, Below(built.values, t));
        EXPECT_EQ(searches[2].count, Below(other.values, -t));
    }
}

INSTANTIATE_TEST_SUITE_P(Spreads, TimeBucketsTest,
                         ::testing::Combine(::testing::Values(ESpread::kEven, ESpread::kRuns, ESpread::kBunched,
                                                              ESpread::kInfinite, ESpread::kWide, ESpread::kNarrow,
                                                              ESpread::kAllNaN),
                                            ::testing::Values(0, 1, 2, 3, 33, 34, 1000, 4099)));

} // namespace
} // namespace VexaParticles
