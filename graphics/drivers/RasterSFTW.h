#pragma once
// The software driver's drawing core: solid and textured axis-aligned
// rectangles and affinely textured triangles, written into a 32-bit image in
// memory with one of five blend modes. Nothing here knows of vertex buffers
// or windows; coordinates arrive already converted to the forms below.
//
// Pixels and texels share one layout: bytes 0-2 are colour channels treated
// alike, byte 3 is alpha. A primitive carries one packed colour in the same
// layout; RASTER_WHITE leaves texels as they are, any other colour
// modulates every byte, alpha included: m = (t * (c + 1)) >> 8.
//
// Every blend mode has two arithmetic paths: lookup tables, and four channels
// at once in SIMD registers. They give the same bytes except in mode 3, where
// a colour byte may differ by one and the alpha byte is the source alpha on
// the table path but blended like the colours on the vector path.

#include <cstdint>
#include <optional>

namespace Engine::Graphics {

enum ERasterBlend : int32_t {
    RASTER_REPLACE = 0,       // blending off: the source replaces the destination
    RASTER_ADD = 1,           // one, one: saturating add
    RASTER_PREMULTIPLIED = 2, // one, one minus source alpha
    RASTER_ALPHA = 3,         // source alpha, one minus source alpha
    RASTER_ADD_ALPHA = 4,     // source alpha, one
};
// Modes above RASTER_ADD_ALPHA draw nothing.

constexpr uint32_t RASTER_WHITE = 0xFFFFFFFFu;

// Rows top-down; pitch in bytes. width and height bound every write.
struct CRasterTarget {
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
};

// Rows packed (width texels each). Texels outside width x height are never
// read: texel rectangles and spans are cut to the texture.
struct CRasterTexture {
    const uint32_t* texels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

// x in 16.16 screen units (x * 65536 + 32768, truncated), y a whole pixel
// row (y + 0.5, truncated), u and v in 16.16 texels.
struct CRasterVertex {
    int32_t x = 0, y = 0, u = 0, v = 0;
};

enum class ERasterPath { Table, Vector };

// Builds the saturation and product tables; must run before the first draw
// (the driver does it at every set-up).
void BuildRasterTables();
// The path the routines take: the vector path when the processor reports
// MMX, unless a path is forced (tests and benchmarks compare both).
ERasterPath GetRasterPath();
void ForceRasterPath(std::optional<ERasterPath> path);

// Fills x0 <= x < x1, y0 <= y < y1 (whole pixels) with the colour itself as
// the source.
void RasterFillRect(const CRasterTarget& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t color,
                    int32_t mode);
// One texel per pixel. Screen corners in 16.16 units; the texel rectangle
// ua..ub, va..vb in 16.16 texels. A pixel is drawn when its centre lies in
// the screen rectangle and maps inside the texel rectangle.
void RasterCopyRect(const CRasterTarget& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                    const CRasterTexture& texture, int32_t ua, int32_t va, int32_t ub, int32_t vb, int32_t mode,
                    uint32_t color);
// The texel rectangle scaled onto the screen rectangle, nearest texel.
void RasterStretchRect(const CRasterTarget& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                       const CRasterTexture& texture, int32_t ua, int32_t va, int32_t ub, int32_t vb, int32_t mode,
                       uint32_t color);
// Scanline fill between the edges; the bottom row and each span's right end
// pixel are not drawn, except that a span reaching past the right border
// fills the last column.
void RasterTriangle(const CRasterTarget& target, const CRasterVertex vertices[3], const CRasterTexture& texture,
                    uint32_t color, int32_t mode);

} // namespace Engine::Graphics
