#pragma once
// Colour packing, 3x4 affine matrices, quaternions and easing shared by the
// graphics, particle and control code. All arithmetic is single precision.

#include <cstdint>
#include <span>

#include "app/Geometry.h"

namespace Engine::Geometry {

// Three rows of four floats: columns 0-2 are the linear part, column 3 the
// translation; the implied fourth row is (0, 0, 0, 1). Points are columns:
// p' = M p.
struct CMatrix34 {
    float m[3][4] = {};

    static constexpr CMatrix34 Identity() {
        return {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}}};
    }
    // The twelve floats row by row, as the drivers take them.
    const float* data() const { return &m[0][0]; }
    friend bool operator==(const CMatrix34&, const CMatrix34&) = default;
};

// Unit quaternion (w, x, y, z) for a rotation.
struct CQuaternion {
    float w = 1, x = 0, y = 0, z = 0;
    friend bool operator==(const CQuaternion&, const CQuaternion&) = default;
};

// A rotation by angle (radians) about the axis (x, y, z).
struct CAngleAxis {
    float angle = 0, x = 0, y = 0, z = 1;
};

inline CVector3 TransformPoint(const CMatrix34& t, const CVector3& p) {
    auto row = [&](int i) { return t.m[i][0] * p.x + t.m[i][1] * p.y + t.m[i][2] * p.z + t.m[i][3]; };
    return {row(0), row(1), row(2)};
}

} // namespace Engine::Geometry

// A value on the 0..255 scale as a byte: truncated, held at the bounds,
// NaN as 0.
uint32_t ScaledToByte(float v);

// Packs a colour of four 0..1 channels: each channel x 255.5, truncated,
// clamped to 0..255; R in bits 0-7, G 8-15, B 16-23, A 24-31. NaN packs as 0.
uint32_t PackColorRGBA(float r, float g, float b, float a);

// Packs the same channels as 0xAARRGGBB for the Direct3D style vertex and
// factor colours: 255 at 1.0 and above, 0 at 0.0 and below (and for NaN),
// else value x 255 + 0.5 truncated.
uint32_t PackColorARGB(float r, float g, float b, float a);
// Exchanges bytes 0 and 2 of a packed colour (RGBA <-> ARGB order). Inline:
// drivers that take the other order swap every vertex colour.
inline uint32_t SwapColorRedBlue(uint32_t color) {
    return (color & 0xFF00FF00u) | ((color >> 16) & 0xFFu) | ((color & 0xFFu) << 16);
}

// Clamps r, g, b, a to 0..1 in place; NaN becomes 0.
void ClampColorRGBA(std::span<float, 4> rgba);

// out = B * A as 4x4 affine matrices: a point transformed by out is
// transformed by A first, then by B. out may alias either argument.
void MultiplyMatrix34(const Engine::Geometry::CMatrix34& a, const Engine::Geometry::CMatrix34& b,
                      Engine::Geometry::CMatrix34& out);

// Multiplies the four columns of m by s0..s3 in place.
void ScaleMatrix34(Engine::Geometry::CMatrix34& m, float s0, float s1, float s2, float s3);

// (cos(angle/2), axis x sin(angle/2)); the axis is used as given.
Engine::Geometry::CQuaternion QuaternionFromAngleAxis(const Engine::Geometry::CAngleAxis& rotation);

// The rotation of a unit quaternion as a 3x4 matrix with zero translation.
Engine::Geometry::CMatrix34 QuaternionToMatrix34(const Engine::Geometry::CQuaternion& q);

// Maps t in 0..1 through a curve that accelerates over the first part a,
// runs linearly, and decelerates over the last part b (both fractions of 1;
// scaled down together when they add up to more than 1).
float EaseInOut(float t, float a, float b);
