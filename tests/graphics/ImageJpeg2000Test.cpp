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

} // namespace
