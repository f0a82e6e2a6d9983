// N alpha-blended 32 x 32 sprites per frame in an 800 x 600 window: through
// the sprite queue and the OpenGL driver (a sprite file's sprite queued N
// times, then flushed), and through SDL2's own renderer (SDL_RenderCopy with
// batching on). Each frame ends by reading one pixel back, so both count
// finished frames. The run reports frames per second of both and their ratio
// (driver / SDL).
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

#include "app/Application.h"
#include "graphics/DefaultStates.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteRef.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "platform/SdlBridge.h"
#include "SpriteScene.h"

namespace {

using namespace Engine::Graphics;
using Engine::ref_ptr;

using namespace SpriteScene;

class CDriverScene {
public:
    explicit CDriverScene(int sprites) : m_sprites(sprites) {
        CGraphicsParams params;
        ResetGraphicsParams(params);
        params.width = kWidth;
        params.height = kHeight;
        m_driver = std::make_unique<CGraphics_OGL>(&m_cell);
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
    ~CDriverScene() {
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
            SpritePosition(i, frame, x, y);
            CSpriteQueue::QueueSpriteAt(params, *m_sprite, x, y, 0xFFFFFFFFu);
        }
        CSpriteQueue::Flush(params);
        m_driver->gEndScene();
        m_driver->gFlipBuffers();
        uint32_t pixel;
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
        benchmark::DoNotOptimize(pixel);
    }

private:
    int m_sprites;
    Engine::CApplication m_app;
    Engine::CApplication* m_cell = &m_app;
    std::unique_ptr<CGraphics_OGL> m_driver;
    bool m_created = false;
    ref_ptr<SprFile::CSprFile> m_file;
    SprFile::CSpriteRef* m_sprite = nullptr; // owned by the file
};

class CSdlScene {
public:
    explicit CSdlScene(int sprites) : m_sprites(sprites) {
        SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
        m_window = SDL_CreateWindow("bench", 0, 0, kWidth, kHeight, SDL_WINDOW_HIDDEN);
        if (!m_window) return;
        m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_ACCELERATED);
        if (!m_renderer) m_renderer = SDL_CreateRenderer(m_window, -1, 0);
        if (!m_renderer) return;
        std::vector<uint8_t> pixels = SpritePixels();
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kSprite, kSprite, 32, kSprite * 4,
                                                                  SDL_PIXELFORMAT_RGBA32);
        m_texture = SDL_CreateTextureFromSurface(m_renderer, surface);
        SDL_FreeSurface(surface);
        SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_BLEND);
    }
    ~CSdlScene() {
        if (m_texture) SDL_DestroyTexture(m_texture);
        if (m_renderer) SDL_DestroyRenderer(m_renderer);
        if (m_window) SDL_DestroyWindow(m_window);
    }
    bool IsCreated() const { return m_texture != nullptr; }
    std::string RendererName() const {
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(m_renderer, &info);
        return info.name ? info.name : "?";
    }

    void DrawFrame(int frame) {
        SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_renderer);
        for (int i = 0; i < m_sprites; ++i) {
            SDL_Rect target{0, 0, kSprite, kSprite};
            SpritePosition(i, frame, target.x, target.y);
            SDL_RenderCopy(m_renderer, m_texture, nullptr, &target);
        }
        SDL_RenderPresent(m_renderer);
        uint32_t pixel;
        const SDL_Rect one{0, 0, 1, 1};
        SDL_RenderReadPixels(m_renderer, &one, SDL_PIXELFORMAT_RGBA32, &pixel, 4);
        benchmark::DoNotOptimize(pixel);
    }

private:
    int m_sprites;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
};

void BM_OpenGLDriver(benchmark::State& state) {
    CDriverScene scene(int(state.range(0)));
    RunScene(state, scene);
}

void BM_SdlRenderer(benchmark::State& state) {
    Platform::EnsureSdlVideo();
    CSdlScene scene(int(state.range(0)));
    if (scene.IsCreated()) state.SetLabel(scene.RendererName());
    RunScene(state, scene);
}

// Rendering runs on the GL implementation's threads too: frames are timed on
// the wall clock.
BENCHMARK(BM_OpenGLDriver)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SdlRenderer)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    SpriteScene::CRatioReporter reporter("BM_OpenGLDriver", "BM_SdlRenderer", "OpenGL driver");
    return SpriteScene::RunWithRatios(argc, argv, reporter);
}
