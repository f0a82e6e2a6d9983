#include "graphics/drivers/RasterSFTW.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace Engine::Graphics {
namespace {

constexpr int32_t kOne = 65536;

struct CImage {
    int32_t width, height;
    std::vector<uint32_t> pixels;
    CImage(int32_t w, int32_t h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    CRasterTarget Target() { return {pixels.data(), width, height, width * 4}; }
    CRasterTexture Texture() const { return {pixels.data(), width, height}; }
    uint32_t At(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// A texture whose texels name their own position.
CImage Numbered(int32_t w, int32_t h) {
    CImage image(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) image.pixels[size_t(y) * size_t(w) + size_t(x)] = 0xFF000000u | uint32_t(y << 12 | x);
    return image;
}

class RasterTest : public ::testing::TestWithParam<ERasterPath> {
protected:
    void SetUp() override {
        BuildRasterTables();
        ForceRasterPath(GetParam());
    }
    void TearDown() override { ForceRasterPath(std::nullopt); }
};

// The blend formulas, written per byte.
uint32_t Expected(int mode, ERasterPath path, uint32_t d, uint32_t t, uint32_t c) {
    uint32_t s = 0;
    for (int k = 0; k < 4; ++k) {
        const uint32_t tk = (t >> (8 * k)) & 0xFF, ck = (c >> (8 * k)) & 0xFF;
        s |= (c == RASTER_WHITE ? tk : (tk * (ck + 1)) >> 8) << (8 * k);
    }
    const int sa = int(s >> 24);
    uint32_t out = 0;
    for (int k = 0; k < 4; ++k) {
        const int dk = int(d >> (8 * k)) & 0xFF, sk = int(s >> (8 * k)) & 0xFF;
        int r = sk;
        if (mode == 1) r = std::min(dk + sk, 255);
        if (mode == 2) r = std::min(((dk * (256 - sa)) >> 8) + sk, 255);
        if (mode == 3 && path == ERasterPath::Table) r = k == 3 ? sa : ((sk * (sa + 1)) >> 8) + ((dk * (256 - sa)) >> 8);
        if (mode == 3 && path == ERasterPath::Vector) {
            const int num = (sk - dk) * (sa + 1);
            r = dk + (num >= 0 ? num / 256 : -((-num + 255) / 256));
        }
        if (mode == 4) r = std::min(dk + ((sk * (sa + 1)) >> 8), 255);
        out |= uint32_t(r) << (8 * k);
    }
    return out;
}

uint32_t Spread(uint32_t value, uint32_t alpha) {
    return alpha << 24 | value << 16 | (255 - value) << 8 | (value ^ 0x5A);
}

using SweepParam = std::tuple<int, ERasterPath, uint32_t>;
class BlendSweepTest : public ::testing::TestWithParam<SweepParam> {};

// Every destination, source and source alpha value: the texture holds each
// source value in a column and each alpha in a row, copied over a target
// filled with one destination value at a time.
TEST_P(BlendSweepTest, EveryValueMatchesTheFormula) {
    const auto [mode, path, color] = GetParam();
    BuildRasterTables();
    ForceRasterPath(path);
    CImage texture(256, 256);
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t s = 0; s < 256; ++s) texture.pixels[a * 256 + s] = Spread(s, a);
    CImage target(256, 256);
    int failures = 0;
    for (uint32_t d = 0; d < 256 && failures < 5; ++d) {
        const uint32_t dest = Spread(d ^ 0xFF, d);
        std::fill(target.pixels.begin(), target.pixels.end(), dest);
        RasterCopyRect(target.Target(), 0, 0, 256 * kOne, 256 * kOne, texture.Texture(), 0, 0, 256 * kOne, 256 * kOne,
                       mode, color);
        for (size_t i = 0; i < target.pixels.size() && failures < 5; ++i) {
            const uint32_t want = Expected(mode, path, dest, texture.pixels[i], color);
            if (target.pixels[i] != want) {
                ++failures;
                ADD_FAILURE() << std::hex << "d " << dest << " t " << texture.pixels[i] << " got " << target.pixels[i]
                              << " want " << want;
            }
        }
    }
    ForceRasterPath(std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(, BlendSweepTest,
                         ::testing::Combine(::testing::Range(0, 5),
                                            ::testing::Values(ERasterPath::Table, ERasterPath::Vector),
                                            ::testing::Values(RASTER_WHITE, 0x80C04020u)));

TEST_P(RasterTest, FillClipsToTheTargetAndOddModesDrawNothing) {
    CImage target(640, 480);
    RasterFillRect(target.Target(), -5, -5, 3, 3, 0x11223344, RASTER_REPLACE);
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(target.At(x, y), x < 3 && y < 3 ? 0x11223344u : 0u) << x << "," << y;
    CImage untouched(640, 480);
    RasterFillRect(untouched.Target(), 7, 0, 7, 9, 1, RASTER_REPLACE);
    RasterFillRect(untouched.Target(), 640, 0, 700, 9, 1, RASTER_REPLACE);
    RasterFillRect(untouched.Target(), 0, 0, 9, 9, 1, 5);
    EXPECT_EQ(untouched.pixels, CImage(640, 480).pixels);
}

TEST_P(RasterTest, CopyTakesOneTexelPerPixel) {
    const CImage texture = Numbered(32, 32);
    CImage target(64, 64);
    RasterCopyRect(target.Target(), 10 * kOne, 5 * kOne, 26 * kOne, 21 * kOne, texture.Texture(), 4 * kOne, 2 * kOne,
                   20 * kOne, 18 * kOne, RASTER_REPLACE, RASTER_WHITE);
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x) {
            const bool inside = x >= 10 && x < 26 && y >= 5 && y < 21;
            ASSERT_EQ(target.At(x, y), inside ? texture.At(x - 6, y - 3) : 0u) << x << "," << y;
        }
}

// Drawing into a smaller target placed inside a larger one must give the
// crop of the larger drawing: clipping changes nothing else.
void ExpectClippingCrops(const std::function<void(CRasterTarget, int32_t dx, int32_t dy)>& draw) {
    CImage full(96, 96);
    draw(full.Target(), 0, 0);
    for (auto [ox, oy, w, h] : {std::tuple{20, 17, 30, 25}, std::tuple{0, 40, 96, 13}, std::tuple{33, 0, 7, 96}}) {
        CImage part(w, h);
        draw(part.Target(), -ox, -oy);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) ASSERT_EQ(part.At(x, y), full.At(x + ox, y + oy)) << x << "," << y;
    }
}

TEST_P(RasterTest, ClippedRectanglesAndTrianglesAreCropsOfTheWhole) {
    const CImage texture = Numbered(40, 40);
    for (uint32_t color : {RASTER_WHITE, 0xC0FF8040u}) {
        ExpectClippingCrops([&](CRasterTarget t, int32_t dx, int32_t dy) {
            RasterCopyRect(t, (dx + 5) * kOne + 3000, (dy + 7) * kOne, (dx + 45) * kOne, (dy + 47) * kOne,
                           texture.Texture(), 0, 0, 40 * kOne, 40 * kOne, RASTER_ALPHA, color);
        });
        ExpectClippingCrops([&](CRasterTarget t, int32_t dx, int32_t dy) {
            RasterStretchRect(t, (dx + 3) * kOne, (dy + 1) * kOne, (dx + 83) * kOne + 500, (dy + 61) * kOne,
                              texture.Texture(), kOne, 0, 39 * kOne, 30 * kOne, RASTER_ADD, color);
        });
        ExpectClippingCrops([&](CRasterTarget t, int32_t dx, int32_t dy) {
            const CRasterVertex v[3] = {{(dx + 50) * kOne + 32768, dy + 2, 20 * kOne, 0},
                                        {(dx + 90) * kOne, dy + 70, 39 * kOne, 39 * kOne},
                                        {(dx + 4) * kOne, dy + 60, 0, 35 * kOne}};
            RasterTriangle(t, v, texture.Texture(), color, RASTER_PREMULTIPLIED);
        });
    }
}

TEST_P(RasterTest, StretchDoublesEachTexel) {
    const CImage texture = Numbered(8, 8);
    CImage target(16, 16);
    RasterStretchRect(target.Target(), 0, 0, 16 * kOne, 16 * kOne, texture.Texture(), 0, 0, 8 * kOne, 8 * kOne,
                      RASTER_REPLACE, RASTER_WHITE);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x) ASSERT_EQ(target.At(x, y), texture.At(x / 2, y / 2)) << x << "," << y;
}

TEST_P(RasterTest, TexelRectanglesOutsideTheTextureAreCut) {
    const CImage texture = Numbered(8, 8);
    CImage target(32, 32);
    // Texels -4..12 on both axes: only the texture's own 8 x 8 are drawn.
    RasterCopyRect(target.Target(), 0, 0, 16 * kOne, 16 * kOne, texture.Texture(), -4 * kOne, -4 * kOne, 12 * kOne,
                   12 * kOne, RASTER_REPLACE, RASTER_WHITE);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 16; ++x) {
            const bool inside = x >= 4 && x < 12 && y >= 4 && y < 12;
            ASSERT_EQ(target.At(x, y), inside ? texture.At(x - 4, y - 4) : 0u) << x << "," << y;
        }
}

TEST_P(RasterTest, TriangleEdgesAndBounds) {
    const CImage texture = Numbered(16, 2000);
    CImage target(20, 20);
    // Flat: top and bottom on one row.
    const CRasterVertex flat[3] = {{0, 5, 0, 0}, {10 * kOne, 5, 0, 0}, {5 * kOne, 5, 0, 0}};
    RasterTriangle(target.Target(), flat, texture.Texture(), RASTER_WHITE, RASTER_REPLACE);
    EXPECT_EQ(target.pixels, CImage(20, 20).pixels);
    // Reaching past the right border fills the last column; the bottom row
    // is not drawn. v reads row 1500 of a texture taller than 1024 rows.
    const CRasterVertex wide[3] = {{-5 * kOne, 0, 0, 1500 * kOne}, {40 * kOne, 0, 0, 1500 * kOne},
                                   {-5 * kOne, 10, 0, 1500 * kOne}};
    RasterTriangle(target.Target(), wide, texture.Texture(), RASTER_WHITE, RASTER_REPLACE);
    EXPECT_EQ(target.At(19, 0), texture.At(0, 1500));
    EXPECT_EQ(target.At(0, 8), texture.At(0, 1500));
    EXPECT_EQ(target.At(0, 10), 0u);
}

TEST_P(RasterTest, TriangleSpanStartingLeftOfTheTextureSkipsPixels) {
    const CImage texture = Numbered(16, 16);
    CImage target(20, 4);
    // u runs from -0.5 texel at x = 0 to 15.5 at x = 16, v with it.
    const CRasterVertex v[3] = {{0, 0, -kOne / 2, -kOne / 2}, {16 * kOne, 0, 15 * kOne + kOne / 2, 15 * kOne + kOne / 2},
                                {0, 4, -kOne / 2, -kOne / 2}};
    RasterTriangle(target.Target(), v, texture.Texture(), RASTER_WHITE, RASTER_REPLACE);
    EXPECT_EQ(target.At(0, 0), 0u);
    EXPECT_EQ(target.At(1, 0), texture.At(0, 0));
    EXPECT_EQ(target.At(15, 0), texture.At(14, 14));
}

INSTANTIATE_TEST_SUITE_P(, RasterTest, ::testing::Values(ERasterPath::Table, ERasterPath::Vector));

} // namespace
} // namespace Engine::Graphics
