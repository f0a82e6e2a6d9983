#pragma once
// The cubic Bezier arithmetic of the Bezier float controller, in single
// precision.

namespace Engine::Scene {

// p1 3 s q q + p0 q q q + p2 3 s s q + p3 s s s, with q = 1 - s.
float Bernstein(float p0, float p1, float p2, float p3, float s);

// The parameter s in 0..1 where the time curve Bernstein(0, x1, x2, 1, s)
// reaches u: 0 for u within 0.000001 of 0, 1 within 0.000001 of 1. With x1
// and x2 in 0..1 the curve rises and the root is solved to float rounding;
// any other curve is walked by 0.25 until it passes the root, then back and
// forth by a fifth of the previous step until the step is at most 0.000001.
float SolveBezierParameter(float x1, float x2, float u);

// The tangent slope whose handle, len x d along the time, lies at the value
// h for a key of value v: the inverse of the handle formula
// v + 160 len d slope / cos(atan(slope)). 0 when len or d is 0.
float SlopeFromHandle(float v, float len, float d, float h);

// The value offset of a tangent handle: 160 len d slope / cos(atan(slope)).
float HandleRise(float slope, float len, float d);

} // namespace Engine::Scene
