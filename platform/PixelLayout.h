#pragma once
// Packed pixels of the Direct3D stand-ins' surfaces, by channel masks.

#include <cstddef>
#include <cstdint>

namespace Platform::Gl {

// A packed pixel layout: bytes per pixel and the four channel masks.
struct CPixelLayout {
    int bytes = 4;
    uint32_t alpha = 0, red = 0, green = 0, blue = 0;
};
// Between packed pixels and R, G, B, A bytes; a layout without alpha reads
// as opaque.
void UnpackPixels(const CPixelLayout& layout, const uint8_t* packed, uint8_t* rgba, size_t count);
void PackPixels(const CPixelLayout& layout, const uint8_t* rgba, uint8_t* packed, size_t count);

} // namespace Platform::Gl
