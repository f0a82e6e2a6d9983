#include "ImageTestSupport.h"

#include <map>

#include "graphics/Resample.h"

using namespace ImageTest;
using namespace Engine::Graphics;

namespace {

CImageData Image(int32_t width, int32_t height, std::vector<uint32_t> pixels) {
    CImageData image;
    image.width = width;
    image.height = height;
    image.pixels = std::move(pixels);
    return image;
}

struct ResampleCase {
    const char* name;
    CImageData source;
    int32_t width, height;
    std::vector<uint32_t> expected;
};

class ResampleSizes : public ::testing::TestWithParam<ResampleCase> {};

TEST_P(ResampleSizes, AverageTheCoveredArea) {
    const ResampleCase& c = GetParam();
    CImageData out;
    ResampleBitmap(out, c.source, c.width, c.height);
    EXPECT_EQ(out.width, c.expected.empty() ? 0 : c.width);
    EXPECT_EQ(out.height, c.expected.empty() ? 0 : c.height);
    EXPECT_EQ(out.pixels, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResampleSizes,
    ::testing::Values(
        // Bytes 0, 1, 2, 3 average to 1 (truncated).
        ResampleCase{"HalveTwoByTwo", Image(2, 2, {0, 0x01010101, 0x02020202, 0x03030303}), 1, 1, {0x01010101}},
        ResampleCase{"EnlargeOneToSixteen", Image(1, 1, {RGBA(10, 20, 255, 40)}), 4, 4,
                     std::vector<uint32_t>(16, RGBA(10, 20, 255, 40))},
        // Weights 1 and 0.5 at scale 1 / 1.5.
        ResampleCase{"ThreeToTwo", Image(3, 1, {RGBA(30, 0, 255, 9), RGBA(60, 3, 255, 9), RGBA(90, 6, 255, 9)}), 2, 1,
                     {RGBA(40, 1, 255, 9), RGBA(80, 5, 255, 9)}},
        ResampleCase{"FourByTwoToTwoByOne", Image(4, 2, {RGBA(0, 0, 0), RGBA(4, 0, 0), RGBA(100, 0, 0), RGBA(200, 0, 0),
                                                          RGBA(8, 0, 0), RGBA(12, 0, 0), RGBA(100, 0, 0), RGBA(0, 0, 0)}),
                     2, 1, {RGBA(6, 0, 0), RGBA(100, 0, 0)}},
        ResampleCase{"EmptySource", Image(0, 0, {}), 2, 2, {}},
        ResampleCase{"ZeroSize", Image(1, 1, {1}), 0, 3, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Resample, SameSizeCopiesAndADestinationOfTheNewSizeKeepsItsArray) {
    const CImageData source = Image(2, 1, {RGBA(1, 2, 3, 4), RGBA(5, 6, 7, 8)});
    CImageData out = Image(1, 1, {0});
    const uint32_t* array = out.pixels.data();
    ResampleBitmap(out, source, 1, 1);
    EXPECT_EQ(out.pixels.data(), array);
    EXPECT_EQ(out.pixels[0], RGBA(3, 4, 5, 6));
    ResampleBitmap(out, source, 2, 1);
    EXPECT_EQ(out.pixels, source.pixels);
    EXPECT_NE(out.pixels.data(), source.pixels.data());
}

// The standard 8 x 8 ordered-dither matrix, from its closed form: the bits
// of (row xor column) and row interleaved, then reversed.
int Bayer8(int row, int column) {
    int interleaved = 0;
    for (int bit = 0; bit < 3; ++bit)
        interleaved |= ((row >> bit & 1) << (2 * bit + 1)) | (((row ^ column) >> bit & 1) << (2 * bit));
    int reversed = 0;
    for (int bit = 0; bit < 6; ++bit) reversed |= (interleaved >> bit & 1) << (5 - bit);
    return reversed;
}

TEST(DitherMatrix, IsTheTiledBayerMatrixWithTheFixedRowStarts) {
    const auto& m = GetDitherMatrix();
    std::map<int, int> counts;
    int differing = 0;
    for (int i = 0; i < kDitherSize * kDitherSize; ++i) {
        ++counts[m[i]];
        differing += m[i] != Bayer8((i / kDitherSize) & 7, i % 8);
    }
    ASSERT_EQ(counts.size(), 64u);
    for (auto [value, count] : counts) EXPECT_EQ(count, 256) << value;
    EXPECT_LE(differing, 2 * 40); // one swap per fixed cell at most

    const std::vector<int> row0{0, 41, 23, 5, 17, 39, 7, 15, 62, 23, 40, 51, 31, 47, 9, 32};
    const std::vector<int> row1{30, 57, 36, 54, 47, 34, 52, 27, 43, 4, 28, 7, 17, 36, 62, 13};
    const std::vector<int> row64{0, 50, 21, 47, 54, 36, 27, 45};
    for (auto [row, values] : {std::pair{0, row0}, {1, row1}, {64, row64}})
        for (size_t x = 0; x < values.size(); ++x) EXPECT_EQ(m[row * kDitherSize + x], values[x]) << row << "," << x;
}

// Channel 2 (blue) into a 4-bit field at shift 4 of 16-bit pixels.
TEST(DitherChannel, RoundsUpWhereTheRemainderReachesTheThreshold) {
    constexpr int kSize = 32;
    const CImageData source = Image(kSize, kSize, std::vector<uint32_t>(kSize * kSize, RGBA(0, 0, 0x88)));
    std::vector<uint16_t> out(kSize * kSize, 0xF00F);
    DitherChannel(2, 4, 4, source.pixels.data(), reinterpret_cast<uint8_t*>(out.data()), kSize, kSize, kSize * 4,
                  kSize * 2, 2);
    const auto& m = GetDitherMatrix();
    std::map<int, int> seen;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const int d = m[((y + 274) & 127) * kDitherSize + ((x + 354) & 127)];
            const int q = out[y * kSize + x] >> 4 & 15;
            EXPECT_EQ(q, 8 >= d / 4 ? 9 : 8) << x << "," << y;
            EXPECT_EQ(out[y * kSize + x] & 0xF00F, 0xF00F);
            ++seen[q];
        }
    }
    EXPECT_EQ(seen.size(), 2u);
}

TEST(DitherChannel, FullBytesStayInRangeAndEightBitsCopyTheByte) {
    const CImageData white = Image(128, 2, std::vector<uint32_t>(256, RGBA(255, 100, 0, 0)));
    std::vector<uint8_t> out(256);
    DitherChannel(0, 4, 0, white.pixels.data(), out.data(), 128, 2, 512, 128, 1);
    for (uint8_t q : out) EXPECT_EQ(q, 15);
    for (int channel : {1, 3}) {
        DitherChannel(channel, 8, 0, white.pixels.data(), out.data(), 128, 2, 512, 128, 1);
        for (int i = 0; i < 256; ++i) EXPECT_EQ(out[i], channel == 1 ? 100 : 0) << channel << "," << i;
    }
}

TEST(ConvertToPackedPixels, KeepsBitsOfMissingChannelsAndStaysInsideRows) {
    const CImageData source = Image(3, 2, std::vector<uint32_t>(6, RGBA(255, 255, 255, 255)));
    CPackedFormat x8r8g8b8{{8, 8, 8, 0}, {16, 8, 0, 0}, 32};
    std::vector<uint32_t> out(6, 0xAB000000);
    ConvertToPackedPixels(source, out.data(), 0, x8r8g8b8);
    for (uint32_t p : out) EXPECT_EQ(p, 0xABFFFFFFu);

    // 16-bit pixels in rows padded to 8 bytes; 10-bit channels hold 8 bits.
    CPackedFormat r5g6b5{{5, 6, 5, 0}, {11, 5, 0, 0}, 16};
    CPackedFormat wide{{10, 0, 0, 0}, {6, 0, 0, 0}, 16};
    for (const CPackedFormat& format : {r5g6b5, wide}) {
        std::vector<uint8_t> bytes(2 * 8 + 4, 0xEE);
        ConvertToPackedPixels(source, bytes.data(), 8, format);
        for (int row = 0; row < 2; ++row)
            for (int i = 6; i < 8; ++i) EXPECT_EQ(bytes[row * 8 + i], 0xEE);
        for (int i = 16; i < 20; ++i) EXPECT_EQ(bytes[i], 0xEE);
        EXPECT_EQ(bytes[0] | bytes[1] << 8, format.bits[1] ? 0xFFFF : 0xFFEE);
    }
}

} // namespace
