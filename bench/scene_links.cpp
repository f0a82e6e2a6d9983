// Many scene objects sharing one target, as a scene's children share their
// scene: linked and then let go of in the order a scene's teardown takes,
// and a scene of that many animated children read from its archive and let
// go of; and a change passed down a long line of objects. The time per
// object should stay nearly flat as the count grows.

#include <benchmark/benchmark.h>

#include <vector>

#include "app/File.h"
#include "app/Registration.h"
#include "reflection/Builtins.h"
#include "scene/Scene.h"
#include "scene/reflection/SceneRegistration.h"

namespace {

using namespace Engine::Scene;

void RegisterTypes() {
    static const Engine::CStartupRegistration s_startup{Engine::Reflection::GetStartupHooks(), GetStartupHooks()};
}

// Seconds per object, shown beside the time per iteration.
void PerObject(benchmark::State& state, int64_t count) {
    state.counters["per_object"] = benchmark::Counter(
        double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Range 1: 0, each object refers to the target (the target's dependents
// grow); 1, the target refers to each object (its references grow), as a
// scene refers to its children. Both link at index 0, and the objects go
// front to back, each unlinking from the front of its own lists.
void BM_SharedTargetLinkAndLetGo(benchmark::State& state) {
    const auto count = size_t(state.range(0));
    const bool targetRefers = state.range(1) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        CReferenceTarget::Ref target(new CReferenceTarget);
        std::vector<CReferenceTarget::Ref> objects;
        objects.reserve(count);
        for (size_t i = 0; i < count; ++i) objects.emplace_back(new CReferenceTarget);
        state.ResumeTiming();
        for (const auto& object : objects) {
            if (targetRefers)
                target->AddReference(object, 0);
            else
                object->AddReference(target, 0);
        }
        for (const auto& object : objects) object->DeleteAllReferences();
        state.PauseTiming();
        target->DeleteAllReferences();
        objects.clear();
        target = nullptr;
        state.ResumeTiming();
    }
    PerObject(state, int64_t(count));
}
BENCHMARK(BM_SharedTargetLinkAndLetGo)
    ->ArgsProduct({{10000, 30000, 100000, 300000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// A change passed down a line of objects, each the dependent of the one
// before, from the first: the time per object told should not grow with the
// length of the line.
void BM_NotifyDownALine(benchmark::State& state) {
    const auto count = size_t(state.range(0));
    std::vector<CReferenceTarget::Ref> objects;
    for (size_t i = 0; i < count; ++i) {
        objects.emplace_back(new CReferenceTarget);
        if (i > 0) objects[i]->AddReference(objects[i - 1], 0);
    }
    for (auto _ : state) objects.front()->NotifyDependents(REFMSG_CHANGED, 1);
    for (const auto& object : objects) object->DeleteAllReferences();
    PerObject(state, int64_t(count));
}
BENCHMARK(BM_NotifyDownALine)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

std::vector<uint8_t> SceneArchive(size_t count) {
    Engine::ref_ptr<CScene> scene(new CScene);
    for (size_t i = 0; i < count; ++i) {
        Engine::ref_ptr<CLinearFloatCtrl> child(new CLinearFloatCtrl);
        scene->AddChild(child);
    }
    CAnimatable::SetNextObjectId(1);
    Engine::CMemoryFile file;
    CArchive ar(&file, true);
    scene->Serialize(ar);
    scene->Dispose();
    CClassDir::GetInstance().Clear();
    return file.Detach();
}

// A scene of animated children (each a controller with its two curve lists)
// read from its archive, then disposed of and released with the directory.
void BM_SceneReadAndLetGo(benchmark::State& state) {
    RegisterTypes();
    const auto count = size_t(state.range(0));
    const std::vector<uint8_t> bytes = SceneArchive(count);
    for (auto _ : state) {
        Engine::ref_ptr<CScene> scene(new CScene);
        Engine::CMemoryFile file(bytes.data(), bytes.size());
        CArchive ar(&file, false);
        scene->Serialize(ar);
        if (scene->GetSubAnimCount() != int(count)) state.SkipWithError("children lost");
        scene->Dispose();
        scene = nullptr;
        CClassDir::GetInstance().Clear();
    }
    PerObject(state, int64_t(count));
}
BENCHMARK(BM_SceneReadAndLetGo)->Arg(10000)->Arg(30000)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond);

} // namespace
