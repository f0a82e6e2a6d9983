#include "scene/controllers/BezierCurve.h"

#include <algorithm>
#include <cmath>

namespace Engine::Scene {

namespace {

constexpr float SOLVE_EPSILON = 0.000001f;
constexpr float FIRST_STEP = 0.25f;
constexpr float STEP_REVERSAL = -0.2f;

// From 2^25 on, the single-precision atan of a slope rounds up to just past
// pi/2 and its cosine turns negative, which would flip the handle to the
// other side of the key. Below that the cosine stays positive.
constexpr float MAX_SOUND_SLOPE = 33554430.0f;

// cos(atan(slope)) in single precision, with the slope held where the
// cosine stays positive.
float HeldCosine(float& slope) {
    slope = std::clamp(slope, -MAX_SOUND_SLOPE, MAX_SOUND_SLOPE);
    return std::cos(std::atan(slope));
}

} // namespace

float Bernstein(float p0, float p1, float p2, float p3, float s) {
    const float q = 1.0f - s;
    return p1 * 3.0f * s * q * q + p0 * q * q * q + p2 * 3.0f * s * s * q + p3 * s * s * s;
}

float SolveBezierParameter(float x1, float x2, float u) {
    if (std::fabs(u) < SOLVE_EPSILON) return 0.0f;
    if (std::fabs(u - 1.0f) < SOLVE_EPSILON) return 1.0f;
    float s = 0.0f;
    float step = FIRST_STEP;
    float previous = -u;
    for (;;) {
        s += step;
        // Only a time curve that leaves 0..1 (handles outside 0..1) walks
        // off without a crossing; its nearest end.
        if (s > 1.0f || s < 0.0f) return std::clamp(s, 0.0f, 1.0f);
        const float residual = Bernstein(0.0f, x1, x2, 1.0f, s) - u;
        if (!(residual * previous > 0.0f)) {
            step *= STEP_REVERSAL;
            if (std::fabs(step) <= SOLVE_EPSILON) return s;
        }
        previous = residual;
    }
}

float ControlRise(float slope, float len, float d) {
    const float cosine = HeldCosine(slope);
    return 160.0f * slope * len * d / cosine;
}

float HandleRise(float slope, float len, float d) {
    const float cosine = HeldCosine(slope);
    return len * 160.0f * d / cosine * slope;
}

float SlopeFromHandle(float v, float len, float d, float h) {
    const double a = double(len) * len * d * d;
    if (a == 0.0) return 0.0f;
    const double rise = double(h) - v;
    return float(rise * std::sqrt(10.0) / (40.0 * std::sqrt(std::sqrt(a * (rise * rise + 6400.0 * a)) + 80.0 * a)));
}

} // namespace Engine::Scene
