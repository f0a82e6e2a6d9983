#pragma once
// One-dimensional gradient noise over a lattice of 512 points, shared by the
// noise controllers and the particle turbulence.

// Noise at x: the smoothstep blend of the two neighbouring lattice gradients'
// ramps around x + 10000, in single precision. Zero at every integer x; in
// roughly -0.5..0.5. Never fails; non-finite x gives 0.
//
// The first call anywhere builds the tables from the C runtime generator: it
// reseeds the calling thread's generator with 548485 and draws 1023 numbers
// from it, so that thread's later CrtRand values follow those draws.
float GradientNoise1D(float x);

// The definite integral of GradientNoise1D from x0 to x1, in closed form
// (negative when x1 < x0). Non-finite bounds give 0.
float GradientNoiseIntegral1D(float x0, float x1);

// GradientNoiseIntegral1D over count spans, out[i] from x0[i] to x1[i], with
// the same results: one call for the spans one particle needs at once.
void GradientNoiseIntegrals1D(const float* x0, const float* x1, float* out, int count);
