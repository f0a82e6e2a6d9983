#include <gtest/gtest.h>

#include <vector>

#include "app/Exception.h"
#include "app/TestFiles.h"
#include "graphics/TextureFormat.h"

using namespace Engine::Graphics;

namespace {

struct Masks {
    uint32_t r, g, b, a, bpp;
};
const Masks A8R8G8B8{0xFF0000, 0xFF00, 0xFF, 0xFF000000, 32}, X8R8G8B8{0xFF0000, 0xFF00, 0xFF, 0, 32},
    R5G6B5{0xF800, 0x7E0, 0x1F, 0, 16}, A1R5G5B5{0x7C00, 0x3E0, 0x1F, 0x8000, 16},
    A4R4G4B4{0xF00, 0xF0, 0xF, 0xF000, 16}, A8R3G3B2{0xE0, 0x1C, 0x3, 0xFF00, 16}, R3G3B2{0xE0, 0x1C, 0x3, 0, 8},
    A8{0, 0, 0, 0xFF, 8};

CTextureFormatList List(const std::vector<Masks>& formats) {
    CTextureFormatList list;
    for (const Masks& m : formats) list.Add(Engine::ref_ptr<CTextureFormat>(new CTextureFormat(m.r, m.g, m.b, m.a, m.bpp)));
    return list;
}

TEST(TextureFormat, MasksGiveBitsAndShifts) {
    CTextureFormat format(0xFF0000, 0xF800, 0, 0x0F0F, 32);
    EXPECT_EQ(format.red.bits, 8u);
    EXPECT_EQ(format.red.shift, 16u);
    EXPECT_EQ(format.green.bits, 5u);
    EXPECT_EQ(format.green.shift, 11u);
    EXPECT_EQ(format.blue.bits, 0u);
    EXPECT_EQ(format.blue.shift, 0u);
    EXPECT_EQ(format.alpha.bits, 12u); // the span from the lowest to the highest set bit
}

struct ChoiceCase {
    const char* name;
    int windowBits, minAlpha;
    std::vector<Masks> formats;
    int expected;
};

class TextureFormatChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(TextureFormatChoice, FollowsTheRule) {
    const ChoiceCase& c = GetParam();
    EXPECT_EQ(List(c.formats).Find(c.windowBits, c.minAlpha), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextureFormatChoice,
    ::testing::Values(ChoiceCase{"Window16ExactAlpha", 16, 1, {A8R8G8B8, R5G6B5, A1R5G5B5}, 2},
                      ChoiceCase{"NoAlphaTakesFirstFewest", 32, 0, {A8R8G8B8, X8R8G8B8, R5G6B5}, 1},
                      ChoiceCase{"AlphaTakesMost", 32, 8, {X8R8G8B8, A8R8G8B8}, 1},
                      ChoiceCase{"AlphaFirstFormatIsMost", 32, 8, {A8R8G8B8, X8R8G8B8}, 0},
                      ChoiceCase{"NegativeMeansEight", 32, -1, {X8R8G8B8, A8R8G8B8}, 1},
                      ChoiceCase{"NegativeMeansEightOn16", 16, -1, {A1R5G5B5, A8R3G3B2}, 1},
                      // A format that first had the fewest alpha bits can have the most.
                      ChoiceCase{"MostAlphaEvenIfItWasFewest", 32, 8, {A8R8G8B8, X8R8G8B8, A4R4G4B4}, 0},
                      ChoiceCase{"Window16WithoutExactFallsThrough", 16, 4, {A1R5G5B5, A8R8G8B8}, 1},
                      ChoiceCase{"SmallFormatsAboveTheMinimum", 32, 4, {R3G3B2, A8}, 1},
                      ChoiceCase{"SmallFormatsBelowTheMinimum", 32, 4, {A8, R3G3B2}, 0},
                      ChoiceCase{"SmallFormatsNothingElse", 32, 0, {R3G3B2}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextureFormatList, ChooseLogsAndEmptyListThrows) {
    TestFiles::CLogCapture log;
    EXPECT_EQ(List({X8R8G8B8, A8R8G8B8}).Choose(32, -1), 1);
    EXPECT_EQ(log.Text(), "[00:00:00] [CGraphics::ChooseTextureFormat(..) begin]\n"
                          "[00:00:00]   WindowBPP : 32\n"
                          "[00:00:00]   nMinAlphaBits : -1\n"
                          "[00:00:00]   Result : R8G8B8A8\n"
                          "[00:00:00] [CGraphics::ChooseTextureFormat(..) end]\n");
    try {
        CTextureFormatList().Choose(32, 0);
        FAIL();
    } catch (const Engine::CException& e) {
        EXPECT_STREQ(e.what(), "CGraphics::ChooseTextureFormat(...) : FAILED : No available texture formats were found");
    }
    EXPECT_THROW(List({A8}).Get(1), Engine::CException);
}

TEST(TextureFormatList, LogsFourColumnsDownwards) {
    CTextureFormatList list = List({A8R8G8B8, X8R8G8B8, R5G6B5, A1R5G5B5, A8});
    TestFiles::CLogCapture log;
    list.LogAvailable();
    EXPECT_EQ(log.Text(), "[00:00:00] [AvailableTextureFormats begin]\n"
                          "[00:00:00]     R8G8B8A8    R5G6B5A0    R0G0B0A8 \n"
                          "[00:00:00]     R8G8B8A0    R5G5B5A1 \n"
                          "[00:00:00] [AvailableTextureFormats end]\n");
}

TEST(TextureFormat, ConvertUsesTheChannelLayout) {
    CBitmapIO::CImageData source;
    source.width = 2;
    source.height = 1;
    source.pixels = {0xFF0000FF, 0xFFFF0000}; // opaque red, opaque blue
    uint16_t out[2] = {};
    ConvertToTextureFormat(CTextureFormat(A1R5G5B5.r, A1R5G5B5.g, A1R5G5B5.b, A1R5G5B5.a, 16), source, out, 0);
    EXPECT_EQ(out[0] & 0xFC00, 0xFC00); // alpha and all red
    EXPECT_EQ(out[1] & 0x801F, 0x801F); // alpha and all blue
}

} // namespace
