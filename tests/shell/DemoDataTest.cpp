#include <gtest/gtest.h>

#include "app/Exception.h"
#include "tools/FontSprite.h"

namespace {

TEST(FontSpriteTest, OneFrameOfLineHeightPerCharacter) {
    const Tools::CFontSprite font = Tools::RenderFontSprite(MOSARK_DEMO_FONT, 20, {' ', 'i', 'W', 'g'}, "font");
    const std::vector<Tools::CSprFrame>& frames = font.document.sprites.at(0).frames;
    ASSERT_EQ(frames.size(), 4u);
    for (const Tools::CSprFrame& frame : frames) EXPECT_EQ(frame.height, uint32_t(font.cellHeight));
    EXPECT_GT(frames[2].width, frames[1].width);  // advances, not one fixed width
    EXPECT_LT(font.ascent, font.cellHeight);      // room below the baseline for 'g'
    EXPECT_THROW(Tools::RenderFontSprite("/nonexistent.ttf", 20, {'A'}, "f"), Engine::CException);
    EXPECT_THROW(Tools::RenderFontSprite(MOSARK_DEMO_FONT, 20, {}, "f"), Engine::CException);
}

} // namespace
