// What drawing a long text costs against a text just long enough to fill
// its box: one centred line in a screen-wide box, and a word-wrapped text
// in an 800 by 200 box (the pass clipped to the box), through the sprite
// queue into the recording driver, the layout made before the timed loop.
// A drawing should cost at most twice its filling twin's. Making each
// layout is reported per character. A frame of one left-aligned line of
// 10,000,000 characters and three short texts is set against the frame of
// the filling line and the same three: the long line's layout, over the
// layouts' memory bound, must not push the others out (nor they it).
// A text's first layout looks for a quit every 4,096 units of its work: for
// five texts of 1,000,000 and 10,000,000 characters, the longest thread CPU
// between two looks is reported, each stretch at its least over five runs
// (the watch's time gate off, so that every count of 4,096 looks); at ten
// times the text it should stay within twice the shorter text's, and within
// 20 ms.
// A frame of many different short texts, each at its own place and kept
// from the first frame: at 10,000 texts it should cost at most 12 times
// the frame of 1,000. A frame of 17 different texts of 1,000,000
// characters, kept alike, is timed beside them.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "TargetReporter.h"
#include "app/Application.h"
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

// The long texts whose first layout's looks are timed.
enum ELongText { kLeftLine, kCentredLine, kWrappedJustified, kLinesOf100, kTightLeftLine };
const char* const kLongTextNames[] = {"LeftLine", "CentredLine", "WrappedJustified", "LinesOf100", "TightLeftLine"};
constexpr int64_t kLookLengths[] = {1'000'000, 10'000'000};
constexpr double kMaxLookGapMs = 20.0;
constexpr int64_t kShortTextCounts[] = {1'000, 10'000};
constexpr double kMaxShortTextsRatio = 12.0;
constexpr int64_t kLongTextCount = 17, kLongTextLength = 1'000'000;

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

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
    // A frame of the texts, the i-th at the i-th place of a grid across
    // the screen; the quads drawn. The recording driver keeps a copy of
    // every vertex: it is emptied every 1,000 texts, so that what it keeps
    // stays the same whatever the number of texts.
    int64_t DrawEach(const std::vector<CString>& texts) {
        CTextLayoutCache::OfThisThread().StartFrame();
        m_context.m_params = {};
        int64_t quads = 0;
        for (size_t i = 0; i < texts.size(); ++i) {
            DrawText(m_context, float(i % 100) * 8, float(i / 100) * 5, kBoxWidth, 0, 1, 1, TEXT_ALIGN_LEFT,
                     SPRITE_BLEND_ALPHA, texts[i]);
            if (i % 1000 == 999) quads += TakeRecordedQuads();
        }
        return quads + Flush();
    }
    // The first layout of the long text (measured, so that no drawing
    // follows), its looks timed: the thread CPU between each two of them,
    // and last, from the last look until the drawing returns, in ms.
    std::vector<double> LayOutLooked(ELongText kind, const CString& text) {
        CTextLayoutCache& cache = CTextLayoutCache::OfThisThread();
        cache.Clear();
        Engine::CFrameQuitWatch& watch = m_application.GetQuitWatch();
        std::vector<double> gaps;
        double last = -1;
        watch.SetTimeGate(false);
        watch.SetProbe([&] {
            const double now = ThreadCpuMs();
            if (last >= 0) gaps.push_back(now - last);
            last = now;
            return false;
        });
        watch.StartFrame();
        m_driver.StartQuadCountdown();
        cache.StartFrame();
        m_context.m_params = {};
        m_context.m_letterSpacing = kind == kTightLeftLine ? -20.0f : 0.0f;
        switch (kind) {
        case kCentredLine: Draw(kLine, text, TEXT_MEASURE); break;
        case kWrappedJustified: Draw(kWrapped, text, TEXT_JUSTIFY | TEXT_MEASURE); break;
        default:
            DrawText(m_context, 0, 0, kBoxWidth, kScreenHeight, 1, 1, TEXT_ALIGN_LEFT | TEXT_MEASURE,
                     SPRITE_BLEND_ALPHA, text);
        }
        gaps.push_back(ThreadCpuMs() - last);
        m_context.m_letterSpacing = 0;
        watch.SetProbe(nullptr);
        return gaps;
    }
    // The quads drawn since the last call (a full queue draws on its own).
    int64_t Flush() {
        CSpriteQueue::FlushIfPending(m_context.m_params);
        return TakeRecordedQuads();
    }
    // The quads the driver recorded since the last call.
    int64_t TakeRecordedQuads() {
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
    // The words, with a line break ending every `line` characters (none
    // for 0).
    static CString Text(int64_t length, size_t line = 0) {
        std::string text(size_t(length), ' ');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = line && i % line == line - 1 ? '\n' : kWords[i % (sizeof(kWords) - 1)];
        return CString(text.c_str());
    }

private:
    Engine::CApplication m_application;
    Engine::CApplication* m_applicationCell = &m_application;
    Testing::CRecordingGraphics m_driver{&m_applicationCell};
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

// Frames of the texts, laid out in the first frame, before the timed ones.
void TimeFramesOf(benchmark::State& state, CTextBench& bench, const std::vector<CString>& texts) {
    bench.DrawEach(texts);
    const uint64_t made = CTextLayoutCache::OfThisThread().GetLayoutsMade();
    int64_t quads = 0;
    for (auto _ : state) quads += bench.DrawEach(texts);
    state.counters["quads"] = double(quads) / double(state.iterations());
    state.counters["layouts"] = double(CTextLayoutCache::OfThisThread().GetLayoutsMade() - made);
    CTextLayoutCache::OfThisThread().Clear();
}

// Different texts of ten characters.
void BM_ShortTextsFrame(benchmark::State& state, int64_t count) {
    CTextBench bench;
    std::vector<CString> texts;
    for (int64_t i = 0; i < count; ++i) {
        char text[32];
        std::snprintf(text, sizeof(text), "text %05lld", static_cast<long long>(i));
        texts.emplace_back(text);
    }
    TimeFramesOf(state, bench, texts);
}

// Different texts of the words, each beginning with its own letter.
void BM_LongTextsFrame(benchmark::State& state) {
    CTextBench bench;
    std::vector<CString> texts;
    for (int64_t i = 0; i < kLongTextCount; ++i) {
        CString text = CTextBench::Text(kLongTextLength);
        text.GetBuffer()[0] = kCharacters[1 + i];
        texts.push_back(text);
    }
    TimeFramesOf(state, bench, texts);
}

void BM_LayoutLooks(benchmark::State& state, ELongText kind, int64_t length) {
    CTextBench bench;
    const CString text = CTextBench::Text(length, kind == kLinesOf100 ? 100 : 0);
    // The looks come at the same points of the work in every run: a stretch
    // the layout makes is in every run, one the machine makes (another
    // thread's time counted on this one, a page reclaimed) is not. Each
    // stretch is taken at its least over the runs.
    std::vector<double> least;
    for (auto _ : state) {
        const std::vector<double> gaps = bench.LayOutLooked(kind, text);
        if (least.empty()) least = gaps;
        least.resize(std::min(least.size(), gaps.size()));
        for (size_t i = 0; i < least.size(); ++i) least[i] = std::min(least[i], gaps[i]);
    }
    CTextLayoutCache::OfThisThread().Clear();
    if (least.empty()) return;
    // After the last look: letting go of the layout's working memory.
    state.counters["after_last_look_ms"] = least.back();
    least.pop_back();
    state.counters["longest_look_gap_ms"] = least.empty() ? 0.0 : *std::max_element(least.begin(), least.end());
    state.counters["looks"] = double(least.size() + 1);
}

const char* const kShapes[] = {"Line", "Wrapped"};

std::string LooksName(ELongText kind, int64_t length) {
    return std::string("BM_LayoutLooks") + kLongTextNames[kind] + "/" + std::to_string(length);
}

std::string RunName(const char* measure, EShape shape, int64_t length) {
    return std::string(measure) + kShapes[shape] + "/" + std::to_string(length);
}

std::string ShortTextsName(int64_t count) { return "BM_ShortTextsFrame/" + std::to_string(count); }

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
    for (int64_t count : kShortTextCounts)
        benchmark::RegisterBenchmark(ShortTextsName(count).c_str(), BM_ShortTextsFrame, count)
            ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BM_LongTextsFrame", BM_LongTextsFrame)->Unit(benchmark::kMicrosecond);
    for (ELongText kind : {kLeftLine, kCentredLine, kWrappedJustified, kLinesOf100, kTightLeftLine})
        for (int64_t length : kLookLengths)
            benchmark::RegisterBenchmark(LooksName(kind, length).c_str(), BM_LayoutLooks, kind, length)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(5);
}

// Prints each long text's drawing over its filling twin's, and the longest
// stretch between two looks of the long texts' first layouts.
class CFillingTwinReporter : public BenchTargets::CCpuTimeReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        CCpuTimeReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto gap = run.counters.find("longest_look_gap_ms");
            if (!run.error_occurred && gap != run.counters.end()) m_gaps[run.run_name.function_name] = gap->second;
        }
    }

    void PrintSummary() const {
        PrintLooks();
        PrintShortTexts();
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

private:
    void PrintShortTexts() const {
        const double* fewer = CpuTime(ShortTextsName(kShortTextCounts[0]));
        const double* more = CpuTime(ShortTextsName(kShortTextCounts[1]));
        if (!fewer || !more) return;
        std::printf("Frame of %lld different short texts: %.1f us against %.1f us for %lld, ",
                    static_cast<long long>(kShortTextCounts[1]), *more, *fewer,
                    static_cast<long long>(kShortTextCounts[0]));
        PrintRatio(*more / *fewer, kMaxShortTextsRatio);
    }
    void PrintLooks() const {
        for (ELongText kind : {kLeftLine, kCentredLine, kWrappedJustified, kLinesOf100, kTightLeftLine}) {
            const auto shorter = m_gaps.find(LooksName(kind, kLookLengths[0]));
            const auto longer = m_gaps.find(LooksName(kind, kLookLengths[1]));
            if (shorter == m_gaps.end() || longer == m_gaps.end()) continue;
            std::printf("Longest stretch between two looks, %s: %.3f ms at %lld characters (target at most %.0f ms: "
                        "%s), %.3f ms at %lld, ",
                        kLongTextNames[kind], longer->second, static_cast<long long>(kLookLengths[1]), kMaxLookGapMs,
                        longer->second <= kMaxLookGapMs ? "met" : "NOT met", shorter->second,
                        static_cast<long long>(kLookLengths[0]));
            PrintRatio(longer->second / shorter->second, kMaxRatio);
        }
    }

    std::map<std::string, double> m_gaps;
};

} // namespace

int main(int argc, char** argv) {
    RegisterTexts();
    CFillingTwinReporter summary;
    return BenchTargets::RunThenSummarise(argc, argv, summary);
}
