#include "particles/library/ParameterCurve.h"

#include "particles/library/VexaInput.h"

namespace VexaParticles {

CParameterCurve::CParameterCurve(std::vector<CCurveKey> keys, bool smooth)
    : m_keys(keys.empty() ? nullptr : std::make_shared<const std::vector<CCurveKey>>(std::move(keys))),
      m_bSmooth(smooth) {}

void ReadCurve(CVexaInput& input, CParameterCurve& curve) {
    const bool longKeys = input.Version() >= kVexaVersionLongKeys;
    const size_t count = input.Count(longKeys ? 28 : 8, "curve keys");
    std::vector<CCurveKey> keys(count);
    for (CCurveKey& key : keys) {
        key.time = input.F32();
        key.value = input.F32();
        if (!longKeys) continue;
        key.flags = input.U32();
        key.extra1 = input.F32();
        key.extra3 = input.F32();
        key.extra2 = input.F32();
        key.extra4 = input.F32();
    }
    const bool smooth = input.U32() != 0;
    curve = CParameterCurve(std::move(keys), smooth);
}

float SampleCurve(const CParameterCurve& curve, float t) {
    const std::span<const CCurveKey> keys = curve.GetKeys();
    if (keys.empty()) return 0.0f;
    if (keys.size() == 1 || t <= keys.front().time) return keys.front().value;
    if (t >= keys.back().time) return keys.back().value;
    size_t k = 0;
    while (keys[k + 1].time < t) ++k;
    float u = (t - keys[k].time) / (keys[k + 1].time - keys[k].time);
    if (curve.IsSmooth()) u = (3.0f - 2.0f * u) * u * u;
    return keys[k].value + (keys[k + 1].value - keys[k].value) * u;
}

} // namespace VexaParticles
