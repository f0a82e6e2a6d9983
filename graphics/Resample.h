#pragma once
// Pixel operations behind hardware textures: box-filter resampling and the
// ordered-dither conversion of 32-bit pixels to packed texture formats.

#include <array>
#include <cstdint>

#include "graphics/BitmapIO.h"

namespace Engine::Graphics {

using CBitmapIO::CImageData;

// destination := a copy of the source in a new array (no pixels when the
// source has none).
void CopyImageData(CImageData& destination, const CImageData& source);

// Scales the source to newWidth x newHeight with an area-weighted box
// filter, all four bytes of a pixel alike. The same size gives a copy. A
// destination that already has the new size keeps its array. An empty
// source, a size of 0 or a failed allocation leaves the destination empty.
void ResampleBitmap(CImageData& destination, const CImageData& source, int32_t newWidth, int32_t newHeight);

// A packed pixel layout: per channel (red, green, blue, alpha) the number of
// bits and the position of the lowest one, and the size of a pixel.
struct CPackedFormat {
    std::array<uint32_t, 4> bits{};
    std::array<uint32_t, 4> shifts{};
    uint32_t bitsPerPixel = 0;
};

// Converts the source into the packed format, each channel with a bit count
// quantised by ordered dithering. A pitch of 0 means tightly packed rows.
// Channels without bits leave their destination bits untouched. Only 8- to
// 32-bit whole-byte pixels are written.
void ConvertToPackedPixels(const CImageData& source, void* destination, int32_t destinationPitch,
                           const CPackedFormat& format);

// Quantises byte `channel` of each source pixel to `bits` bits (at most 8)
// and stores it at destinationShift in each destination pixel, keeping the
// pixel's other bits. Pitches are in bytes.
void DitherChannel(int channel, uint32_t bits, uint32_t destinationShift, const uint32_t* source,
                   uint8_t* destination, int32_t width, int32_t height, int32_t sourcePitch,
                   int32_t destinationPitch, int32_t destinationBytesPerPixel);

// The 128 x 128 threshold matrix (row-major, values 0-63, each 256 times).
constexpr int kDitherSize = 128;
const std::array<uint8_t, kDitherSize * kDitherSize>& GetDitherMatrix();

} // namespace Engine::Graphics
