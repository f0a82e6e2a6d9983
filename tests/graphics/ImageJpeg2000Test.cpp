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
                                           J2kCase{"Jp2Signed", EJpeg2000Container::JP2, 1, 8, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Only the JP2 signature box makes JPEG 2000: a raw codestream is no image,
// neither through the dispatch nor handed to the decoder itself.
TEST(Jpeg2000Decode, RawCodestreamIsRefused) {
    const J2kCase c{"Codestream", EJpeg2000Container::J2K, 3, 8, false};
    const CBytes codestream = Tools::WriteJpeg2000(MakeImage(c));
    ASSERT_FALSE(codestream.empty());
    EXPECT_EQ(CBitmapIO::DetectFormat(CBitmapIO::ByteSpan(codestream)), CBitmapIO::EImageFormat::UNKNOWN);
    CBitmapIO::CImageData record = Sentinel();
    EXPECT_FALSE(Decode(codestream, record));
    EXPECT_FALSE(CBitmapIO::LoadJPEG2000(record, CBitmapIO::ByteSpan(codestream)));
    EXPECT_TRUE(record.pixels.empty());
}

// A raw codestream whose packets are all empty: a few bytes that decode to
// a blank image of any declared size. With everyTile each tile gets its
// empty tile-part, else only the first has one.
struct CBlank {
    uint32_t width, height, tileWidth, tileHeight;
    uint16_t components;
    bool everyTile = true;
};

CBytes BlankCodestream(const CBlank& b) {
    CBytes out{0xFF, 0x4F};
    auto u16 = [&](uint32_t v) { out.insert(out.end(), {uint8_t(v >> 8), uint8_t(v)}); };
    auto u32 = [&](uint32_t v) { u16(v >> 16); u16(v & 0xFFFF); };
    u16(0xFF51), u16(38 + 3 * b.components), u16(0);
    for (uint32_t v : {b.width, b.height, 0u, 0u, b.tileWidth, b.tileHeight, 0u, 0u}) u32(v);
    u16(b.components);
    for (uint16_t i = 0; i < b.components; ++i) out.insert(out.end(), {7, 1, 1});
    u16(0xFF52), u16(12), out.insert(out.end(), {0, 0, 0, 1, 0, 0, 4, 4, 0, 1});
    u16(0xFF5C), u16(4), out.insert(out.end(), {0x40, 0x40});
    const uint32_t tiles = b.everyTile ? ((b.width + b.tileWidth - 1) / b.tileWidth) *
                                             ((b.height + b.tileHeight - 1) / b.tileHeight)
                                       : 1;
    for (uint32_t tile = 0; tile < tiles; ++tile) {
        u16(0xFF90), u16(10), u16(tile), u32(14 + b.components), out.insert(out.end(), {0, 1});
        u16(0xFF93), out.insert(out.end(), b.components, 0);
    }
    u16(0xFFD9);
    return out;
}

// The codestream in a JP2 file: signature, file type, header and
// codestream boxes.
CBytes InJp2(const CBytes& codestream, const CBlank& b) {
    CBytes out;
    auto u8 = [&](uint32_t v) { out.push_back(uint8_t(v)); };
    auto u16 = [&](uint32_t v) { u8(v >> 8), u8(v); };
    auto u32 = [&](uint32_t v) { u16(v >> 16), u16(v & 0xFFFF); };
    auto type = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    u32(12), type("jP  "), u32(0x0D0A870A);
    u32(20), type("ftyp"), type("jp2 "), u32(0), type("jp2 ");
    u32(8 + 22 + 15), type("jp2h");
    u32(22), type("ihdr"), u32(b.height), u32(b.width), u16(b.components), u8(7), u8(7), u8(0), u8(0);
    u32(15), type("colr"), u8(1), u8(0), u8(0), u32(b.components == 3 ? 16 : 17);
    u32(uint32_t(8 + codestream.size())), type("jp2c");
    out.insert(out.end(), codestream.begin(), codestream.end());
    return out;
}

struct CDeclaredCase {
    const char* name;
    CBlank blank;
    bool decodes;
};

// The library keeps 32-bit samples for the image and for a tile, and a
// record for every tile and component as soon as it reads the header:
// headers declaring too much of either are refused before the library
// reads them.
const CDeclaredCase kDeclared[] = {
    {"OneSmallTile", {16, 16, 16, 16, 4}, true},
    {"TileComponentsAtTheBound", {32, 32, 1, 1, 4}, true},
    {"TileComponentsOverTheBound", {17, 241, 1, 1, 1}, false},
    {"SamplesOverTheCap", {8192, 8192, 8192, 8192, 4}, false},
    // Under the cap in samples, but 60,626 tiles of 267 x 4.
    {"LongStripOfSmallTiles", {16187142, 4, 267, 4, 1, false}, false},
};

class Jpeg2000Declared : public ::testing::TestWithParam<CDeclaredCase> {};

TEST_P(Jpeg2000Declared, HeadersDeclaringTooMuchAreRefused) {
    const CDeclaredCase& c = GetParam();
    CBitmapIO::CImageData record = Sentinel();
    EXPECT_EQ(Decode(InJp2(BlankCodestream(c.blank), c.blank), record), c.decodes);
    const uint64_t pixels = c.decodes ? uint64_t(c.blank.width) * c.blank.height : 0;
    EXPECT_EQ(record.pixels.size(), pixels);
}

INSTANTIATE_TEST_SUITE_P(Headers, Jpeg2000Declared, ::testing::ValuesIn(kDeclared),
                         [](const auto& info) { return std::string(info.param.name) + "Jp2"; });

// A JP2 file without a codestream box, or with a box that runs past the
// end, is refused before the library sees it.
TEST(Jpeg2000Decode, Jp2BoxesAreChecked) {
    const CBlank blank{16, 16, 16, 16, 1};
    const CBytes file = InJp2(BlankCodestream(blank), blank);
    CBitmapIO::CImageData record;
    ASSERT_TRUE(Decode(file, record));
    CBytes longBox = file;
    longBox[12 + 20] = 0x7F;  // the header box runs far past the end
    CBytes noCodestream = file;
    noCodestream[12 + 20 + 45 + 7] = 'x';  // "jp2c" -> "jp2x"
    for (const CBytes& bad : {longBox, noCodestream, Prefix(file, 12 + 20 + 45 + 6)}) {
        record = Sentinel();
        EXPECT_FALSE(Decode(bad, record));
    }
}

} // namespace
