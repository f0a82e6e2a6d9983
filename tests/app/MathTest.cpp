#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "app/Math.h"

using Engine::Geometry::CAngleAxis;
using Engine::Geometry::CMatrix34;
using Engine::Geometry::CVector3;

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct ColorCase { float r, g, b, a; uint32_t rgba, argb; };

class PackColorTest : public testing::TestWithParam<ColorCase> {};

TEST_P(PackColorTest, PacksEachChannelDefinedForAnyInput) {
    const ColorCase& c = GetParam();
    EXPECT_EQ(PackColorRGBA(c.r, c.g, c.b, c.a), c.rgba);
    EXPECT_EQ(PackColorARGB(c.r, c.g, c.b, c.a), c.argb);
}

// 0.5 x 255.5 = 127.75 and 0.25 x 255.5 = 63.875 truncate; the ARGB form rounds 0.5 x 255 = 127.5 up.
INSTANTIATE_TEST_SUITE_P(Channels, PackColorTest, testing::Values(
    ColorCase{0, 0, 0, 0, 0x00000000u, 0x00000000u}, ColorCase{1, 1, 1, 1, 0xFFFFFFFFu, 0xFFFFFFFFu},
    ColorCase{1, 0.5f, 0, 1, 0xFF007FFFu, 0xFFFF8000u}, ColorCase{0.25f, 0, 0.999f, 0, 0x00FF003Fu, 0x004000FFu},
    ColorCase{-1, 2, 1e30f, -1e30f, 0x00FFFF00u, 0x0000FFFFu}, ColorCase{kNaN, 1, kNaN, 0.5f, 0x7F00FF00u, 0x8000FF00u},
    ColorCase{kInf, -kInf, 0, 1, 0xFF0000FFu, 0xFFFF0000u}));

TEST(ClampColorTest, ClampsEveryChannelIntoUnitRange) {
    std::array<float, 4> c = {-0.5f, 0.5f, 1.5f, kNaN}, d = {0, 1, kInf, -kInf};
    ClampColorRGBA(c), ClampColorRGBA(d);
    EXPECT_EQ(c, (std::array<float, 4>{0, 0.5f, 1, 0}));
    EXPECT_EQ(d, (std::array<float, 4>{0, 1, 1, 0}));
}

CMatrix34 Translation(float x, float y, float z) { return {{{1, 0, 0, x}, {0, 1, 0, y}, {0, 0, 1, z}}}; }
CMatrix34 Scale(float s) { return {{{s, 0, 0, 0}, {0, s, 0, 0}, {0, 0, s, 0}}}; }

CMatrix34 Rotation(float angle, float x, float y, float z) {
    return QuaternionToMatrix34(QuaternionFromAngleAxis(CAngleAxis{angle, x, y, z}));
}

void ExpectNear(const CVector3& got, const CVector3& want) {
    EXPECT_NEAR(got.x, want.x, 1e-6f);
    EXPECT_NEAR(got.y, want.y, 1e-6f);
    EXPECT_NEAR(got.z, want.z, 1e-6f);
}

struct ProductCase { CMatrix34 first, then; CVector3 point, expected; };

class MultiplyMatrixTest : public testing::TestWithParam<ProductCase> {};

TEST_P(MultiplyMatrixTest, AppliesFirstArgumentFirst) {
    const ProductCase& c = GetParam();
    CMatrix34 out;
    MultiplyMatrix34(c.first, c.then, out);
    ExpectNear(TransformPoint(out, c.point), c.expected);
    // Writing into either input gives the same product.
    CMatrix34 a = c.first, b = c.then;
    MultiplyMatrix34(a, b, a);
    MultiplyMatrix34(c.first, b, b);
    EXPECT_EQ(a, out);
    EXPECT_EQ(b, out);
}

constexpr float kQuarter = float(M_PI / 2);

// The rotations also pin down the quaternion matrix: right-handed, p' = M p.
INSTANTIATE_TEST_SUITE_P(Order, MultiplyMatrixTest, testing::Values(
    ProductCase{Translation(1, 2, 3), Scale(2), {1, 1, 1}, {4, 6, 8}},
    ProductCase{Scale(2), Translation(1, 2, 3), {1, 1, 1}, {3, 4, 5}},
    ProductCase{Rotation(kQuarter, 0, 0, 1), Translation(1, 0, 0), {1, 0, 0}, {1, 1, 0}},
    ProductCase{Translation(1, 0, 0), Rotation(kQuarter, 0, 0, 1), {1, 0, 0}, {0, 2, 0}},
    ProductCase{Scale(1), Rotation(kQuarter, 0, 1, 0), {0, 0, 1}, {1, 0, 0}},
    ProductCase{Scale(1), Rotation(float(M_PI), 1, 0, 0), {0, 1, 0}, {0, -1, 0}}));

struct EaseCase { float t, a, b, expected; };

class EaseInOutTest : public testing::TestWithParam<EaseCase> {};

TEST_P(EaseInOutTest, FollowsPiecewiseCurve) {
    const EaseCase& c = GetParam();
    EXPECT_NEAR(EaseInOut(c.t, c.a, c.b), c.expected, 1e-6f);
}

// a = b = 1 is scaled to 0.5 each: 2t^2, then 1 - 2(1 - t)^2. a = 0, b = 1 eases out only: 1 - (1 - t)^2.
// With 0.2 each a linear stretch meets both curved ends. Outside 0..1 with no easing part there: no division by 0.
INSTANTIATE_TEST_SUITE_P(Boundaries, EaseInOutTest, testing::Values(
    EaseCase{0, 1, 1, 0}, EaseCase{0.25f, 1, 1, 0.125f}, EaseCase{0.75f, 1, 1, 0.875f}, EaseCase{1, 1, 1, 1},
    EaseCase{0, 0, 1, 0}, EaseCase{0.5f, 0, 1, 0.75f}, EaseCase{1, 0, 1, 1}, EaseCase{0.2f, 0.2f, 0.2f, 0.125f},
    EaseCase{0.8f, 0.2f, 0.2f, 0.875f}, EaseCase{0.3f, 0, 0, 0.3f}, EaseCase{1.5f, 0.5f, 0, 1}, EaseCase{-0.5f, 0, 1, 0}));
} // namespace
