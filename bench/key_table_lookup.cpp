// One evaluation of a linear and of a Bezier float controller against the
// count of its keys: the cost should grow with the logarithm of the count,
// for keys in time order and for keys read out of order alike.

#include <benchmark/benchmark.h>

#include <utility>

#include "reflection/Reflection.h"
#include "scene/Scene.h"

namespace {

using namespace Engine::Scene;

// Keys one time unit apart; out of order, the middle two keys trade times
// (a table as a file may hold it), which the first look-up indexes.
template <class C>
Engine::ref_ptr<C> MakeTable(int count, bool inOrder) {
    Engine::Reflection::RegisterReflection_Primitives();
    Engine::ref_ptr<C> table(new C);
    table->SetKeyValue(0, 0.0f);
    for (int i = 1; i < count; ++i) {
        table->AddKeyInOrder(double(i), 0);
        table->SetKeyValue(i, float((i * 37) % 101));
    }
    if (!inOrder) {
        std::swap(table->KeyAt(count / 2).time, table->KeyAt(count / 2 - 1).time);
        table->FindKeyAtTime(0.0);
    }
    return table;
}

template <class C>
void BM_ValueAtTime(benchmark::State& state, bool inOrder) {
    const int count = int(state.range(0));
    const auto table = MakeTable<C>(count, inOrder);
    // A golden-ratio stride visits the whole table in no cache-friendly order.
    const double span = double(count - 1), stride = span * 0.6180339887 + 0.25;
    double time = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table->GetValueAtTime(time));
        time += stride;
        if (time > span) time -= span;
    }
    state.SetItemsProcessed(state.iterations());
    table->Dispose();
}

void BM_LinearInOrder(benchmark::State& state) { BM_ValueAtTime<CLinearFloatCtrl>(state, true); }
void BM_LinearOutOfOrder(benchmark::State& state) { BM_ValueAtTime<CLinearFloatCtrl>(state, false); }
void BM_BezierInOrder(benchmark::State& state) { BM_ValueAtTime<CBezierFloatCtrl>(state, true); }
void BM_BezierOutOfOrder(benchmark::State& state) { BM_ValueAtTime<CBezierFloatCtrl>(state, false); }

BENCHMARK(BM_LinearInOrder)->Arg(10)->Arg(10'000)->Arg(1'000'000);
BENCHMARK(BM_LinearOutOfOrder)->Arg(10)->Arg(10'000)->Arg(1'000'000);
BENCHMARK(BM_BezierInOrder)->Arg(10)->Arg(10'000)->Arg(1'000'000);
BENCHMARK(BM_BezierOutOfOrder)->Arg(10)->Arg(10'000)->Arg(1'000'000);

} // namespace
