// DirectDraw Surface reader: the top level of uncompressed (bit-mask) and
// DXT1-DXT5 compressed images; of a volume, the last slice.

#include <algorithm>
#include <array>

#include "graphics/images/DecodeSupport.h"

namespace CBitmapIO {

namespace {

using namespace Detail;

constexpr uint32_t kFlagPitch = 0x8;
constexpr uint32_t kFlagLinearSize = 0x80000;
constexpr uint32_t kPixelAlpha = 0x1;
constexpr uint32_t kPixelFourCC = 0x4;
constexpr uint32_t kCapsComplex = 0x8;
constexpr uint32_t kCaps2Volume = 0x200000;

enum class EDdsKind { Uncompressed, DXT1, DXT3, DXT5 };

struct CDdsHeader {
    uint32_t flags = 0;
    uint32_t height = 0;
    uint32_t width = 0;
    uint32_t pitchOrLinearSize = 0;
    uint32_t depth = 0;
    uint32_t pixelFlags = 0;
    uint32_t fourCC = 0;
    uint32_t bitsPerPixel = 0;
    std::array<uint32_t, 4> masks{}; // red, green, blue, alpha
    uint32_t caps = 0;
    uint32_t caps2 = 0;
};

CDdsHeader ReadHeader(CByteReader& in) {
    if (in.U32LE() != 0x20534444) throw CDecodeError{"not a DDS file"};
    if (in.U32LE() != 124) throw CDecodeError{"bad header size"};
    CDdsHeader h;
    h.flags = in.U32LE();
    h.height = in.U32LE();
    h.width = in.U32LE();
    h.pitchOrLinearSize = in.U32LE();
    h.depth = in.U32LE();
    in.Skip(4 + 44); // mipmap count, reserved
    if (in.U32LE() != 32) throw CDecodeError{"bad pixel format size"};
    h.pixelFlags = in.U32LE();
    h.fourCC = in.U32LE();
    h.bitsPerPixel = in.U32LE();
    for (uint32_t& mask : h.masks) mask = in.U32LE();
    h.caps = in.U32LE();
    h.caps2 = in.U32LE();
    in.Skip(12);
    if (h.height == 0 || h.width == 0) throw CDecodeError{"empty image size"};
    return h;
}

constexpr uint32_t FourCC(const char (&code)[5]) {
    return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 | uint32_t(uint8_t(code[2])) << 16 |
           uint32_t(uint8_t(code[3])) << 24;
}

EDdsKind KindOf(const CDdsHeader& h) {
    if (!(h.pixelFlags & kPixelFourCC)) return EDdsKind::Uncompressed;
    switch (h.fourCC) {
    case FourCC("DXT1"): return EDdsKind::DXT1;
    case FourCC("DXT2"):
    case FourCC("DXT3"): return EDdsKind::DXT3;
    case FourCC("DXT4"):
    case FourCC("DXT5"): return EDdsKind::DXT5;
    default: throw CDecodeError{"unsupported compression code"};
    }
}

uint64_t BlockBytes(EDdsKind kind) { return kind == EDdsKind::DXT1 ? 8 : 16; }

// Products of header fields saturate, so an absurd size simply exceeds the
// data that is there.
uint64_t Mul(uint64_t a, uint64_t b) {
    uint64_t r;
    return __builtin_mul_overflow(a, b, &r) ? UINT64_MAX : r;
}

// The bytes of image data the file says it holds (read from after the
// header). A depth above 1 is kept only for a volume.
uint64_t StoredDataSize(const CDdsHeader& h, EDdsKind kind, uint64_t& depth) {
    const bool compressed = kind != EDdsKind::Uncompressed;
    const uint64_t w = h.width, hgt = h.height, bpp = h.bitsPerPixel;
    uint64_t size;
    if (h.flags & kFlagLinearSize) {
        size = h.pitchOrLinearSize;
    } else if (h.flags & kFlagPitch) {
        size = Mul(Mul(depth, hgt), Mul(bpp, w) / 8); // the stored pitch value is not used
    } else {
        size = compressed ? Mul(Mul((w + 3) / 4, (hgt + 3) / 4), BlockBytes(kind)) : Mul(Mul(bpp / 8, w), hgt);
    }
    if (depth > 1) {
        if (!((h.caps & kCapsComplex) && (h.caps2 & kCaps2Volume))) depth = 1;
        const uint64_t slice = compressed
            ? Mul(Mul(std::max<uint64_t>(w / 4, 1), std::max<uint64_t>(hgt / 4, 1)), BlockBytes(kind))
            : Mul(Mul(w, hgt), bpp) / 8;
        size = Mul(slice, depth);
    }
    return size;
}

// Channel layout of an uncompressed pixel: the mask's lowest set bit and up
// to 8 consecutive set bits from there (an empty mask reads as 0).
struct CMaskChannel {
    uint32_t mask = 0;
    uint32_t shift = 0;
    uint32_t width = 8;

    explicit CMaskChannel(uint32_t m) : mask(m) {
        if (m == 0) return;
        while (!(m >> shift & 1)) ++shift;
        width = 0;
        while (width < 8 && shift + width < 32 && (m >> (shift + width) & 1)) ++width;
    }
    uint32_t Extract(uint32_t word) const { return ((word & mask) >> shift << (8 - width)) & 0xFF; }
};

// The bytes the decoding reads: one slice of pixels, or every slice of
// blocks (the last one is the one that remains).
uint64_t NeededDataSize(const CDdsHeader& h, EDdsKind kind, uint64_t depth) {
    if (kind == EDdsKind::Uncompressed) {
        const uint32_t bytes = h.bitsPerPixel / 8;
        if (bytes < 1 || bytes > 4) throw CDecodeError{"unsupported bits per pixel"};
        return Mul(Mul(bytes, h.width), h.height);
    }
    return Mul(Mul(Mul((uint64_t(h.width) + 3) / 4, (uint64_t(h.height) + 3) / 4), BlockBytes(kind)), depth);
}

void DecodeUncompressed(const CDdsHeader& h, ByteSpan data, CImageData& image) {
    const uint32_t bytes = h.bitsPerPixel / 8;
    const CMaskChannel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);
    const bool hasAlpha = (h.pixelFlags & kPixelAlpha) != 0;
    const uint8_t* src = data.data();
    for (uint32_t& p : image.pixels) {
        uint32_t word = 0;
        for (uint32_t i = 0; i < bytes; ++i) word |= uint32_t(src[i]) << (8 * i);
        src += bytes;
        uint32_t a = 255;
        if (hasAlpha) {
            a = alpha.Extract(word);
            if (8 - alpha.width >= 7) a = a ? 255 : 0;
            else if (8 - alpha.width >= 4) a |= a >> 4;
        }
        p = PackRGBA(red.Extract(word), green.Extract(word), blue.Extract(word), a);
    }
}

using CBlock = std::array<uint32_t, 16>; // 4 x 4 pixels, row by row

uint32_t Expand565(uint32_t c) { return PackRGBA((c >> 11) << 3, (c >> 5 & 63) << 2, (c & 31) << 3, 255); }

uint32_t Channel(uint32_t p, int lane) { return p >> (8 * lane) & 0xFF; }

// Mixes two colours per channel as (w0 * c0 + w1 * c1 + bias) / divisor.
uint32_t Mix(uint32_t c0, uint32_t c1, uint32_t w0, uint32_t w1, uint32_t bias, uint32_t divisor, uint32_t alpha) {
    uint32_t out = alpha << 24;
    for (int lane = 0; lane < 3; ++lane)
        out |= (w0 * Channel(c0, lane) + w1 * Channel(c1, lane) + bias) / divisor << (8 * lane);
    return out;
}

// A colour block at b[0..7]. DXT1 uses the three-colour form when colour 0 is
// not above colour 1; DXT3 and DXT5 always use four colours.
void DecodeColourBlock(const uint8_t* b, bool allowThreeColour, CBlock& block) {
    const uint32_t v0 = b[0] | b[1] << 8, v1 = b[2] | b[3] << 8;
    const uint32_t c0 = Expand565(v0), c1 = Expand565(v1);
    std::array<uint32_t, 4> palette{c0, c1, 0, 0};
    if (v0 > v1 || !allowThreeColour) {
        palette[2] = Mix(c0, c1, 2, 1, 1, 3, 255);
        palette[3] = Mix(c0, c1, 1, 2, 1, 3, 255);
    } else {
        palette[2] = Mix(c0, c1, 1, 1, 0, 2, 255);
        palette[3] = Mix(c0, c1, 1, 2, 1, 3, 0);
    }
    const uint32_t indices = b[4] | b[5] << 8 | b[6] << 16 | uint32_t(b[7]) << 24;
    for (int i = 0; i < 16; ++i) block[i] = palette[indices >> (2 * i) & 3];
}

void SetAlpha(uint32_t& pixel, uint32_t alpha) { pixel = (pixel & 0x00FFFFFF) | alpha << 24; }

// Explicit 4-bit alphas, one little-endian 16-bit word per row.
void DecodeExplicitAlpha(const uint8_t* b, CBlock& block) {
    for (int y = 0; y < 4; ++y) {
        const uint32_t row = b[2 * y] | b[2 * y + 1] << 8;
        for (int x = 0; x < 4; ++x) SetAlpha(block[4 * y + x], 17 * (row >> (4 * x) & 15));
    }
}

// Two alpha end points and 3-bit indices into an 8-step ramp.
void DecodeInterpolatedAlpha(const uint8_t* b, CBlock& block) {
    const uint32_t a0 = b[0], a1 = b[1];
    std::array<uint32_t, 8> ramp{a0, a1};
    if (a0 > a1) {
        for (uint32_t i = 1; i <= 6; ++i) ramp[i + 1] = ((7 - i) * a0 + i * a1 + 3) / 7;
    } else {
        for (uint32_t i = 1; i <= 4; ++i) ramp[i + 1] = ((5 - i) * a0 + i * a1 + 2) / 5;
        ramp[6] = 0;
        ramp[7] = 255;
    }
    uint64_t indices = 0;
    for (int i = 0; i < 6; ++i) indices |= uint64_t(b[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) SetAlpha(block[i], ramp[indices >> (3 * i) & 7]);
}

// Slices are decoded one after the other into the same pixels, so only the
// last one remains; decoding just that one gives the same image.
void DecodeCompressed(EDdsKind kind, ByteSpan data, uint64_t depth, CImageData& image) {
    const uint32_t blocksWide = (uint32_t(image.width) + 3) / 4, blocksHigh = (uint32_t(image.height) + 3) / 4;
    const uint64_t blockBytes = BlockBytes(kind);
    const uint64_t sliceBytes = uint64_t(blocksWide) * blocksHigh * blockBytes;
    const uint8_t* src = data.data() + sliceBytes * (depth - 1);
    CBlock block;
    for (uint32_t by = 0; by < blocksHigh; ++by) {
        for (uint32_t bx = 0; bx < blocksWide; ++bx, src += blockBytes) {
            if (kind == EDdsKind::DXT1) {
                DecodeColourBlock(src, true, block);
            } else {
                DecodeColourBlock(src + 8, false, block);
                if (kind == EDdsKind::DXT3) DecodeExplicitAlpha(src, block);
                else DecodeInterpolatedAlpha(src, block);
            }
            // Block pixels past the right or bottom edge are dropped.
            for (uint32_t y = 0; y < 4 && by * 4 + y < uint32_t(image.height); ++y)
                for (uint32_t x = 0; x < 4 && bx * 4 + x < uint32_t(image.width); ++x)
                    image.pixels[size_t(by * 4 + y) * size_t(image.width) + bx * 4 + x] = block[4 * y + x];
        }
    }
}

} // namespace

bool LoadDDS(CImageData& record, ByteSpan data, CLoadFailure* failure) {
    return RunGuarded(record, failure, [&](auto start) {
        CByteReader in(data);
        const CDdsHeader h = ReadHeader(in);
        const EDdsKind kind = KindOf(h);
        start();

        CheckedPixelCount(h.width, h.height);
        uint64_t depth = std::max<uint32_t>(h.depth, 1);
        const ByteSpan stored = in.Take(StoredDataSize(h, kind, depth));
        // A stated size smaller than the decoding needs fails here rather
        // than reading past the data.
        if (NeededDataSize(h, kind, depth) > stored.size()) throw CDecodeError{"image data truncated"};
        AllocateImage(record, h.width, h.height);
        if (kind == EDdsKind::Uncompressed) DecodeUncompressed(h, stored, record);
        else DecodeCompressed(kind, stored, depth, record);
    });
}

} // namespace CBitmapIO
