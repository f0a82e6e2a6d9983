// Truevision TGA reader: true-colour (16, 24, 32 bits), greyscale and
// colour-mapped 8-bit images, raw or run-length encoded, in any orientation.

#include <array>

#include "graphics/images/DecodeSupport.h"

namespace CBitmapIO {

namespace {

using namespace Detail;

constexpr size_t kHeaderSize = 18;
constexpr size_t kMaxMapEntries = 256;

struct CTgaHeader {
    uint8_t idLength = 0;
    uint8_t mapType = 0;
    uint8_t imageType = 0;
    uint16_t mapLength = 0;
    uint8_t mapEntryBits = 0;
    int16_t width = 0;
    int16_t height = 0;
    uint8_t depth = 0;
    uint8_t descriptor = 0;

    bool IsRLE() const { return (imageType & 8) != 0; }
    bool IsGreyscale() const { return (imageType & ~8) == 3; }
    bool IsColourMapped() const { return depth == 8 && !IsGreyscale(); }
    bool IsTopDown() const { return (descriptor & 0x20) != 0; }
    bool IsRightToLeft() const { return (descriptor & 0x10) != 0; }
};

CTgaHeader ReadHeader(ByteSpan data) {
    CByteReader in(data);
    CTgaHeader h;
    h.idLength = in.U8();
    h.mapType = in.U8();
    h.imageType = in.U8();
    in.Skip(2); // first map index
    h.mapLength = in.U16LE();
    h.mapEntryBits = in.U8();
    in.Skip(4); // origin
    h.width = int16_t(in.U16LE());
    h.height = int16_t(in.U16LE());
    h.depth = in.U8();
    h.descriptor = in.U8();
    return h;
}

bool PassesProbe(const CTgaHeader& h) {
    return (h.depth == 8 || h.depth == 16 || h.depth == 24 || h.depth == 32) && h.width > 0 && h.height > 0;
}

// A 16-bit x1R5G5B5 value; the attribute bit is ignored.
uint32_t Expand555(uint32_t v) {
    return PackRGBA((v >> 10 & 31) * 8, (v >> 5 & 31) * 8, (v & 31) * 8, 255);
}

// Reads the colour map of a colour-mapped image. Entries past 256 cannot be
// indexed by an 8-bit pixel and are read over.
std::vector<uint32_t> ReadColourMap(CByteReader& in, const CTgaHeader& h) {
    std::vector<uint32_t> map;
    for (size_t i = 0; i < h.mapLength; ++i) {
        uint32_t colour = 0;
        switch (h.mapEntryBits) {
        case 15:
        case 16: colour = Expand555(in.U16LE()); break;
        case 24: {
            const ByteSpan b = in.Take(3);
            colour = PackRGBA(b[2], b[1], b[0], 255);
            break;
        }
        case 32: {
            const ByteSpan b = in.Take(4);
            colour = PackRGBA(b[2], b[1], b[0], b[3]);
            break;
        }
        default: throw CDecodeError{"unsupported colour map entry size"};
        }
        if (map.size() < kMaxMapEntries) map.push_back(colour);
    }
    return map;
}

// Where the pixels are read, in file order, each as up to 4 raw bytes.
// Run-length packets may cross rows: a header byte h >= 128 repeats one
// pixel h - 127 times, otherwise h + 1 raw pixels follow.
struct CTgaPixels {
    CTgaPixels(CByteReader& reader, bool isRLE, int bytesPerPixel) : in(reader), rle(isRLE), bytes(bytesPerPixel) {}

    uint64_t MinimumBytes(uint64_t count) const {
        return rle ? (count + 127) / 128 * (1 + bytes) : count * bytes;
    }

    CByteReader& in;
    bool rle;
    int bytes;
    bool run = false;
    uint32_t left = 0;
    std::array<uint8_t, 4> pixel{};
};

void ReadRawPixel(CTgaPixels& p) {
    const ByteSpan b = p.in.Take(p.bytes);
    std::copy(b.begin(), b.end(), p.pixel.begin());
}

const std::array<uint8_t, 4>& ReadTGAPixel(CTgaPixels& p) {
    if (!p.rle) {
        ReadRawPixel(p);
    } else if (p.left == 0) {
        const uint8_t h = p.in.U8();
        p.run = h >= 128;
        p.left = p.run ? h - 127 : h + 1;
        ReadRawPixel(p);
    } else if (!p.run) {
        ReadRawPixel(p);
    }
    if (p.rle) --p.left;
    return p.pixel;
}

uint32_t ConvertPixel(const CTgaHeader& h, const std::vector<uint32_t>& map, const std::array<uint8_t, 4>& b) {
    switch (h.depth) {
    case 32: return PackRGBA(b[2], b[1], b[0], b[3]);
    case 24: return PackRGBA(b[2], b[1], b[0], 255);
    case 16: return Expand555(uint32_t(b[0] | b[1] << 8));
    default:
        if (h.IsGreyscale()) return PackRGBA(b[0], b[0], b[0], 255);
        // An index past the map has no colour.
        return b[0] < map.size() ? map[b[0]] : 0;
    }
}

void DecodePixels(const CTgaHeader& h, const std::vector<uint32_t>& map, CTgaPixels& pixels, CImageData& image) {
    const int32_t width = image.width, height = image.height;
    for (int32_t row = 0; row < height; ++row) {
        const int32_t y = h.IsTopDown() ? row : height - 1 - row;
        uint32_t* out = image.pixels.data() + size_t(y) * size_t(width);
        for (int32_t column = 0; column < width; ++column) {
            const int32_t x = h.IsRightToLeft() ? width - 1 - column : column;
            out[x] = ConvertPixel(h, map, ReadTGAPixel(pixels));
        }
    }
}

} // namespace

bool IsTGA(ByteSpan data) {
    return data.size() >= kHeaderSize && PassesProbe(ReadHeader(data));
}

bool LoadTGA(CImageData& record, ByteSpan data, CLoadFailure* failure) {
    return RunGuarded(record, failure, [&](auto start) {
        if (!IsTGA(data)) throw CDecodeError{"not a TGA image"};
        const CTgaHeader h = ReadHeader(data);
        start();

        CByteReader in(data);
        in.Skip(kHeaderSize + h.idLength);
        std::vector<uint32_t> map;
        if (h.IsColourMapped()) {
            map = ReadColourMap(in, h);
        } else if (h.mapType != 0) {
            // True-colour and greyscale files may still carry a map: skip it.
            in.Skip(uint64_t(h.mapLength) * ((h.mapEntryBits + 7) / 8));
        }
        CTgaPixels pixels(in, h.IsRLE(), h.depth / 8);
        if (pixels.MinimumBytes(CheckedPixelCount(h.width, h.height)) > in.Remaining())
            throw CDecodeError{"image data truncated"};
        AllocateImage(record, h.width, h.height);
        DecodePixels(h, map, pixels, record);
    });
}

} // namespace CBitmapIO
