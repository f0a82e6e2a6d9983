// A text line through a font sprite, the sprite queue and the OpenGL
// driver, read back from the frame buffer.

#include "OpenGLTestSupport.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/SpriteQueue.h"
#include "graphics/Text.h"
#include "tests/graphics/SprFileTestData.h"

using namespace OpenGLTest;

namespace {

// Glyphs '?', ' ', 'A', 'B' of widths 5, 4, 6, 7 and height 10, each a
// solid colour: blue, black, red, green.
std::vector<uint8_t> GlyphFile() {
    const int widths[] = {5, 4, 6, 7};
    const uint16_t colours[][3] = {{0, 0, 255}, {0, 0, 0}, {255, 0, 0}, {0, 255, 0}};
    Tools::CPngImage image;
    image.width = 22;
    image.height = 10;
    Tools::CSprSprite glyphs{"glyphs", 0, 0, false, false, {}};
    for (int left = 0, i = 0; i < 4; left += widths[i++])
        glyphs.frames.push_back(Tools::MakeSprFrame(0, left, 0, left + widths[i], 10));
    for (uint32_t y = 0; y < image.height; ++y)
        for (int i = 0; i < 4; ++i)
            for (int x = 0; x < widths[i]; ++x) image.samples.insert(image.samples.end(), colours[i], colours[i] + 3);
    Tools::CSprDocument document;
    document.images.push_back({0, Tools::WritePng(image), {}, 0xFFFFFFFFu});
    document.sprites.push_back(glyphs);
    return Tools::WriteSpr(document);
}

class OpenGLTextTest : public OpenGLFixture {
protected:
    void SetUp() override {
        OpenGLFixture::SetUp();
        CreateReadyDriver();
        CSpriteQueue::SetDriver(driver.get());
        ASSERT_TRUE(CSpriteQueue::CreateVertexBuffer());
        ASSERT_TRUE(CSpriteQueue::Init());
        auto file = SprTestData::ReadSprFile(GlyphFile(), "spr/font.spr", false, nullptr, driver.get());
        file->CreateTextures();
        Engine::CLocaleFont record;
        record.sprite = "glyphs";
        record.characters = {u'?', u' ', u'A', u'B'};
        CTextLayout::SetFont(context, CreateFontFromSprite(record, file));
    }
    void TearDown() override {
        context.m_pFont = nullptr;
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
        OpenGLFixture::TearDown();
    }
    CDrawContext context;
};

TEST_F(OpenGLTextTest, GlyphsLandSideBySideInTheirColours) {
    Clear(0, 0, 0);
    DrawText(context, 20, 30, 100, 40, 1, 1, 0, SPRITE_BLEND_ALPHA, "AB?");
    CSpriteQueue::Flush(context.m_params);
    ExpectPixels({{20, 30, kRed}, {25, 39, kRed}, {26, 30, kGreen}, {32, 39, kGreen}, {33, 35, kBlue}, {37, 35, kBlue},
                  {38, 35, kBlack}, {20, 40, kBlack}, {19, 30, kBlack}});
}

} // namespace
