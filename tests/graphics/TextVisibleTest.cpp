// A text drawn queues only the glyphs that can show, each as the full walk
// queues it; a kept layout is made again whenever one of its inputs changes.
// The full walk's glyphs are those it collects (the font has no paddings,
// so a collected glyph sits where it is queued).

#include <functional>
#include <string>

#include "app/String.h"
#include "graphics/Text.h"
#include "graphics/TextLayoutCache.h"
#include "tests/graphics/SpriteQueueFixture.h"

using namespace SpriteQueueTesting;
using namespace Engine::Graphics;

namespace {

const int32_t kWidths[] = {5, 4, 6, 7, 11};  // '?', ' ', 'A', 'B', 'W'
constexpr int32_t kHeight = 20;

struct CQueued {
    float x, y, scaleX, scaleY;
    int32_t frame;
    uint32_t flags, color;
    friend bool operator==(const CQueued&, const CQueued&) = default;
};

struct CInputs {
    float x = 0, y = 0, width = 200, height = 100, scaleX = 1, scaleY = 1;
    uint32_t flags = 0;
};

class TextVisible : public QueueFixture {
protected:
    void SetUp() override {
        QueueFixture::SetUp();
        font = MakeFont();
        CTextLayout::SetFont(context, font);
        Screen(200, 100);
    }

    // The unwrapped walk as it was before layouts were kept: each line
    // measured with the font's spacing in whole pixels, placed by the
    // alignment, then walked glyph by glyph.
    std::vector<CQueued> PlainWalk(const std::u16string& text, const CInputs& in, uint32_t recordFlags) {
        CFont& f = *context.m_pFont;
        const float gap = f.GetLineGap() + context.m_lineSpacing;
        const float lines = float(1 + std::count(text.begin(), text.end(), u'\n'));
        const float excess = in.height - (context.m_fontHeight * lines + gap * (lines - 1)) * in.scaleY;
        float y = (in.flags & TEXT_VALIGN_MASK) == 0 ? in.y
                  : (in.flags & TEXT_VALIGN_MASK) == TEXT_VALIGN_BOTTOM ? in.y + excess
                                                                        : in.y + std::floor(excess * 0.5f);
        std::vector<CQueued> walked;
        for (size_t start = 0; start <= text.size();) {
            const size_t end = std::min(text.find(u'\n', start), text.size());
            const float own = std::trunc(f.GetLetterSpacing());
            f.SetLetterSpacing(own + context.m_letterSpacing);
            const float width = f.GetTextWidthW(&text[start], int32_t(end - start), context.m_tabWidth, in.scaleX);
            f.SetLetterSpacing(own);
            float x = in.x;
            if ((in.flags & TEXT_ALIGN_MASK) == TEXT_ALIGN_CENTER) x = in.x + (in.width - width) * 0.5f;
            if ((in.flags & TEXT_ALIGN_MASK) == TEXT_ALIGN_CENTER && context.m_bSnapToPixels) x = std::floor(x);
            if ((in.flags & TEXT_ALIGN_MASK) == TEXT_ALIGN_RIGHT) x = in.x + in.width - width;
            for (size_t i = start, run = 0; i < end; ++i) {
                if (text[i] == u'\t') {
                    x += context.m_tabWidth;
                    run = 0;
                    continue;
                }
                if (++run > 1) x += float(f.GetKerning(text[i - 1], text[i])) + f.GetLetterSpacing() + context.m_letterSpacing;
                const int32_t glyph = f.FindGlyph(text[i]);
                walked.push_back({x, y, in.scaleX, in.scaleY, glyph, recordFlags, context.m_textColor});
                x += float(kWidths[glyph]) * in.scaleX;
            }
            y += (gap + context.m_fontHeight) * in.scaleY;
            start = end + 1;
        }
        return walked;
    }

    static Engine::ref_ptr<CFont> MakeFont(int32_t widthAdded = 0) {
        Engine::CLocaleFont record;
        record.sprite = "glyphs";
        record.characters = {u'?', u' ', u'A', u'B', u'W'};
        record.kernPairs = {{u'A', u'B', 5}, {u'B', u'A', -12}};
        std::vector<int32_t> widths(std::begin(kWidths), std::end(kWidths));
        for (int32_t& width : widths) width += widthAdded;
        return CreateFontFromSprite(
            record, SprTestData::ReadSprFile(Tools::WriteSpr(SprTestData::StripDocument("glyphs", widths, kHeight)),
                                             "spr/font.spr", true));
    }

    void Screen(int32_t width, int32_t height) {
        driver.GetParams().width = width;
        driver.GetParams().height = height;
    }

    // What the text queues, the queue emptied after.
    std::vector<CQueued> Queued(const std::function<void()>& draw) {
        draw();
        std::vector<CQueued> queued;
        for (int32_t i = 0; i < CSpriteQueue::GetCount(); ++i) {
            const CSpriteQueueItem& item = CSpriteQueue::GetItem(i);
            queued.push_back({item.x, item.y, item.scaleX, item.scaleY, item.frame, item.flags, item.colors[0]});
        }
        CSpriteQueue::Done();
        CSpriteQueue::Init();
        return queued;
    }
    std::vector<CQueued> Cached(const CString& text, const CInputs& in, uint32_t recordFlags = SPRITE_BLEND_ALPHA) {
        return Queued([&] {
            DrawText(context, in.x, in.y, in.width, in.height, in.scaleX, in.scaleY, in.flags, recordFlags, text);
        });
    }
    // A new layout at each call, with nothing kept.
    std::vector<CQueued> Fresh(const CString& text, const CInputs& in, uint32_t recordFlags = SPRITE_BLEND_ALPHA) {
        const CWString wide = Utf8ToWide(text);
        return Queued([&] {
            CTextLayout::DrawTextW(context, in.x, in.y, wide.c_str(), in.width, in.height, in.scaleX, in.scaleY,
                                   in.flags, recordFlags);
        });
    }

    // Every glyph the walk places, as it would queue them.
    std::vector<CQueued> Walked(const CString& text, const CInputs& in) {
        context.m_bCollectGlyphs = 1;
        Cached(text, in);
        context.m_bCollectGlyphs = 0;
        std::vector<CQueued> walked;
        for (const CGlyphRecord& g : context.m_glyphs)
            walked.push_back({g.x, g.y, g.scaleX, g.scaleY, g.glyph, g.flags, g.color});
        context.m_glyphs.clear();
        return walked;
    }

    // Whether the glyph's quad, moved by the pass's offset, covers any of
    // the screen and the clip.
    bool Shows(const CQueued& glyph) const {
        const CSpriteQueue::CParams& pass = context.m_params;
        const float w = float(kWidths[glyph.frame]) * glyph.scaleX, h = float(kHeight) * glyph.scaleY;
        float left = std::min(glyph.x, glyph.x + w), right = std::max(glyph.x, glyph.x + w);
        float top = std::min(glyph.y, glyph.y + h), bottom = std::max(glyph.y, glyph.y + h);
        if (pass.clipOverride) {
            left = std::max(left, pass.clipLeft);
            right = std::min(right, pass.clipLeft + pass.clipWidth);
            top = std::max(top, pass.clipTop);
            bottom = std::min(bottom, pass.clipTop + pass.clipHeight);
        }
        return left + pass.offsetX < float(driver.GetParams().width) && right + pass.offsetX > 0.0f &&
               top + pass.offsetY < float(driver.GetParams().height) && bottom + pass.offsetY > 0.0f && left < right &&
               top < bottom;
    }

    Engine::ref_ptr<CFont> font;
    CDrawContext context;
};

// Every line of text A, B, W and spaces, long enough to run off the screen.
CString LongText(size_t length, size_t lineLength) {
    const char pattern[] = "AB WAB  BAWW A\tBBA W";
    std::string text;
    for (size_t i = 0; i < length; ++i)
        text += (lineLength && i % lineLength == lineLength - 1) ? '\n' : pattern[i % (sizeof(pattern) - 1)];
    return CString(text.c_str());
}

struct CVisibleCase {
    const char* name;
    size_t length, lineLength;
    CInputs inputs;
    float letterSpacing, lineSpacing, offsetX, offsetY;
    bool clip;
    friend void PrintTo(const CVisibleCase& c, std::ostream* out) { *out << c.name; }
};

class TextVisibleCases : public TextVisible, public testing::WithParamInterface<CVisibleCase> {};

TEST_P(TextVisibleCases, QueuesEveryGlyphThatShowsAsTheFullWalkDoesAndNoMore) {
    const CVisibleCase& c = GetParam();
    context.m_letterSpacing = c.letterSpacing;
    context.m_lineSpacing = c.lineSpacing;
    context.m_params.offsetX = c.offsetX;
    context.m_params.offsetY = c.offsetY;
    if (c.clip) context.m_params = {c.offsetX, c.offsetY, 30.0f, 10.0f, 70.0f, 45.0f, 1};
    const CString text = LongText(c.length, c.lineLength);
    const std::vector<CQueued> shown = Cached(text, c.inputs);
    const std::vector<CQueued> all = Walked(text, c.inputs);
    size_t next = 0, showing = 0;
    for (const CQueued& glyph : all) {
        const bool queued = next < shown.size() && shown[next] == glyph;
        if (queued) ++next;
        if (Shows(glyph)) {
            ++showing;
            ASSERT_TRUE(queued) << "glyph at " << glyph.x << ", " << glyph.y << " left out";
        }
    }
    EXPECT_EQ(next, shown.size()) << "queued what the walk does not";
    EXPECT_GT(showing, 0u);
    // The screen holds at most a few hundred glyphs; the margins add a few.
    EXPECT_LE(shown.size(), 2 * showing + 64);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextVisibleCases,
    testing::Values(
        CVisibleCase{"CentredLine", 20000, 0, {0, 80, 200, 0, 1, 1, TEXT_ALIGN_CENTER}, 0, 0, 0, 0, false},
        CVisibleCase{"RightAlignedLinesOffset", 20000, 997, {-30, -200, 200, 0, 1, 1, TEXT_ALIGN_RIGHT}, 0, 0, 25, 5, false},
        CVisibleCase{"ScaledAndSpaced", 5000, 301, {0, -40, 200, 100, 2, 1.5f, TEXT_VALIGN_BOTTOM}, 1.5f, 3, 0, 0, false},
        CVisibleCase{"MirroredScale", 5000, 0, {400, 50, 0, 0, -1, -1, TEXT_ALIGN_LEFT}, 0, 0, 0, 0, false},
        CVisibleCase{"FallingXFromNegativeSpacing", 5000, 503, {3000, -100, 200, 0, 1, 1, 0}, -14, 0, 0, 0, false},
        CVisibleCase{"RisingLinesFromNegativeLineSpacing", 3000, 41, {0, 900, 200, 0, 1, 1, 0}, 0, -45, 0, 0, false},
        CVisibleCase{"WrappedInABox", 20000, 0, {5, -300, 180, 300, 1, 1, TEXT_WORD_WRAP | TEXT_ALIGN_CENTER}, 0, 0, 0, 0, false},
        CVisibleCase{"JustifiedBelowTheScreen", 8000, 2001, {0, 20, 190, 0, 1, 1, TEXT_WORD_WRAP | TEXT_JUSTIFY}, 0.5f, 1, 0, 0, false},
        CVisibleCase{"ClippedLine", 20000, 0, {0, 20, 200, 0, 1, 1, TEXT_ALIGN_CENTER}, 0, 0, -7, 3, true},
        CVisibleCase{"ClippedWrapped", 9000, 0, {0, -100, 200, 0, 1, 1, TEXT_WORD_WRAP}, 0, 0, 10, 10, true}),
    [](const testing::TestParamInfo<CVisibleCase>& info) { return info.param.name; });

struct CPlainCase {
    uint32_t flags;
    float scale, letterSpacing, fontSpacing, lineSpacing, tabWidth;
    uint8_t snap;
};

class TextPlainWalk : public TextVisible, public testing::WithParamInterface<CPlainCase> {};

// Nothing is cut here (no back buffer to measure against): a kept layout
// queues what the walk queued, bit for bit, the first time and again.
TEST_P(TextPlainWalk, AKeptLayoutQueuesWhatTheWalkQueued) {
    const CPlainCase& c = GetParam();
    context.m_letterSpacing = c.letterSpacing;
    context.m_lineSpacing = c.lineSpacing;
    context.m_tabWidth = c.tabWidth;
    context.m_bSnapToPixels = c.snap;
    const std::u16string text = u"AB\tBA WW?\nBAB x\r\n\n\tW A AAB";
    const CInputs in{3.3f, 7.7f, 61.5f, 90, c.scale, c.scale * 0.75f, c.flags};
    Screen(0, 0);
    font->SetLetterSpacing(c.fontSpacing);
    const std::vector<CQueued> walked = PlainWalk(text, in, SPRITE_BLEND_ADD);
    font->SetLetterSpacing(c.fontSpacing);
    const CString utf8 = WideToUtf8(CWString(text.c_str()));
    EXPECT_EQ(Cached(utf8, in, SPRITE_BLEND_ADD), walked);
    font->SetLetterSpacing(c.fontSpacing);
    EXPECT_EQ(Cached(utf8, in, SPRITE_BLEND_ADD), walked);
    EXPECT_EQ(font->GetLetterSpacing(), std::trunc(c.fontSpacing));
}

INSTANTIATE_TEST_SUITE_P(Flags, TextPlainWalk,
                         testing::Values(CPlainCase{TEXT_ALIGN_LEFT, 1, 0, 0, 0, 16, 1},
                                         CPlainCase{TEXT_ALIGN_CENTER, 1.3f, 0.25f, 1.5f, 2, 16, 1},
                                         CPlainCase{TEXT_ALIGN_CENTER | TEXT_VALIGN_BOTTOM, 0.7f, -3, 2.7f, -4, 5.5f, 0},
                                         CPlainCase{TEXT_ALIGN_RIGHT | TEXT_VALIGN_CENTER, 2, 1.5f, -1.2f, 0.5f, 30, 1},
                                         CPlainCase{3 | 0x30, 1.1f, 0, 0.9f, 0, 16, 0}));

TEST_F(TextVisible, MeasuringAndCollectingTakeTheWholeText) {
    const CString text = LongText(3000, 100);
    const CInputs in{0, 0, 200, 0, 1, 1, TEXT_MEASURE};
    Cached(text, in);
    const float extent[2] = {context.m_extentX, context.m_extentY};
    context.m_extentX = context.m_extentY = 0;
    Fresh(text, in);
    EXPECT_EQ(context.m_extentX, extent[0]);
    EXPECT_EQ(context.m_extentY, extent[1]);
    EXPECT_GT(extent[0], 500.0f);
    EXPECT_GT(extent[1], 500.0f);

    context.m_bCollectGlyphs = 1;
    Cached(text, {-500, -500});
    const size_t tabs = std::count(text.c_str(), text.c_str() + text.GetLength(), '\t');
    const size_t breaks = std::count(text.c_str(), text.c_str() + text.GetLength(), '\n');
    EXPECT_EQ(context.m_glyphs.size(), size_t(text.GetLength()) - tabs - breaks);
}

// Each change of an input of the layout makes it again; what is drawn is
// what a new layout draws, and the pen and the font are left as it leaves
// them.
TEST_F(TextVisible, AKeptLayoutIsMadeAgainWhenAnyInputChanges) {
    CTextLayoutCache& cache = CTextLayoutCache::OfThisThread();
    CString text = LongText(600, 50);
    CInputs in{3, 4, 150, 90, 1, 1, TEXT_WORD_WRAP | TEXT_ALIGN_CENTER};
    const Engine::ref_ptr<CFont> wider = MakeFont(3);
    const std::function<void()> changes[] = {
        [&] { text.GetBuffer()[0] = 'W'; },  // written in place: a buffer of its own
        [&] { CTextLayout::SetFont(context, wider); },
        [&] { wider->SetLetterSpacing(2.5f); },
        [&] { wider->SetLineGap(3); },
        [&] { context.m_fontHeight = 25; },
        [&] { context.m_letterSpacing = 1; },
        [&] { context.m_lineSpacing = 2; },
        [&] { context.m_tabWidth = 30; },
        [&] { context.m_bSnapToPixels = 0; },
        [&] { in.x = 3.25f; },
        [&] { in.y = -50; },
        [&] { in.width = 120; },
        [&] { in.height = 200; },
        [&] { in.scaleX = 1.5f; },
        [&] { in.scaleY = 2; },
        [&] { in.flags |= TEXT_JUSTIFY | TEXT_VALIGN_BOTTOM; },
        [&] { in.flags = TEXT_ALIGN_RIGHT; },
        [&] { wider->SetLetterSpacing(1.75f); },  // unwrapped: the font keeps 1
    };
    Cached(text, in);
    for (size_t i = 0; i < std::size(changes); ++i) {
        SCOPED_TRACE(i);
        changes[i]();
        const uint64_t made = cache.GetLayoutsMade();
        const std::vector<CQueued> kept = Cached(text, in);
        EXPECT_EQ(cache.GetLayoutsMade(), made + 1);
        const float pen[3] = {context.m_penX, context.m_penY, context.m_lineStartX};
        const float spacing = context.m_pFont->GetLetterSpacing();
        EXPECT_EQ(Cached(CString(text.c_str()), in), kept) << "equal characters in another buffer";
        EXPECT_EQ(cache.GetLayoutsMade(), made + 1);
        EXPECT_EQ(Fresh(text, in), kept);
        EXPECT_EQ((std::vector<float>{context.m_penX, context.m_penY, context.m_lineStartX}),
                  (std::vector<float>(pen, pen + 3)));
        EXPECT_EQ(context.m_pFont->GetLetterSpacing(), spacing);
    }
    // The texts one frame draws stay whatever their number; two frames
    // after they are drawn no more, the count is back within its bound.
    cache.StartFrame();
    cache.StartFrame();
    EXPECT_LE(cache.GetCount(), CTextLayoutCache::kEntries);
}

} // namespace
