#include "ImageTestSupport.h"

using namespace ImageTest;
using Tools::EPngColour;

namespace {

struct PngCase {
    const char* name;
    EPngColour colour;
    int depth;
    bool interlaced, transparency;
};

constexpr uint32_t kWidth = 5, kHeight = 3;

int Channels(EPngColour c) {
    return c == EPngColour::RGB ? 3 : c == EPngColour::GreyAlpha ? 2 : c == EPngColour::RGBA ? 4 : 1;
}
uint32_t Sample(const PngCase& c, uint32_t x, uint32_t y, int channel) {
    return ((x * 37 + y * 91 + channel * 53) * 263 + x * y) % (1u << c.depth);
}
// Grey below 8 bits is scaled up by the expansion; 16 bits keep the high byte.
uint32_t To8(const PngCase& c, uint32_t v) { return c.depth == 16 ? v >> 8 : c.depth < 8 ? v * 255 / ((1u << c.depth) - 1) : v; }
std::array<uint8_t, 3> PaletteColour(uint32_t i) { return {uint8_t(i * 3), uint8_t(255 - i), uint8_t(i * 7)}; }

Tools::CPngImage MakeImage(const PngCase& c) {
    Tools::CPngImage image{kWidth, kHeight, c.colour, c.depth, c.interlaced, {}, {}, {}};
    for (uint32_t i = 0; i < kWidth * kHeight; ++i)
        for (int ch = 0; ch < Channels(c.colour); ++ch) image.samples.push_back(uint16_t(Sample(c, i % kWidth, i / kWidth, ch)));
    if (c.colour == EPngColour::Palette) {
        for (uint32_t i = 0; i < (1u << c.depth); ++i) image.palette.push_back(PaletteColour(i));
        for (uint32_t i = 0; c.transparency && i < (1u << c.depth) / 2; ++i) image.transparency.push_back(uint16_t(i * 16 & 255));
    } else if (c.transparency) { // the key is the colour of pixel (1, 1)
        for (int ch = 0; ch < Channels(c.colour); ++ch) image.transparency.push_back(uint16_t(Sample(c, 1, 1, ch)));
    }
    return image;
}

uint32_t Expected(const PngCase& c, const Tools::CPngImage& image, uint32_t x, uint32_t y) {
    auto s = [&](int ch) { return To8(c, Sample(c, x, y, ch)); };
    const uint32_t keyAlpha = c.transparency && x == 1 && y == 1 ? 0 : 255;
    switch (c.colour) {
    case EPngColour::Grey: return RGBA(s(0), s(0), s(0), keyAlpha);
    case EPngColour::RGB: return RGBA(s(0), s(1), s(2), keyAlpha);
    case EPngColour::GreyAlpha: return RGBA(s(0), s(0), s(0), s(1));
    case EPngColour::RGBA: return RGBA(s(0), s(1), s(2), s(3));
    case EPngColour::Palette: break;
    }
    const uint32_t i = Sample(c, x, y, 0);
    const auto colour = PaletteColour(i);
    return RGBA(colour[0], colour[1], colour[2], i < image.transparency.size() ? image.transparency[i] : 255);
}

class PngDecode : public ::testing::TestWithParam<PngCase> {};

TEST_P(PngDecode, GivesTheImagePixels) {
    const PngCase& c = GetParam();
    const Tools::CPngImage image = MakeImage(c);
    CBitmapIO::CImageData record = Sentinel();
    ASSERT_TRUE(Decode(Tools::WritePng(image), record));
    ASSERT_EQ(record.width, int(kWidth));
    ASSERT_EQ(record.height, int(kHeight));
    for (uint32_t i = 0; i < kWidth * kHeight; ++i) EXPECT_EQ(record.pixels[i], Expected(c, image, i % kWidth, i / kWidth)) << i;
}

INSTANTIATE_TEST_SUITE_P(Formats, PngDecode,
    ::testing::Values(PngCase{"Grey1", EPngColour::Grey, 1, false, false}, PngCase{"Grey4", EPngColour::Grey, 4, false, false},
                      PngCase{"Grey8", EPngColour::Grey, 8, false, false}, PngCase{"Grey16", EPngColour::Grey, 16, false, false},
                      PngCase{"GreyKey", EPngColour::Grey, 8, false, true}, PngCase{"Palette1", EPngColour::Palette, 1, false, false},
                      PngCase{"Palette8", EPngColour::Palette, 8, false, false},
                      PngCase{"Palette8Alpha", EPngColour::Palette, 8, false, true},
                      PngCase{"Palette2Alpha", EPngColour::Palette, 2, false, true}, PngCase{"RGB8", EPngColour::RGB, 8, false, false},
                      PngCase{"RGB16", EPngColour::RGB, 16, false, false}, PngCase{"RGBKey", EPngColour::RGB, 8, false, true},
                      PngCase{"GreyAlpha8", EPngColour::GreyAlpha, 8, false, false},
                      PngCase{"RGBA16", EPngColour::RGBA, 16, false, false},
                      PngCase{"RGBAInterlaced", EPngColour::RGBA, 8, true, false},
                      PngCase{"Grey2Interlaced", EPngColour::Grey, 2, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PngAlphaMode, GreySetsOnlyAlphaColourReplacesPixels) {
    const PngCase grey{"", EPngColour::Grey, 8, false, false}, rgb{"", EPngColour::RGB, 8, false, false};
    CBitmapIO::CImageData record{kWidth, kHeight, std::vector<uint32_t>(kWidth * kHeight, RGBA(10, 20, 30, 40))};
    ASSERT_TRUE(Decode(Tools::WritePng(MakeImage(grey)), record, true));
    for (uint32_t i = 0; i < kWidth * kHeight; ++i)
        EXPECT_EQ(record.pixels[i], RGBA(10, 20, 30, Sample(grey, i % kWidth, i / kWidth, 0)));
    const Tools::CPngImage image = MakeImage(rgb);
    ASSERT_TRUE(Decode(Tools::WritePng(image), record, true));
    EXPECT_EQ(record.pixels[7], Expected(rgb, image, 2, 1));
}

TEST(PngDecode, PaletteIndexPastThePaletteIsOpaqueBlack) {
    Tools::CPngImage image{2, 1, EPngColour::Palette, 8, false, {200, 1}, {{9, 8, 7}, {6, 5, 4}}, {}};
    CBitmapIO::CImageData record;
    ASSERT_TRUE(Decode(Tools::WritePng(image), record));
    EXPECT_EQ(record.pixels, (std::vector<uint32_t>{RGBA(0, 0, 0), RGBA(6, 5, 4)}));
}

} // namespace
