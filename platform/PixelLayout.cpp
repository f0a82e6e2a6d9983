#include "platform/PixelLayout.h"

#include <cstring>

namespace Platform::Gl {

namespace {

int LowestBit(uint32_t mask) {
    int shift = 0;
    while (mask && !(mask & 1u)) mask >>= 1, ++shift;
    return shift;
}

uint8_t Extract(uint32_t pixel, uint32_t mask) {
    if (!mask) return 255;
    const int shift = LowestBit(mask);
    const uint32_t maximum = mask >> shift;
    return uint8_t(((pixel & mask) >> shift) * 255u / maximum);
}

uint32_t Insert(uint8_t value, uint32_t mask) {
    if (!mask) return 0;
    const int shift = LowestBit(mask);
    const uint32_t maximum = mask >> shift;
    return ((uint32_t(value) * maximum + 127u) / 255u) << shift;
}

} // namespace

void UnpackPixels(const CPixelLayout& layout, const uint8_t* packed, uint8_t* rgba, size_t count) {
    for (size_t i = 0; i < count; ++i, packed += layout.bytes, rgba += 4) {
        uint32_t pixel = 0;
        std::memcpy(&pixel, packed, size_t(layout.bytes));
        rgba[0] = Extract(pixel, layout.red);
        rgba[1] = Extract(pixel, layout.green);
        rgba[2] = Extract(pixel, layout.blue);
        rgba[3] = Extract(pixel, layout.alpha);
    }
}

void PackPixels(const CPixelLayout& layout, const uint8_t* rgba, uint8_t* packed, size_t count) {
    for (size_t i = 0; i < count; ++i, packed += layout.bytes, rgba += 4) {
        const uint32_t pixel = Insert(rgba[0], layout.red) | Insert(rgba[1], layout.green) |
                               Insert(rgba[2], layout.blue) | Insert(rgba[3], layout.alpha);
        std::memcpy(packed, &pixel, size_t(layout.bytes));
    }
}

} // namespace Platform::Gl
