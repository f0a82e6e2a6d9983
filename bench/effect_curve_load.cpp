// Reading one effect curve of n keys as an effect file reads it (keys into
// the file's key store, then the sampled points and the search index made
// over them) and letting go of it. The time per key should stay flat from
// 10,000 keys to 10,000,000 (at the largest n at most twice that at the
// smallest), in time order or not, and for a flat curve (one value at every
// key), which is checked whole and gets no index.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "PerElementReporter.h"
#include "TargetReporter.h"
#include "app/Archive.h"
#include "app/File.h"
#include "particles/library/ParameterCurve.h"
#include "particles/library/VexaInput.h"
#include "tools/BinaryWriter.h"
#include "tools/VexaWriter.h"

namespace {

using namespace VexaParticles;

enum class ECurve { kInOrder, kOutOfOrder, kFlat };

// A curve of n keys at times 0..n-1, shuffled after the first when out of
// order, as a file of the current version stores it.
std::vector<uint8_t> WrittenCurve(int64_t count, ECurve kind) {
    Tools::CVexaCurve curve{{}, 1};
    curve.keys.resize(size_t(count));
    for (size_t i = 0; i < curve.keys.size(); ++i) curve.keys[i] = {float(i), kind == ECurve::kFlat ? 1.0f : float(i % 7)};
    if (kind == ECurve::kOutOfOrder) std::shuffle(curve.keys.begin() + 1, curve.keys.end(), std::mt19937(7));
    Tools::CBinaryWriter out;
    Tools::WriteVexaCurve(out, curve, kVexaVersion);
    return out.ToVector();
}

void ReadAndLetGo(benchmark::State& state, ECurve kind) {
    const std::vector<uint8_t> written = WrittenCurve(state.range(0), kind);
    for (auto _ : state) {
        Engine::CMemoryFile stream(written.data(), written.size());
        CArchive archive(&stream, false);
        CParameterCurve curve;
        {
            CVexaInput input(archive, kVexaVersion);
            ReadCurve(input, curve);
        }
        if (curve.GetKeyCount() != state.range(0)) state.SkipWithError("the curve did not read whole");
        benchmark::DoNotOptimize(SampleCurve(curve, 0.5f));
    }
    BenchTargets::CountPerElement(state, "per_element", state.range(0));
}

void BM_ReadCurveInOrder(benchmark::State& state) { ReadAndLetGo(state, ECurve::kInOrder); }
void BM_ReadCurveOutOfOrder(benchmark::State& state) { ReadAndLetGo(state, ECurve::kOutOfOrder); }
void BM_ReadCurveFlat(benchmark::State& state) { ReadAndLetGo(state, ECurve::kFlat); }

BENCHMARK(BM_ReadCurveInOrder)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCurveOutOfOrder)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCurveFlat)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    BenchTargets::CPerElementReporter reporter("per_element", "key", 2.0);
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}
