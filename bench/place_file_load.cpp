// Loading a place file and letting go of it, as the program does with bg6
// (its generated class assigned), with n extra lanterns: still 1 x 1 px
// sprites, or each animated by zoom keys of the scene archive. Reports the
// time per object, and checks that at the largest count it stays within
// twice the time per object at the smallest.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "ScenePlaceFolder.h"
#include "scene/ClassDir.h"
#include "TargetReporter.h"
#include "tools/LanternCopies.h"

namespace {

using namespace Engine::Graphics::PlaceFile;

constexpr double kMaxRatio = 2.0;
constexpr const char* kPath = "place/bg6.place";

class CLanternScene {
public:
    CLanternScene(Tools::ELanternAnimation animation, int count) {
        m_folder.Write(kPath, Tools::WriteLanternCopies(animation, count));
    }
    bool LoadAndLetGo() {
        const bool loaded = Load();
        LetGo();
        return loaded;
    }
    bool Load() { return bool(m_folder.Local().GetPlaceFile(kPath)); }
    // The place file, then what the scene archive's directory still holds,
    // as the program lets go of both at exit.
    void LetGo() {
        m_folder.Local().ReleaseAll();
        Engine::Scene::CClassDir::GetInstance().Clear();
    }

private:
    BenchPlaces::CScenePlaceFolder m_folder{"mosark_bench_place_load"};
};

// Seconds per object, printed in the table's unit by the reporter below.
void CountPerObject(benchmark::State& state, int count) {
    state.counters["per_object"] =
        benchmark::Counter(double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Run(benchmark::State& state, Tools::ELanternAnimation animation) {
    const int count = int(state.range(0));
    CLanternScene scene(animation, count);
    for (auto _ : state)
        if (!scene.LoadAndLetGo()) state.SkipWithError("the place file did not load");
    CountPerObject(state, count);
}

// Letting go alone, which the program does between a quit and its exit.
void RunLetGo(benchmark::State& state, Tools::ELanternAnimation animation) {
    const int count = int(state.range(0));
    CLanternScene scene(animation, count);
    for (auto _ : state) {
        state.PauseTiming();
        if (!scene.Load()) state.SkipWithError("the place file did not load");
        state.ResumeTiming();
        scene.LetGo();
    }
    CountPerObject(state, count);
}

void BM_LetGoStill(benchmark::State& state) { RunLetGo(state, Tools::ELanternAnimation::Still); }
BENCHMARK(BM_LetGoStill)->Arg(10'000)->Arg(300'000)->Unit(benchmark::kMillisecond);

void BM_LetGoZoomed(benchmark::State& state) { RunLetGo(state, Tools::ELanternAnimation::Zoomed); }
BENCHMARK(BM_LetGoZoomed)->Arg(10'000)->Arg(60'000)->Unit(benchmark::kMillisecond);

void BM_LoadAndLetGoStill(benchmark::State& state) { Run(state, Tools::ELanternAnimation::Still); }
BENCHMARK(BM_LoadAndLetGoStill)->Arg(10'000)->Arg(30'000)->Arg(100'000)->Arg(300'000)->Unit(benchmark::kMillisecond);

void BM_LoadAndLetGoZoomed(benchmark::State& state) { Run(state, Tools::ELanternAnimation::Zoomed); }
BENCHMARK(BM_LoadAndLetGoZoomed)->Arg(10'000)->Arg(30'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The table, then per family the time per object at each count and the
// largest count's over the smallest's.
class CPerObjectReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type == Run::RT_Aggregate) continue;
            const auto counter = run.counters.find("per_object");
            if (counter == run.counters.end()) continue;
            const int64_t count = std::stoll(run.run_name.args);
            double& best = m_perObject[run.run_name.function_name][count];
            best = best == 0.0 ? counter->second.value : std::min(best, counter->second.value);
        }
    }
    void PrintSummary() const {
        for (const auto& [family, byCount] : m_perObject) {
            for (const auto& [count, seconds] : byCount)
                std::printf("%s/%lld: %.3f us per object\n", family.c_str(), static_cast<long long>(count),
                            seconds * 1e6);
            const double ratio = byCount.rbegin()->second / byCount.begin()->second;
            std::printf("%s: %lld over %lld objects = %.2f (target at most %.1f: %s)\n", family.c_str(),
                        static_cast<long long>(byCount.rbegin()->first), static_cast<long long>(byCount.begin()->first),
                        ratio, kMaxRatio, ratio <= kMaxRatio ? "met" : "NOT met");
        }
    }

private:
    std::map<std::string, std::map<int64_t, double>> m_perObject;
};

} // namespace

int main(int argc, char** argv) {
    CPerObjectReporter reporter;
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}
