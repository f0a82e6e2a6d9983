// Curve and gradient sampling find their segment by bisection or a bucket
// index; each must give exactly what the walk from the first key gave, for
// keys in any order, both for tables made from a vector and for tables read
// into a file's key store, one at a time and in a life step's batch.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <span>
#include <tuple>
#include <vector>

#include "app/File.h"
#include "particles/library/ColourGradient.h"
#include "particles/library/LifeSampleBatch.h"
#include "particles/library/ParameterCurve.h"
#include "particles/library/VexaInput.h"
#include "particles/library/VexaParticleType.h"
#include "tools/BinaryWriter.h"
#include "tools/VexaWriter.h"

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
    auto colour = [](const CColourKey& key) { return CColour{key.red, key.green, key.blue, key.alpha}; };
    if (keys.empty()) return {};
    const CColourKey& first = keys.front();
    if (keys.size() == 1 || t <= first.time) return colour(first);
    if (repeat > 1) {
        const float span = keys.back().time - first.time;
        if (!(span > 0.0f)) return colour(first);
        t = std::fmod(t * float(repeat), span) + first.time;
        if (t == first.time) return colour(first);
    } else if (t >= keys.back().time) {
        return colour(keys.back());
    }
    size_t k = 0;
    while (k + 2 < keys.size() && keys[k + 1].time < t) ++k;
    const float u = (t - keys[k].time) / (keys[k + 1].time - keys[k].time);
    auto mix = [u](float a, float b) { return a + (b - a) * u; };
    return {mix(keys[k].red, keys[k + 1].red), mix(keys[k].green, keys[k + 1].green),
            mix(keys[k].blue, keys[k + 1].blue), mix(keys[k].alpha, keys[k + 1].alpha)};
}

enum class EOrder { kSorted, kUnsorted, kDuplicates, kNaN, kSignedZero, kDescending };

// Random key times of one order: mostly 1 to 40 keys, bisected in place or
// through an index of a few buckets; one table in eight long enough for
// thousands of buckets.
std::vector<float> Times(EOrder order, std::mt19937& random) {
    std::uniform_real_distribution<float> any(-4.0f, 4.0f);
    const size_t longest = random() % 8 == 0 ? 6000 : 40;
    std::vector<float> times(std::uniform_int_distribution<size_t>(1, longest)(random));
    for (float& time : times) {
        time = any(random);
        if (order == EOrder::kDuplicates) time = std::round(time);  // runs of equal neighbours
        if (order == EOrder::kNaN && random() % 4 == 0) time = kNaN;
        if (order == EOrder::kSignedZero && random() % 3 != 0) time = random() & 1 ? -0.0f : 0.0f;
    }
    if (order == EOrder::kSorted || order == EOrder::kDescending || (order != EOrder::kUnsorted && random() & 1))
        std::sort(times.begin(), times.end());
    if (order == EOrder::kDescending) std::reverse(times.begin(), times.end());
    return times;
}

// Every key time, the points between neighbours and a little past each,
// and times outside every key; of a long table, 64 keys picked at random.
void AddSampleTimes(const std::vector<float>& times, std::vector<float>& ts, std::mt19937& random) {
    ts.insert(ts.end(), {kNaN, -kInf, kInf, -100.0f, -0.0f, 0.0f, 100.0f, 0.5f, -2.5f});
    const size_t step = times.size() > 64 ? times.size() / 64 : 1;
    for (size_t i = random() % step; i < times.size(); i += step) {
        ts.insert(ts.end(), {times[i], std::nextafter(times[i], kInf), std::nextafter(times[i], -kInf)});
        if (i + 1 < times.size()) ts.push_back(0.5f * (times[i] + times[i + 1]));
    }
}

// What was written, read back as an effect file reads it: into its key store.
template <class Value>
Value ReadBack(const Tools::CBinaryWriter& out, void (*read)(CVexaInput&, Value&)) {
    Engine::CMemoryFile stream(out.Data(), out.Size());
    CArchive archive(&stream, false);
    CVexaInput input(archive, kVexaVersion);
    Value value;
    read(input, value);
    return value;
}

// A sampler: below 0 a curve (-1 smooth), else a gradient repeating so often.
class CurveLookupTest : public ::testing::TestWithParam<std::tuple<EOrder, int32_t>> {};

TEST_P(CurveLookupTest, GivesTheWalksResultBitForBit) {
    const auto [order, sampler] = GetParam();
    std::mt19937 random(unsigned(order) * 8 + unsigned(sampler + 2));
    for (int table = 0; table < 200 && !HasFailure(); ++table) {
        const std::vector<float> times = Times(order, random);
        std::vector<float> ts;
        AddSampleTimes(times, ts, random);
        AddSampleTimes(Times(order, random), ts, random);
        AddSampleTimes(Times(EOrder::kSorted, random), ts, random);
        // Read back into a key store, and made again from the keys read.
        Tools::CBinaryWriter out;
        if (sampler < 0) {
            Tools::CVexaCurve written{{}, sampler == -1};
            for (float time : times) written.keys.push_back({time, float(random() % 100) * 0.25f});
            Tools::WriteVexaCurve(out, written, kVexaVersion);
            const CParameterCurve read = ReadBack(out, ReadCurve);
            const std::span<const CCurveKey> keys = read.GetKeys();
            for (const CParameterCurve& curve : {read, CParameterCurve({keys.begin(), keys.end()}, sampler == -1)})
                for (float t : ts)
                    EXPECT_EQ(std::bit_cast<uint32_t>(SampleCurve(curve, t)),
                              std::bit_cast<uint32_t>(WalkCurve(keys, sampler == -1, t))) << t;
        } else {
            Tools::CVexaGradient written{{}, uint32_t(sampler), 0};
            for (float time : times)
                written.keys.push_back({time, float(random() % 16) / 16.0f, 0.5f, float(random() % 4), 1.0f});
            Tools::WriteVexaGradient(out, written);
            const CColourGradient read = ReadBack(out, ReadColourGradient);
            const std::span<const CColourKey> keys = read.GetKeys();
            using CBits = std::array<uint32_t, 4>;
            for (const CColourGradient& gradient : {read, CColourGradient({keys.begin(), keys.end()}, sampler, false)})
                for (float t : ts)
                    EXPECT_EQ(std::bit_cast<CBits>(SampleColourGradient(gradient, t)),
                              std::bit_cast<CBits>(WalkGradient(keys, sampler, t))) << t;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Orders, CurveLookupTest,
                         ::testing::Combine(::testing::Values(EOrder::kSorted, EOrder::kUnsorted, EOrder::kDuplicates,
                                                              EOrder::kNaN, EOrder::kSignedZero, EOrder::kDescending),
                                            ::testing::Values(-2, -1, 0, 1, 3)));

// A curve whose keys all hold one value samples it without a search, for
// every t but a NaN; values and times where the sample between keys is not
// that value (-0, infinities, NaN, a span that overflows) are searched.
struct CFlatCase {
    float value;
    std::vector<float> times;  // repeated to 40 keys, each round a little later
    bool flat;
};
class FlatCurveTest : public ::testing::TestWithParam<CFlatCase> {};

TEST_P(FlatCurveTest, GivesTheWalksResultBitForBit) {
    const CFlatCase& c = GetParam();
    std::mt19937 random(7);
    for (size_t count : {c.times.size(), size_t(40) * c.times.size()}) {
        std::vector<CCurveKey> keys;
        std::vector<float> times;
        for (size_t i = 0; i < count; ++i) {
            const float time = c.times[i % c.times.size()];
            times.push_back(std::isfinite(time) && std::abs(time) < 1e6f ? time + float(i / c.times.size()) : time);
            keys.push_back({times.back(), c.value});
        }
        std::vector<float> ts;
        AddSampleTimes(times, ts, random);
        for (bool smooth : {false, true}) {
            const CParameterCurve curve(keys, smooth);
            EXPECT_EQ(curve.GetTable()->IsFlat(), c.flat) << count;
            // Which NaN an infinite value gives depends on the order the
            // compiler picked for a product's operands: only NaN is asked.
            for (float t : ts) {
                const float sampled = SampleCurve(curve, t), walked = WalkCurve(keys, smooth, t);
                if (!std::isnan(sampled) || !std::isnan(walked)) {
                    EXPECT_EQ(std::bit_cast<uint32_t>(sampled), std::bit_cast<uint32_t>(walked)) << count << " keys at " << t;
                }
            }
        }
    }
}

constexpr float kMax = std::numeric_limits<float>::max();
INSTANTIATE_TEST_SUITE_P(Tables, FlatCurveTest, ::testing::Values(
    CFlatCase{2.5f, {0.0f, 0.25f, 0.5f}, true}, CFlatCase{-7.0f, {0.5f, -3.0f, 0.75f, 0.0f}, true},
    CFlatCase{0.0f, {0.0f, 0.0f, 1e-30f, 0.5f}, true}, CFlatCase{kMax, {-2.0f, 1.0f}, true},
    CFlatCase{1e-45f, {0.0f, 0.5f}, true}, CFlatCase{-0.0f, {0.0f, 0.5f}, false}, CFlatCase{kInf, {0.0f, 0.5f}, false},
    CFlatCase{-kInf, {0.0f, 0.5f}, false}, CFlatCase{kNaN, {0.0f, 0.5f}, false}, CFlatCase{1.0f, {0.0f, kNaN}, false},
    CFlatCase{1.0f, {-kInf, 0.5f}, false}, CFlatCase{1.0f, {-kMax, kMax}, false}, CFlatCase{1.0f, {-1e38f, 2e38f}, true}));

// Key times, and whether they are in order.
using COrderCase = std::pair<std::vector<float>, bool>;
class KeyOrderTest : public ::testing::TestWithParam<COrderCase> {};

// Only the times from key 1 on matter to the walk; a NaN counts above every
// number. Copies of a curve share its table, maxima included.
TEST_P(KeyOrderTest, IsCheckedOnceAndShared) {
    std::vector<CCurveKey> keys;
    for (float time : GetParam().first) keys.push_back({time, 1.0f});
    const CParameterCurve curve(keys, false);
    CParameterCurve copy = curve;
    copy.SetBorrowed();
    EXPECT_EQ(curve.GetTable()->IsInOrder(), GetParam().second);
    EXPECT_EQ(copy.GetTable(), curve.GetTable());
}

INSTANTIATE_TEST_SUITE_P(Tables, KeyOrderTest, ::testing::Values(
    COrderCase{{5}, true}, COrderCase{{5, 1}, true}, COrderCase{{9, 1, 2, 2}, true}, COrderCase{{0, 1, kNaN, kNaN}, true},
    COrderCase{{0, -0.0f, 0.0f, -0.0f}, true}, COrderCase{{0, 2, 1}, false}, COrderCase{{0, kNaN, 1}, false}));

// A life step samples a batch of particles at once, every curve and the
// gradient searched together: each particle must get what sampling it
// alone gives, with tables of every order and length side by side.
class LifeSampleBatchTest : public ::testing::TestWithParam<EOrder> {};

TEST_P(LifeSampleBatchTest, GivesEachParticleItsOwnSamples) {
    std::mt19937 random(unsigned(GetParam()) + 99);
    std::uniform_real_distribution<float> life(-0.5f, 1.5f);
    for (int round = 0; round < 20 && !HasFailure(); ++round) {
        CVexaParticleType type;
        for (int q : CLifeSampleBatch::kCurveQ) {
            std::vector<CCurveKey> keys;
            // One curve in three is flat, and sampled without a search.
            const float flat = random() % 3 == 0 ? float(random() % 8) - 2.0f : kNaN;
            for (float time : Times(GetParam(), random))
                keys.push_back({time, std::isnan(flat) ? float(random() % 100) * 0.25f : flat});
            type.curves[size_t(q - 1)] = CParameterCurve(keys, random() & 1);
        }
        std::vector<CColourKey> colours;
        for (float time : Times(GetParam(), random)) colours.push_back({time, float(random() % 16) / 16.0f, 0.5f, 1.0f, 0.25f});
        type.gradient = CColourGradient(colours, int32_t(random() % 3) * 2 - 1, false);
        CLifeSampleBatch batch(type);
        for (size_t n : {size_t(1), size_t(7), CLifeSampleBatch::kBatch}) {
            std::vector<float> fs(n), lived(n);
            for (size_t i = 0; i < n; ++i) {
                lived[i] = random() % 16 == 0 ? kNaN : life(random);
                fs[i] = random() % 4 == 0 ? 0.0f : lived[i];
            }
            batch.Sample(fs, lived);
            using CBits = std::array<uint32_t, 4>;
            for (size_t i = 0; i < n; ++i) {
                for (size_t slot = 0; slot < CLifeSampleBatch::kCount; ++slot)
                    EXPECT_EQ(std::bit_cast<uint32_t>(batch.Curves(i)[slot]),
                              std::bit_cast<uint32_t>(SampleCurve(type.curves[size_t(CLifeSampleBatch::kCurveQ[slot] - 1)], fs[i])))
                        << slot << " at " << fs[i];
                EXPECT_EQ(std::bit_cast<CBits>(batch.Colour(i)), std::bit_cast<CBits>(SampleColourGradient(type.gradient, lived[i])))
                    << lived[i];
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Orders, LifeSampleBatchTest,
                         ::testing::Values(EOrder::kSorted, EOrder::kUnsorted, EOrder::kDuplicates, EOrder::kNaN,
                                           EOrder::kSignedZero, EOrder::kDescending));

} // namespace
} // namespace VexaParticles
