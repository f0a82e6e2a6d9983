#include "ImageTestSupport.h"

using namespace ImageTest;

namespace {

constexpr uint32_t kWidth = 16, kHeight = 8;

// Smooth content compresses almost exactly at quality 100.
Tools::CJpegImage MakeImage(int components, Tools::EJpegMarker marker = Tools::EJpegMarker::JFIF) {
    Tools::CJpegImage image{kWidth, kHeight, components, {}, 100, marker, false};
    for (uint32_t i = 0; i < kWidth * kHeight; ++i)
        for (int c = 0; c < components; ++c) image.samples.push_back(uint8_t(40 + 8 * (i % kWidth) + 4 * (i / kWidth) + 30 * c));
    return image;
}

class JpegDecode : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(JpegDecode, GivesTheImageWithinTolerance) {
    auto [components, progressive] = GetParam();
    Tools::CJpegImage image = MakeImage(components);
    image.progressive = progressive;
    CBitmapIO::CImageData record;
    ASSERT_TRUE(Decode(Tools::WriteJpeg(image), record));
    ASSERT_EQ(record.width, int(kWidth));
    std::vector<uint32_t> expected;
    for (size_t i = 0; i < kWidth * kHeight; ++i) {
        const uint8_t* s = &image.samples[i * components];
        expected.push_back(components == 1 ? RGBA(s[0], s[0], s[0]) : RGBA(s[0], s[1], s[2]));
    }
    ExpectNear(record.pixels, expected, 4);
}

INSTANTIATE_TEST_SUITE_P(GreyAndColour, JpegDecode, ::testing::Combine(::testing::Values(1, 3), ::testing::Bool()));

TEST(JpegAlphaMode, FirstComponentBecomesAlpha) {
    for (int components : {1, 3}) {
        const Tools::CJpegImage image = MakeImage(components);
        CBitmapIO::CImageData record{kWidth, kHeight, std::vector<uint32_t>(kWidth * kHeight, RGBA(1, 2, 3, 4))};
        ASSERT_TRUE(Decode(Tools::WriteJpeg(image), record, true));
        for (size_t i = 0; i < record.pixels.size(); ++i) {
            EXPECT_EQ(record.pixels[i] & 0xFFFFFF, RGBA(1, 2, 3) & 0xFFFFFF);
            EXPECT_NEAR(int(Alpha(record.pixels[i])), image.samples[i * components], 4);
        }
    }
}

// Only a JFIF start is recognised; an Exif JPEG reaches the TGA probe, whose
// "II*" bytes pass it, and the TGA decoder then refuses the data. CMYK
// (starting with an Adobe marker) is refused by the decoder itself.
TEST(JpegDecode, ExifIsNotRecognisedAndCmykIsRefused) {
    const CBytes exif = Tools::WriteJpeg(MakeImage(3, Tools::EJpegMarker::Exif)), cmyk = Tools::WriteJpeg(MakeImage(4));
    CBitmapIO::CImageData record = Sentinel();
    EXPECT_TRUE(CBitmapIO::IsTGA(CBitmapIO::ByteSpan(exif)));
    EXPECT_FALSE(Decode(exif, record));
    EXPECT_TRUE(CBitmapIO::LoadJPEG(record, CBitmapIO::ByteSpan(exif), false));
    EXPECT_FALSE(CBitmapIO::LoadJPEG(record, CBitmapIO::ByteSpan(cmyk), false));
    EXPECT_TRUE(record.pixels.empty());
}

TEST(JpegDecode, TruncatedScanStillDecodesButNoDataFails) {
    const CBytes bytes = Tools::WriteJpeg(MakeImage(3));
    CBitmapIO::CImageData record;
    EXPECT_TRUE(Decode(Prefix(bytes, bytes.size() - 40), record));
    EXPECT_EQ(record.width, int(kWidth));
    EXPECT_FALSE(Decode(Prefix(bytes, 60), record)); // inside the tables
    EXPECT_TRUE(record.pixels.empty());
    EXPECT_FALSE(CBitmapIO::LoadJPEG(record, {}, false));
}

} // namespace
