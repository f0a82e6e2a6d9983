#pragma once
// A particle's colour over its life: colour keys that may repeat several
// times over the keys' time range. Copies share the prototype's keys; a
// gradient read from an effect file holds them in the file's key store.

#include <cmath>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "particles/library/KeyTable.h"

namespace VexaParticles {

class CVexaInput;

struct CColourKey {
    float time = 0;
    float red = 0, green = 0, blue = 0, alpha = 0;
    friend bool operator==(const CColourKey&, const CColourKey&) = default;
};

using CColourKeyTable = CKeyTable<CColourKey>;

struct CColour {
    float red = 0, green = 0, blue = 0, alpha = 0;
    static CColour Of(const CColourKey& key) { return {key.red, key.green, key.blue, key.alpha}; }
    friend bool operator==(const CColour&, const CColour&) = default;
};

class CColourGradient {
public:
    CColourGradient() = default;
    // Owns its keys.
    CColourGradient(std::vector<CColourKey> keys, int32_t repeatCount, bool randomStart);
    // Holds a table kept elsewhere (an effect file's key store).
    CColourGradient(std::shared_ptr<const CColourKeyTable> table, int32_t repeatCount, bool randomStart)
        : m_keys(std::move(table)), m_nRepeatCount(repeatCount), m_bRandomStart(randomStart) {}

    std::span<const CColourKey> GetKeys() const {
        return m_keys ? m_keys->GetKeys() : std::span<const CColourKey>();
    }
    // Null without keys; a borrowed copy holds its prototype's table.
    const CColourKeyTable* GetTable() const { return m_keys.get(); }
    int32_t GetRepeatCount() const { return m_nRepeatCount; }
    // Each particle samples once at a random position instead of over its life.
    bool IsRandomStart() const { return m_bRandomStart; }
    bool IsBorrowed() const { return m_bBorrowed; }
    void SetBorrowed() { m_bBorrowed = true; }

private:
    std::shared_ptr<const CColourKeyTable> m_keys;
    int32_t m_nRepeatCount = 0;
    bool m_bRandomStart = false;
    bool m_bBorrowed = false;
};

void ReadColourGradient(CVexaInput& input, CColourGradient& gradient);

// The colour at t: transparent black without keys; a repeating gradient
// whose keys span no time gives its first key.
CColour SampleColourGradient(const CColourGradient& gradient, float t);

// The same in two halves, so that the search between them can run with
// others: where t falls (wrapped when the gradient repeats) or the colour
// when no search is needed; then the colour, given the table's
// FirstNotBefore(sample.t, key count - 1).
struct CGradientSample {
    float t = 0;
    bool searched = false;
    CColour colour;
};
// Inline: a life step starts one for every particle, and a call returns
// the sample through memory.
inline CGradientSample StartGradientSample(const CColourGradient& gradient, float t) {
    const std::span<const CColourKey> keys = gradient.GetKeys();
    if (keys.empty()) return {};
    if (keys.size() == 1 || t <= keys.front().time) return {0.0f, false, CColour::Of(keys.front())};
    if (gradient.GetRepeatCount() > 1) {
        const float span = keys.back().time - keys.front().time;
        if (!(span > 0.0f)) return {0.0f, false, CColour::Of(keys.front())};
        const float scaled = t * float(gradient.GetRepeatCount());
        // A negative time wraps below the first key, where the first
        // segment is extended; exactly on it, the first key is the colour.
        t = std::fmod(scaled, span) + keys.front().time;
        if (t == keys.front().time) return {0.0f, false, CColour::Of(keys.front())};
    } else if (t >= keys.back().time) {
        return {0.0f, false, CColour::Of(keys.back())};
    }
    return {t, true, {}};
}

CColour FinishGradientSample(const CColourGradient& gradient, const CGradientSample& sample, size_t first);

} // namespace VexaParticles
