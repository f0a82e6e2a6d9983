#include "ImageTestSupport.h"

#include "app/File.h"
#include "graphics/Bitmap.h"

using namespace ImageTest;

namespace {

// A 4 x 2 opaque image in every format; JPEG is lossy.
const std::vector<uint32_t> kPixels{RGBA(255, 0, 0), RGBA(0, 255, 0), RGBA(0, 0, 255),   RGBA(255, 255, 255),
                                    RGBA(0, 0, 0),   RGBA(80, 80, 80), RGBA(160, 0, 160), RGBA(20, 200, 90)};

// Channels in the given byte order, an optional filler byte after each pixel.
template <class T>
std::vector<T> Samples(std::initializer_list<int> order, bool filler = false) {
    std::vector<T> out;
    for (uint32_t p : kPixels) {
        for (int k : order) out.push_back(T(p >> (8 * k) & 0xFF));
        if (filler) out.push_back(0);
    }
    return out;
}

CBytes Png() { return Tools::WritePng({4, 2, Tools::EPngColour::RGB, 8, false, Samples<uint16_t>({0, 1, 2}), {}, {}}); }
CBytes Jpeg() { return Tools::WriteJpeg({4, 2, 3, Samples<uint8_t>({0, 1, 2}), 100, Tools::EJpegMarker::JFIF, false}); }
CBytes Jp2() {
    return Tools::WriteJpeg2000({4, 2, 3, 8, false, Samples<int32_t>({0, 1, 2}), Tools::EJpeg2000Container::JP2});
}
CBytes Psd() {
    Tools::CPsdImage image;
    image.width = 4;
    image.height = 2;
    for (int k : {0, 1, 2})
        for (uint32_t p : kPixels) image.samples.push_back(uint16_t(p >> (8 * k) & 0xFF));
    return Tools::WritePsd(image);
}
CBytes Dds() {
    Tools::CDdsImage image;
    image.width = 4;
    image.height = 2;
    image.bitsPerPixel = 32;
    image.masks = {0xFF, 0xFF00, 0xFF0000, 0};
    image.pixelFlags = 0x40;
    image.data = Samples<uint8_t>({0, 1, 2}, true);
    return Tools::WriteDds(image);
}
CBytes Tga() {
    Tools::CTgaImage image;
    image.width = 4;
    image.height = 2;
    image.depth = 24;
    image.pixelData = Samples<uint8_t>({2, 1, 0});
    return Tools::WriteTga(image);
}

struct Format {
    const char* name;
    CBytes (*make)();
    bool lossy;
};

class ImageFormats : public ::testing::TestWithParam<Format> {};

// Decoding starts at the stream's current position, whatever precedes it.
TEST_P(ImageFormats, AreRecognisedBySignatureFromTheStreamPosition) {
    CBytes bytes{'j', 'u', 'n', 'k'};
    const CBytes image = GetParam().make();
    bytes.insert(bytes.end(), image.begin(), image.end());
    Engine::CMemoryFile file(bytes.data(), bytes.size());
    ASSERT_EQ(file.Seek(4, 0), 0);
    Engine::Graphics::CBitmap::CBitmapFile input(file);
    CBitmapIO::CImageData record;
    ASSERT_TRUE(CBitmapIO::Load(input, record, false));
    ASSERT_EQ(record.width, 4);
    ASSERT_EQ(record.height, 2);
    ExpectNear(record.pixels, kPixels, GetParam().lossy ? 24 : 0);
}

// Every shorter prefix fails, silently (the caller says what failed to
// load; a JPEG cut inside its scan still decodes what it has); no flipped
// byte breaks a decoder.
TEST_P(ImageFormats, TruncatedOrCorruptedDataNeverCrashes) {
    const CBytes image = GetParam().make();
    for (size_t cut = 0; cut < image.size(); ++cut) {
        CLogCapture log;
        CBitmapIO::CImageData record;
        const bool ok = Decode(Prefix(image, cut), record);
        EXPECT_TRUE(GetParam().lossy || !ok) << cut;
        EXPECT_EQ(log.Text(), "") << cut;
    }
    for (size_t at = 0; at < image.size(); ++at) {
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            CBytes corrupt = image;
            corrupt[at] ^= flip;
            CBitmapIO::CImageData record;
            Decode(corrupt, record);
            EXPECT_EQ(record.pixels.size(), size_t(record.width) * size_t(record.height)) << at;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, ImageFormats,
                         ::testing::Values(Format{"PNG", Png, false}, Format{"JPEG", Jpeg, true},
                                           Format{"JPEG2000", Jp2, false}, Format{"PSD", Psd, false},
                                           Format{"DDS", Dds, false}, Format{"TGA", Tga, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ImageLoad, FewerThanEightBytesReachNoDecoder) {
    CBitmapIO::CImageData record = Sentinel();
    EXPECT_FALSE(Decode(Prefix(Png(), 7), record));
    EXPECT_EQ(record.pixels, Sentinel().pixels);
}

} // namespace
