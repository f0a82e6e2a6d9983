#include <gtest/gtest.h>

#include "app/Exception.h"
#include "tools/FontSprite.h"

namespace {

TEST(FontSpriteTest, OneFrameOfLineHeightPerCharacterWithTheGlyphsInked) {
    const std::vector<uint16_t> characters{' ', 'A', 'W', 'g'};
    const Tools::CFontSprite font = Tools::RenderFontSprite(MOSARK_DEMO_FONT, 20, characters, "font_main");
    ASSERT_EQ(font.document.sprites.size(), 1u);
    const std::vector<Tools::CSprFrame>& frames = font.document.sprites[0].frames;
    ASSERT_EQ(frames.size(), characters.size());
    for (const Tools::CSprFrame& frame : frames) EXPECT_EQ(frame.height, uint32_t(font.cellHeight));
    EXPECT_GT(frames[2].width, frames[1].width / 2);  // advances, not one fixed width
    EXPECT_GT(font.ascent, 10);
    EXPECT_LT(font.ascent, font.cellHeight);  // room for the descender of 'g'
    EXPECT_NE(font.LocaleXml("main").find("<char code=\"87\"/>"), std::string::npos);
    EXPECT_FALSE(font.document.images.at(0).alpha.empty());
}

TEST(FontSpriteTest, UnreadableFontOrBadSizeThrows) {
    EXPECT_THROW(Tools::RenderFontSprite("/nonexistent.ttf", 20, {'A'}, "f"), Engine::CException);
    EXPECT_THROW(Tools::RenderFontSprite(MOSARK_DEMO_FONT, 2, {'A'}, "f"), Engine::CException);
    EXPECT_THROW(Tools::RenderFontSprite(MOSARK_DEMO_FONT, 20, {}, "f"), Engine::CException);
}

} // namespace
