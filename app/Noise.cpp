#include "app/Noise.h"

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

// The integral of the noise over a cell from 0 to f. With d = g1 - g0 the
// noise there is g0 f + (d f - g1)(3f^2 - 2f^3), whose integral is
// g0 f^2/2 - g1 f^3 + (3d/4 + g1/2) f^4 - (2d/5) f^5 (in Horner form).
double WithinCell(const CCellGradients& g, double f) {
    const double g0 = g.g0, g1 = g.g1, d = g1 - g0;
    return f * f * (g0 * 0.5 + f * (-g1 + f * (0.75 * d + 0.5 * g1 - 0.4 * d * f)));
}

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

float GradientNoiseIntegral1D(float x0, float x1) {
    Tables();
    if (!std::isfinite(x0) || !std::isfinite(x1))
        return 0.0f;
    const double X0 = static_cast<double>(x0) + kOrigin;
    const double X1 = static_cast<double>(x1) + kOrigin;
    // Short spans (the usual case) lie in one cell: one look-up serves both ends.
    const double cell = std::floor(X0);
    if (std::floor(X1) == cell) {
        const CCellGradients g = GradientsAt(LatticeIndex(cell));
        return static_cast<float>(WithinCell(g, X1 - cell) - WithinCell(g, X0 - cell));
    }
    return static_cast<float>(Primitive(X1) - Primitive(X0));
}
