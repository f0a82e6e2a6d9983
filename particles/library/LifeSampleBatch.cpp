#include "particles/library/LifeSampleBatch.h"

#include <algorithm>

#include "particles/library/VexaParticleType.h"

namespace VexaParticles {

CLifeSampleBatch::CLifeSampleBatch(const CVexaParticleType& type) {
    CRow& constant = m_rows[0];
    SetColour(0, {});
    for (int i = 0; i < kCount; ++i) {
        const CParameterCurve& curve = type.curves[size_t(kCurveQ[i] - 1)];
        constant[size_t(i)] = SampleCurve(curve, 0.0f);
        if (curve.GetKeyCount() > 1) {
            m_varying[m_varyingCount++] = {curve.GetTable(), curve.IsSmooth(), i};
            m_searched = m_searched || curve.GetTable()->HasIndex();
        }
    }
    if (!type.gradient.IsRandomStart()) m_overLife = &type.gradient;
    if (m_overLife && m_overLife->GetTable()) m_searched = m_searched || m_overLife->GetTable()->HasIndex();
}

void CLifeSampleBatch::Prefetch(std::span<const float> fs, std::span<const float> lived) const {
    for (int c = 0; c < m_varyingCount; ++c)
        if (const CCurveKeyTable& table = *m_varying[c].keys; table.HasIndex())
            for (float f : fs) table.Prefetch(f);
    const CColourKeyTable* gradientTable = m_overLife ? m_overLife->GetTable() : nullptr;
    if (!gradientTable || !gradientTable->HasIndex()) return;
    for (float t : lived)
        if (const CGradientSample sample = StartGradientSample(*m_overLife, t); sample.searched)
            gradientTable->Prefetch(sample.t);
}

void CLifeSampleBatch::Sample(std::span<const float> fs, std::span<const float> lived) {
    const size_t n = std::min({fs.size(), lived.size(), kBatch});
    for (; m_filledRows < n; ++m_filledRows) {
        m_rows[m_filledRows] = m_rows[0];
        SetColour(m_filledRows, {});
    }
    // Only tables with an index are searched together: a short one is
    // bisected in place, in the cache already.
    CTimeBuckets::CSearch searches[(kCount + 1) * kBatch];
    size_t s = 0;
    for (int c = 0; c < m_varyingCount; ++c)
        if (const CCurveKeyTable& table = *m_varying[c].keys; table.HasIndex())
            for (size_t i = 0; i < n; ++i) searches[s++] = table.StartSearch(fs[i]);
    const CColourKeyTable* gradientTable = m_overLife ? m_overLife->GetTable() : nullptr;
    const bool gradientSearched = gradientTable && gradientTable->HasIndex();
    CGradientSample gradient[kBatch];
    for (size_t i = 0; gradientSearched && i < n; ++i) {
        gradient[i] = StartGradientSample(*m_overLife, lived[i]);
        if (gradient[i].searched) searches[s++] = gradientTable->StartSearch(gradient[i].t);
    }
    if (s > 0) CTimeBuckets::CountBelow({searches, s});

    // Every segment's end first, which fetches its keys; then the values.
    s = 0;
    for (int c = 0; c < m_varyingCount; ++c)
        if (const CCurveKeyTable& table = *m_varying[c].keys; table.HasIndex())
            for (size_t i = 0; i < n; ++i, ++s) searches[s].count = table.FirstNotBefore(searches[s], table.GetPoints().size());
    const size_t gradientAt = s;
    for (size_t i = 0; gradientSearched && i < n; ++i)
        if (gradient[i].searched) {
            searches[s].count = gradientTable->FirstNotBefore(searches[s], gradientTable->GetKeys().size() - 1);
            ++s;
        }
    s = 0;
    for (int c = 0; c < m_varyingCount; ++c) {
        const CVarying& curve = m_varying[c];
        const size_t slot = size_t(curve.slot);
        if (curve.keys->HasIndex()) {
            for (size_t i = 0; i < n; ++i) m_rows[i][slot] = SampleCurveKeys(*curve.keys, curve.smooth, fs[i], searches[s++].count);
        } else {
            for (size_t i = 0; i < n; ++i) m_rows[i][slot] = SampleCurveKeys(*curve.keys, curve.smooth, fs[i]);
        }
    }
    s = gradientAt;
    if (gradientSearched) {
        for (size_t i = 0; i < n; ++i)
            SetColour(i, FinishGradientSample(*m_overLife, gradient[i], gradient[i].searched ? searches[s++].count : 0));
    } else if (m_overLife) {
        for (size_t i = 0; i < n; ++i) SetColour(i, SampleColourGradient(*m_overLife, lived[i]));
    }
}

} // namespace VexaParticles
