#include "ImageTestSupport.h"

using namespace ImageTest;

namespace {

constexpr uint32_t kWidth = 3, kHeight = 2, kPixels = kWidth * kHeight;

uint32_t S(uint32_t c, uint32_t i) { return 10 * c + i + 1; }

// Planar samples: channel c, pixel i holds S(c, i) (in the high byte at 16 bits).
Tools::CPsdImage MakeImage(uint16_t mode, uint16_t channels, uint16_t depth = 8) {
    Tools::CPsdImage image;
    image.mode = mode;
    image.channels = channels;
    image.width = kWidth;
    image.height = kHeight;
    image.depth = depth;
    for (uint32_t c = 0; c < channels; ++c)
        for (uint32_t i = 0; i < kPixels; ++i) image.samples.push_back(uint16_t(depth == 16 ? S(c, i) << 8 | 0xAB : S(c, i)));
    return image;
}

uint32_t Grey(uint32_t i) { return RGBA(S(0, i), S(0, i), S(0, i)); }
uint32_t Rgb(uint32_t i) { return RGBA(S(0, i), S(1, i), S(2, i)); }
uint32_t Rgba(uint32_t i) { return RGBA(S(0, i), S(1, i), S(2, i), S(3, i)); }
uint32_t Ink(uint32_t c, uint32_t i) { return S(c, i) * S(3, i) / 256; }
uint32_t Cmyk(uint32_t i) { return RGBA(Ink(0, i), Ink(1, i), Ink(2, i)); }
uint32_t CmykAlpha(uint32_t i) { return RGBA(Ink(0, i), Ink(1, i), Ink(2, i), S(4, i)); }

struct PsdCase {
    const char* name;
    uint16_t mode, channels, depth;
    bool compressed;
    uint32_t (*expected)(uint32_t i);
};

class PsdDecode : public ::testing::TestWithParam<PsdCase> {};

TEST_P(PsdDecode, GivesTheImagePixels) {
    const PsdCase& c = GetParam();
    Tools::CPsdImage image = MakeImage(c.mode, c.channels, c.depth);
    image.compressed = c.compressed;
    image.colourModeData = {1, 2, 3, 4, 5}; // skipped, not read as the next sections
    image.imageResources = {9, 9};
    CBitmapIO::CImageData record;
    ASSERT_TRUE(Decode(Tools::WritePsd(image), record));
    ASSERT_EQ(record.width, int(kWidth));
    ASSERT_EQ(record.height, int(kHeight));
    for (uint32_t i = 0; i < kPixels; ++i) EXPECT_EQ(record.pixels[i], c.expected(i)) << i;
}

INSTANTIATE_TEST_SUITE_P(Modes, PsdDecode,
    ::testing::Values(PsdCase{"Grey", 1, 1, 8, false, Grey}, PsdCase{"GreyExtraChannels", 1, 3, 8, false, Grey},
                      PsdCase{"Grey16UsesHighByte", 1, 1, 16, false, Grey}, PsdCase{"RgbIsOpaque", 3, 3, 8, false, Rgb},
                      PsdCase{"RgbPackBits", 3, 3, 8, true, Rgb}, PsdCase{"Rgb16PackBits", 3, 3, 16, true, Rgb},
                      PsdCase{"RgbAlpha", 3, 4, 8, false, Rgba}, PsdCase{"RgbFifthChannelDiscarded", 3, 5, 8, true, Rgba},
                      PsdCase{"Cmyk", 4, 4, 8, false, Cmyk}, PsdCase{"CmykAlpha", 4, 5, 8, false, CmykAlpha}),
    [](const auto& info) { return std::string(info.param.name); });

// Indexed pixels are opaque; an index past the table is black.
TEST(PsdIndexed, ColourTableIsPlanarAndIndexesAreChecked) {
    for (uint16_t depth : {8, 16}) {
        Tools::CPsdImage image = MakeImage(2, 1, depth);
        image.colourModeData = {10, 11, 20, 21, 30, 31}; // reds, greens, blues of 2 colours
        image.samples = {0, 1, 1, 0, 2, uint16_t(depth == 16 ? 0x0100 : 255)};
        CBitmapIO::CImageData record;
        ASSERT_TRUE(Decode(Tools::WritePsd(image), record));
        const uint32_t a = RGBA(10, 20, 30), b = RGBA(11, 21, 31), none = RGBA(0, 0, 0);
        EXPECT_EQ(record.pixels, (std::vector<uint32_t>{a, b, b, a, none, none}));
    }
}

// A header byte h >= 128 repeats 257 - h times (so 128 gives 129), and
// packets run across rows and channels.
TEST(PsdPackBits, Header128RepeatsOverEveryRowAndChannel) {
    Tools::CPsdImage image = MakeImage(3, 3);
    image.width = 43;
    image.height = 1;
    image.compressed = true;
    image.samples.clear();
    CBytes bytes = Tools::WritePsd(image);
    bytes.insert(bytes.end(), {0, 2, 0, 2, 0, 2, 128, 77}); // row byte counts, then all 3 x 43 samples
    CBitmapIO::CImageData record;
    ASSERT_TRUE(Decode(bytes, record));
    EXPECT_EQ(record.pixels, std::vector<uint32_t>(43, RGBA(77, 77, 77)));
}

// Header rules fail with the record untouched; later failures empty it.
TEST(PsdFailures, HeaderRulesKeepTheRecordLaterFailuresEmptyIt) {
    using Change = void (*)(Tools::CPsdImage&);
    const std::pair<bool, Change> changes[] = {
        {true, [](Tools::CPsdImage& i) { i.version = 2; }}, {true, [](Tools::CPsdImage& i) { i.channels = 0; }},
        {true, [](Tools::CPsdImage& i) { i.channels = 25; }}, {true, [](Tools::CPsdImage& i) { i.width = 0; }},
        {true, [](Tools::CPsdImage& i) { i.height = 0; }}, {true, [](Tools::CPsdImage& i) { i.depth = 32; }},
        {true, [](Tools::CPsdImage& i) { i.mode = 9; }}, {false, [](Tools::CPsdImage& i) { i.depth = 1; }},
        {false, [](Tools::CPsdImage& i) { i.channels = 2; }}, {false, [](Tools::CPsdImage& i) { i.mode = 4; }},
        {false, [](Tools::CPsdImage& i) { i.mode = 1; i.depth = 16; i.channels = 2; }},
        {false, [](Tools::CPsdImage& i) { i.mode = 2; i.channels = 1; i.colourModeData = {1, 2}; }},
        {false, [](Tools::CPsdImage& i) { i.samples.pop_back(); }},
        {false, [](Tools::CPsdImage& i) { i.width = i.height = 0x7FFFFFFF; }},
        {false, [](Tools::CPsdImage& i) { i.imageResources.resize(0x1000000); }}, // then cut off
    };
    for (size_t k = 0; k < std::size(changes); ++k) {
        Tools::CPsdImage image = MakeImage(3, 3);
        changes[k].second(image);
        CBytes bytes = Tools::WritePsd(image);
        if (image.imageResources.size() > 100) bytes.resize(100);
        CBitmapIO::CImageData record = Sentinel();
        EXPECT_FALSE(Decode(bytes, record)) << k;
        EXPECT_EQ(record.pixels.empty(), !changes[k].first) << k;
    }
}

} // namespace
