// N alpha-blended 32 x 32 sprites per frame in an 800 x 600 window: through
// the sprite queue and the OpenGL driver (a sprite file's sprite queued N
// times, then flushed), and through SDL2's own renderer (SDL_RenderCopy with
// batching on). Each frame ends by reading one pixel back, so both count
// finished frames. The run reports frames per second of both and their ratio
// (driver / SDL) against the target of 1.0.
//
// Headless machines run it with SDL_VIDEODRIVER=offscreen (set by default
// when there is no display). On a shared machine compare medians of
// interleaved runs: --benchmark_repetitions=10
// --benchmark_enable_random_interleaving=true.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include <SDL.h>

#include "graphics/drivers/GraphicsOGL.h"
#include "platform/SdlBridge.h"
#include "SpriteScene.h"

namespace {

using namespace Engine::Graphics;
using Engine::ref_ptr;

using namespace SpriteScene;

// Each frame ends by reading one pixel back, so that frames are finished.
void ReadOnePixel() {
    uint32_t pixel;
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
    benchmark::DoNotOptimize(pixel);
}

void BM_OpenGLDriver(benchmark::State& state) {
    CDriverScene<CGraphics_OGL> scene(int(state.range(0)), 100, ReadOnePixel);
    RunScene(state, scene);
}

void BM_SdlRenderer(benchmark::State& state) {
    Platform::EnsureSdlVideo();
    CSdlScene scene(int(state.range(0)), false);
    if (scene.IsCreated()) state.SetLabel(scene.RendererName());
    RunScene(state, scene);
}

// Rendering runs on the GL implementation's threads too: frames are timed on
// the wall clock.
BENCHMARK(BM_OpenGLDriver)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SdlRenderer)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    SpriteScene::CRatioReporter reporter("BM_OpenGLDriver", "BM_SdlRenderer", "OpenGL driver", 1.0);
    return SpriteScene::RunWithRatios(argc, argv, reporter);
}
