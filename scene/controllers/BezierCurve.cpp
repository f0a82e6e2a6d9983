#include "scene/controllers/BezierCurve.h"

#include <algorithm>
#include <cmath>

namespace Engine::Scene {

namespace {

constexpr float SOLVE_EPSILON = 0.000001f;

// Bernstein(0, x1, x2, 1, s) with x1 3 and x2 3 given: the same operations
// in the same order, less the terms that are exactly 0 and the factor 1.
inline float TimeCurve(float x1Times3, float x2Times3, float s) {
    const float q = 1.0f - s;
    return x1Times3 * s * q * q + x2Times3 * s * s * q + s * s * s;
}

} // namespace

float Bernstein(float p0, float p1, float p2, float p3, float s) {
    const float q = 1.0f - s;
    return p1 * 3.0f * s * q * q + p0 * q * q * q + p2 * 3.0f * s * s * q + p3 * s * s * s;
}

float SolveBezierParameter(float x1, float x2, float u) {
    if (std::fabs(u) < SOLVE_EPSILON) return 0.0f;
    if (std::fabs(u - 1.0f) < SOLVE_EPSILON) return 1.0f;
    const float x1Times3 = x1 * 3.0f, x2Times3 = x2 * 3.0f;
    float s = 0.0f;
    float step = 0.25f;
    float previous = -u;
    for (;;) {
        s += step;
        // Only a time curve that leaves 0..1 gets here; its nearest end.
        if (s > 1.0f || s < 0.0f) return std::clamp(s, 0.0f, 1.0f);
        const float residual = TimeCurve(x1Times3, x2Times3, s) - u;
        if (!(residual * previous > 0.0f)) {
            step *= -0.2f;
            if (std::fabs(step) <= SOLVE_EPSILON) return s;
        }
        previous = residual;
    }
}

float HandleRise(float slope, float len, float d) {
    if (slope == 0.0f) return 0.0f;  // cos(atan(0)) is 1: the rise is 0 exactly
    return 160.0f * slope * len * d / std::cos(std::atan(slope));
}

float SlopeFromHandle(float v, float len, float d, float h) {
    const double a = double(len) * len * d * d;
    if (a == 0.0) return 0.0f;
    const double rise = double(h) - v;
    return float(rise * std::sqrt(10.0) / (40.0 * std::sqrt(std::sqrt(a * (rise * rise + 6400.0 * a)) + 80.0 * a)));
}

} // namespace Engine::Scene
