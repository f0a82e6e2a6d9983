#include "ImageTestSupport.h"

using namespace ImageTest;
using Tools::EJpeg2000Container;

namespace {

constexpr uint32_t kWidth = 7, kHeight = 5;

struct J2kCase {
    const char* name;
    EJpeg2000Container container;
    uint32_t components;
    uint32_t precision;
    bool isSigned;
};

int32_t Sample(const J2kCase& c, uint32_t i, uint32_t component) {
    const int32_t range = 1 << c.precision;
    const int32_t v = int32_t((i * 37 + component * 101) * 97 % uint32_t(range));
    return c.isSigned ? v - range / 2 : v;
}

Tools::CJpeg2000Image MakeImage(const J2kCase& c) {
    Tools::CJpeg2000Image image{kWidth, kHeight, c.components, c.precision, c.isSigned, {}, c.container};
    for (uint32_t i = 0; i < kWidth * kHeight; ++i)
        for (uint32_t k = 0; k < c.components; ++k) image.samples.push_back(Sample(c, i, k));
    return image;
}

// Signed samples are offset to unsigned; more than 8 bits are shifted down.
uint32_t To8(const J2kCase& c, int32_t v) {
    if (c.isSigned) v += 1 << (c.precision - 1);
    return uint32_t(c.precision > 8 ? v >> (c.precision - 8) : v);
}

class Jpeg2000Decode : public ::testing::TestWithParam<J2kCase> {};

TEST_P(Jpeg2000Decode, IsLossless) {
    const J2kCase& c = GetParam();
    const CBytes bytes = Tools::WriteJpeg2000(MakeImage(c));
    ASSERT_FALSE(bytes.empty());
    CBitmapIO::CImageData record;
    ASSERT_TRUE(Decode(bytes, record));
    ASSERT_EQ(record.width, int(kWidth));
    ASSERT_EQ(record.height, int(kHeight));
    for (uint32_t i = 0; i < kWidth * kHeight; ++i) {
        // Three components are RGB; any other count shows the first as grey.
        const uint32_t r = To8(c, Sample(c, i, 0));
        const uint32_t expected =
            c.components == 3 ? RGBA(r, To8(c, Sample(c, i, 1)), To8(c, Sample(c, i, 2))) : RGBA(r, r, r);
        EXPECT_EQ(record.pixels[i], expected) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Images, Jpeg2000Decode,
                         ::testing::Values(J2kCase{"Jp2Rgb", EJpeg2000Container::JP2, 3, 8, false},
                                           J2kCase{"Jp2Grey", EJpeg2000Container::JP2, 1, 8, false},
                                           J2kCase{"Jp2TwoComponents", EJpeg2000Container::JP2, 2, 8, false},
                                           J2kCase{"Jp2Precision12", EJpeg2000Container::JP2, 3, 12, false},
                                           J2kCase{"Jp2Signed", EJpeg2000Container::JP2, 1, 8, true},
                                           J2kCase{"Codestream", EJpeg2000Container::J2K, 3, 8, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A raw codestream of one tile whose packets are all empty: a few bytes
// that decode to a blank image of any declared size.
CBytes BlankCodestream(uint32_t size, uint16_t components) {
    CBytes out{0xFF, 0x4F};
    auto u16 = [&](uint32_t v) { out.insert(out.end(), {uint8_t(v >> 8), uint8_t(v)}); };
    auto u32 = [&](uint32_t v) { u16(v >> 16); u16(v & 0xFFFF); };
    u16(0xFF51), u16(38 + 3 * components), u16(0);
    for (uint32_t v : {size, size, 0u, 0u, size, size, 0u, 0u}) u32(v);
    u16(components);
    for (uint16_t i = 0; i < components; ++i) out.insert(out.end(), {7, 1, 1});
    u16(0xFF52), u16(12), out.insert(out.end(), {0, 0, 0, 1, 0, 0, 4, 4, 0, 1});
    u16(0xFF5C), u16(4), out.insert(out.end(), {0x40, 0x40});
    u16(0xFF90), u16(10), u16(0), u32(14 + components), out.insert(out.end(), {0, 1});
    u16(0xFF93), out.insert(out.end(), components, 0);
    u16(0xFFD9);
    return out;
}

// The library keeps 32-bit samples: four components of 8192 x 8192 would
// take a gigabyte, so such a header is refused before decoding.
TEST(Jpeg2000Decode, DeclaredSizeBeyondTheCapIsRefused) {
    CBitmapIO::CImageData record;
    ASSERT_TRUE(Decode(BlankCodestream(16, 4), record));
    EXPECT_EQ(record.pixels.size(), 256u);
    EXPECT_FALSE(Decode(BlankCodestream(8192, 4), record));
    EXPECT_TRUE(record.pixels.empty());
}

} // namespace
