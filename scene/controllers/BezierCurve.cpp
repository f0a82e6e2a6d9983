#include "scene/controllers/BezierCurve.h"

#include <algorithm>
#include <cmath>

namespace Engine::Scene {

namespace {

constexpr float SOLVE_EPSILON = 0.000001f;
// Newton's method stops within this of the root: below the float rounding
// of the parameter it returns.
constexpr double NEWTON_TOLERANCE = 1e-8;
constexpr int NEWTON_MAX_STEPS = 64;

// Bernstein(0, x1, x2, 1, s) with x1 3 and x2 3 given: the same operations
// in the same order, less the terms that are exactly 0 and the factor 1.
inline float TimeCurve(float x1Times3, float x2Times3, float s) {
    const float q = 1.0f - s;
    return x1Times3 * s * q * q + x2Times3 * s * s * q + s * s * s;
}

// Handles inside 0..1 make the time curve rise monotonically from 0 to 1,
// so it crosses u exactly once: Newton's method from s = u (the identity
// curve's answer), kept inside the bracket of the root by bisection, ends
// within float rounding of the root in two or three steps.
float SolveRisingTimeCurve(float x1, float x2, float u) {
    // The curve as the polynomial a s^3 + b s^2 + c s.
    const double c = 3.0 * x1;
    const double b = 3.0 * x2 - 6.0 * x1;
    const double a = 1.0 + 3.0 * x1 - 3.0 * x2;
    double low = 0.0, high = 1.0, s = u;
    for (int i = 0; i < NEWTON_MAX_STEPS; ++i) {
        const double residual = ((a * s + b) * s + c) * s - u;
        const double slope = (3.0 * a * s + 2.0 * b) * s + c;
        if (std::fabs(residual) <= NEWTON_TOLERANCE * slope || high - low <= NEWTON_TOLERANCE) break;
        (residual < 0.0 ? low : high) = s;
        const double next = s - residual / slope;
        s = next > low && next < high ? next : 0.5 * (low + high);
    }
    return float(s);
}

// Any other curve: walks by 0.25 until it passes u, then back and forth by a
// fifth of the previous step until the step is at most 0.000001; the first
// crossing wins.
float WalkTimeCurve(float x1, float x2, float u) {
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

} // namespace

float Bernstein(float p0, float p1, float p2, float p3, float s) {
    const float q = 1.0f - s;
    return p1 * 3.0f * s * q * q + p0 * q * q * q + p2 * 3.0f * s * s * q + p3 * s * s * s;
}

float SolveBezierParameter(float x1, float x2, float u) {
    if (std::fabs(u) < SOLVE_EPSILON) return 0.0f;
    if (std::fabs(u - 1.0f) < SOLVE_EPSILON) return 1.0f;
    if (x1 >= 0.0f && x1 <= 1.0f && x2 >= 0.0f && x2 <= 1.0f && u > 0.0f && u < 1.0f)
        return SolveRisingTimeCurve(x1, x2, u);
    return WalkTimeCurve(x1, x2, u);
}

float HandleRise(float slope, float len, float d) {
    // 1 / cos(atan(slope)) is sqrt(1 + slope^2): one square root in place of
    // two library calls, exact for slope 0.
    return 160.0f * slope * len * d * float(std::sqrt(1.0 + double(slope) * slope));
}

float SlopeFromHandle(float v, float len, float d, float h) {
    const double a = double(len) * len * d * d;
    if (a == 0.0) return 0.0f;
    const double rise = double(h) - v;
    return float(rise * std::sqrt(10.0) / (40.0 * std::sqrt(std::sqrt(a * (rise * rise + 6400.0 * a)) + 80.0 * a)));
}

} // namespace Engine::Scene
