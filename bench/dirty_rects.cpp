// The dirty-rectangle path: covering the marked cells with rectangles, and
// the whole update pass (compare, mark, redraw cut to the rectangles) for a
// frame where little changes and one where everything does. Reported in
// grid cells per microsecond (800 x 600: 169 cells). And a frame's container
// filled with n distinct quads, reported per quad: a frame of many small
// sprites or particles should cost no more per quad than a small one.

#include <random>

#include <benchmark/benchmark.h>

#include "graphics/Graphics.h"
#include "graphics/SpriteQueue.h"
#include "support/RecordingGraphics.h"

namespace {

using namespace Engine::Graphics;

// Counts the draw calls instead of recording them.
class CCountingGraphics : public Testing::CRecordingGraphics {
public:
    CCountingGraphics() {
        GetParams().width = 800;
        GetParams().height = 600;
    }
    void gDraw(int, Engine::ref_ptr<CVertexBuffer>, int, int, Engine::ref_ptr<CIndexBuffer>) override { ++draws; }
    void gSetTextureStage(int, Engine::ref_ptr<CTexture>) override {}
    void gSwitch(int, bool) override {}
    void gSetBlendFunc(int, int) override {}
    int64_t draws = 0;
};

void ReportCells(benchmark::State& state, const CDirtyRects& grid) {
    const double cells = double(grid.GetColumns()) * grid.GetRows();
    state.counters["cells_per_us"] =
        benchmark::Counter(cells * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}

enum EMarks { kFewMarks, kAllMarked, kCheckerboard };

void BM_ExtractRects(benchmark::State& state) {
    CCountingGraphics driver;
    Engine::ref_ptr<CDirtyRects> grid(new CDirtyRects(&driver));
    const int32_t columns = grid->GetColumns(), rows = grid->GetRows();
    const CellRect all{0, columns - 1, 0, rows - 1};
    switch (EMarks(state.range(0))) {
    case kFewMarks:  // a moving sprite or two and a counter
        grid->MarkCells({1, 2, 1, 2});
        grid->MarkCells({6, 7, 5, 5});
        grid->MarkCells({11, 12, 11, 12});
        break;
    case kAllMarked: grid->MarkCells(all); break;
    case kCheckerboard:  // the most rectangles a grid can need
        for (int32_t row = 0; row < rows; ++row)
            for (int32_t column = row % 2; column < columns; column += 2) grid->MarkCells({column, column, row, row});
        break;
    }
    std::vector<PixelRect> rects;
    for (auto _ : state) {
        rects.clear();
        grid->ExtractRects(all, rects);
        benchmark::DoNotOptimize(rects.data());
    }
    state.counters["rects"] = double(rects.size());
    ReportCells(state, *grid);
}
BENCHMARK(BM_ExtractRects)->ArgName("marks")->Arg(kFewMarks)->Arg(kAllMarked)->Arg(kCheckerboard);

// A frame of a full-screen background and 300 sprites of 32 by 32, some
// turned; `moving` of them move every frame.
void BM_UpdatePass(benchmark::State& state) {
    CCountingGraphics driver;
    CSpriteQueue::SetDriver(&driver);
    CSpriteQueue::CreateVertexBuffer();
    driver.CreateSpriteContainers();
    const int moving = int(state.range(0));
    constexpr int kSprites = 300;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> x(0, 768), y(0, 568);
    struct CSprite {
        float x, y;
        bool turned;
    };
    std::vector<CSprite> sprites;
    for (int i = 0; i < kSprites; ++i) sprites.push_back({x(random), y(random), i % 10 == 0});
    Engine::ref_ptr<CTexture> texture(new CTexture(nullptr, nullptr));
    const CBufferedDrawState alpha{BLEND_SRC_ALPHA, BLEND_INV_SRC_ALPHA, 1};
    auto fillFrame = [&](int frame) {
        CBufferedSpritesContainer& container = *driver.GetSpritesContainer();
        const SpriteVertex background[4] = {
            {0, 0, 0, 1, ~0u, 0, 0}, {800, 0, 0, 1, ~0u, 1, 0}, {800, 600, 0, 1, ~0u, 1, 1}, {0, 600, 0, 1, ~0u, 0, 1}};
        container.Add(background, nullptr, {});
        for (int i = 0; i < kSprites; ++i) {
            const float dx = i < moving ? float(frame % 50) : 0.0f;
            const float left = sprites[size_t(i)].x + dx, top = sprites[size_t(i)].y;
            const float skew = sprites[size_t(i)].turned ? 8.0f : 0.0f;
            const SpriteVertex quad[4] = {{left + skew, top, 0, 1, ~0u, 0, 0},
                                          {left + 32, top + skew, 0, 1, ~0u, 1, 0},
                                          {left + 32 - skew, top + 32, 0, 1, ~0u, 1, 1},
                                          {left, top + 32 - skew, 0, 1, ~0u, 0, 1}};
            container.Add(quad, texture, alpha);
        }
    };
    int frame = 0;
    for (int warm = 0; warm < 3; ++warm) {
        fillFrame(frame++);
        driver.FinishBufferedFrame();
    }
    driver.draws = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fillFrame(frame++);
        state.ResumeTiming();
        driver.FinishBufferedFrame();
    }
    state.counters["draws_per_frame"] =
        benchmark::Counter(double(driver.draws), benchmark::Counter::kAvgIterations);
    ReportCells(state, *driver.GetDirtyRects());
    driver.DestroySpriteContainers();
    CSpriteQueue::ReleaseVertexBuffer();
    CSpriteQueue::SetDriver(nullptr);
}
BENCHMARK(BM_UpdatePass)->ArgName("moving")->Arg(3)->Arg(300);

} // namespace

namespace {

void BM_ContainerFill(benchmark::State& state) {
    const auto count = int32_t(state.range(0));
    std::vector<SpriteVertex> quads(size_t(count) * 4);
    for (int32_t i = 0; i < count; ++i)
        for (int corner = 0; corner < 4; ++corner)
            quads[size_t(i) * 4 + size_t(corner)] = {float(i % 800 + corner % 2), float(i / 800 + corner / 2), 0, 1, ~0u, 0, 0};
    const Engine::ref_ptr<CBufferedSpritesContainer> container(new CBufferedSpritesContainer());
    for (auto _ : state) {
        container->AddQuads({}, quads.data(), count, nullptr);
        container->Clear();
    }
    state.counters["quads_per_us"] = benchmark::Counter(double(count) * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ContainerFill)->Arg(10000)->Arg(30000)->Arg(100000)->Arg(300000)->Unit(benchmark::kMillisecond);

} // namespace
