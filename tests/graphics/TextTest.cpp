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

struct VerticalCase {
    uint32_t flags;
    float firstY;
};

class TextVertical : public Text, public testing::WithParamInterface<VerticalCase> {};

TEST_P(TextVertical, LinesSitInTheBoxByTheVerticalAlignment) {
    Draw("A\nB", GetParam().flags, 0, 10);
    EXPECT_EQ(Glyphs(), (std::vector<CGlyphAt>{{0, GetParam().firstY}, {0, GetParam().firstY + 20}}));
}

// Two lines are 40 high in a box 100 high at y = 10.
INSTANTIATE_TEST_SUITE_P(Flags, TextVertical,
                         testing::Values(VerticalCase{0, 10}, VerticalCase{TEXT_VALIGN_BOTTOM, 70},
                                         VerticalCase{TEXT_VALIGN_CENTER, 40}, VerticalCase{0x30, 40},
                                         VerticalCase{TEXT_WORD_WRAP | TEXT_VALIGN_BOTTOM, 70}));

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

TEST_F(Text, KerningAndSpacingGoBetweenCharactersButNotAfterATab) {
    context.m_letterSpacing = 3;
    Draw("AB\tB", 0, 0, 0, 100, 100, 2);
    // A is 12 wide at scale 2; kerning 5 and spacing 3 are not scaled, nor
    // is the tab.
    EXPECT_EQ(Glyphs(), (std::vector<CGlyphAt>{{0, 0}, {20, 0}, {50, 0}}));
}

TEST_F(Text, LineAdvanceAddsTheLineGapAndSpacing) {
    font->SetLineGap(2);
    context.m_lineSpacing = 3;
    Draw("A\nB", TEXT_VALIGN_BOTTOM, 0, 0, 100, 100, 2);  // lines 50 apart, 90 high
    EXPECT_EQ(Glyphs(), (std::vector<CGlyphAt>{{0, 10}, {0, 60}}));
}

TEST_F(Text, PlainLayoutCountsTheFontsSpacingInWholePixels) {
    font->SetLetterSpacing(1.5f);
    Draw("AB", 0);
    EXPECT_EQ(Glyphs()[1].x, 6 + 5 + 1);
    EXPECT_EQ(font->GetLetterSpacing(), 1.0f);
}

TEST_F(Text, WrapMovesWordsThatDoNotFitAndKeepsAnOverlongWordWhole) {
    Draw("AAA BBB WW WWWWW", TEXT_WORD_WRAP, 0, 0, 30);
    const std::vector<CGlyphAt> expected{{0, 0},  {6, 0},  {12, 0}, {0, 20}, {7, 20},  {14, 20}, {0, 40},
                                         {11, 40}, {0, 60}, {11, 60}, {22, 60}, {33, 60}, {44, 60}};
    EXPECT_EQ(Glyphs(), expected);
}

TEST_F(Text, JustifyFillsOnlyLinesThatEndByWrapping) {
    Draw("AA AA AA\nAA AA", TEXT_WORD_WRAP | TEXT_JUSTIFY, 0, 0, 40);
    const std::vector<CGlyphAt> expected{{0, 0},  {6, 0},  {28, 0}, {34, 0}, {0, 20},
                                         {6, 20}, {0, 40}, {6, 40}, {16, 40}, {22, 40}};
    EXPECT_EQ(Glyphs(), expected);
}

// Trailing white space that does not fit wraps: the line before it is
// justified and one more (empty) line counts for the vertical alignment.
TEST_F(Text, TrailingWhiteSpaceWrapsLikeAnyPair) {
    Draw("AA AA    ", TEXT_WORD_WRAP | TEXT_JUSTIFY | TEXT_VALIGN_BOTTOM, 0, 0, 40, 100);
    EXPECT_EQ(Glyphs(), (std::vector<CGlyphAt>{{0, 60}, {6, 60}, {28, 60}, {34, 60}}));
}

TEST_F(Text, EveryLineBreakFormEndsAParagraph) {
    Draw("A\rB\r\nW\nA", TEXT_WORD_WRAP);
    EXPECT_EQ(Glyphs(), (std::vector<CGlyphAt>{{0, 0}, {0, 20}, {0, 40}, {0, 60}}));
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
