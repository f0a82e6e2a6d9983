#include "app/Noise.h"

#include <emmintrin.h>

#include <cmath>
#include <cstdint>

#include "app/Random.h"

namespace {

constexpr int kLatticeSize = 512;
constexpr int kLatticeMask = kLatticeSize - 1;
constexpr double kOrigin = 10000.0;

struct CNoiseTables {
    uint16_t perm[kLatticeSize];
    float grad[kLatticeSize];

    CNoiseTables() {
        CrtSrand(548485);
        for (int i = 0; i < kLatticeSize; ++i) {
            perm[i] = static_cast<uint16_t>(i);
            grad[i] = static_cast<float>((CrtRand() & 0x3FF) - 512) / 512.0f;
        }
        for (int i = kLatticeMask; i > 0; --i) {
            const int j = CrtRand() & kLatticeMask;
            const uint16_t t = perm[i];
            perm[i] = perm[j];
            perm[j] = t;
        }
    }
};

const CNoiseTables& Tables() {
    static const CNoiseTables tables;
    return tables;
}

// Index of the lattice cell that starts at the integral value `cell`, i.e.
// cell mod 512 in 0..511: the same as converting to a 64-bit integer and
// masking, but defined for every finite value (huge cells are multiples
// of 512, so they land on 0).
int LatticeIndex(double cell) {
    // Cells within the 64-bit range (all but absurd inputs) mask directly:
    // two's complement makes the mask a modulo for negative cells too.
    if (std::fabs(cell) < 9.0e18)
        return static_cast<int>(static_cast<int64_t>(cell) & kLatticeMask);
    double r = std::fmod(cell, static_cast<double>(kLatticeSize));
    if (r < 0)
        r += kLatticeSize;
    return static_cast<int>(r) & kLatticeMask;
}

struct CCellGradients {
    float g0, g1;
};

CCellGradients GradientsAt(int index) {
    const CNoiseTables& t = Tables();
    return {t.grad[t.perm[index]], t.grad[t.perm[(index + 1) & kLatticeMask]]};
}

// The integral of the noise over a cell from 0 to f, at two places f1 and
// f0 of one cell at once (in that order in the result's lanes). With
// d = g1 - g0 the noise there is g0 f + (d f - g1)(3f^2 - 2f^3), whose
// integral is g0 f^2/2 - g1 f^3 + (3d/4 + g1/2) f^4 - (2d/5) f^5, taken in
// Horner form in double precision.
__m128d WithinCellPair(const CCellGradients& g, double f1, double f0) {
    const double g0 = g.g0, g1 = g.g1, d = g1 - g0;
    const __m128d f = _mm_set_pd(f0, f1);
    const __m128d inner = _mm_sub_pd(_mm_set1_pd(0.75 * d + 0.5 * g1), _mm_mul_pd(_mm_set1_pd(0.4 * d), f));
    const __m128d cubic = _mm_add_pd(_mm_set1_pd(-g1), _mm_mul_pd(f, inner));
    const __m128d quartic = _mm_add_pd(_mm_set1_pd(g0 * 0.5), _mm_mul_pd(f, cubic));
    return _mm_mul_pd(_mm_mul_pd(f, f), quartic);
}

double WithinCell(const CCellGradients& g, double f) { return _mm_cvtsd_f64(WithinCellPair(g, f, f)); }

// A primitive of the noise at lattice position X: a whole cell integrates to
// 0.15 (g0 - g1), so subtracting 0.15 g0 makes it continuous across cells
// and the integral over any span takes two evaluations.
double Primitive(double X) {
    const double cell = std::floor(X);
    const CCellGradients g = GradientsAt(LatticeIndex(cell));
    return WithinCell(g, X - cell) - 0.15 * g.g0;
}

} // namespace

float GradientNoise1D(float x) {
    Tables(); // built on the first call whatever x is
    if (!std::isfinite(x))
        return 0.0f;
    const float X = static_cast<float>(static_cast<double>(x) + kOrigin);
    const float F = std::floor(X);
    const float f = X - F;
    const CCellGradients g = GradientsAt(LatticeIndex(F));
    const float a = g.g0 * f;
    const float b = g.g1 * (f - 1.0f);
    return a + (b - a) * (f * f * (3.0f - 2.0f * f));
}

namespace {

float Integral(float x0, float x1) {
    if (!std::isfinite(x0) || !std::isfinite(x1))
        return 0.0f;
    const double X0 = static_cast<double>(x0) + kOrigin;
    const double X1 = static_cast<double>(x1) + kOrigin;
    // Short spans (the usual case) lie in one cell: one look-up serves both ends.
    const double cell = std::floor(X0);
    if (std::floor(X1) == cell) {
        const __m128d ends = WithinCellPair(GradientsAt(LatticeIndex(cell)), X1 - cell, X0 - cell);
        return static_cast<float>(_mm_cvtsd_f64(_mm_sub_sd(ends, _mm_unpackhi_pd(ends, ends))));
    }
    return static_cast<float>(Primitive(X1) - Primitive(X0));
}

} // namespace

float GradientNoiseIntegral1D(float x0, float x1) {
    Tables();
    return Integral(x0, x1);
}

void GradientNoiseIntegrals1D(const float* x0, const float* x1, float* out, int count) {
    Tables();
    for (int i = 0; i < count; ++i)
        out[i] = Integral(x0[i], x1[i]);
}
