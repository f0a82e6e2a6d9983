// 2,000 alpha-blended 32 x 32 sprites per 800 x 600 frame: through the
// sprite queue and the software driver (drawn into its back buffer and
// presented to the window), and through SDL2's software renderer drawing the
// same sprites into a surface of the same size. Also a frame in which only
// 1% of the sprites move, and the rasteriser alone on both of its paths.
// The run ends with the frames per second of both and their ratio
// (driver / SDL) against the target of 1.3. Frames per second count the CPU
// time of the drawing thread; with SDL's offscreen video driver the window
// shows its surface through an OpenGL texture, whose own threads are not
// counted.
//
// On a shared machine compare medians of interleaved runs:
// --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true.

#include <SDL.h>

#include "SpriteScene.h"
#include "graphics/drivers/GraphicsSFTW.h"

namespace {

using namespace Engine::Graphics;
using namespace SpriteScene;

using CSoftwareScene = CDriverScene<CGraphics_SFTW>;

void BM_SoftwareDriver(benchmark::State& state) {
    CSoftwareScene scene(int(state.range(0)), 100);
    RunScene(state, scene);
}

void BM_SoftwareDriverOnePercentMoving(benchmark::State& state) {
    CSoftwareScene scene(int(state.range(0)), 1);
    RunScene(state, scene);
}

void BM_SdlSoftwareRenderer(benchmark::State& state) {
    CSdlScene scene(int(state.range(0)), true);
    RunScene(state, scene);
}

// The rasteriser alone: every sprite copied 1:1 with alpha blending.
void BM_RasterSprites(benchmark::State& state) {
    BuildRasterTables();
    ForceRasterPath(state.range(1) ? ERasterPath::Vector : ERasterPath::Table);
    std::vector<uint32_t> screen(size_t(kWidth) * kHeight), sprite(size_t(kSprite) * kSprite);
    const std::vector<uint8_t> bytes = SpritePixels();
    for (size_t i = 0; i < sprite.size(); ++i)
        sprite[i] = uint32_t(bytes[i * 4 + 3]) << 24 | uint32_t(bytes[i * 4]) << 16 | uint32_t(bytes[i * 4 + 1]) << 8 |
                    bytes[i * 4 + 2];
    const CRasterTarget target{screen.data(), kWidth, kHeight, kWidth * 4};
    const CRasterTexture texture{sprite.data(), kSprite, kSprite};
    int frame = 0;
    for (auto _ : state) {
        for (int i = 0; i < state.range(0); ++i) {
            int x, y;
            SpritePosition(i, frame, x, y);
            RasterCopyRect(target, x << 16, y << 16, (x + kSprite) << 16, (y + kSprite) << 16, texture, 0, 0,
                           kSprite << 16, kSprite << 16, RASTER_ALPHA, RASTER_WHITE);
        }
        ++frame;
        benchmark::DoNotOptimize(screen.data());
    }
    ForceRasterPath(std::nullopt);
    state.SetLabel(state.range(1) ? "vector" : "table");
    ReportFps(state);
}

BENCHMARK(BM_SoftwareDriver)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SoftwareDriverOnePercentMoving)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SdlSoftwareRenderer)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RasterSprites)->Args({2000, 0})->Args({2000, 1})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    SpriteScene::CRatioReporter reporter("BM_SoftwareDriver", "BM_SdlSoftwareRenderer", "software driver", 1.3);
    return SpriteScene::RunWithRatios(argc, argv, reporter);
}
