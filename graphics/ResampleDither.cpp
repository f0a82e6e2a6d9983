// Ordered dithering of 32-bit pixels into packed texture formats.

#include <algorithm>
#include <vector>

#include "graphics/Resample.h"

namespace Engine::Graphics {

namespace {

using CDitherMatrix = std::array<uint8_t, kDitherSize * kDitherSize>;

// Cells whose thresholds are fixed: the starts of rows 0, 1 and 64.
struct CFixedRow {
    int row;
    std::array<uint8_t, 16> values;
    int count;
};
constexpr std::array<CFixedRow, 3> kFixedRows{{
    {0, {0, 41, 23, 5, 17, 39, 7, 15, 62, 23, 40, 51, 31, 47, 9, 32}, 16},
    {1, {30, 57, 36, 54, 47, 34, 52, 27, 43, 4, 28, 7, 17, 36, 62, 13}, 16},
    {64, {0, 50, 21, 47, 54, 36, 27, 45}, 8},
}};

bool IsFixed(int index) {
    for (const CFixedRow& fixed : kFixedRows)
        if (index / kDitherSize == fixed.row && index % kDitherSize < fixed.count) return true;
    return false;
}

// The recursive ordered-dither (Bayer) matrix: each doubling puts four
// copies of the smaller matrix, times 4, offset by 0, 2, 3 and 1.
std::vector<uint32_t> BayerMatrix(int size) {
    std::vector<uint32_t> m{0};
    for (int n = 1; n < size; n *= 2) {
        std::vector<uint32_t> next(size_t(4 * n * n));
        static constexpr uint32_t kOffsets[2][2] = {{0, 2}, {3, 1}};
        for (int y = 0; y < 2 * n; ++y)
            for (int x = 0; x < 2 * n; ++x)
                next[size_t(y * 2 * n + x)] = 4 * m[size_t((y % n) * n + x % n)] + kOffsets[y / n][x / n];
        m = std::move(next);
    }
    return m;
}

// The 128 x 128 Bayer matrix scaled to 0-63 (each value 256 times), then
// the fixed cells given their thresholds by swapping with free cells of the
// wanted value, which keeps every value's count.
CDitherMatrix BuildDitherMatrix() {
    const std::vector<uint32_t> bayer = BayerMatrix(kDitherSize);
    CDitherMatrix matrix{};
    for (size_t i = 0; i < matrix.size(); ++i) matrix[i] = uint8_t(bayer[i] >> 8);
    for (const CFixedRow& fixed : kFixedRows) {
        for (int column = 0; column < fixed.count; ++column) {
            const int cell = fixed.row * kDitherSize + column;
            const uint8_t wanted = fixed.values[size_t(column)];
            if (matrix[size_t(cell)] == wanted) continue;
            for (int other = 0; other < int(matrix.size()); ++other) {
                if (matrix[size_t(other)] == wanted && !IsFixed(other)) {
                    std::swap(matrix[size_t(cell)], matrix[size_t(other)]);
                    break;
                }
            }
        }
    }
    return matrix;
}

uint32_t ReadPixel(const uint8_t* p, int32_t bytes) {
    uint32_t value = 0;
    for (int32_t i = 0; i < bytes; ++i) value |= uint32_t(p[i]) << (8 * i);
    return value;
}

void WritePixel(uint8_t* p, int32_t bytes, uint32_t value) {
    for (int32_t i = 0; i < bytes; ++i) p[i] = uint8_t(value >> (8 * i));
}

} // namespace

const CDitherMatrix& GetDitherMatrix() {
    static const CDitherMatrix matrix = BuildDitherMatrix();
    return matrix;
}

void DitherChannel(int channel, uint32_t bits, uint32_t destinationShift, const uint32_t* source,
                   uint8_t* destination, int32_t width, int32_t height, int32_t sourcePitch,
                   int32_t destinationPitch, int32_t destinationBytesPerPixel) {
    // More than 8 bits cannot hold more than the byte has.
    bits = std::min<uint32_t>(bits, 8);
    if (bits == 0 || channel < 0 || channel > 3 || destinationShift >= 32 || destinationBytesPerPixel < 1 ||
        destinationBytesPerPixel > 4)
        return;
    const CDitherMatrix& matrix = GetDitherMatrix();
    const uint32_t drop = 8 - bits, step = 1u << drop, lowMask = step - 1;
    const uint32_t fieldMask = ((1u << bits) - 1) << destinationShift;
    // The per-channel offsets decorrelate the channels' patterns.
    const int rowOffset = 137 * channel, columnOffset = 177 * channel;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = reinterpret_cast<const uint8_t*>(source) + ptrdiff_t(y) * sourcePitch;
        uint8_t* out = destination + ptrdiff_t(y) * destinationPitch;
        const uint8_t* thresholds = matrix.data() + ((y + rowOffset) & (kDitherSize - 1)) * kDitherSize;
        for (int32_t x = 0; x < width; ++x, out += destinationBytesPerPixel) {
            uint32_t v = in[4 * x + channel];
            const uint32_t threshold = (4u * thresholds[(x + columnOffset) & (kDitherSize - 1)]) >> drop;
            // Eight bits lose nothing: the byte is copied as it is, so a
            // transparent texel stays at alpha 0.
            if (drop > 0 && (v & lowMask) >= threshold) v = std::min<uint32_t>(v + step, 255);
            const uint32_t pixel = ReadPixel(out, destinationBytesPerPixel);
            WritePixel(out, destinationBytesPerPixel, (pixel & ~fieldMask) | ((v >> drop) << destinationShift));
        }
    }
}

void ConvertToPackedPixels(const CImageData& source, void* destination, int32_t destinationPitch,
                           const CPackedFormat& format) {
    const int32_t bytesPerPixel = int32_t(format.bitsPerPixel / 8);
    if (!destination || bytesPerPixel < 1 || bytesPerPixel > 4 || source.width <= 0 || source.height <= 0 ||
        source.pixels.size() < size_t(source.width) * size_t(source.height))
        return;
    if (destinationPitch == 0) destinationPitch = bytesPerPixel * source.width;
    for (int channel = 0; channel < 4; ++channel) {
        if (format.bits[size_t(channel)] == 0) continue;
        DitherChannel(channel, format.bits[size_t(channel)], format.shifts[size_t(channel)], source.pixels.data(),
                      static_cast<uint8_t*>(destination), source.width, source.height, source.width * 4,
                      destinationPitch, bytesPerPixel);
    }
}

} // namespace Engine::Graphics
