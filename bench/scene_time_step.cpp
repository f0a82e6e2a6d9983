// One time step of a scene that no generated class drives, as a place file
// takes it: a few animated children among many that animate nothing. The
// step should cost what it animates, not what the scene holds.

#include <benchmark/benchmark.h>

#include "tests/scene/SceneFixtures.h"

namespace {

using namespace SceneTest;

constexpr int kAnimatedChildren = 8;

// Range 0: the children without a controller; the animated ones are spread
// evenly among them.
void BM_SceneTimeStep(benchmark::State& state) {
    RegisterSceneFixtures();
    const auto still = int(state.range(0));
    Engine::ref_ptr<CScene> scene(new CScene);
    const int every = still / kAnimatedChildren + 1;
    for (int i = 0, animated = 0; i < still || animated < kAnimatedChildren; ++i) {
        auto wrapper = MakeSpriteWrapper(uint32_t(i));
        if (i % every == 0 && animated < kAnimatedChildren) {
            auto controller = MakeFloatCtrl(0.5f, 0.01f);
            controller->m_keys = 2;  // not constant
            wrapper->SetSubAnim(controller, 0);
            ++animated;
        }
        scene->AddChild(wrapper);
    }
    double time = 0.0;
    for (auto _ : state) {
        time += 1.0 / 60.0;
        CAnimatable::UpdateSubAnimsAtTime(*scene, time);
    }
    state.counters["children"] = double(scene->GetSubAnimCount());
    scene->Dispose();
}
BENCHMARK(BM_SceneTimeStep)->Arg(0)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace
