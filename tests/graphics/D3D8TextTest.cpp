// A text line through a font sprite, the sprite queue and the Direct3D 8
// driver, read back from the back buffer.

#include "D3D8TestSupport.h"
#include "tests/graphics/GlyphTestData.h"

using namespace D3D8Test;

namespace {

class D3D8TextTest : public D3D8Fixture {
protected:
    void SetUp() override {
        D3D8Fixture::SetUp();
        CreateReadyDriver();
        ASSERT_TRUE(text.Init(*driver));
    }
    void TearDown() override {
        text.Done();
        D3D8Fixture::TearDown();
    }
    GlyphTestData::CGlyphText text;
};

TEST_F(D3D8TextTest, GlyphsLandSideBySideInTheirColours) {
    Clear(0, 0, 0);
    text.DrawLine();
    ExpectPixels({{20, 30, kRed}, {25, 39, kRed}, {26, 30, kGreen}, {32, 39, kGreen},
                  {33, 35, kBlue}, {37, 35, kBlue}, {38, 35, kBlack}, {20, 40, kBlack},
                  {19, 30, kBlack}});
}

} // namespace
