#include "ImageTestSupport.h"

using namespace ImageTest;

namespace {

Tools::CDdsImage Uncompressed(uint32_t bpp, std::array<uint32_t, 4> masks, bool alpha, CBytes data) {
    Tools::CDdsImage image;
    image.width = image.height = 1;
    image.bitsPerPixel = bpp;
    image.masks = masks;
    image.pixelFlags = alpha ? 0x1 : 0x40;
    image.data = std::move(data);
    return image;
}

Tools::CDdsImage Compressed(uint32_t fourCC, uint32_t width, uint32_t height, CBytes data) {
    Tools::CDdsImage image;
    image.width = width;
    image.height = height;
    image.pixelFlags = 0x4;
    image.fourCC = fourCC;
    image.data = std::move(data);
    return image;
}

const uint32_t DXT1 = Tools::MakeFourCC("DXT1"), DXT5 = Tools::MakeFourCC("DXT5");

class DdsMasks : public ::testing::TestWithParam<std::tuple<const char*, Tools::CDdsImage, uint32_t>> {};

TEST_P(DdsMasks, ExpandEachChannelFromItsMask) {
    CBitmapIO::CImageData record;
    ASSERT_TRUE(Decode(Tools::WriteDds(std::get<1>(GetParam())), record));
    EXPECT_EQ(record.pixels, std::vector<uint32_t>{std::get<2>(GetParam())});
}

const std::array<uint32_t, 4> k8888{0xFF0000, 0xFF00, 0xFF, 0xFF000000}, k1555{0x7C00, 0x3E0, 0x1F, 0x8000};

INSTANTIATE_TEST_SUITE_P(Layouts, DdsMasks,
    ::testing::Values(std::tuple{"A8R8G8B8", Uncompressed(32, k8888, true, {0x33, 0x22, 0x11, 0x80}), RGBA(0x11, 0x22, 0x33, 0x80)},
                      std::tuple{"X8R8G8B8", Uncompressed(32, k8888, false, {0x33, 0x22, 0x11, 0x80}), RGBA(0x11, 0x22, 0x33)},
                      std::tuple{"R8G8B8", Uncompressed(24, k8888, false, {0x33, 0x22, 0x11}), RGBA(0x11, 0x22, 0x33)},
                      std::tuple{"R5G6B5", Uncompressed(16, {0xF800, 0x7E0, 0x1F, 0}, false, {0xFF, 0xFF}), RGBA(248, 252, 248)},
                      std::tuple{"A1R5G5B5Opaque", Uncompressed(16, k1555, true, {0x00, 0x80}), RGBA(0, 0, 0, 255)},
                      std::tuple{"A1R5G5B5Clear", Uncompressed(16, k1555, true, {0xFF, 0x7F}), RGBA(248, 248, 248, 0)},
                      std::tuple{"A4R4G4B4", Uncompressed(16, {0xF00, 0xF0, 0xF, 0xF000}, true, {0x23, 0x51}), RGBA(16, 32, 48, 17 * 5)},
                      std::tuple{"EmptyAlphaMask", Uncompressed(32, {0xFF0000, 0xFF00, 0xFF, 0}, true, {1, 2, 3, 4}), RGBA(3, 2, 1, 0)}),
    [](const auto& info) { return std::string(std::get<0>(info.param)); });

// End points as 5-6-5 values; pixel i of a block uses index i % 4.
CBytes ColourBlock(uint16_t c0, uint16_t c1, uint32_t indices = 0xE4E4E4E4) {
    return {uint8_t(c0), uint8_t(c0 >> 8), uint8_t(c1), uint8_t(c1 >> 8),
            uint8_t(indices), uint8_t(indices >> 8), uint8_t(indices >> 16), uint8_t(indices >> 24)};
}
CBytes Join(CBytes a, const CBytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
std::vector<uint32_t> Cycle(const std::vector<uint32_t>& palette) {
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i < 16; ++i) pixels.push_back(palette[i % palette.size()]);
    return pixels;
}
std::vector<uint32_t> DecodeBlock(uint32_t fourCC, const CBytes& block) {
    CBitmapIO::CImageData record;
    EXPECT_TRUE(Decode(Tools::WriteDds(Compressed(fourCC, 4, 4, block)), record));
    return record.pixels;
}

const uint16_t kRed = 0xF800, kBlue = 0x001F;
const uint32_t kRed8 = RGBA(248, 0, 0), kBlue8 = RGBA(0, 0, 248), kRedish = RGBA(165, 0, 83), kBluish = RGBA(83, 0, 165);

TEST(DdsDxt, ColourAndAlphaBlocks) {
    EXPECT_EQ(DecodeBlock(DXT1, ColourBlock(kRed, kBlue)), Cycle({kRed8, kBlue8, kRedish, kBluish}));
    // Colour 0 not above colour 1: a mid colour and a transparent fourth.
    EXPECT_EQ(DecodeBlock(DXT1, ColourBlock(kBlue, kRed)), Cycle({kBlue8, kRed8, RGBA(124, 0, 124), kRedish & 0xFFFFFF}));
    // DXT2/3: 4-bit alphas (pixel i has nibble i) and always four colours.
    const CBytes explicitAlpha = Join({0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE}, ColourBlock(kBlue, kRed));
    for (const char* code : {"DXT2", "DXT3"}) {
        const std::vector<uint32_t> pixels = DecodeBlock(Tools::MakeFourCC({code[0], code[1], code[2], code[3], 0}), explicitAlpha),
                                    colours = Cycle({kBlue8, kRed8, kBluish, kRedish});
        for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(pixels[i], (colours[i] & 0xFFFFFF) | (17 * i) << 24) << i;
    }
    // DXT4/5: the eight-step and six-step alpha ramps, pixel i using index i % 8.
    for (auto [a0, a1, ramp] : {std::tuple{200, 100, std::vector<uint32_t>{200, 100, 186, 171, 157, 143, 129, 114}},
                                std::tuple{100, 200, std::vector<uint32_t>{100, 200, 120, 140, 160, 180, 0, 255}}}) {
        const CBytes block = Join({uint8_t(a0), uint8_t(a1), 0x88, 0xC6, 0xFA, 0x88, 0xC6, 0xFA}, ColourBlock(kRed, kRed, 0));
        const std::vector<uint32_t> pixels = DecodeBlock(DXT5, block);
        for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(pixels[i], (kRed8 & 0xFFFFFF) | ramp[i % 8] << 24) << i;
    }
}

TEST(DdsDxt, SixBySixReadsFourBlocksAndDropsTheEdges) {
    const CBytes data = Join(Join(ColourBlock(0xF800, 0xF800, 0), ColourBlock(0x07E0, 0x07E0, 0)),
                             Join(ColourBlock(0x001F, 0x001F, 0), ColourBlock(0xFFFF, 0xFFFF, 0)));
    const uint32_t expected[4] = {kRed8, RGBA(0, 252, 0), kBlue8, RGBA(248, 252, 248)};
    CBitmapIO::CImageData record;
    ASSERT_TRUE(Decode(Tools::WriteDds(Compressed(DXT1, 6, 6, data)), record));
    ASSERT_EQ(record.pixels.size(), 36u);
    for (uint32_t i = 0; i < 36; ++i) EXPECT_EQ(record.pixels[i], expected[(i / 6 / 4) * 2 + i % 6 / 4]) << i;
}

TEST(DdsDxt, OnlyAVolumeKeepsItsLastSlice) {
    Tools::CDdsImage image = Compressed(DXT1, 4, 4, Join(ColourBlock(kRed, kRed, 0), ColourBlock(kBlue, kBlue, 0)));
    image.depth = 2;
    CBitmapIO::CImageData record;
    ASSERT_TRUE(Decode(Tools::WriteDds(image), record));
    EXPECT_EQ(record.pixels[0], kRed8);
    image.caps |= 0x8;
    image.caps2 = 0x200000;
    ASSERT_TRUE(Decode(Tools::WriteDds(image), record));
    EXPECT_EQ(record.pixels[0], kBlue8);
}

// Header rules keep the record; data shorter than the decoding needs (or
// sizes the header makes absurd) fail instead of reading past it.
TEST(DdsFailures, BadHeadersKeepTheRecordShortDataEmptiesIt) {
    using Change = void (*)(Tools::CDdsImage&);
    const std::pair<bool, Change> changes[] = {
        {true, [](Tools::CDdsImage& i) { i.headerSize = 123; }}, {true, [](Tools::CDdsImage& i) { i.pixelFormatSize = 31; }},
        {true, [](Tools::CDdsImage& i) { i.width = 0; }}, {true, [](Tools::CDdsImage& i) { i.fourCC = Tools::MakeFourCC("ATI2"); }},
        {false, [](Tools::CDdsImage& i) { i.data.pop_back(); }},
        {false, [](Tools::CDdsImage& i) { i.flags |= 0x8; }}, // pitch only: 0 bits per pixel
        {false, [](Tools::CDdsImage& i) { i.flags |= 0x80000; i.pitchOrLinearSize = 4; }},
        {false, [](Tools::CDdsImage& i) { i = Uncompressed(0, k8888, true, CBytes(4, 0)); }},
        {false, [](Tools::CDdsImage& i) { i = Uncompressed(64, k8888, true, CBytes(8, 0)); }},
        {false, [](Tools::CDdsImage& i) { i.depth = 0xFFFFFFFF; i.caps = 0x1008; i.caps2 = 0x200000; }},
    };
    for (size_t k = 0; k < std::size(changes); ++k) {
        Tools::CDdsImage image = Compressed(DXT1, 4, 4, CBytes(8, 0));
        changes[k].second(image);
        CBitmapIO::CImageData record = Sentinel();
        EXPECT_FALSE(Decode(Tools::WriteDds(image), record)) << k;
        EXPECT_EQ(record.pixels.empty(), !changes[k].first) << k;
    }
}

} // namespace
