#include "app/Math.h"

#include <cmath>

using Engine::Geometry::CAngleAxis;
using Engine::Geometry::CMatrix34;
using Engine::Geometry::CQuaternion;

namespace {

uint32_t ChannelRGBA(float c) { return ScaledToByte(c * 255.5f); }

uint32_t ChannelARGB(float c) {
    if (!(c > 0.0f))
        return 0;
    if (c >= 1.0f)
        return 255;
    return ScaledToByte(c * 255.0f + 0.5f);
}

float Clamp01(float c) {
    if (!(c >= 0.0f)) // also NaN
        return 0.0f;
    return c > 1.0f ? 1.0f : c;
}

} // namespace

// Scaled channel to byte. Clamping happens in float before the conversion,
// so NaN and out-of-range values never reach an undefined float-to-int cast;
// finite values get the same byte as truncating first and clamping after.
uint32_t ScaledToByte(float v) {
    if (!(v > 0.0f)) // also NaN
        return 0;
    if (v >= 255.0f)
        return 255;
    return static_cast<uint32_t>(v);
}

uint32_t PackColorRGBA(float r, float g, float b, float a) {
    return ChannelRGBA(r) | ChannelRGBA(g) << 8 | ChannelRGBA(b) << 16 | ChannelRGBA(a) << 24;
}

uint32_t PackColorARGB(float r, float g, float b, float a) {
    return ChannelARGB(a) << 24 | ChannelARGB(r) << 16 | ChannelARGB(g) << 8 | ChannelARGB(b);
}

void ClampColorRGBA(std::span<float, 4> rgba) {
    for (float& c : rgba)
        c = Clamp01(c);
}

void MultiplyMatrix34(const CMatrix34& a, const CMatrix34& b, CMatrix34& out) {
    CMatrix34 r; // out may be a or b
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 4; ++j) {
            float sum = b.m[i][0] * a.m[0][j] + b.m[i][1] * a.m[1][j] + b.m[i][2] * a.m[2][j];
            r.m[i][j] = j == 3 ? sum + b.m[i][3] : sum;
        }
    }
    out = r;
}

void ScaleMatrix34(CMatrix34& m, float s0, float s1, float s2, float s3) {
    const float s[4] = {s0, s1, s2, s3};
    for (auto& row : m.m)
        for (int j = 0; j < 4; ++j)
            row[j] *= s[j];
}

CQuaternion QuaternionFromAngleAxis(const CAngleAxis& rotation) {
    const float half = rotation.angle * 0.5f;
    const float s = std::sin(half);
    return {std::cos(half), rotation.x * s, rotation.y * s, rotation.z * s};
}

CMatrix34 QuaternionToMatrix34(const CQuaternion& q) {
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    return {{{1 - 2 * (yy + zz), 2 * (xy - wz), 2 * (xz + wy), 0},
             {2 * (xy + wz), 1 - 2 * (xx + zz), 2 * (yz - wx), 0},
             {2 * (xz - wy), 2 * (yz + wx), 1 - 2 * (xx + yy), 0}}};
}

float EaseInOut(float t, float a, float b) {
    const float sum = a + b;
    if (sum == 0.0f)
        return t;
    if (sum > 1.0f) {
        a /= sum;
        b /= sum;
    }
    const float v = 1.0f / (2.0f - a - b);
    if (t < a) // before the start with no ease-in part: 0, mirroring b = 0
        return a == 0.0f ? 0.0f : v / a * (t * t);
    if (t < 1.0f - b)
        return v * (2.0f * t - a);
    if (b == 0.0f)
        return 1.0f;
    const float u = 1.0f - t;
    return 1.0f - v / b * (u * u);
}
