#pragma once
// Frames between each particle type's steps, one step a frame, and the bound
// the turns give: one frame more than the visits of a step of every type
// take at the frame's limit. Shared by the tests and the benchmark of the
// turns.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "particles/library/VexaParticleType.h"

namespace VexaTest {

class CTypeWaits {
public:
    explicit CTypeWaits(int64_t visits) : m_visits(visits) {}
    // After a frame of the types, in the order the frame steps them.
    void Frame(const std::vector<const VexaParticles::CVexaParticleType*>& types) {
        m_since.resize(types.size(), 0);
        int64_t stepCost = 0;
        for (const VexaParticles::CVexaParticleType* type : types) stepCost += type->waited.GetLastCost();
        m_bound = std::max(m_bound, (stepCost + m_visits - 1) / m_visits + 1);
        for (size_t i = 0; i < types.size(); ++i) {
            ++m_since[i];
            if (types[i]->waited.GetMissed() > 0.0f) continue;
            m_worst = std::max(m_worst, m_since[i]);
            m_since[i] = 0;
        }
    }
    // The most frames between a type's steps, and the largest bound of a
    // frame so far.
    int64_t GetWorst() const { return m_worst; }
    int64_t GetBound() const { return m_bound; }

private:
    int64_t m_visits;
    std::vector<int64_t> m_since;
    int64_t m_worst = 0;
    int64_t m_bound = 0;
};

} // namespace VexaTest
