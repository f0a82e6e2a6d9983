#pragma once
// What the sprite benchmarks share: one round, soft-edged 32 x 32 sprite
// with alpha (as most of the scene's sprites are), the sprite file holding
// it, where each sprite goes in a frame, and a ratio reporter.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

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
    CRatioReporter(std::string ours, std::string peer, std::string label)
        : m_ours(std::move(ours)), m_peer(std::move(peer)), m_label(std::move(label)) {}
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
    void PrintRatios() const {
        for (const auto& [sprites, byScene] : m_fps) {
            const auto ours = byScene.find(m_ours), peer = byScene.find(m_peer);
            if (ours == byScene.end() || peer == byScene.end()) continue;
            std::printf("%d sprites: %s %.1f fps, SDL renderer %.1f fps, ratio %.2f\n", sprites, m_label.c_str(),
                        ours->second, peer->second, ours->second / peer->second);
        }
    }

private:
    std::string m_ours, m_peer, m_label;
    std::map<int, std::map<std::string, double>> m_fps; // sprites -> benchmark -> fps
};

// Runs the benchmarks headless when there is no display.
inline int RunWithRatios(int argc, char** argv, CRatioReporter& reporter) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}

} // namespace SpriteScene
