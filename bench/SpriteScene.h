#pragma once
// What the sprite benchmarks share: one round, soft-edged 32 x 32 sprite
// with alpha (as most of the scene's sprites are), the sprite file holding
// it, where each sprite goes in a frame, and a ratio reporter.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <map>
#include <string>
#include <vector>

#include <SDL.h>

#include "TargetReporter.h"
#include "app/Application.h"
#include "graphics/DefaultStates.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteRef.h"
#include "tests/graphics/SprFileTestData.h"

namespace SpriteScene {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kSprite = 32;

// Red, green, blue, alpha.
inline std::array<uint8_t, 4> SpritePixel(int x, int y) {
    const int dx = x - kSprite / 2, dy = y - kSprite / 2;
    const int d2 = dx * dx + dy * dy, r2 = (kSprite / 2) * (kSprite / 2);
    const uint8_t alpha = d2 >= r2 ? 0 : uint8_t(255 - 255 * d2 / r2);
    return {uint8_t(x * 8), uint8_t(y * 8), 0x80, alpha};
}

// The sprite's pixels, row by row, in the byte order of SpritePixel.
inline std::vector<uint8_t> SpritePixels() {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < kSprite; ++y)
        for (int x = 0; x < kSprite; ++x) {
            const auto pixel = SpritePixel(x, y);
            pixels.insert(pixels.end(), pixel.begin(), pixel.end());
        }
    return pixels;
}

// A sprite file holding the sprite "ball".
inline std::vector<uint8_t> SpriteFile() {
    Tools::CPngImage image;
    image.width = image.height = kSprite;
    image.colour = Tools::EPngColour::RGBA;
    const std::vector<uint8_t> pixels = SpritePixels();
    image.samples.assign(pixels.begin(), pixels.end());
    Tools::CSprDocument document;
    document.images.push_back({0, Tools::WritePng(image), {}, 0xFFFFFFFFu});
    document.sprites.push_back({"ball", 0, 0, false, false, {Tools::MakeSprFrame(0, 0, 0, kSprite, kSprite)}});
    return Tools::WriteSpr(document);
}

// Sprite i's top-left corner in frame f: a grid that drifts each frame.
inline void SpritePosition(int i, int frame, int& x, int& y) {
    const int columns = kWidth / 8;
    x = (i % columns) * 8 + frame % 17;
    y = ((i / columns) * 8 + frame % 13) % (kHeight - kSprite);
}

// The sprite queue drawing through a driver on its own window: `sprites`
// copies of the sprite per frame, of which the first `movingPercent` drift
// from frame to frame while the others stay put. finishFrame runs after each
// flip.
template <class Driver>
class CDriverScene {
public:
    CDriverScene(int sprites, int movingPercent, std::function<void()> finishFrame = {})
        : m_sprites(sprites), m_moving(sprites * movingPercent / 100), m_finishFrame(std::move(finishFrame)) {
        using namespace Engine::Graphics;
        CGraphicsParams params;
        ResetGraphicsParams(params);
        params.width = kWidth;
        params.height = kHeight;
        m_driver = std::make_unique<Driver>(&m_cell);
        m_created = m_driver->Create("bench", &params);
        if (!m_created) return;
        CSpriteQueue::SetDriver(m_driver.get());
        CSpriteQueue::CreateVertexBuffer();
        CSpriteQueue::Init();
        m_file = SprTestData::ReadSprFile(SpriteFile(), "spr/bench.spr", false, nullptr, m_driver.get());
        m_file->CreateTextures();
        m_sprite = m_file->CreateSpriteByName("ball");
        m_sprite->GetTemplate().flags = SPRITE_BLEND_ALPHA;
        // A software driver redraws only what changed, as the frame loop has it.
        if (m_driver->IsSoftwareRenderer()) m_driver->CreateSpriteContainers();
    }
    ~CDriverScene() {
        using namespace Engine::Graphics;
        m_file = nullptr;
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
        if (m_driver) m_driver->Destroy();
    }
    bool IsCreated() const { return m_created; }

    void DrawFrame(int frame) {
        using namespace Engine::Graphics;
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
        m_driver->FinishBufferedFrame();
        m_driver->gEndScene();
        m_driver->gFlipBuffers();
        if (m_finishFrame) m_finishFrame();
    }

private:
    int m_sprites, m_moving;
    std::function<void()> m_finishFrame;
    Engine::CApplication m_app;
    Engine::CApplication* m_cell = &m_app;
    std::unique_ptr<Driver> m_driver;
    bool m_created = false;
    Engine::ref_ptr<Engine::Graphics::SprFile::CSprFile> m_file;
    Engine::Graphics::SprFile::CSpriteRef* m_sprite = nullptr; // owned by the file
};

// The same sprites through SDL2's own renderer: on a hidden window with
// batching on (each frame read back by one pixel, so that it is finished),
// or with SDL's software renderer into a surface of the window's size.
class CSdlScene {
public:
    CSdlScene(int sprites, bool software) : m_sprites(sprites) {
        if (software) {
            m_target = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
            if (m_target) m_renderer = SDL_CreateSoftwareRenderer(m_target);
        } else {
            SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
            m_window = SDL_CreateWindow("bench", 0, 0, kWidth, kHeight, SDL_WINDOW_HIDDEN);
            if (m_window) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_ACCELERATED);
            if (m_window && !m_renderer) m_renderer = SDL_CreateRenderer(m_window, -1, 0);
        }
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
        if (m_target) SDL_FreeSurface(m_target);
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
        uint32_t pixel = 0;
        if (m_target) {
            pixel = static_cast<const uint32_t*>(m_target->pixels)[0];
        } else {
            const SDL_Rect one{0, 0, 1, 1};
            SDL_RenderReadPixels(m_renderer, &one, SDL_PIXELFORMAT_RGBA32, &pixel, 4);
        }
        benchmark::DoNotOptimize(pixel);
    }

private:
    int m_sprites;
    SDL_Window* m_window = nullptr;
    SDL_Surface* m_target = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
};

inline void ReportFps(benchmark::State& state) {
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

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

// Keeps the frames per second of every run to print the ratio of each
// benchmark to its peer at the end.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    // target: the least ratio (driver / SDL) the driver must reach.
    CRatioReporter(std::string ours, std::string peer, std::string label, double target)
        : m_ours(std::move(ours)), m_peer(std::move(peer)), m_label(std::move(label)), m_target(target) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto fps = run.counters.find("fps");
            if (run.error_occurred || fps == run.counters.end()) continue;
            // With repetitions, the median stands for the benchmark.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            m_fps[std::atoi(run.run_name.args.c_str())][run.run_name.function_name] = fps->second.value;
        }
    }
    void PrintSummary() const {
        for (const auto& [sprites, byScene] : m_fps) {
            const auto ours = byScene.find(m_ours), peer = byScene.find(m_peer);
            if (ours == byScene.end() || peer == byScene.end()) continue;
            const double ratio = ours->second / peer->second;
            std::printf("%d sprites: %s %.1f fps, SDL renderer %.1f fps, ratio %.2f (target at least %.2f: %s)\n",
                        sprites, m_label.c_str(), ours->second, peer->second, ratio, m_target,
                        ratio >= m_target ? "met" : "NOT met");
        }
    }

private:
    std::string m_ours, m_peer, m_label;
    double m_target;
    std::map<int, std::map<std::string, double>> m_fps; // sprites -> benchmark -> fps
};

// Runs the benchmarks headless when there is no display.
inline int RunWithRatios(int argc, char** argv, CRatioReporter& reporter) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
    return BenchTargets::RunThenSummarise(argc, argv, reporter);
}

} // namespace SpriteScene
