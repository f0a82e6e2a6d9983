// The size a device's texture takes for a bitmap: the largest sides first,
// then powers of two and squareness, never past the largest.

#include <gtest/gtest.h>

#include "graphics/drivers/TextureSize.h"

namespace {

using Engine::Graphics::CTextureRules;
using Engine::Graphics::FitTextureSize;

struct CFitCase {
    const char* name;
    CTextureRules rules;
    int32_t width, height;
    int32_t expectedWidth, expectedHeight;
};

class TextureSizeTest : public ::testing::TestWithParam<CFitCase> {};

TEST_P(TextureSizeTest, FitsTheRules) {
    const CFitCase& c = GetParam();
    int32_t width = c.width, height = c.height;
    FitTextureSize(c.rules, width, height);
    EXPECT_EQ(width, c.expectedWidth);
    EXPECT_EQ(height, c.expectedHeight);
}

constexpr CTextureRules kAny{0, 0, false, false};
constexpr CTextureRules kSquarePowers{0, 0, true, true};
constexpr CTextureRules k16k{16384, 16384, false, false};
constexpr CTextureRules k16kPowers{16384, 16384, true, false};
constexpr CTextureRules k16kSquarePowers{16384, 16384, true, true};
constexpr CTextureRules k8kSquare{8192, 8192, false, true};
constexpr CTextureRules kWideCaps{4096, 2048, true, false};
constexpr CTextureRules kOddLargest{3000, 3000, true, false};

INSTANTIATE_TEST_SUITE_P(
    Sizes, TextureSizeTest,
    ::testing::Values(CFitCase{"AnySizeKept", kAny, 300, 200, 300, 200},
                      CFitCase{"NoLimitRoundsAndSquares", kSquarePowers, 300, 200, 512, 512},
                      CFitCase{"WithinTheLargestKept", k16k, 16384, 2048, 16384, 2048},
                      CFitCase{"WideClampedAlone", k16k, 32768, 2048, 16384, 2048},
                      CFitCase{"BothSidesClamped", k16k, 40000, 20000, 16384, 16384},
                      CFitCase{"ClampedBeforeRounding", k16kPowers, 20000, 3000, 16384, 4096},
                      CFitCase{"ClampedBeforeSquaring", k16kSquarePowers, 32768, 2048, 16384, 16384},
                      CFitCase{"SquareWithinTheLargest", k8kSquare, 16384, 100, 8192, 8192},
                      CFitCase{"EachSideItsOwnLargest", kWideCaps, 5000, 5000, 4096, 2048},
                      CFitCase{"RoundingStaysWithinAnOddLargest", kOddLargest, 2500, 100, 2048, 128},
                      CFitCase{"OnePixel", k16kSquarePowers, 1, 1, 1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
