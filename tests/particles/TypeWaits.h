#pragma once
// Frames between each particle type's steps, one step a frame, and the bound
// the turns give: one frame more than the visits of a step of every type
// take at the frame's limit. A type is known by a key that stays its own
// while emitters before it come and go (its place in the step does not).
// Shared by the tests and the benchmark of the turns.

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "particles/library/VexaParticleType.h"

namespace VexaTest {

class CTypeWaits {
public:
    using CKeyedTypes = std::vector<std::pair<size_t, const VexaParticles::CVexaParticleType*>>;

    // Steps from frame `settled` on (counting from 0) are held to their
    // frame's bound; those before it may pass it.
    explicit CTypeWaits(int64_t visits, int64_t settled = 0) : m_visits(visits), m_settled(settled) {}
    // After a frame of the types, in the order the frame steps them, each
    // known by its place.
    void Frame(const std::vector<const VexaParticles::CVexaParticleType*>& types) {
        CKeyedTypes keyed;
        keyed.reserve(types.size());
        for (size_t i = 0; i < types.size(); ++i) keyed.emplace_back(i, types[i]);
        Frame(keyed);
    }
    // After a frame of the types there are, each known by its key: a key
    // not seen before is a type added since the last frame.
    void Frame(const CKeyedTypes& types) {
        int64_t stepCost = 0;
        for (const auto& [key, type] : types) stepCost += type->waited.Expected(type->SamplesEmission());
        const int64_t bound = (stepCost + m_visits - 1) / m_visits + 1;
        m_bound = std::max(m_bound, bound);
        for (const auto& [key, type] : types) {
            if (key >= m_since.size()) m_since.resize(key + 1, 0);
            const int64_t since = ++m_since[key];
            if (type->waited.GetMissed() > 0.0f) continue;
            if (m_frame >= m_settled) {
                m_worst = std::max(m_worst, since);
                m_stepsOver += since > bound;
            } else {
                m_mostOverBefore = std::max(m_mostOverBefore, since - bound);
            }
            m_since[key] = 0;
        }
        ++m_frame;
    }
    // The most frames between a type's steps from the settled frame on, and
    // the largest bound of a frame so far.
    int64_t GetWorst() const { return m_worst; }
    int64_t GetBound() const { return m_bound; }
    // Steps from the settled frame on that waited past their frame's bound,
    // and the most frames a step before it waited past its frame's bound.
    int64_t GetStepsOver() const { return m_stepsOver; }
    int64_t GetMostOverBefore() const { return m_mostOverBefore; }

private:
    int64_t m_visits;
    int64_t m_settled;
    int64_t m_frame = 0;
    std::vector<int64_t> m_since;
    int64_t m_worst = 0;
    int64_t m_bound = 0;
    int64_t m_stepsOver = 0;
    int64_t m_mostOverBefore = 0;
};

} // namespace VexaTest
