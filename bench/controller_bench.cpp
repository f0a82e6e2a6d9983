// Evaluations of a Bezier float controller with 16 keys: the evaluation
// entry point the generated scene code calls, and the generic controller
// evaluation that boxes the value.

#include <benchmark/benchmark.h>

#include "reflection/Reflection.h"
#include "scene/Scene.h"

namespace {

using namespace Engine::Scene;

Engine::ref_ptr<CBezierFloatCtrl> MakeTable() {
    Engine::Reflection::RegisterReflection_Primitives();
    Engine::ref_ptr<CBezierFloatCtrl> table(new CBezierFloatCtrl);
    table->DeleteKey(0);
    for (int i = 0; i < 16; ++i) {
        auto* key = static_cast<IBezFloatKey*>(table->AddKey(i * 2.0, 0));
        key->value = float((i * 37) % 11);
        key->inSlope = 0.01f * float(i % 5);
        key->outSlope = -0.02f * float(i % 3);
        key->inLength = 0.25f + 0.02f * float(i % 4);
        key->outLength = 0.3333f;
    }
    table->SetOutOfRangeType(ORT_PING_PONG, ORT_AFTER);
    return table;
}

// Times sweep the keys' range and a little beyond, in a fixed order.
double NextTime(double time) {
    time += 0.173;
    return time > 31.5 ? time - 32.0 : time;
}

void BM_BezierValueAtTime(benchmark::State& state) {
    const auto table = MakeTable();
    double time = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table->GetValueAtTime(time));
        time = NextTime(time);
    }
    state.SetItemsProcessed(state.iterations());
    table->Dispose();
}
BENCHMARK(BM_BezierValueAtTime);

void BM_BezierORTValue(benchmark::State& state) {
    const auto table = MakeTable();
    double time = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table->GetORTValue(time));
        time = NextTime(time);
    }
    state.SetItemsProcessed(state.iterations());
    table->Dispose();
}
BENCHMARK(BM_BezierORTValue);

void BM_BezierControllerValue(benchmark::State& state) {
    const auto table = MakeTable();
    double time = 0.0;
    Engine::Reflection::CValue value;
    for (auto _ : state) {
        table->GetControllerValue(time, value);
        benchmark::DoNotOptimize(value);
        time = NextTime(time);
    }
    state.SetItemsProcessed(state.iterations());
    table->Dispose();
}
BENCHMARK(BM_BezierControllerValue);

} // namespace
