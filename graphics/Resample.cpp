#include "graphics/Resample.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace Engine::Graphics {

namespace {

bool HasPixels(const CImageData& image) {
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() >= size_t(image.width) * size_t(image.height);
}

// Gives the destination a zeroed array of the size; false (and empty) when
// memory runs out.
bool Reallocate(CImageData& destination, int32_t width, int32_t height) {
    CBitmapIO::FreeImage(destination);
    try {
        destination.pixels.resize(size_t(width) * size_t(height));
    } catch (const std::bad_alloc&) {
        return false;
    }
    destination.width = width;
    destination.height = height;
    return true;
}

// The weight of source cell `cell` within the footprint [from, to), whose
// first and last cells are first and last.
float CellWeight(int32_t cell, int32_t first, int32_t last, float from, float to) {
    if (cell == first) return std::min(float(first + 1) - from, to - from);
    if (cell == last) return to - float(cell);
    return 1.0f;
}

} // namespace

void CopyImageData(CImageData& destination, const CImageData& source) {
    if (&destination == &source) return;
    try {
        destination.pixels = source.pixels;
    } catch (const std::bad_alloc&) {
        CBitmapIO::FreeImage(destination);
        return;
    }
    destination.width = source.width;
    destination.height = source.height;
}

void ResampleBitmap(CImageData& destination, const CImageData& source, int32_t newWidth, int32_t newHeight) {
    if (&destination == &source) return;
    if (newWidth == source.width && newHeight == source.height) {
        CopyImageData(destination, source);
        return;
    }
    if (!HasPixels(source) || newWidth <= 0 || newHeight <= 0) {
        CBitmapIO::FreeImage(destination);
        return;
    }
    const float sx = float(source.width) / float(newWidth), sy = float(source.height) / float(newHeight);
    const float scale = 1.0f / (sx * sy);
    const bool sized = destination.width == newWidth && destination.height == newHeight &&
                       destination.pixels.size() == size_t(newWidth) * size_t(newHeight);
    if (!sized && !Reallocate(destination, newWidth, newHeight)) return;

    uint32_t* out = destination.pixels.data();
    for (int32_t j = 0; j < newHeight; ++j) {
        const float y0 = float(j) * sy, y1 = float(j + 1) * sy;
        const int32_t r0 = std::min(int32_t(std::floor(y0)), source.height - 1);
        const int32_t r1 = std::min(int32_t(std::floor(y1)), source.height - 1);
        for (int32_t i = 0; i < newWidth; ++i, ++out) {
            const float x0 = float(i) * sx, x1 = float(i + 1) * sx;
            const int32_t c0 = std::min(int32_t(std::floor(x0)), source.width - 1);
            const int32_t c1 = std::min(int32_t(std::floor(x1)), source.width - 1);
            std::array<float, 4> sums{};
            for (int32_t r = r0; r <= r1; ++r) {
                const float wy = CellWeight(r, r0, r1, y0, y1);
                const uint32_t* row = source.pixels.data() + size_t(r) * size_t(source.width);
                for (int32_t n = c0; n <= c1; ++n) {
                    const float wx = CellWeight(n, c0, c1, x0, x1);
                    for (int k = 0; k < 4; ++k) sums[k] += float(row[n] >> (8 * k) & 0xFF) * wx * wy;
                }
            }
            uint32_t pixel = 0;
            for (int k = 0; k < 4; ++k) pixel |= uint32_t(std::clamp(int32_t(sums[k] * scale), 0, 255)) << (8 * k);
            *out = pixel;
        }
    }
}

} // namespace Engine::Graphics
