#pragma once
// A parameter curve: keys over a time axis, sampled linearly or eased.
// Running emitters share their prototype's keys: a copy marks its curves
// borrowed and holds the same key table. A curve read from an effect file
// holds its table in the file's key store.

#include <cmath>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "particles/library/KeyTable.h"

namespace VexaParticles {

class CVexaInput;

struct CCurveKey {
    float time = 0;
    float value = 0;
    uint32_t flags = 0;  // stored, not used by sampling
    float extra1 = 0, extra2 = 0, extra3 = 0, extra4 = 0;
    friend bool operator==(const CCurveKey&, const CCurveKey&) = default;
};

// What sampling reads of a curve key: a long curve's samples then touch a
// quarter of the memory.
struct CCurvePoint {
    float time = 0;
    float value = 0;
    static CCurvePoint Of(const CCurveKey& key) { return {key.time, key.value}; }
};

using CCurveKeyTable = CKeyTable<CCurveKey, CCurvePoint>;

class CParameterCurve {
public:
    CParameterCurve() = default;
    // Owns its keys.
    CParameterCurve(std::vector<CCurveKey> keys, bool smooth);
    // Holds a table kept elsewhere (an effect file's key store).
    CParameterCurve(std::shared_ptr<const CCurveKeyTable> table, bool smooth)
        : m_keys(std::move(table)), m_bSmooth(smooth) {}

    std::span<const CCurveKey> GetKeys() const {
        return m_keys ? m_keys->GetKeys() : std::span<const CCurveKey>();
    }
    // Null without keys; a borrowed copy holds its prototype's table.
    const CCurveKeyTable* GetTable() const { return m_keys.get(); }
    int32_t GetKeyCount() const { return int32_t(GetKeys().size()); }
    bool IsSmooth() const { return m_bSmooth; }
    bool IsBorrowed() const { return m_bBorrowed; }
    // Marks the key array as another curve's (a copy made from a prototype).
    void SetBorrowed() { m_bBorrowed = true; }

private:
    std::shared_ptr<const CCurveKeyTable> m_keys;
    bool m_bSmooth = false;
    bool m_bBorrowed = false;
};

// Reads one curve; keys are 8 bytes before the long-key version, else 28
// with the middle extras stored as extra 3, extra 2.
void ReadCurve(CVexaInput& input, CParameterCurve& curve);

// The value at t of a curve whose segment ends at keys[first] (the table's
// FirstNotBefore), for t inside the keys.
inline float CurveBetweenKeys(std::span<const CCurvePoint> keys, bool smooth, float t, size_t first) {
    const size_t k = first - 1;
    float u = (t - keys[k].time) / (keys[k + 1].time - keys[k].time);
    if (smooth) u = (3.0f - 2.0f * u) * u * u;
    return keys[k].value + (keys[k + 1].value - keys[k].value) * u;
}

// The value at t of a curve with these keys, given the segment's end the
// table found for t (searched with others, or alone); 0 without keys.
inline float SampleCurveKeys(const CCurveKeyTable& table, bool smooth, float t, size_t first) {
    const std::span<const CCurvePoint> keys = table.GetPoints();
    if (keys.empty()) return 0.0f;
    if (keys.size() == 1 || t <= keys.front().time) return keys.front().value;
    if (t >= keys.back().time) return keys.back().value;
    return CurveBetweenKeys(keys, smooth, t, first);
}

// The value at t of a curve with these keys; 0 without keys. Inline: the
// life step samples a few curves for every particle. Only a t inside the
// keys is searched for; the last key is never before it, so the segment
// ends inside.
inline float SampleCurveKeys(const CCurveKeyTable& table, bool smooth, float t) {
    const std::span<const CCurvePoint> keys = table.GetPoints();
    // A NaN t falls between the keys, where it gives NaN.
    if (table.IsFlat() && !std::isnan(t)) return keys.front().value;
    const bool inside = keys.size() > 1 && !(t <= keys.front().time) && !(t >= keys.back().time);
    return SampleCurveKeys(table, smooth, t, inside ? table.FirstNotBefore(t, keys.size()) : 1);
}

// The value at t; 0 for a curve without keys.
inline float SampleCurve(const CParameterCurve& curve, float t) {
    const CCurveKeyTable* table = curve.GetTable();
    return table ? SampleCurveKeys(*table, curve.IsSmooth(), t) : 0.0f;
}

} // namespace VexaParticles
