// N textured 32 x 32 sprites per frame in an 800 x 600 window: through the
// OpenGL driver (sprite vertices written into one vertex buffer and drawn as
// one quad list, which is what the sprite queue does with one texture) and
// through SDL2's own renderer (SDL_RenderCopy with batching on). Each frame
// ends by reading one pixel back, so both count finished frames. The run
// reports frames per second of both and their ratio (driver / SDL).
//
// Headless machines run it with SDL_VIDEODRIVER=offscreen (set by default
// when there is no display).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <SDL.h>

#include "app/Application.h"
#include "graphics/Bitmap.h"
#include "graphics/DefaultStates.h"
#include "graphics/Texture.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "platform/SdlBridge.h"

namespace {

using namespace Engine::Graphics;
using Engine::ref_ptr;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kSprite = 32;
constexpr int kTexture = 64;

// A round, soft-edged sprite with alpha, as most of the scene's sprites are.
uint32_t SpritePixel(int x, int y) {
    const int dx = x - kTexture / 2, dy = y - kTexture / 2;
    const int d2 = dx * dx + dy * dy, r2 = (kTexture / 2) * (kTexture / 2);
    const uint32_t alpha = d2 >= r2 ? 0 : uint32_t(255 - 255 * d2 / r2);
    return uint32_t(x * 4) | uint32_t(y * 4) << 8 | 0x80u << 16 | alpha << 24;
}

// Sprite i's top-left corner in frame f: a grid that drifts each frame.
void SpritePosition(int i, int frame, float& x, float& y) {
    const int columns = kWidth / 8;
    x = float((i % columns) * 8 + frame % 17);
    y = float(((i / columns) * 8 + frame % 13) % (kHeight - kSprite));
}

void ReportFps(benchmark::State& state) {
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

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
        ref_ptr<CBitmap> bitmap(new CBitmap);
        bitmap->Create(kTexture, kTexture);
        for (int y = 0; y < kTexture; ++y)
            for (int x = 0; x < kTexture; ++x) bitmap->GetPixels()[y * kTexture + x] = SpritePixel(x, y);
        ref_ptr<CHardwareTexture> hardware;
        m_driver->CreateHardwareTexture(hardware, bitmap, false, false, -1);
        m_texture = new CTexture(nullptr, hardware);
        m_driver->CreateVertexBuffer(m_vertices, sprites * 4, int(sizeof(SpriteVertex)), VF_SPRITE, true);
    }
    ~CDriverScene() {
        m_vertices = nullptr;
        m_texture = nullptr;
        if (m_driver) m_driver->Destroy();
    }
    bool IsCreated() const { return m_created; }

    void DrawFrame(int frame) {
        m_driver->gBeginScene();
        SetDefaultRenderStates(*m_driver);
        m_driver->gClear(CLEAR_COLOR);
        m_driver->gSetTextureStage(0, m_texture);
        auto* vertex = static_cast<SpriteVertex*>(m_vertices->Lock());
        for (int i = 0; i < m_sprites; ++i) {
            float x, y;
            SpritePosition(i, frame, x, y);
            const float r = x + kSprite, b = y + kSprite;
            *vertex++ = SpriteVertex{x, y, 0, 1, 0xFFFFFFFFu, 0, 0};
            *vertex++ = SpriteVertex{r, y, 0, 1, 0xFFFFFFFFu, 1, 0};
            *vertex++ = SpriteVertex{r, b, 0, 1, 0xFFFFFFFFu, 1, 1};
            *vertex++ = SpriteVertex{x, b, 0, 1, 0xFFFFFFFFu, 0, 1};
        }
        m_vertices->Unlock();
        m_driver->gDraw(PRIM_QUAD_LIST, m_vertices, 0, m_sprites, nullptr);
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
    ref_ptr<CTexture> m_texture;
    ref_ptr<CVertexBuffer> m_vertices;
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
        std::vector<uint32_t> pixels(kTexture * kTexture);
        for (int y = 0; y < kTexture; ++y)
            for (int x = 0; x < kTexture; ++x) pixels[size_t(y * kTexture + x)] = SpritePixel(x, y);
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kTexture, kTexture, 32, kTexture * 4,
                                                                  SDL_PIXELFORMAT_ABGR8888);
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
            SDL_FRect target{0, 0, kSprite, kSprite};
            SpritePosition(i, frame, target.x, target.y);
            SDL_RenderCopyF(m_renderer, m_texture, nullptr, &target);
        }
        SDL_RenderPresent(m_renderer);
        uint32_t pixel;
        const SDL_Rect one{0, 0, 1, 1};
        SDL_RenderReadPixels(m_renderer, &one, SDL_PIXELFORMAT_ABGR8888, &pixel, 4);
        benchmark::DoNotOptimize(pixel);
    }

private:
    int m_sprites;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
};

template <class Scene>
void RunScene(benchmark::State& state, Scene& scene) {
    if (!scene.IsCreated()) {
        state.SkipWithError("no window or renderer");
        return;
    }
    int frame = 0;
    for (auto _ : state) scene.DrawFrame(frame++);
    ReportFps(state);
}

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

// Keeps the frames per second of every run to print the ratios at the end.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto fps = run.counters.find("fps");
            if (run.error_occurred || fps == run.counters.end()) continue;
            // With repetitions, the median stands for the benchmark.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            const std::string name = run.run_name.function_name;
            m_fps[std::atoi(run.run_name.args.c_str())][name] = fps->second.value;
        }
    }
    void PrintRatios() const {
        for (const auto& [sprites, byScene] : m_fps) {
            const auto driver = byScene.find("BM_OpenGLDriver"), sdl = byScene.find("BM_SdlRenderer");
            if (driver == byScene.end() || sdl == byScene.end()) continue;
            std::printf("%d sprites: OpenGL driver %.1f fps, SDL renderer %.1f fps, ratio %.2f\n", sprites,
                        driver->second, sdl->second, driver->second / sdl->second);
        }
    }

private:
    std::map<int, std::map<std::string, double>> m_fps; // sprites -> benchmark -> fps
};

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
