// 2,000 alpha-blended 32 x 32 sprites per 800 x 600 frame: through the
// sprite queue and the software driver (drawn into its back buffer and
// presented to the window), and through SDL2's software renderer drawing the
// same sprites into a surface of the same size. Also a frame in which only
// 1% of the sprites move, and the rasteriser alone on both of its paths.
// The run ends with the frames per second of both and their ratio
// (driver / SDL).
//
// On a shared machine compare medians of interleaved runs:
// --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true.

#include <memory>

#include <SDL.h>

#include "SpriteScene.h"
#include "app/Application.h"
#include "graphics/DefaultStates.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteRef.h"
#include "graphics/drivers/GraphicsSFTW.h"

namespace {

using namespace Engine::Graphics;
using namespace SpriteScene;
using Engine::ref_ptr;

class CSoftwareScene {
public:
    // The first movingPercent of the sprites drift from frame to frame; the
    // others stay where they are.
    CSoftwareScene(int sprites, int movingPercent) : m_sprites(sprites), m_moving(sprites * movingPercent / 100) {
        CGraphicsParams params;
        ResetGraphicsParams(params);
        params.width = kWidth;
        params.height = kHeight;
        m_driver = std::make_unique<CGraphics_SFTW>(&m_cell);
        m_created = m_driver->Create("bench", &params);
        if (!m_created) return;
        CSpriteQueue::SetDriver(m_driver.get());
        CSpriteQueue::CreateVertexBuffer();
        CSpriteQueue::Init();
        m_file = SprTestData::ReadSprFile(SpriteFile(), "spr/bench.spr", false, nullptr, m_driver.get());
        m_file->CreateTextures();
        m_sprite = m_file->CreateSpriteByName("ball");
        m_sprite->GetTemplate().flags = SPRITE_BLEND_ALPHA;
    }
    ~CSoftwareScene() {
        m_file = nullptr;
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
        if (m_driver) m_driver->Destroy();
    }
    bool IsCreated() const { return m_created; }

    void DrawFrame(int frame) {
        m_driver->gBeginScene();
        SetDefaultRenderStates(*m_driver);
        m_driver->gClear(CLEAR_COLOR);
        const CSpriteQueue::CParams params;
        for (int i = 0; i < m_sprites; ++i) {
            int x, y;
            SpritePosition(i, i < m_moving ? frame : 0, x, y);
            CSpriteQueue::QueueSpriteAt(params, *m_sprite, x, y, 0xFFFFFFFFu);
        }
        CSpriteQueue::Flush(params);
        m_driver->gEndScene();
        m_driver->gFlipBuffers();
    }

private:
    int m_sprites, m_moving;
    Engine::CApplication m_app;
    Engine::CApplication* m_cell = &m_app;
    std::unique_ptr<CGraphics_SFTW> m_driver;
    bool m_created = false;
    ref_ptr<SprFile::CSprFile> m_file;
    SprFile::CSpriteRef* m_sprite = nullptr; // owned by the file
};

class CSdlSoftwareScene {
public:
    explicit CSdlSoftwareScene(int sprites) : m_sprites(sprites) {
        m_target = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
        if (!m_target) return;
        m_renderer = SDL_CreateSoftwareRenderer(m_target);
        if (!m_renderer) return;
        std::vector<uint8_t> pixels = SpritePixels();
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kSprite, kSprite, 32, kSprite * 4,
                                                                  SDL_PIXELFORMAT_RGBA32);
        m_texture = SDL_CreateTextureFromSurface(m_renderer, surface);
        SDL_FreeSurface(surface);
        SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_BLEND);
    }
    ~CSdlSoftwareScene() {
        if (m_texture) SDL_DestroyTexture(m_texture);
        if (m_renderer) SDL_DestroyRenderer(m_renderer);
        if (m_target) SDL_FreeSurface(m_target);
    }
    bool IsCreated() const { return m_texture != nullptr; }

    void DrawFrame(int frame) {
        SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_renderer);
        for (int i = 0; i < m_sprites; ++i) {
            SDL_Rect target{0, 0, kSprite, kSprite};
            SpritePosition(i, frame, target.x, target.y);
            SDL_RenderCopy(m_renderer, m_texture, nullptr, &target);
        }
        SDL_RenderPresent(m_renderer);
        benchmark::DoNotOptimize(static_cast<uint32_t*>(m_target->pixels)[0]);
    }

private:
    int m_sprites;
    SDL_Surface* m_target = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
};

void BM_SoftwareDriver(benchmark::State& state) {
    CSoftwareScene scene(int(state.range(0)), 100);
    RunScene(state, scene);
}

void BM_SoftwareDriverOnePercentMoving(benchmark::State& state) {
    CSoftwareScene scene(int(state.range(0)), 1);
    RunScene(state, scene);
}

void BM_SdlSoftwareRenderer(benchmark::State& state) {
    CSdlSoftwareScene scene(int(state.range(0)));
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
    SpriteScene::CRatioReporter reporter("BM_SoftwareDriver", "BM_SdlSoftwareRenderer", "software driver");
    return SpriteScene::RunWithRatios(argc, argv, reporter);
}
