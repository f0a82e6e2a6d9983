#pragma once
// What a life step samples for each particle, a batch of particles at a
// time: the over-life curves at the life fraction, and the gradient at the
// age over the life span unless it starts at random. The searches of the
// whole batch, every curve and the gradient, run together, so that the
// cache misses of long tables overlap instead of following one another.
// A curve of one key or none is the same at every f: it is sampled once.

#include <array>
#include <cstddef>
#include <cstring>
#include <span>

#include "particles/library/ColourGradient.h"
#include "particles/library/ParameterCurve.h"

namespace VexaParticles {

class CVexaParticleType;

class CLifeSampleBatch {
public:
    enum ECurve { kSpeed, kSpin, kMeshSpin, kTurbulence, kDirection, kAlpha, kOrbit, kContraction, kSize, kRate, kCount };
    // The type's curve (Q1 to Q38) each slot samples.
    static constexpr int kCurveQ[kCount] = {15, 16, 38, 14, 22, 23, 33, 34, 13, 18};
    static constexpr size_t kBatch = 16;
    using CRow = std::array<float, kCount>;

    explicit CLifeSampleBatch(const CVexaParticleType& type);

    // Samples up to kBatch particles, particle i at life fraction fs[i]
    // and at lived[i] over its life span.
    void Sample(std::span<const float> fs, std::span<const float> lived);
    // Asks for the lines Sample will first read for these particles, so
    // that they arrive while the batch before is applied. Changes nothing.
    void Prefetch(std::span<const float> fs, std::span<const float> lived) const;
    // Samples one particle's curves into row 0, each on its own: for
    // short tables. Inline: it runs for every particle.
    void SampleOne(float f) {
        for (int c = 0; c < m_varyingCount; ++c)
            m_rows[0][size_t(m_varying[c].slot)] = SampleCurveKeys(*m_varying[c].keys, m_varying[c].smooth, f);
    }
    const CRow& Curves(size_t i) const { return m_rows[i]; }
    // Whether a table is long enough to have an index: only then
    // does sampling particles together pay.
    bool HasSearchedTables() const { return m_searched; }
    // Meaningful only when the gradient runs over the life, after Sample.
    CColour Colour(size_t i) const { return {m_colours[i][0], m_colours[i][1], m_colours[i][2], m_colours[i][3]}; }

private:
    // Copied whole: field by field, the compiler joins the four floats on
    // the stack and reads them back before the stores have landed.
    void SetColour(size_t i, const CColour& colour) {
        static_assert(sizeof(colour) == sizeof(m_colours[i]));
        std::memcpy(m_colours[i], &colour, sizeof(colour));
    }

    // No initialisers here and below: a life step makes one of these for
    // every type, most with few particles, and fills what it uses. The key
    // tables are looked up once per step, not once per particle.
    struct CVarying {
        const CCurveKeyTable* keys;
        bool smooth;
        int slot;
    };
    CVarying m_varying[kCount];
    int m_varyingCount = 0;
    const CColourGradient* m_overLife = nullptr;  // the gradient, unless it starts at random
    bool m_searched = false;
    CRow m_rows[kBatch];
    size_t m_filledRows = 1;  // rows holding the constant curves, and colours set
    float m_colours[kBatch][4];
};

} // namespace VexaParticles
