// Fonts made from a sprite whose frames are the glyphs: lookups, text
// widths in both text forms, and refusal of unsuitable sprites.

#include <gtest/gtest.h>

#include "app/Exception.h"
#include "graphics/Font.h"
#include "tests/graphics/SprFileTestData.h"

using Engine::Graphics::CFont;
using Engine::Graphics::SprFile::CSprFile;

namespace {

Engine::ref_ptr<CSprFile> ReadFile(const Tools::CSprDocument& document) {
    return SprTestData::ReadSprFile(Tools::WriteSpr(document), "spr/font.spr", true);
}

// Glyphs A, B, C, 0xFFE9 of widths 5, 7, 9, 4 and height 3; paddings
// left 1, top 1, right 2, bottom 1.
Engine::CLocaleFont Record() {
    Engine::CLocaleFont record;
    record.sprite = "glyphs";
    record.characters = {u'A', u'B', u'C', 0xFFE9};
    record.ascent = 6;
    const int32_t letter[4] = {2, 1, 3, 1};
    const int32_t texture[4] = {1, 0, 1, 0};
    std::copy(letter, letter + 4, record.letterPadding);
    std::copy(texture, texture + 4, record.texturePadding);
    return record;
}

Engine::ref_ptr<CFont> MakeFont(const Engine::CLocaleFont& record, const std::vector<int32_t>& widths = {5, 7, 9, 4}) {
    return Engine::Graphics::CreateFontFromSprite(record, ReadFile(SprTestData::StripDocument("glyphs", widths, 3)));
}

std::string FontError(const Engine::CLocaleFont& record, const Tools::CSprDocument& document) {
    try {
        Engine::Graphics::CreateFontFromSprite(record, ReadFile(document));
    } catch (const Engine::CException& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(Font, MetricsComeFromTheFirstGlyphAndThePaddings) {
    const auto font = MakeFont(Record());
    EXPECT_EQ(font->GetGlyphWidth(), 5);
    EXPECT_EQ(font->GetHeight(), 5);
    EXPECT_EQ(font->GetAscent(), 6);
    EXPECT_EQ(font->GetPaddingLeft(), 1);
    EXPECT_EQ(font->GetPaddingTop(), 1);
    EXPECT_EQ(font->GetPaddingRight(), 2);
    EXPECT_EQ(font->GetPaddingBottom(), 1);
    EXPECT_EQ(font->GetCharWidth(u'B'), 10);
    EXPECT_EQ(font->GetCharWidth(u'z'), 8);  // glyph 0
}

TEST(Font, GlyphAndKerningLookups) {
    Engine::CLocaleFont record = Record();
    record.characters = {u'A', u'B', u'A', u'C'};
    record.kernPairs = {{u'A', u'B', -2}, {u'B', u'A', 3}, {u'A', u'B', 7}};
    const auto font = MakeFont(record);
    EXPECT_EQ(font->FindGlyph(u'A'), 2);  // a repeated character keeps the last glyph
    EXPECT_EQ(font->FindGlyph(u'C'), 3);
    EXPECT_EQ(font->FindGlyph(u'?'), 0);
    EXPECT_EQ(font->GetKerning(u'A', u'B'), -2);  // a repeated pair keeps the first amount
    EXPECT_EQ(font->GetKerning(u'B', u'A'), 3);
    EXPECT_EQ(font->GetKerning(u'A', u'C'), 0);
}

TEST(Font, TextWidthsOfBothForms) {
    auto font = MakeFont(Record());
    EXPECT_FLOAT_EQ(font->GetTextWidth("A\tB", 20.0f, 2.0f), (8 + 20 + 10) * 2.0f);
    EXPECT_FLOAT_EQ(font->GetTextWidthW(u"A\tB", -1, 20.0f, 2.0f), (8 + 20 + 10) * 2.0f);
    font->SetLetterSpacing(1.5f);
    EXPECT_FLOAT_EQ(font->GetTextWidth("AB", 0.0f, 2.0f), (8 + 10) * 2.0f + 1.5f);
    EXPECT_FLOAT_EQ(font->GetTextWidthW(u"AB", -1, 0.0f, 2.0f), (8 + 10) * 2.0f + 3.0f);
    EXPECT_FLOAT_EQ(font->GetTextWidth(nullptr, 0.0f, 1.0f), 0.0f);

    font->SetLetterSpacing(0.0f);
    EXPECT_FLOAT_EQ(font->GetTextWidthW(u"ABCA", 3, 0.0f, 1.0f), 8 + 10 + 12);
    EXPECT_FLOAT_EQ(font->GetTextWidthW(u"ABCA", 0, 0.0f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(font->GetTextWidthW(u"ABCA", -1, 0.0f, 1.0f), 8 + 10 + 12 + 8);
    EXPECT_FLOAT_EQ(font->GetTextWidth("\xE9", 0.0f, 1.0f), 7);  // 0xFFE9, width 4
    EXPECT_FLOAT_EQ(font->GetTextWidth("\xE8", 0.0f, 1.0f), 8);  // not listed: glyph 0
}

TEST(Font, KerningAppliesToTheFirstCharacterOnlyInTheByteForm) {
    Engine::CLocaleFont record = Record();
    record.kernPairs = {{0, u'A', 4}, {u'A', u'B', -2}};
    const auto font = MakeFont(record);
    EXPECT_FLOAT_EQ(font->GetTextWidth("AB", 0.0f, 1.0f), 4 + 8 - 2 + 10);
    EXPECT_FLOAT_EQ(font->GetTextWidthW(u"AB", -1, 0.0f, 1.0f), 8 - 2 + 10);
}

TEST(Font, UnsuitableSpritesAreRefused) {
    const Engine::CLocaleFont record = Record();
    EXPECT_EQ(FontError(record, SprTestData::StripDocument("glyphs", {5, 7, 9, 4, 6}, 3)),
              "CFont::CheckForValidSprite(...) : Invalid number of frames (5 - found, 4 - should be)");
    EXPECT_EQ(FontError(record, SprTestData::StripDocument("other", {5, 7, 9, 4}, 3)), "Can't find anim sprite 'glyphs'");

    Tools::CSprDocument uneven = SprTestData::StripDocument("glyphs", {5, 7, 9, 4}, 3);
    uneven.sprites[0].frames[2].height = 4;
    EXPECT_EQ(FontError(record, uneven), "CFont::CheckForValidSprite(...) : Font characters must have same height");

    Engine::CLocaleFont empty = Record();
    empty.characters.clear();
    Tools::CSprDocument noFrames;
    noFrames.sprites.push_back({"glyphs", 0, 0, false, false, {}});
    EXPECT_EQ(FontError(empty, noFrames),
              "CFont::CheckForValidSprite(...) : Invalid number of frames (0 - found, 0 - should be)");
}
