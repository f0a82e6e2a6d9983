// Loading a place file and letting go of it, as the program does with bg6
// (its generated class assigned), with n extra lanterns: still 1 x 1 px
// sprites, or each animated by zoom keys of the scene archive. Reports the
// time per object, and checks that at the largest count it stays within
// twice the time per object at the smallest.

#include <benchmark/benchmark.h>

#include "PerElementReporter.h"
#include "ScenePlaceFolder.h"
#include "TargetReporter.h"
#include "scene/ClassDir.h"
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
        ReleasePlaceFile();
        ClearClassDir();
        return loaded;
    }
    bool Load() { return bool(m_folder.Local().GetPlaceFile(kPath)); }
    // The place file, then what the scene archive's directory still holds.
    void ReleasePlaceFile() { m_folder.Local().ReleaseAll(); }
    void ClearClassDir() { Engine::Scene::CClassDir::GetInstance().Clear(); }

private:
    BenchPlaces::CScenePlaceFolder m_folder{"mosark_bench_place_load"};
};

void CountPerObject(benchmark::State& state, int count) { BenchTargets::CountPerElement(state, "per_object", count); }

void Run(benchmark::State& state, Tools::ELanternAnimation animation) {
    const int count = int(state.range(0));
    CLanternScene scene(animation, count);
    for (auto _ : state)
        if (!scene.LoadAndLetGo()) state.SkipWithError("the place file did not load");
    CountPerObject(state, count);
}

// What is timed of letting go: the place file and the directory, or the
// place file alone (the program's exit leaves the directory to the
// process's end).
enum class ETimed { PlaceFileAndDirectory, PlaceFile };

// Letting go alone, which the program does between a quit and its exit.
void RunLetGo(benchmark::State& state, Tools::ELanternAnimation animation, ETimed timed = ETimed::PlaceFileAndDirectory) {
    const int count = int(state.range(0));
    CLanternScene scene(animation, count);
    for (auto _ : state) {
        state.PauseTiming();
        if (!scene.Load()) state.SkipWithError("the place file did not load");
        state.ResumeTiming();
        scene.ReleasePlaceFile();
        if (timed == ETimed::PlaceFile) state.PauseTiming();
        scene.ClearClassDir();
        if (timed == ETimed::PlaceFile) state.ResumeTiming();
    }
    CountPerObject(state, count);
}

void BM_LetGoStill(benchmark::State& state) { RunLetGo(state, Tools::ELanternAnimation::Still); }
BENCHMARK(BM_LetGoStill)->Arg(10'000)->Arg(300'000)->Unit(benchmark::kMillisecond);

void BM_LetGoZoomed(benchmark::State& state) { RunLetGo(state, Tools::ELanternAnimation::Zoomed); }
BENCHMARK(BM_LetGoZoomed)->Arg(10'000)->Arg(60'000)->Arg(600'000)->Unit(benchmark::kMillisecond);

void BM_ReleasePlaceFileZoomed(benchmark::State& state) { RunLetGo(state, Tools::ELanternAnimation::Zoomed, ETimed::PlaceFile); }
BENCHMARK(BM_ReleasePlaceFileZoomed)->Arg(10'000)->Arg(60'000)->Arg(600'000)->Unit(benchmark::kMillisecond);

void BM_LoadAndLetGoStill(benchmark::State& state) { Run(state, Tools::ELanternAnimation::Still); }
BENCHMARK(BM_LoadAndLetGoStill)->Arg(10'000)->Arg(30'000)->Arg(100'000)->Arg(300'000)->Unit(benchmark::kMillisecond);

void BM_LoadAndLetGoZoomed(benchmark::State& state) { Run(state, Tools::ELanternAnimation::Zoomed); }
BENCHMARK(BM_LoadAndLetGoZoomed)->Arg(10'000)->Arg(30'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    BenchTargets::CPerElementReporter reporter("per_object", "object", kMaxRatio);
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}
