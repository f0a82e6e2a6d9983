#include "ImageTestSupport.h"

using namespace ImageTest;

namespace {

constexpr int16_t kWidth = 3, kHeight = 2;

uint32_t Colour(int x, int y) { return RGBA(10 * x + 1, 20 * y + 2, 30 + x + y, 200 + x); }

// 32-bit BGRA data stored in the orientation the descriptor gives.
CBytes StoredPixels(uint8_t descriptor) {
    CBytes data;
    for (int row = 0; row < kHeight; ++row) {
        for (int column = 0; column < kWidth; ++column) {
            const uint32_t p = Colour((descriptor & 0x10) ? kWidth - 1 - column : column,
                                      (descriptor & 0x20) ? row : kHeight - 1 - row);
            data.insert(data.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)});
        }
    }
    return data;
}

std::vector<uint32_t> ExpectedImage() {
    std::vector<uint32_t> pixels;
    for (int i = 0; i < kWidth * kHeight; ++i) pixels.push_back(Colour(i % kWidth, i / kWidth));
    return pixels;
}

Tools::CTgaImage Image(uint8_t type, uint8_t depth, CBytes pixels, uint8_t descriptor = 0x20) {
    Tools::CTgaImage image;
    image.imageType = type;
    image.depth = depth;
    image.width = kWidth;
    image.height = kHeight;
    image.descriptor = descriptor;
    image.pixelData = std::move(pixels);
    return image;
}

std::vector<uint32_t> DecodeTga(const Tools::CTgaImage& image) {
    CBitmapIO::CImageData record;
    EXPECT_TRUE(Decode(Tools::WriteTga(image), record));
    return record.pixels;
}

class TgaOrientation : public ::testing::TestWithParam<std::tuple<uint8_t, bool>> {};

TEST_P(TgaOrientation, ComesOutTopDownLeftToRight) {
    auto [descriptor, rle] = GetParam();
    const CBytes stored = StoredPixels(descriptor);
    Tools::CTgaImage image = Image(rle ? 10 : 2, 32, rle ? Tools::EncodeTgaRle(stored, 4) : stored, descriptor);
    image.id = {'i', 'd'};
    EXPECT_EQ(DecodeTga(image), ExpectedImage());
}

INSTANTIATE_TEST_SUITE_P(Descriptors, TgaOrientation,
                         ::testing::Combine(::testing::Values(0x00, 0x10, 0x20, 0x30), ::testing::Bool()));

TEST(TgaPixels, TrueColourAndGreyDepths) {
    EXPECT_EQ(DecodeTga(Image(2, 24, {3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0, 1, 1, 1, 2, 2, 2}))[2], RGBA(7, 8, 9));
    // 16 bits: x1R5G5B5 times 8, the attribute bit ignored.
    EXPECT_EQ(DecodeTga(Image(2, 16, {0xFF, 0x7F, 0xFF, 0xFF, 0x1F, 0, 0xE0, 0x03, 0, 0x7C, 0, 0})),
              (std::vector<uint32_t>{RGBA(248, 248, 248), RGBA(248, 248, 248), RGBA(0, 0, 248), RGBA(0, 248, 0),
                                     RGBA(248, 0, 0), RGBA(0, 0, 0)}));
    EXPECT_EQ(DecodeTga(Image(3, 8, {0, 50, 100, 150, 200, 250}))[3], RGBA(150, 150, 150));
}

// Header 255 is a run of 128; rows of 43 pixels, so packets cross rows.
TEST(TgaRle, RunOf128AndPacketsCrossingRows) {
    Tools::CTgaImage image = Image(11, 8, {255, 9, 0x82, 7, 8, 6});
    image.width = 43;
    image.height = 3;
    std::vector<uint32_t> expected(128, RGBA(9, 9, 9));
    expected.push_back(RGBA(7, 7, 7));
    EXPECT_EQ(DecodeTga(image), expected);
}

Tools::CTgaImage Mapped(uint8_t type, uint8_t depth, CBytes pixels, uint16_t length, uint8_t entryBits, CBytes map) {
    Tools::CTgaImage image = Image(type, depth, std::move(pixels));
    image.mapType = 1;
    image.mapLength = length;
    image.mapEntryBits = entryBits;
    image.colourMap = std::move(map);
    return image;
}

// Entry 1 of a 2-entry map; indexes past the map have no colour.
TEST(TgaColourMap, EntriesOfEachSizeAndIndexesPastTheMap) {
    for (auto [bits, entry, colour] : {std::tuple{15, CBytes{0, 0, 0x1F, 0x7C}, RGBA(248, 0, 248)},
                                       {16, CBytes{0, 0, 0xE0, 0x83}, RGBA(0, 248, 0)},
                                       {24, CBytes{0, 0, 0, 7, 8, 9}, RGBA(9, 8, 7)},
                                       {32, CBytes{0, 0, 0, 0, 7, 8, 9, 10}, RGBA(9, 8, 7, 10)}}) {
        const uint32_t first = bits == 32 ? 0 : RGBA(0, 0, 0);
        EXPECT_EQ(DecodeTga(Mapped(1, 8, {0, 1, 1, 0, 2, 255}, 2, uint8_t(bits), entry)),
                  (std::vector<uint32_t>{first, colour, colour, first, 0, 0}));
    }
    CBytes map; // 300 entries: the ones past 256 are read over
    for (int i = 0; i < 300; ++i) map.insert(map.end(), {uint8_t(i), 1, 2});
    EXPECT_EQ(DecodeTga(Mapped(1, 8, CBytes(6, 255), 300, 24, map))[5], RGBA(2, 1, 255));
}

// A true-colour file may carry a map: it is skipped, not read as pixels.
TEST(TgaColourMap, MapOfATrueColourFileIsSkipped) {
    EXPECT_EQ(DecodeTga(Mapped(2, 32, StoredPixels(0x20), 3, 15, CBytes(6, 0xAA))), ExpectedImage());
}

TEST(TgaProbe, NeedsAKnownDepthAndPositiveSize) {
    for (auto [depth, width, height, accepted] : {std::tuple{8, 1, 1, true}, {32, 1, 1, true}, {15, 1, 1, false},
                                                  {24, 0, 1, false}, {24, 1, -1, false}, {24, -5, 1, false}}) {
        Tools::CTgaImage image = Image(2, uint8_t(depth), CBytes(64, 0));
        image.width = int16_t(width);
        image.height = int16_t(height);
        CBitmapIO::CImageData record = Sentinel();
        EXPECT_EQ(Decode(Tools::WriteTga(image), record), accepted) << depth << " " << width << " " << height;
        EXPECT_EQ(record.pixels == Sentinel().pixels, !accepted);
    }
}

TEST(TgaData, BadMapShortDataOrHugeSizeFails) {
    Tools::CTgaImage huge = Image(2, 32, CBytes(100, 0));
    huge.width = huge.height = 32767;
    for (const Tools::CTgaImage& image : {Mapped(1, 8, CBytes(6, 0), 1, 12, CBytes(2, 0)), Image(2, 24, CBytes(17, 0)),
                                          Image(10, 32, {0x81, 1, 2, 3, 4}), huge}) {
        CBitmapIO::CImageData record = Sentinel();
        EXPECT_FALSE(Decode(Tools::WriteTga(image), record));
        EXPECT_TRUE(record.pixels.empty());
    }
}

} // namespace
