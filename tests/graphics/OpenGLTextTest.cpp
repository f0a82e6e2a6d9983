// A text line through a font sprite, the sprite queue and the OpenGL
// driver, read back from the frame buffer.

#include "OpenGLTestSupport.h"
#include "tests/graphics/GlyphTestData.h"

using namespace OpenGLTest;

namespace {

class OpenGLTextTest : public OpenGLFixture {
protected:
    void SetUp() override {
        OpenGLFixture::SetUp();
        CreateReadyDriver();
        ASSERT_TRUE(text.Init(*driver));
    }
    void TearDown() override {
        text.Done();
        OpenGLFixture::TearDown();
    }
    GlyphTestData::CGlyphText text;
};

TEST_F(OpenGLTextTest, GlyphsLandSideBySideInTheirColours) {
    Clear(0, 0, 0);
    text.DrawLine();
    ExpectPixels({{20, 30, kRed}, {25, 39, kRed}, {26, 30, kGreen}, {32, 39, kGreen}, {33, 35, kBlue}, {37, 35, kBlue},
                  {38, 35, kBlack}, {20, 40, kBlack}, {19, 30, kBlack}});
}

} // namespace
