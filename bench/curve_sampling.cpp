// One sample of an effect curve or colour gradient as its key count grows:
// the life step samples them for every particle at every step, so the cost
// must stay flat from 10 keys to 10,000,000, whatever the keys' order.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "particles/library/ColourGradient.h"
#include "particles/library/LifeSampleBatch.h"
#include "particles/library/ParameterCurve.h"
#include "particles/library/VexaParticleType.h"

namespace {

using namespace VexaParticles;

enum class EKeyTimes { kEven, kShuffled, kUneven };

// Key i at time i; shuffled, the keys are out of time order; uneven, key i
// is at i * i / count, so that the keys bunch towards the start and no
// even spread predicts where a time falls.
std::vector<float> KeyTimes(int64_t count, EKeyTimes spread) {
    std::vector<float> times(static_cast<size_t>(count));
    for (size_t i = 0; i < times.size(); ++i)
        times[i] = spread == EKeyTimes::kUneven ? float(double(i) * double(i) / double(count)) : float(i);
    if (spread == EKeyTimes::kShuffled) std::shuffle(times.begin() + 1, times.end(), std::mt19937(7));
    return times;
}

// Times that step through the keys' range out of step with the keys.
class CSweep {
public:
    explicit CSweep(int64_t count) : m_range(float(count)) {}
    float Next() {
        m_t += m_range * 0.381966f;
        if (m_t >= m_range) m_t -= m_range;
        return m_t;
    }

private:
    float m_range;
    float m_t = 0.0f;
};

// Flat, every key holds one value, which is sampled without a search.
void SampleCurveOf(benchmark::State& state, EKeyTimes spread, bool flat = false) {
    std::vector<CCurveKey> keys;
    for (float time : KeyTimes(state.range(0), spread)) keys.push_back({time, flat ? 1.0f : time * 0.5f});
    const CParameterCurve curve(std::move(keys), true);
    CSweep sweep(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(SampleCurve(curve, sweep.Next()));
}

void BM_SampleCurve(benchmark::State& state) { SampleCurveOf(state, EKeyTimes::kEven); }
void BM_SampleCurveOutOfOrder(benchmark::State& state) { SampleCurveOf(state, EKeyTimes::kShuffled); }
void BM_SampleCurveUneven(benchmark::State& state) { SampleCurveOf(state, EKeyTimes::kUneven); }
void BM_SampleCurveFlat(benchmark::State& state) { SampleCurveOf(state, EKeyTimes::kEven, true); }

void BM_SampleColourGradient(benchmark::State& state) {
    std::vector<CColourKey> keys;
    for (float time : KeyTimes(state.range(0), EKeyTimes::kEven)) keys.push_back({time, 1.0f, 0.5f, 0.25f, 1.0f});
    const CColourGradient gradient(std::move(keys), 0, false);
    CSweep sweep(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(SampleColourGradient(gradient, sweep.Next()));
}

// A life step's sampling, as the frame case runs it: a type whose ten
// varying curves and gradient have `count` keys over its life, and a dozen
// emitters of a dozen particles each, at random points of their lives that
// move on by a thirty-sixth of a life each step.
void BM_SampleLifeSteps(benchmark::State& state) {
    constexpr size_t kParticles = 12, kEmitters = 12;
    const int64_t count = state.range(0);
    CVexaParticleType type;
    for (int q : CLifeSampleBatch::kCurveQ) {
        std::vector<CCurveKey> keys;
        for (int64_t i = 0; i < count; ++i) keys.push_back({float(i) / float(count - 1), float(q + i % 7)});
        type.curves[size_t(q - 1)] = CParameterCurve(std::move(keys), false);
    }
    std::vector<CColourKey> colours;
    for (int64_t i = 0; i < count; ++i) colours.push_back({float(i) / float(count - 1), 1.0f, 0.5f, 0.25f, float(i % 2)});
    type.gradient = CColourGradient(std::move(colours), 0, false);
    std::mt19937 random(11);
    std::uniform_real_distribution<float> life(0.0f, 1.0f);
    std::vector<float> fs(kParticles * kEmitters), growth(fs.size());
    for (size_t i = 0; i < fs.size(); ++i) {
        fs[i] = life(random);
        growth[i] = (1.0f + 0.4f * (life(random) - 0.5f)) / 36.0f;
    }
    for (auto _ : state) {
        for (size_t emitter = 0; emitter < kEmitters; ++emitter) {
            CLifeSampleBatch batch(type);
            const std::span<const float> these(fs.data() + emitter * kParticles, kParticles);
            batch.Sample(these, these);
            benchmark::DoNotOptimize(batch.Curves(kParticles - 1));
        }
        for (size_t i = 0; i < fs.size(); ++i) fs[i] = fs[i] + growth[i] < 1.0f ? fs[i] + growth[i] : 0.0f;
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kParticles * kEmitters));
}

} // namespace

BENCHMARK(BM_SampleLifeSteps)->Arg(10)->Arg(10000)->Arg(100000)->Arg(1000000)->Arg(10000000);
// Up to 100 times the frame case's 100,000 keys.
BENCHMARK(BM_SampleCurve)->Arg(10)->Arg(10000)->Arg(100000)->Arg(1000000)->Arg(10000000);
BENCHMARK(BM_SampleCurveUneven)->Arg(10)->Arg(10000)->Arg(100000)->Arg(1000000)->Arg(10000000);
BENCHMARK(BM_SampleCurveFlat)->Arg(10)->Arg(10000)->Arg(100000)->Arg(1000000)->Arg(10000000);
BENCHMARK(BM_SampleCurveOutOfOrder)->Arg(10)->Arg(10000)->Arg(100000)->Arg(1000000)->Arg(10000000);
BENCHMARK(BM_SampleColourGradient)->Arg(10)->Arg(10000)->Arg(100000)->Arg(1000000)->Arg(10000000);
