// PSD (Photoshop) reader: the merged image of greyscale, indexed, RGB and
// CMYK files with 8- or 16-bit samples, raw or PackBits-compressed.

#include "graphics/images/DecodeSupport.h"

namespace CBitmapIO {

namespace {

using namespace Detail;

enum EPsdMode : uint16_t { kGreyscale = 1, kIndexed = 2, kRGB = 3, kCMYK = 4 };

struct CPsdHeader {
    uint16_t channels = 0;
    uint32_t height = 0;
    uint32_t width = 0;
    uint16_t depth = 0;
    uint16_t mode = 0;
};

CPsdHeader ReadHeader(CByteReader& in) {
    if (in.U32BE() != 0x38425053) throw CDecodeError{"not a PSD file"};
    if (in.U16BE() != 1) throw CDecodeError{"unsupported version"};
    in.Skip(6);
    CPsdHeader h;
    h.channels = in.U16BE();
    h.height = in.U32BE();
    h.width = in.U32BE();
    h.depth = in.U16BE();
    h.mode = in.U16BE();
    if (h.channels < 1 || h.channels > 24) throw CDecodeError{"bad channel count"};
    if (h.height < 1 || h.width < 1) throw CDecodeError{"empty image size"};
    if (h.depth != 1 && h.depth != 8 && h.depth != 16) throw CDecodeError{"unsupported bit depth"};
    if (h.mode < kGreyscale || h.mode > kCMYK) throw CDecodeError{"unsupported colour mode"};
    return h;
}

// Indexed files store the table as all reds, then all greens, then all blues.
std::vector<uint32_t> ReadColourTable(ByteSpan data) {
    if (data.size() % 3 != 0) throw CDecodeError{"colour table length not a multiple of 3"};
    const size_t count = data.size() / 3;
    std::vector<uint32_t> table(count);
    for (size_t i = 0; i < count; ++i)
        table[i] = PackRGBA(data[i], data[count + i], data[2 * count + i], 255);
    return table;
}

// Where the image data's samples are read: the compressed form is one
// PackBits stream running across rows and channels, in which a header byte
// h >= 128 repeats the next sample 257 - h times (so 128 gives 129).
struct CPsdSamples {
    CPsdSamples(CByteReader& reader, bool isCompressed, int bytesPerSample)
        : in(reader), compressed(isCompressed), bytes(bytesPerSample) {}

    // The smallest number of bytes that can hold count samples.
    uint64_t MinimumBytes(uint64_t count) const {
        return compressed ? (count + 128) / 129 * (1 + bytes) : count * bytes;
    }

    CByteReader& in;
    bool compressed;
    int bytes;
    bool run = false;
    uint32_t left = 0;
    uint32_t value = 0;
};

uint32_t ReadRawSample(CPsdSamples& s) { return s.bytes == 2 ? s.in.U16BE() : s.in.U8(); }

// The next raw sample: 0-255, or 0-65535 for 16-bit data.
uint32_t ReadPSDSample(CPsdSamples& s) {
    if (!s.compressed) return ReadRawSample(s);
    if (s.left == 0) {
        const uint8_t h = s.in.U8();
        s.run = h >= 128;
        s.left = s.run ? 257 - h : h + 1;
        s.value = ReadRawSample(s);
    } else if (!s.run) {
        s.value = ReadRawSample(s);
    }
    --s.left;
    return s.value;
}

// The number of channel planes each mode reads.
int PlanesToRead(const CPsdHeader& h) {
    switch (h.mode) {
    case kGreyscale:
    case kIndexed:
        if (h.channels != 1 && h.depth != 8) throw CDecodeError{"unsupported channel layout"};
        return 1;
    case kRGB:
        if (h.channels < 3) throw CDecodeError{"RGB image with fewer than 3 channels"};
        return h.channels >= 4 ? 4 : 3;
    default:
        if (h.channels < 4) throw CDecodeError{"CMYK image with fewer than 4 channels"};
        return h.channels >= 5 ? 5 : 4;
    }
}

// Reads one plane into byte `lane` of every pixel (16-bit samples keep
// their most significant byte).
void ReadPlane(CPsdSamples& samples, CImageData& image, int lane, int shift) {
    uint8_t* bytes = reinterpret_cast<uint8_t*>(image.pixels.data());
    for (size_t i = 0; i < image.pixels.size(); ++i) bytes[i * 4 + lane] = uint8_t(ReadPSDSample(samples) >> shift);
}

void DecodePixels(const CPsdHeader& h, const std::vector<uint32_t>& table, CPsdSamples& samples,
                  CImageData& image) {
    const int shift = h.depth == 16 ? 8 : 0;
    switch (h.mode) {
    case kGreyscale:
        for (uint32_t& p : image.pixels) {
            const uint32_t g = ReadPSDSample(samples) >> shift;
            p = PackRGBA(g, g, g, 255);
        }
        break;
    case kIndexed:
        // The whole sample is the index; entries past the table are black.
        for (uint32_t& p : image.pixels) {
            const uint32_t index = ReadPSDSample(samples);
            p = index < table.size() ? table[index] : PackRGBA(0, 0, 0, 255);
        }
        break;
    case kRGB:
        for (int lane = 0; lane < 3; ++lane) ReadPlane(samples, image, lane, shift);
        if (h.channels >= 4) {
            ReadPlane(samples, image, 3, shift);
        } else {
            for (uint32_t& p : image.pixels) p |= 0xFF000000u;
        }
        break;
    default: {
        // Ink amounts as stored: 255 is no ink.
        for (int lane = 0; lane < 4; ++lane) ReadPlane(samples, image, lane, shift);
        for (uint32_t& p : image.pixels) {
            const uint32_t c = p & 0xFF, m = p >> 8 & 0xFF, y = p >> 16 & 0xFF, k = p >> 24;
            p = PackRGBA(c * k / 256, m * k / 256, y * k / 256, h.channels == 4 ? 255 : 0);
        }
        if (h.channels > 4) ReadPlane(samples, image, 3, shift);
        break;
    }
    }
}

} // namespace

bool LoadPSD(CImageData& record, ByteSpan data, CLoadFailure* failure) {
    return RunGuarded(record, failure, [&](auto start) {
        CByteReader in(data);
        const CPsdHeader h = ReadHeader(in);
        start();

        // Only indexed files use the colour-mode data; the others' is skipped
        // so that the sections after it are read from the right place.
        const ByteSpan modeData = in.Take(in.U32BE());
        std::vector<uint32_t> table;
        if (h.mode == kIndexed) table = ReadColourTable(modeData);
        in.Skip(in.U32BE()); // image resources
        in.Skip(in.U32BE()); // layer and mask information
        const bool compressed = in.U16BE() != 0;
        if (h.depth == 1) throw CDecodeError{"1-bit images are not supported"};
        if (compressed) in.Skip(uint64_t(h.channels) * h.height * 2); // row byte counts

        const int planes = PlanesToRead(h);
        CPsdSamples samples(in, compressed, h.depth / 8);
        const uint64_t pixels = CheckedPixelCount(h.width, h.height);
        if (samples.MinimumBytes(pixels * planes) > in.Remaining()) throw CDecodeError{"image data truncated"};
        AllocateImage(record, h.width, h.height);
        DecodePixels(h, table, samples, record);
    });
}

} // namespace CBitmapIO
