// An effect file's picture that does not decode is named in the log with
// the decoder's reason, once, however often its textures are made again.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

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

// The document read as "fx/glow.vexa" into a library over a device, with
// the log captured.
struct CDeviceFile {
    explicit CDeviceFile(const Tools::CVexaDocument& document) {
        library.Init(&device);
        file = ReadVexa(Tools::WriteVexa(document), &library, "fx/glow.vexa");
    }
    CFakeDevice device;
    CVexaParticleLibrary library;
    std::unique_ptr<CVexaFile> file;
    TestFiles::CLogCapture log;
};

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
    CDeviceFile read(document);
    // Made, then lost and made again with the device, as after a restore.
    read.file->CreateTextures();
    read.file->DestroyTextures();
    read.file->CreateTextures();
    const std::string line = std::string("[00:00:00] Unable to load .vexa ") + (GetParam().mesh ? "bitmap image" : "shape image") +
                             " in 'fx/glow.vexa', " + (GetParam().mesh ? "bitmap 7" : "shape 5") + ": its " +
                             std::to_string(data.size()) + GetParam().description + "\n";
    EXPECT_EQ(read.log.Text(), line);
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

// A file of many refused pictures of each kind writes ten lines of each, then
// one count line each, not a line a picture.
TEST(VexaRefusedPicturesTest, ManyAreFoldedIntoACountLine) {
    Tools::CVexaDocument document;
    for (uint32_t i = 0; i < 25; ++i) {
        document.shapes.push_back({"glow", i + 1, {{kUnknown, 8, 8}}, {}, {}});
        document.meshes.bitmaps.push_back({i + 1, "skin", kUnknown});
    }
    CDeviceFile read(document);
    read.file->CreateTextures();
    const std::string text = read.log.Text();
    const auto lines = [&text](const std::string& part) {
        size_t count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
        return count;
    };
    EXPECT_EQ(lines("\n"), 22u) << text;
    EXPECT_EQ(lines("in 'fx/glow.vexa', shape "), 10u);
    EXPECT_EQ(lines("in 'fx/glow.vexa', bitmap "), 10u);
    EXPECT_NE(text.find("] Unable to load .vexa shape image in 'fx/glow.vexa' : 15 more skipped\n"), std::string::npos);
    EXPECT_NE(text.find("] Unable to load .vexa bitmap image in 'fx/glow.vexa' : 15 more skipped\n"), std::string::npos);
}

} // namespace
} // namespace VexaTest
