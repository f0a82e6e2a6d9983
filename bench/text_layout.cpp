// What drawing a long text costs against a text just long enough to fill
// its box: one centred line in a screen-wide box, and a word-wrapped text
// in an 800 by 200 box (the pass clipped to the box), through the sprite
// queue into the recording driver, the layout made before the timed loop.
// A drawing should cost at most twice its filling twin's. Making each
// layout is reported per character. A frame of one left-aligned line of
// 10,000,000 characters and three short texts is set against the frame of
// the filling line and the same three: the long line's layout, over the
// layouts' memory bound, must not push the others out (nor they it).

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "TargetReporter.h"
#include "graphics/SpriteQueue.h"
#include "graphics/Text.h"
#include "graphics/TextLayoutCache.h"
#include "support/RecordingGraphics.h"
#include "tests/graphics/SprFileTestData.h"

namespace {

using namespace Engine::Graphics;

constexpr int32_t kScreenWidth = 800, kScreenHeight = 600;
constexpr float kBoxWidth = 800, kBoxHeight = 200;
constexpr double kMaxRatio = 2.0;
constexpr int64_t kLengths[] = {1'000, 10'000, 1'000'000};
constexpr int64_t kFrameLineLength = 10'000'000;
const char* const kShortTexts[] = {"sit amet", "dolor", "lorem ipsum"};
const char kWords[] = "lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor ";
// Glyphs of 6 to 11 pixels for the letters and the space.
const char kCharacters[] = " abcdefghijklmnopqrstuvwxyz";

enum EShape { kLine, kWrapped };

class CTextBench {
public:
    CTextBench() {
        mallopt(M_TRIM_THRESHOLD, 64 << 20);  // as the sprite queue's benchmark: see there
        m_driver.GetParams().width = kScreenWidth;
        m_driver.GetParams().height = kScreenHeight;
        CSpriteQueue::SetDriver(&m_driver);
        CSpriteQueue::CreateVertexBuffer();
        CSpriteQueue::Init();
        std::vector<int32_t> widths;
        Engine::CLocaleFont record;
        record.sprite = "glyphs";
        for (const char* c = kCharacters; *c; ++c) {
            widths.push_back(6 + int32_t(c - kCharacters) % 6);
            record.characters.push_back(char16_t(*c));
        }
        auto file = SprTestData::ReadSprFile(Tools::WriteSpr(SprTestData::StripDocument("glyphs", widths, 16)),
                                             "spr/bench.spr", false, nullptr, &m_driver);
        file->CreateTextures();
        CTextLayout::SetFont(m_context, CreateFontFromSprite(record, file));
    }
    ~CTextBench() {
        m_context.m_pFont = nullptr;
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
    }

    void Draw(EShape shape, const CString& text, uint32_t flags = 0) {
        if (shape == kLine) {
            m_context.m_params = {};
            DrawText(m_context, 0, kScreenHeight - 32, kBoxWidth, 0, 1, 1, TEXT_ALIGN_CENTER | flags,
                     SPRITE_BLEND_ALPHA, text);
        } else {
            m_context.m_params = {0, 0, 0, 100, kBoxWidth, kBoxHeight, 1};
            DrawText(m_context, 0, 100, kBoxWidth, kBoxHeight, 1, 1, TEXT_WORD_WRAP | flags, SPRITE_BLEND_ALPHA, text);
        }
    }
    // A frame as the application draws it: the line left-aligned across the
    // screen, and the short texts below it.
    void DrawFrame(const CString& line, const CString (&shortTexts)[3]) {
        CTextLayoutCache::OfThisThread().StartFrame();
        m_context.m_params = {};
        DrawText(m_context, 0, kScreenHeight - 32, kBoxWidth, 0, 1, 1, TEXT_ALIGN_LEFT, SPRITE_BLEND_ALPHA, line);
        for (size_t i = 0; i < std::size(shortTexts); ++i)
            DrawText(m_context, 100, 100 + 40 * float(i), 200, 32, 1, 1, TEXT_ALIGN_CENTER, SPRITE_BLEND_ALPHA,
                     shortTexts[i]);
    }
    // The quads drawn since the last call (a full queue draws on its own).
    int64_t Flush() {
        CSpriteQueue::FlushIfPending(m_context.m_params);
        int64_t quads = 0;
        for (const Testing::CRecordedCall& call : m_driver.calls)
            if (call.name == "gDraw") quads += int64_t(call.args[2]);
        m_driver.Clear();
        return quads;
    }
    // The shortest text of the words that reaches across (a line) or below
    // (wrapped) the box.
    int64_t FillingLength(EShape shape) {
        for (int64_t length = 1;; ++length) {
            m_context.m_extentX = m_context.m_extentY = 0;
            Draw(shape, Text(length), TEXT_MEASURE);
            if (shape == kLine ? m_context.m_extentX - m_context.m_penX >= kBoxWidth
                               : m_context.m_extentY >= 100 + kBoxHeight)
                return length;
        }
    }
    static CString Text(int64_t length) {
        std::string text(size_t(length), ' ');
        for (size_t i = 0; i < text.size(); ++i) text[i] = kWords[i % (sizeof(kWords) - 1)];
        return CString(text.c_str());
    }

private:
    Testing::CRecordingGraphics m_driver;
    CDrawContext m_context;
};

// The length, or the filling twin's for 0.
int64_t LengthOf(CTextBench& bench, EShape shape, int64_t length) {
    return length ? length : bench.FillingLength(shape);
}

void BM_DrawText(benchmark::State& state, EShape shape, int64_t length) {
    CTextBench bench;
    const CString text = CTextBench::Text(LengthOf(bench, shape, length));
    bench.Draw(shape, text);  // the layout is made here, once
    bench.Flush();
    int64_t quads = 0;
    for (auto _ : state) {
        bench.Draw(shape, text);
        quads += bench.Flush();
    }
    state.counters["quads"] = double(quads) / double(state.iterations());
    state.counters["chars"] = double(text.GetLength());
}

void BM_MakeLayout(benchmark::State& state, EShape shape, int64_t length) {
    CTextBench bench;
    const CString text = CTextBench::Text(LengthOf(bench, shape, length));
    CTextLayoutCache& cache = CTextLayoutCache::OfThisThread();
    for (auto _ : state) {
        state.PauseTiming();
        cache.Clear();
        state.ResumeTiming();
        bench.Draw(shape, text, TEXT_MEASURE);
    }
    state.counters["per_char"] = benchmark::Counter(
        double(text.GetLength()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Length 0 is the filling twin.
void BM_DrawFrame(benchmark::State& state, int64_t length) {
    CTextBench bench;
    const CString line = CTextBench::Text(LengthOf(bench, kLine, length));
    const CString shortTexts[3] = {CString(kShortTexts[0]), CString(kShortTexts[1]), CString(kShortTexts[2])};
    bench.DrawFrame(line, shortTexts);  // the layouts are made here, once
    bench.Flush();
    const uint64_t made = CTextLayoutCache::OfThisThread().GetLayoutsMade();
    int64_t quads = 0;
    for (auto _ : state) {
        bench.DrawFrame(line, shortTexts);
        quads += bench.Flush();
    }
    state.counters["quads"] = double(quads) / double(state.iterations());
    // Layouts made again in the timed frames: none when every text stays kept.
    state.counters["layouts"] = double(CTextLayoutCache::OfThisThread().GetLayoutsMade() - made);
}

const char* const kShapes[] = {"Line", "Wrapped"};

std::string RunName(const char* measure, EShape shape, int64_t length) {
    return std::string(measure) + kShapes[shape] + "/" + std::to_string(length);
}

// Length 0 is the filling twin.
void RegisterTexts() {
    for (EShape shape : {kLine, kWrapped})
        for (int64_t length : {int64_t(0), kLengths[0], kLengths[1], kLengths[2]}) {
            benchmark::RegisterBenchmark(RunName("BM_Draw", shape, length).c_str(), BM_DrawText, shape, length)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(RunName("BM_MakeLayout", shape, length).c_str(), BM_MakeLayout, shape, length)
                ->Unit(benchmark::kMicrosecond);
        }
    for (int64_t length : {int64_t(0), kFrameLineLength})
        benchmark::RegisterBenchmark(("BM_DrawFrame/" + std::to_string(length)).c_str(), BM_DrawFrame, length)
            ->Unit(benchmark::kMicrosecond);
}

// Prints each long text's drawing over its filling twin's.
class CFillingTwinReporter : public BenchTargets::CCpuTimeReporter {
public:
    void PrintSummary() const {
        for (EShape shape : {kLine, kWrapped}) {
            const double* twin = CpuTime(RunName("BM_Draw", shape, 0));
            if (!twin) continue;
            for (int64_t length : kLengths) {
                const double* run = CpuTime(RunName("BM_Draw", shape, length));
                if (!run) continue;
                std::printf("Draw %s of %lld characters: %.2f us against %.2f us filling the box, ", kShapes[shape],
                            static_cast<long long>(length), *run, *twin);
                PrintRatio(*run / *twin, kMaxRatio);
            }
        }
        const double* twin = CpuTime("BM_DrawFrame/0");
        const double* run = CpuTime("BM_DrawFrame/" + std::to_string(kFrameLineLength));
        if (!twin || !run) return;
        std::printf("Frame of a left-aligned line of %lld characters and three short texts: %.2f us against %.2f us "
                    "with the filling line, ",
                    static_cast<long long>(kFrameLineLength), *run, *twin);
        PrintRatio(*run / *twin, kMaxRatio);
    }
};

} // namespace

int main(int argc, char** argv) {
    RegisterTexts();
    CFillingTwinReporter summary;
    return BenchTargets::RunThenSummarise(argc, argv, summary);
}
