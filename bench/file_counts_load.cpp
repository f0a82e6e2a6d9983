// Loading a place file and letting go of it, with n elements of one count
// that the file sets inside one record: n custom property values of one
// sprite object (n descriptions, one value each), or n keys of one curve of
// one animated object; and writing such a curve's scene archive. Reports the
// time per element, and checks that at the largest count it stays within
// twice the time per element at the smallest.

#include <benchmark/benchmark.h>

#include "PerElementReporter.h"
#include "ScenePlaceFolder.h"
#include "TargetReporter.h"
#include "scene/ClassDir.h"
#include "tools/PlaceWriter.h"
#include "tools/SceneArchiveWriter.h"

namespace {

constexpr double kMaxRatio = 2.0;
constexpr const char* kPath = "place/counts.place";
constexpr const char* kCounter = "per_element";

enum class ECount { PropertyValues, Keys };

std::vector<uint8_t> WriteCounts(ECount kind, int count) {
    Tools::CPlaceDocument doc;
    Tools::CPlaceObjectDoc sprite;
    sprite.id = 1;
    sprite.width = sprite.height = 1;
    Tools::CSceneDocument scene;
    if (kind == ECount::PropertyValues) {
        for (int i = 0; i < count; ++i) {
            doc.descs.push_back({uint32_t(i + 1), "p" + std::to_string(i), 1});
            Tools::CPlacePropertyValue value;
            value.id = uint32_t(i + 1);
            value.type = 1;
            value.word = uint32_t(i);
            sprite.properties.push_back(value);
        }
    } else {
        std::vector<Tools::CSceneKey> keys;
        for (int i = 0; i < count; ++i) keys.push_back({double(i) * 0.01, float(i % 360)});
        Tools::CSceneObject animated;
        animated.placeId = 1;
        animated.properties = {{0, {Tools::LinearCurve(std::move(keys))}}};  // the angle
        scene.objects.push_back(animated);
    }
    doc.layers = {Tools::CPlaceLayerDoc{}};
    doc.layers[0].objects = {sprite};
    doc.scene = Tools::WriteSceneArchive(scene);
    return Tools::WritePlace(doc);
}

void Run(benchmark::State& state, ECount kind) {
    const int count = int(state.range(0));
    BenchPlaces::CScenePlaceFolder folder("mosark_bench_file_counts");
    folder.Write(kPath, WriteCounts(kind, count));
    for (auto _ : state) {
        if (!folder.Local().GetPlaceFile(kPath)) state.SkipWithError("the place file did not load");
        // As the program lets go at exit: the place file, then what the
        // scene archive's directory still holds.
        folder.Local().ReleaseAll();
        Engine::Scene::CClassDir::GetInstance().Clear();
    }
    BenchTargets::CountPerElement(state, kCounter, count);
}

void BM_LoadAndLetGoPropertyValues(benchmark::State& state) { Run(state, ECount::PropertyValues); }
BENCHMARK(BM_LoadAndLetGoPropertyValues)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

void BM_LoadAndLetGoKeys(benchmark::State& state) { Run(state, ECount::Keys); }
BENCHMARK(BM_LoadAndLetGoKeys)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// The tools' scene archive writer on one curve of n keys given in no order.
void BM_WriteSceneKeys(benchmark::State& state) {
    const int count = int(state.range(0));
    Tools::CSceneObject animated;
    std::vector<Tools::CSceneKey> keys;
    for (int i = 0; i < count; ++i) keys.push_back({double((int64_t(i) * 7919) % count), float(i)});
    animated.properties = {{0, {Tools::LinearCurve(std::move(keys))}}};
    Tools::CSceneDocument scene;
    scene.objects = {animated};
    for (auto _ : state) benchmark::DoNotOptimize(Tools::WriteSceneArchive(scene));
    BenchTargets::CountPerElement(state, kCounter, count);
}
BENCHMARK(BM_WriteSceneKeys)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    BenchTargets::CPerElementReporter reporter(kCounter, "element", kMaxRatio);
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}
