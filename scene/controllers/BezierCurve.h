#pragma once
// The cubic Bezier arithmetic of the Bezier float controller, in single
// precision.

namespace Engine::Scene {

// p1 3 s q q + p0 q q q + p2 3 s s q + p3 s s s, with q = 1 - s.
float Bernstein(float p0, float p1, float p2, float p3, float s);

// The parameter s in 0..1 where the time curve Bernstein(0, x1, x2, 1, s)
// reaches u: 0 for u within 0.000001 of 0, 1 within 0.000001 of 1; else a
// walk by 0.25 until the curve passes u, then back and forth by a fifth of
// the previous step until the step is at most 0.000001. Stored animations
// play by this walk's answers, so it is the only solver.
float SolveBezierParameter(float x1, float x2, float u);

// The value offset of a segment's control point from its key:
// 160 slope len d / cos(atan(slope)).
float ControlRise(float slope, float len, float d);

// The value offset of a key's tangent handle from the key:
// (len 160 d / cos(atan(slope))) slope.
float HandleRise(float slope, float len, float d);

// The tangent slope whose handle, len x d along the time, lies at the value
// h for a key of value v: the inverse of HandleRise. 0 when len or d is 0.
float SlopeFromHandle(float v, float len, float d, float h);

} // namespace Engine::Scene
