// An effect file's picture that does not decode is named in the log with
// the decoder's reason, once, however often its textures are made again.

#include <gtest/gtest.h>

#include <algorithm>

#include "VexaTestSupport.h"
#include "particles/library/VexaParticleLibrary.h"
#include "tests/app/TestFiles.h"
#include "tools/ImageWriter.h"

namespace VexaTest {
namespace {

// A small JPEG whose frame header declares 16,384 x 16,384.
Bytes OversizedJpeg() {
    Tools::CJpegImage image;
    image.width = image.height = 8;
    image.components = 1;
    image.samples.assign(64, 128);
    Bytes bytes = Tools::WriteJpeg(image);
    const uint8_t frame[] = {0xFF, 0xC0};
    const auto at = std::search(bytes.begin(), bytes.end(), std::begin(frame), std::end(frame));
    // Marker, length and precision, then height and width, big-endian.
    for (size_t i : {5u, 7u}) {
        at[std::ptrdiff_t(i)] = 0x40;
        at[std::ptrdiff_t(i) + 1] = 0x00;
    }
    return bytes;
}

Bytes TruncatedPng() {
    Bytes bytes = SmallPng();
    bytes.resize(40);
    return bytes;
}

struct CRefusedPicture {
    const char* name;
    Bytes (*data)();
    bool mesh; // a mesh bitmap, else a shape's image
    const char* description; // after "its N bytes"
};

class VexaRefusedPictureTest : public ::testing::TestWithParam<CRefusedPicture> {};

TEST_P(VexaRefusedPictureTest, IsLoggedOnceWithItsNameAndReason) {
    const Bytes data = GetParam().data();
    Tools::CVexaDocument document;
    if (GetParam().mesh) document.meshes.bitmaps = {{7, "skin", data}};
    else document.shapes = {{"glow", 5, {{data, 8, 8}}, {}, {}}};
    CFakeDevice device;
    CVexaParticleLibrary library;
    library.Init(&device);
    const auto file = ReadVexa(Tools::WriteVexa(document), &library, "fx/glow.vexa");
    TestFiles::CLogCapture log;
    // Made, then lost and made again with the device, as after a restore.
    file->CreateTextures();
    file->DestroyTextures();
    file->CreateTextures();
    const std::string line = std::string("[00:00:00] Unable to load .vexa ") + (GetParam().mesh ? "bitmap image" : "shape image") +
                             " in 'fx/glow.vexa', " + (GetParam().mesh ? "bitmap 7" : "shape 5") + ": its " +
                             std::to_string(data.size()) + GetParam().description + "\n";
    EXPECT_EQ(log.Text(), line);
}

const Bytes kUnknown{1, 2, 3, 4, 5, 6, 7, 8};

INSTANTIATE_TEST_SUITE_P(
    Pictures, VexaRefusedPictureTest,
    ::testing::Values(
        CRefusedPicture{"ShapeTooLarge", OversizedJpeg, false, " bytes of JPEG data do not decode: image too large"},
        CRefusedPicture{"MeshTooLarge", OversizedJpeg, true, " bytes of JPEG data do not decode: image too large"},
        CRefusedPicture{"ShapeCutShort", TruncatedPng, false, " bytes of PNG data do not decode: read Error"},
        CRefusedPicture{"MeshCutShort", TruncatedPng, true, " bytes of PNG data do not decode: read Error"},
        CRefusedPicture{"ShapeUnknown", [] { return kUnknown; }, false, " bytes are in no known image format"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace VexaTest
