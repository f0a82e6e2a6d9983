// A text's layout is work of the frame that draws it: a quit cuts it at any
// point and nothing of it is kept, and the layouts a frame draws are kept
// beside each other whatever their size and number.

#include <string>

#include "app/Application.h"
#include "graphics/Text.h"
#include "graphics/TextLayoutCache.h"
#include "tests/graphics/SpriteQueueFixture.h"

using namespace SpriteQueueTesting;
using namespace Engine::Graphics;

namespace {

struct CGlyph {
    float x, y;
    int32_t glyph;
    char16_t character;
    friend bool operator==(const CGlyph&, const CGlyph&) = default;
};

// Every glyph drawn, with the pen and the font's spacing the drawing left.
struct CDrawn {
    std::vector<CGlyph> glyphs;
    float penX, penY, fontSpacing;
    friend bool operator==(const CDrawn&, const CDrawn&) = default;
};

// Characters: ' ', 'A', 'B' and 'W'; a line break every `line` characters
// (none for 0).
CString Text(size_t length, size_t line = 0) {
    const char pattern[] = "AB WAB BA AWW B";
    std::string text(length, ' ');
    for (size_t i = 0; i < length; ++i) text[i] = line && i % line == line - 1 ? '\n' : pattern[i % 15];
    return CString(text.c_str());
}

class TextLayoutWork : public QueueFixture {
protected:
    void SetUp() override {
        QueueFixture::SetUp();
        application = &app;
        Watch().SetTimeGate(false);
        Engine::CLocaleFont record;
        record.sprite = "glyphs";
        record.characters = {u'?', u' ', u'A', u'B', u'W'};
        record.kernPairs = {{u'A', u'B', 5}, {u'B', u'A', -12}};
        font = CreateFontFromSprite(
            record, SprTestData::ReadSprFile(Tools::WriteSpr(SprTestData::StripDocument("glyphs", {5, 4, 6, 7, 11}, 20)),
                                             "spr/font.spr", true));
        CTextLayout::SetFont(context, font);
        context.m_bCollectGlyphs = 1;
        Cache().Clear();
    }
    void TearDown() override {
        Cache().Clear();
        Cache().SetByteBound(CTextLayoutCache::kBytes);
        QueueFixture::TearDown();
    }

    static CTextLayoutCache& Cache() { return CTextLayoutCache::OfThisThread(); }
    Engine::CFrameQuitWatch& Watch() { return app.GetQuitWatch(); }

    // A frame whose watch finds a quit at its probe numbered stopAt (never
    // for 0), begun as the application begins a frame's drawing.
    void StartFrame(int64_t stopAt = 0) {
        Watch().SetProbe([this, stopAt] { return Watch().GetProbes() == stopAt; });
        Watch().StartFrame();
        driver.StartQuadCountdown();
        Cache().StartFrame();
    }

    CDrawn Draw(const CString& text, uint32_t flags, float width = 300) {
        DrawText(context, 10, 20, width, 400, 1, 1, flags, 0, text);
        CDrawn drawn{{}, context.m_penX, context.m_penY, font->GetLetterSpacing()};
        for (const CGlyphRecord& g : context.m_glyphs) drawn.glyphs.push_back({g.x, g.y, g.glyph, g.character});
        context.m_glyphs.clear();
        return drawn;
    }

    Engine::CApplication app;
    Engine::ref_ptr<CFont> font;
    CDrawContext context;
};

struct CCutCase {
    const char* name;
    uint32_t flags;
    size_t line;  // characters a line, 0 for one line
    float fontSpacing;
};

class LayoutCut : public TextLayoutWork, public testing::WithParamInterface<CCutCase> {};

// The whole layout's probes are counted first; then each is made the one
// that finds the quit.
TEST_P(LayoutCut, ACutLayoutIsNotKeptAndTheNextFrameMakesItWhole) {
    const CCutCase& c = GetParam();
    const CString text = Text(40'000, c.line);
    font->SetLetterSpacing(c.fontSpacing);
    StartFrame();
    const CDrawn whole = Draw(text, c.flags);
    const int64_t probes = Watch().GetProbes();
    ASSERT_GE(probes, 8) << "enough points to cut at";
    ASSERT_GT(whole.glyphs.size(), 20'000u);
    for (int64_t stopAt = 1; stopAt <= probes; ++stopAt) {
        SCOPED_TRACE(stopAt);
        Cache().Clear();
        font->SetLetterSpacing(c.fontSpacing);
        const uint64_t made = Cache().GetLayoutsMade();
        StartFrame(stopAt);
        EXPECT_TRUE(Draw(text, c.flags).glyphs.empty());
        EXPECT_TRUE(Watch().IsStopped());
        EXPECT_EQ(Cache().GetCount(), 0u);
        EXPECT_EQ(Cache().GetLayoutsMade(), made);
        EXPECT_EQ(font->GetLetterSpacing(), c.fontSpacing) << "the font as it was";
        StartFrame();
        EXPECT_EQ(Draw(text, c.flags), whole);
        EXPECT_EQ(Cache().GetLayoutsMade(), made + 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LayoutCut,
    testing::Values(CCutCase{"CentredLine", TEXT_ALIGN_CENTER, 0, 0},
                    CCutCase{"LeftLinesTruncatedSpacing", TEXT_ALIGN_LEFT, 900, 1.75f},
                    CCutCase{"RightLinesBottom", TEXT_ALIGN_RIGHT | TEXT_VALIGN_BOTTOM, 500, 2.5f},
                    CCutCase{"WrappedJustified", TEXT_WORD_WRAP | TEXT_JUSTIFY | TEXT_VALIGN_CENTER, 0, 0.5f}),
    [](const testing::TestParamInfo<CCutCase>& info) { return std::string(info.param.name); });

class LongLayoutCut : public TextLayoutWork, public testing::WithParamInterface<CCutCase> {};

// A text of ten million characters cut at its first layout's last look,
// all of the layout's room taken by then: nothing of it is kept.
TEST_P(LongLayoutCut, ACutLayoutLeavesNothingKept) {
    const CCutCase& c = GetParam();
    const CString text = Text(10'000'000, c.line);
    const uint32_t flags = c.flags | TEXT_MEASURE;
    font->SetLetterSpacing(c.fontSpacing);
    StartFrame();
    Draw(text, flags, 3000);
    const int64_t probes = Watch().GetProbes();
    ASSERT_GT(probes, 5'000);
    Cache().Clear();
    font->SetLetterSpacing(c.fontSpacing);
    const uint64_t made = Cache().GetLayoutsMade();
    StartFrame(probes);
    Draw(text, flags, 3000);
    EXPECT_TRUE(Watch().IsStopped());
    EXPECT_EQ(Cache().GetCount(), 0u);
    EXPECT_EQ(Cache().GetLayoutsMade(), made);
    EXPECT_EQ(font->GetLetterSpacing(), c.fontSpacing) << "the font as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LongLayoutCut,
    testing::Values(CCutCase{"LeftLine", TEXT_ALIGN_LEFT, 0, 0}, CCutCase{"CentredLine", TEXT_ALIGN_CENTER, 0, 0},
                    CCutCase{"WrappedJustified", TEXT_WORD_WRAP | TEXT_JUSTIFY, 0, 0},
                    CCutCase{"LinesOf100", TEXT_ALIGN_LEFT, 100, 0},
                    CCutCase{"LeftLineSpacingMinus20", TEXT_ALIGN_LEFT, 0, -20}),
    [](const testing::TestParamInfo<CCutCase>& info) { return std::string(info.param.name); });

class EntryCap : public TextLayoutWork, public testing::WithParamInterface<size_t> {};

// More short texts than the count bound, drawn in every frame: each is
// laid out once. Two frames after they are drawn no more, the count is
// back within its bound.
TEST_P(EntryCap, TheTextsEveryFrameDrawsAreLaidOutOnce) {
    std::vector<CString> texts;
    for (size_t i = 0; i < GetParam(); ++i) texts.push_back(Text(3 + i));
    const uint64_t made = Cache().GetLayoutsMade();
    for (int frame = 0; frame < 10; ++frame) {
        StartFrame();
        for (const CString& text : texts) Draw(text, TEXT_ALIGN_CENTER);
    }
    EXPECT_EQ(Cache().GetLayoutsMade(), made + GetParam());
    StartFrame();
    EXPECT_EQ(Cache().GetCount(), GetParam()) << "the last frame's texts stay";
    StartFrame();
    EXPECT_LE(Cache().GetCount(), CTextLayoutCache::kEntries);
}

INSTANTIATE_TEST_SUITE_P(Counts, EntryCap, testing::Values(17, 20, 40));

// A frame that draws more new texts than the bound keeps them all, over
// the texts the frame before drew.
TEST_F(TextLayoutWork, AFrameOfNewTextsKeepsThemAll) {
    std::vector<CString> kept, fresh;
    for (size_t i = 0; i < CTextLayoutCache::kEntries; ++i) kept.push_back(Text(3 + i));
    for (size_t i = 0; i <= CTextLayoutCache::kEntries; ++i) fresh.push_back(Text(100 + i));
    StartFrame();
    for (const CString& text : kept) Draw(text, TEXT_ALIGN_CENTER);
    StartFrame();
    for (const CString& text : fresh) Draw(text, TEXT_ALIGN_CENTER);
    const uint64_t made = Cache().GetLayoutsMade();
    StartFrame();
    for (const CString& text : fresh) Draw(text, TEXT_ALIGN_CENTER);
    EXPECT_EQ(Cache().GetLayoutsMade(), made);
    EXPECT_EQ(Cache().GetCount(), fresh.size());
}

// Two texts each over the memory bound and three short ones, all drawn in
// every frame: each is laid out once. Once the frames stop drawing the big
// ones, they go.
TEST_F(TextLayoutWork, TheLayoutsAFrameDrawsAreKeptWhateverTheirSize) {
    Cache().SetByteBound(16 << 10);
    const CString big[] = {Text(5'000), Text(6'000)};
    const CString small[] = {Text(3), Text(5), Text(7)};
    const uint64_t made = Cache().GetLayoutsMade();
    for (int frame = 0; frame < 5; ++frame) {
        StartFrame();
        for (const CString& text : big) Draw(text, TEXT_ALIGN_CENTER);
        for (const CString& text : small) Draw(text, TEXT_ALIGN_CENTER);
        EXPECT_EQ(Cache().GetLayoutsMade(), made + 5) << "frame " << frame;
    }
    EXPECT_GT(Cache().GetBytes(), size_t(16 << 10));
    for (int frame = 0; frame < 3; ++frame) {
        StartFrame();
        for (const CString& text : small) Draw(text, TEXT_ALIGN_CENTER);
    }
    EXPECT_EQ(Cache().GetLayoutsMade(), made + 5);
    EXPECT_EQ(Cache().GetCount(), 3u);
    EXPECT_LE(Cache().GetBytes(), size_t(16 << 10));
}

} // namespace
