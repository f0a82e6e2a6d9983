#pragma once
// Writers of the image formats the engine reads, for tests and data tools.
// PSD, DDS and TGA are serialised from their fields as given (so callers
// can also make malformed files); PNG, JPEG and JPEG 2000 are encoded by
// their libraries. Encoders return an empty vector when the library fails.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace Tools {

using CBytes = std::vector<uint8_t>;

// The rows of a picture too big to hold whole, asked for top first: fills
// row y's 8-bit samples, channels interleaved, into a row of the right size.
using CRowSource = std::function<void(uint32_t y, std::vector<uint8_t>& row)>;

// --- PNG (libpng) ---
enum class EPngColour : int { Grey = 0, RGB = 2, Palette = 3, GreyAlpha = 4, RGBA = 6 };

struct CPngImage {
    uint32_t width = 0;
    uint32_t height = 0;
    EPngColour colour = EPngColour::RGB;
    int bitDepth = 8;
    bool interlaced = false;
    // One value per sample, rows top first, channels interleaved.
    std::vector<uint16_t> samples;
    std::vector<std::array<uint8_t, 3>> palette;
    // tRNS: one alpha per palette entry, or the transparent grey / RGB key.
    std::vector<uint16_t> transparency;
};
CBytes WritePng(const CPngImage& image);
// The image's size and colour at 8 bits, not interlaced, without tRNS; its
// samples are not used.
CBytes WritePngRows(const CPngImage& image, const CRowSource& rows);

// --- JPEG (libjpeg) ---
enum class EJpegMarker { JFIF, Exif };

struct CJpegImage {
    uint32_t width = 0;
    uint32_t height = 0;
    int components = 3; // 1 grey, 3 RGB, 4 CMYK
    std::vector<uint8_t> samples; // interleaved, rows top first
    int quality = 100;
    EJpegMarker marker = EJpegMarker::JFIF; // Exif: an APP1 "II" block instead of JFIF
    bool progressive = false;
};
CBytes WriteJpeg(const CJpegImage& image);
// The image's size, components and markers; its samples are not used.
CBytes WriteJpegRows(const CJpegImage& image, const CRowSource& rows);

// --- JPEG 2000 (OpenJPEG, lossless) ---
enum class EJpeg2000Container { JP2, J2K };

struct CJpeg2000Image {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t components = 3;
    uint32_t precision = 8;
    bool isSigned = false;
    std::vector<int32_t> samples; // interleaved, rows top first
    EJpeg2000Container container = EJpeg2000Container::JP2;
};
CBytes WriteJpeg2000(const CJpeg2000Image& image);
// A JP2 of width x height in one 8-bit RGB colour, encoded a tile at a time
// so that no more than a tile is ever held.
CBytes WritePlainJpeg2000(uint32_t width, uint32_t height, std::array<uint8_t, 3> colour);

// --- PSD ---
struct CPsdImage {
    uint16_t version = 1;
    uint16_t channels = 3;
    uint32_t height = 0;
    uint32_t width = 0;
    uint16_t depth = 8;
    uint16_t mode = 3; // 1 grey, 2 indexed, 3 RGB, 4 CMYK
    CBytes colourModeData;
    CBytes imageResources;
    CBytes layerInfo;
    bool compressed = false;
    // Planar: all samples of channel 0, then channel 1, ... (8 or 16 bits).
    std::vector<uint16_t> samples;
};
CBytes WritePsd(const CPsdImage& image);

// --- DDS ---
constexpr uint32_t MakeFourCC(const char (&code)[5]) {
    return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 | uint32_t(uint8_t(code[2])) << 16 |
           uint32_t(uint8_t(code[3])) << 24;
}

struct CDdsImage {
    uint32_t headerSize = 124;
    uint32_t flags = 0x1007; // caps, height, width, pixel format
    uint32_t height = 0;
    uint32_t width = 0;
    uint32_t pitchOrLinearSize = 0;
    uint32_t depth = 0;
    uint32_t mipMapCount = 0;
    uint32_t pixelFormatSize = 32;
    uint32_t pixelFlags = 0;
    uint32_t fourCC = 0;
    uint32_t bitsPerPixel = 0;
    std::array<uint32_t, 4> masks{}; // red, green, blue, alpha
    uint32_t caps = 0x1000;
    uint32_t caps2 = 0;
    CBytes data;
};
CBytes WriteDds(const CDdsImage& image);

// --- TGA ---
struct CTgaImage {
    CBytes id;
    uint8_t mapType = 0;
    uint8_t imageType = 2;
    uint16_t mapFirst = 0;
    uint16_t mapLength = 0;
    uint8_t mapEntryBits = 0;
    int16_t width = 0;
    int16_t height = 0;
    uint8_t depth = 32;
    uint8_t descriptor = 0x20; // top-down
    CBytes colourMap;
    CBytes pixelData; // as stored (raw or run-length encoded)
};
CBytes WriteTga(const CTgaImage& image);
// Run-length encodes pixels of bytesPerPixel bytes into TGA packets.
CBytes EncodeTgaRle(const CBytes& pixels, int bytesPerPixel);

} // namespace Tools
