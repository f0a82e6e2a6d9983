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

CCellGradients GradientsAt(const CNoiseTables& t, int index) {
    return {t.grad[t.perm[index]], t.grad[t.perm[(index + 1) & kLatticeMask]]};
}

CCellGradients GradientsAt(int index) { return GradientsAt(Tables(), index); }

// The integral of the noise over a cell from 0 to f, in each lane with that
// lane's gradients. With d = g1 - g0 the noise there is
// g0 f + (d f - g1)(3f^2 - 2f^3), whose integral is
// g0 f^2/2 - g1 f^3 + (3d/4 + g1/2) f^4 - (2d/5) f^5, taken in Horner form in
// double precision, lane by lane as one lane would take it.
__m128d WithinCellLanes(__m128d g0, __m128d g1, __m128d f) {
    const __m128d d = _mm_sub_pd(g1, g0);
    const __m128d c1 = _mm_add_pd(_mm_mul_pd(_mm_set1_pd(0.75), d), _mm_mul_pd(_mm_set1_pd(0.5), g1));
    const __m128d inner = _mm_sub_pd(c1, _mm_mul_pd(_mm_mul_pd(_mm_set1_pd(0.4), d), f));
    const __m128d cubic = _mm_add_pd(_mm_xor_pd(g1, _mm_set1_pd(-0.0)), _mm_mul_pd(f, inner));
    const __m128d quartic = _mm_add_pd(_mm_mul_pd(g0, _mm_set1_pd(0.5)), _mm_mul_pd(f, cubic));
    return _mm_mul_pd(_mm_mul_pd(f, f), quartic);
}

// At two places f1 and f0 of one cell (in that order in the lanes).
__m128d WithinCellPair(const CCellGradients& g, double f1, double f0) {
    return WithinCellLanes(_mm_set1_pd(g.g0), _mm_set1_pd(g.g1), _mm_set_pd(f0, f1));
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

// floor(X) in each lane, for lanes with |X| below 2^31: the truncation,
// one less where it lies above X.
__m128d FloorLanes(__m128d X) {
    const __m128d truncated = _mm_cvtepi32_pd(_mm_cvttpd_epi32(X));
    return _mm_sub_pd(truncated, _mm_and_pd(_mm_cmpgt_pd(truncated, X), _mm_set1_pd(1.0)));
}

// Two spans at once, when both lie inside one cell each and their ends are
// finite and below 2^31 lattice units; false (nothing written) otherwise.
bool IntegralPairInCells(const CNoiseTables& tables, const float* x0, const float* x1, float* out) {
    const __m128d origin = _mm_set1_pd(kOrigin);
    const __m128d X0 = _mm_add_pd(_mm_set_pd(x0[1], x0[0]), origin);
    const __m128d X1 = _mm_add_pd(_mm_set_pd(x1[1], x1[0]), origin);
    // Not-a-number and infinity fail the comparison too.
    const __m128d limit = _mm_set1_pd(2147483647.0), sign = _mm_set1_pd(-0.0);
    if (_mm_movemask_pd(_mm_and_pd(_mm_cmplt_pd(_mm_andnot_pd(sign, X0), limit),
                                   _mm_cmplt_pd(_mm_andnot_pd(sign, X1), limit))) != 3)
        return false;
    const __m128d cell = FloorLanes(X0);
    if (_mm_movemask_pd(_mm_cmpeq_pd(FloorLanes(X1), cell)) != 3)
        return false;
    const __m128i index = _mm_and_si128(_mm_cvttpd_epi32(cell), _mm_set1_epi32(kLatticeMask));
    const CCellGradients a = GradientsAt(tables, _mm_cvtsi128_si32(index));
    const CCellGradients b = GradientsAt(tables, _mm_cvtsi128_si32(_mm_shuffle_epi32(index, 1)));
    const __m128d g0 = _mm_set_pd(b.g0, a.g0), g1 = _mm_set_pd(b.g1, a.g1);
    const __m128d integrals = _mm_sub_pd(WithinCellLanes(g0, g1, _mm_sub_pd(X1, cell)),
                                         WithinCellLanes(g0, g1, _mm_sub_pd(X0, cell)));
    const __m128 narrowed = _mm_cvtpd_ps(integrals);
    out[0] = _mm_cvtss_f32(narrowed);
    out[1] = _mm_cvtss_f32(_mm_shuffle_ps(narrowed, narrowed, 1));
    return true;
}

} // namespace

float GradientNoiseIntegral1D(float x0, float x1) {
    Tables();
    return Integral(x0, x1);
}

void GradientNoiseIntegrals1D(const float* x0, const float* x1, float* out, int count) {
    const CNoiseTables& tables = Tables();
    int i = 0;
    for (; i + 1 < count; i += 2)
        if (!IntegralPairInCells(tables, x0 + i, x1 + i, out + i)) {
            out[i] = Integral(x0[i], x1[i]);
            out[i + 1] = Integral(x0[i + 1], x1[i + 1]);
        }
    for (; i < count; ++i)
        out[i] = Integral(x0[i], x1[i]);
}
