// Which layouts the cache keeps over frames of more texts than its count
// bound, of texts repeated, changed, moved and dropped, and of texts over
// its memory bound: the layouts made and the count each frame leaves.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "graphics/TextLayoutCache.h"

using namespace Engine::Graphics;

namespace {

// Texts from this number on are of 1,000 to 4,000 characters; below, short.
constexpr int kLong = 1000;

// The texts numbered first to last (downward when last is below first),
// each drawn at the place of its number plus `shift`; `fresh` draws equal
// characters in a buffer of their own.
struct CDraws {
    int first, last, shift = 0;
    bool fresh = false;
};

struct CFrame {
    std::vector<CDraws> draws;
    size_t countAtStart;  // once the frame has started
    uint64_t made;        // since the case began, once the frame is drawn
    size_t count;
};

struct CCacheCase {
    const char* name;
    size_t byteBound;
    std::vector<CFrame> frames;  // the first is drawn before any frame starts
};

CString Content(int number) {
    if (number < kLong) return CString(("text " + std::to_string(number)).c_str());
    std::string text(size_t(1000 * (1 + number % 4)), 'a');
    text.replace(0, 4, std::to_string(number));
    return CString(text.c_str());
}

class TextLayoutCacheFrames : public testing::TestWithParam<CCacheCase> {
protected:
    // As a drawing does: the kept layout, else one made and kept.
    void Draw(int number, int place, bool fresh) {
        auto kept = m_texts.try_emplace(number, Content(number)).first;
        const CString text = fresh ? CString(kept->second.c_str()) : kept->second;
        const CTextLayoutKey key{1, 0, 0, 16, 0, 0, 32, 1, float(place), 0, 300, 0, 1, 1, 0};
        if (!m_cache.Find(text, key)) m_cache.Keep(text, key, CPlacedText::Blank());
    }

    CTextLayoutCache m_cache;
    std::map<int, CString> m_texts;
};

TEST_P(TextLayoutCacheFrames, KeepsAndMakesAsTheFramesDraw) {
    m_cache.SetByteBound(GetParam().byteBound);
    for (size_t i = 0; i < GetParam().frames.size(); ++i) {
        SCOPED_TRACE(i);
        const CFrame& frame = GetParam().frames[i];
        if (i > 0) m_cache.StartFrame();
        EXPECT_EQ(m_cache.GetCount(), frame.countAtStart);
        for (const CDraws& draws : frame.draws)
            for (int n = draws.first;; n += draws.first <= draws.last ? 1 : -1) {
                Draw(n, n + draws.shift, draws.fresh);
                if (n == draws.last) break;
            }
        EXPECT_EQ(m_cache.GetLayoutsMade(), frame.made);
        EXPECT_EQ(m_cache.GetCount(), frame.count);
    }
}

constexpr size_t kAnyBytes = CTextLayoutCache::kBytes;

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLayoutCacheFrames,
    testing::Values(
        CCacheCase{"OverTheCount",
                   kAnyBytes,
                   {{{}, 0, 0, 0},
                    {{{0, 39}}, 0, 40, 40},
                    {{{20, 59}}, 40, 60, 60},
                    {{{0, 9}}, 40, 70, 50},
                    {{{0, 9}}, 16, 70, 16},
                    {{{0, 59}}, 16, 120, 60},
                    {{}, 60, 120, 60},
                    {{}, 16, 120, 16},
                    {{{50, 59}}, 16, 120, 16}}},
        CCacheCase{"BeforeTheFirstFrame",
                   kAnyBytes,
                   {{{{0, 39}}, 0, 40, 16}, {{{0, 39}}, 16, 64, 40}, {{{39, 0}}, 40, 64, 40}, {{}, 40, 64, 40}}},
        CCacheCase{"ChangedMovedAndCopied",
                   kAnyBytes,
                   {{{}, 0, 0, 0},
                    {{{0, 29}}, 0, 30, 30},
                    {{{0, 14}, {100, 114, -85}}, 30, 45, 45},
                    {{{0, 14}, {100, 114, -85}}, 30, 45, 30},
                    {{{15, 29}}, 30, 60, 45},
                    {{{0, 29, 1}}, 16, 90, 45},
                    {{{0, 29, 1, true}}, 30, 90, 30},
                    {{{0, 29}}, 30, 120, 60}}},
        CCacheCase{"RepeatedInAFrame",
                   kAnyBytes,
                   {{{}, 0, 0, 0},
                    {{{0, 24}, {24, 0}}, 0, 25, 25},
                    {{{12, 36}}, 25, 37, 37},
                    {{{36, 12}, {0, 11}}, 25, 49, 37},
                    {{}, 37, 49, 37},
                    {{{0, 36}}, 16, 70, 37}}},
        CCacheCase{"OverTheBytes",
                   12'000,
                   {{{{1000, 1001}}, 0, 2, 2},
                    {{{1000, 1003}}, 2, 4, 4},
                    {{{1004, 1007}}, 4, 8, 4},
                    {{{1000, 1001}, {0, 19}}, 4, 30, 22},
                    {{{0, 19}, {1003, 1003}}, 22, 31, 21},
                    {{{1000, 1007}}, 21, 38, 8},
                    {{{0, 19}}, 8, 58, 21},
                    {{{1007, 1000}}, 20, 66, 8}}},
        // Hundreds of texts, many of them dropped in one step.
        CCacheCase{"Hundreds",
                   kAnyBytes,
                   {{{}, 0, 0, 0},
                    {{{0, 299}}, 0, 300, 300},
                    {{{150, 449}}, 300, 450, 450},
                    {{{0, 99}, {449, 400}}, 300, 550, 400},
                    {{}, 150, 550, 150},
                    {{{0, 449}}, 16, 1000, 450},
                    {{{0, 449, 0, true}}, 450, 1000, 450}}},
        // The text drawn last goes last, however often the frame drew it.
        CCacheCase{"RedrawnOverTheBytes",
                   11'500,
                   {{{}, 0, 0, 0},
                    {{{1000, 1001}, {1000, 1000}}, 0, 2, 2},
                    {{{1003, 1003}, {1007, 1007}}, 2, 4, 3},
                    {{{1000, 1000}}, 3, 4, 3}}},
        CCacheCase{"OverTheBytesAndTheCount",
                   6'000,
                   {{{}, 0, 0, 0},
                    {{{0, 29}, {1000, 1001}}, 0, 32, 32},
                    {{{1002, 1002}, {0, 29}}, 32, 63, 31},
                    {{}, 31, 63, 31},
                    {{{1000, 1002}, {0, 9}}, 16, 76, 13},
                    {{{0, 29}}, 13, 96, 30}}}),
    [](const testing::TestParamInfo<CCacheCase>& info) { return std::string(info.param.name); });

} // namespace
