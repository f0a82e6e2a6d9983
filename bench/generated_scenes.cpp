// One frame of the largest scene ("place/fg_snail.place", 33 sprites):
// the generated class's body against the generic reflective update of the
// same scene loaded under a path that has no class.

#include <benchmark/benchmark.h>

#include "ScenePlaceFolder.h"
#include "tools/GeneratedScenePlaces.h"

namespace {

using namespace Engine::Graphics::PlaceFile;

// The scene written twice: under its class's path and under one without.
class CSnailScenes {
public:
    CSnailScenes() {
        const auto scene = Tools::WriteGeneratedScene(Tools::GeneratedScene("place/fg_snail.place"));
        m_folder.Write("place/fg_snail.place", scene);
        m_folder.Write("place/generic.place", scene);
    }
    Engine::ref_ptr<CPlaceFile> Load(const char* path) { return m_folder.Local().GetPlaceFile(path); }

private:
    BenchPlaces::CScenePlaceFolder m_folder{"mosark_bench_scenes"};
};

void RunFrames(benchmark::State& state, const char* path) {
    CSnailScenes scenes;
    const Engine::ref_ptr<CPlaceFile> place = scenes.Load(path);
    double time = 0.0;
    for (auto _ : state) {
        place->SetTime(time);
        time += 1.0 / 60.0;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_SnailGeneratedBody(benchmark::State& state) { RunFrames(state, "place/fg_snail.place"); }
BENCHMARK(BM_SnailGeneratedBody);

void BM_SnailGenericUpdate(benchmark::State& state) { RunFrames(state, "place/generic.place"); }
BENCHMARK(BM_SnailGenericUpdate);

} // namespace
