// Text layout on a font with known glyph widths: measuring, wrapping,
// alignment, spacing and tabs, read back from the glyph records queued.

#include <array>

#include "graphics/Text.h"
#include "tests/graphics/SpriteQueueFixture.h"

using namespace SpriteQueueTesting;
using namespace Engine::Graphics;

namespace {

struct CGlyphAt {
    float x, y;
    friend bool operator==(const CGlyphAt&, const CGlyphAt&) = default;
    friend std::ostream& operator<<(std::ostream& out, const CGlyphAt& g) { return out << '(' << g.x << ", " << g.y << ')'; }
};

// Glyphs '?', ' ', 'A', 'B', 'W' of widths 5, 4, 6, 7, 11 and height 20.
class Text : public QueueFixture {
protected:
    void SetUp() override {
        QueueFixture::SetUp();
        font = MakeFont({0, 0, 0, 0});
        CTextLayout::SetFont(context, font);
    }

    Engine::ref_ptr<CFont> MakeFont(std::array<int32_t, 4> letterPadding) {
        Engine::CLocaleFont record;
        record.sprite = "glyphs";
        record.characters = {u'?', u' ', u'A', u'B', u'W'};
        std::copy(letterPadding.begin(), letterPadding.end(), record.letterPadding);
        record.kernPairs = {{u'A', u'B', 5}, {u'\t', u'B', 100}};
        return CreateFontFromSprite(record, SprTestData::ReadSprFile(Tools::WriteSpr(SprTestData::StripDocument(
                                                                         "glyphs", {5, 4, 6, 7, 11}, 20)),
                                                                     "spr/font.spr", true));
    }

    void Draw(const char* text, uint32_t flags, float x = 0, float y = 0, float width = 100, float height = 100,
              float scale = 1) {
        DrawText(context, x, y, width, height, scale, scale, flags, 0, text);
    }

    static std::vector<CGlyphAt> Glyphs() {
        std::vector<CGlyphAt> glyphs;
        for (int32_t i = 0; i < CSpriteQueue::GetCount(); ++i)
            glyphs.push_back({CSpriteQueue::GetItem(i).x, CSpriteQueue::GetItem(i).y});
        return glyphs;
    }

    Engine::ref_ptr<CFont> font;
    CDrawContext context;
};

struct LayoutCase {
    const char* name;
    const char* text;
    uint32_t flags;
    float y, width, scale;
    float letterSpacing, lineGap, lineSpacing;
    std::vector<CGlyphAt> glyphs;
};

class TextLayout : public Text, public testing::WithParamInterface<LayoutCase> {};

TEST_P(TextLayout, GlyphsLandWhereTheLayoutPutsThem) {
    const LayoutCase& c = GetParam();
    context.m_letterSpacing = c.letterSpacing;
    context.m_lineSpacing = c.lineSpacing;
    font->SetLineGap(c.lineGap);
    Draw(c.text, c.flags, 0, c.y, c.width, 100, c.scale);
    EXPECT_EQ(Glyphs(), c.glyphs);
}

// In a box 100 high; two lines are 40 high at y = 10.
INSTANTIATE_TEST_SUITE_P(
    Cases, TextLayout,
    testing::Values(
        LayoutCase{"Top", "A\nB", 0, 10, 100, 1, 0, 0, 0, {{0, 10}, {0, 30}}},
        LayoutCase{"Bottom", "A\nB", TEXT_VALIGN_BOTTOM, 10, 100, 1, 0, 0, 0, {{0, 70}, {0, 90}}},
        LayoutCase{"Centre", "A\nB", TEXT_VALIGN_CENTER, 10, 100, 1, 0, 0, 0, {{0, 40}, {0, 60}}},
        LayoutCase{"BothBitsCentre", "A\nB", 0x30, 10, 100, 1, 0, 0, 0, {{0, 40}, {0, 60}}},
        LayoutCase{"WrappedBottom", "A\nB", TEXT_WORD_WRAP | TEXT_VALIGN_BOTTOM, 10, 100, 1, 0, 0, 0, {{0, 70}, {0, 90}}},
        // A is 12 wide at scale 2; kerning 5 and spacing 3 are not scaled, nor is the tab.
        LayoutCase{"KerningAndSpacingButNotAfterATab", "AB\tB", 0, 0, 100, 2, 3, 0, 0, {{0, 0}, {20, 0}, {50, 0}}},
        // Lines 50 apart, 90 high.
        LayoutCase{"LineGapAndSpacing", "A\nB", TEXT_VALIGN_BOTTOM, 0, 100, 2, 0, 2, 3, {{0, 10}, {0, 60}}},
        LayoutCase{"WrapKeepsAnOverlongWordWhole", "AAA BBB WW WWWWW", TEXT_WORD_WRAP, 0, 30, 1, 0, 0, 0,
                   {{0, 0}, {6, 0}, {12, 0}, {0, 20}, {7, 20}, {14, 20}, {0, 40}, {11, 40}, {0, 60}, {11, 60},
                    {22, 60}, {33, 60}, {44, 60}}},
        LayoutCase{"JustifyOnlyLinesEndingByWrapping", "AA AA AA\nAA AA", TEXT_WORD_WRAP | TEXT_JUSTIFY, 0, 40, 1, 0,
                   0, 0, {{0, 0}, {6, 0}, {28, 0}, {34, 0}, {0, 20}, {6, 20}, {0, 40}, {6, 40}, {16, 40}, {22, 40}}},
        // Trailing white space that does not fit wraps: the line before it is
        // justified and one more (empty) line counts for the vertical alignment.
        LayoutCase{"TrailingWhiteSpaceWraps", "AA AA    ", TEXT_WORD_WRAP | TEXT_JUSTIFY | TEXT_VALIGN_BOTTOM, 0, 40, 1,
                   0, 0, 0, {{0, 60}, {6, 60}, {28, 60}, {34, 60}}},
        LayoutCase{"EveryLineBreakForm", "A\rB\r\nW\nA", TEXT_WORD_WRAP, 0, 100, 1, 0, 0, 0,
                   {{0, 0}, {0, 20}, {0, 40}, {0, 60}}}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

struct HorizontalCase {
    uint32_t flags;
    uint8_t snap;
    float x;
};

class TextHorizontal : public Text, public testing::WithParamInterface<HorizontalCase> {};

TEST_P(TextHorizontal, LinesSitInTheBoxByTheAlignment) {
    context.m_bSnapToPixels = GetParam().snap;
    Draw("BAAAA", GetParam().flags);  // 31 wide in a box 100 wide
    ASSERT_EQ(CSpriteQueue::GetCount(), 5);
    EXPECT_EQ(Glyphs()[0].x, GetParam().x);
}

INSTANTIATE_TEST_SUITE_P(Flags, TextHorizontal,
                         testing::Values(HorizontalCase{TEXT_ALIGN_LEFT, 1, 0}, HorizontalCase{TEXT_ALIGN_CENTER, 1, 34},
                                         HorizontalCase{TEXT_ALIGN_CENTER, 0, 34.5f},
                                         HorizontalCase{TEXT_ALIGN_RIGHT, 1, 69}, HorizontalCase{3, 1, 0},
                                         HorizontalCase{TEXT_WORD_WRAP | TEXT_ALIGN_CENTER, 1, 34},
                                         HorizontalCase{TEXT_WORD_WRAP | TEXT_ALIGN_RIGHT, 1, 69},
                                         HorizontalCase{TEXT_WORD_WRAP | TEXT_JUSTIFY | TEXT_ALIGN_RIGHT, 1, 0}));

TEST_F(Text, DrawTextAtCentresInTheWidth) {
    DrawTextAt(context, "BAAAA", 10, 5, 100);
    ASSERT_EQ(CSpriteQueue::GetCount(), 5);
    EXPECT_EQ(Glyphs()[0], (CGlyphAt{44, 5}));
}

TEST_F(Text, PlainLayoutCountsTheFontsSpacingInWholePixels) {
    font->SetLetterSpacing(1.5f);
    Draw("AB", 0);
    EXPECT_EQ(Glyphs()[1].x, 6 + 5 + 1);
    EXPECT_EQ(font->GetLetterSpacing(), 1.0f);
}

TEST_F(Text, MeasuringQueuesNothingAndRecordsTheExtent) {
    Draw("AB", TEXT_MEASURE, 5, 7);
    EXPECT_EQ(CSpriteQueue::GetCount(), 0);
    EXPECT_EQ(context.m_extentX, 5 + 6 + 5 + 7);
    EXPECT_EQ(context.m_extentY, 7 + 20);
    Draw("A", TEXT_MEASURE);
    EXPECT_EQ(context.m_extentX, 23);
}

TEST_F(Text, GlyphsAreQueuedOrCollectedAroundTheFontsPaddings) {
    CTextLayout::SetFont(context, MakeFont({2, 1, 3, 0}));  // paddings left 2, top 1, right 3
    DrawText(context, 0, 0, 100, 100, 1, 1, 0, SPRITE_BLEND_ADD, "AW");
    ASSERT_EQ(Glyphs(), (std::vector<CGlyphAt>{{2, 1}, {13, 1}}));
    EXPECT_EQ(CSpriteQueue::GetItem(1).frame, 4);
    EXPECT_EQ(CSpriteQueue::GetItem(1).flags, uint32_t(SPRITE_BLEND_ADD));
    CSpriteQueue::Flush(params);

    context.m_bCollectGlyphs = 1;
    context.m_textColor = 0x80FF0000u;
    DrawText(context, 0, 0, 100, 100, 1, 1, 0, SPRITE_BLEND_ADD, "AW");
    EXPECT_EQ(CSpriteQueue::GetCount(), 0);
    ASSERT_EQ(context.m_glyphs.size(), 2u);
    const CGlyphRecord& b = context.m_glyphs[1];
    EXPECT_EQ((CGlyphAt{b.x, b.y}), (CGlyphAt{9, -1}));
    EXPECT_EQ(b.glyph, 4);
    EXPECT_EQ(b.character, u'W');
    EXPECT_EQ(b.color, 0x80FF0000u);
    EXPECT_EQ(b.flags, uint32_t(SPRITE_BLEND_ADD));
}

TEST_F(Text, NothingIsDrawnWithoutAFontOrText) {
    Draw("", 0);
    CDrawContext bare;
    DrawText(bare, 0, 0, 100, 100, 1, 1, TEXT_WORD_WRAP, 0, "AB");
    DrawTextAt(bare, "AB", 0, 0, 100);
    EXPECT_EQ(CSpriteQueue::GetCount(), 0);
}

TEST_F(Text, TheContextDrawsWhatItLeftInTheQueue) {
    {
        CDrawContext pass;
        CTextLayout::SetFont(pass, font);
        DrawText(pass, 0, 0, 100, 100, 1, 1, 0, 0, "AB");
        EXPECT_TRUE(driver.calls.empty());
    }
    EXPECT_EQ(CSpriteQueue::GetCount(), 0);
    ASSERT_EQ(Draws().size(), 1u);
    EXPECT_EQ(Draws()[0]->args[2], 2.0);
}

TEST_F(Text, SecondValuePadsTheListWithMinusOne) {
    context.SetSecondValue(320);
    EXPECT_EQ(context.m_values, (std::vector<float>{-1, 320}));
    context.m_values.push_back(7);
    context.SetSecondValue(5);
    EXPECT_EQ(context.m_values, (std::vector<float>{-1, 5, 7}));
}

} // namespace
