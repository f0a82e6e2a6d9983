#pragma once
// How the particle pool's records are shared among the types that wait for
// the frame's visits. A waited step makes at once the particles of all the
// time its type missed; when the types together want more living particles
// than the pool holds, the types stepped first after records come free would
// take them all, and the effects whose types step later would show nothing
// until those die. So each type says, at each of its steps, how many living
// particles its rate and life keep; and while the types' demand (what those
// that have spoken want, scaled to every type) passes the pool's cap, a
// waited step keeps that part, cap / demand, of its particles, or when that
// is under kShareGranule particles, makes kShareGranule (or all it would)
// in that part of its steps, drawn at random. The frame draws a bounded
// number of types, so many types holding a particle or two each would show
// only a few of the pool's particles. Steps that did not wait make what
// they make now: within the pool nothing is held back.

#include <cstddef>
#include <cstdint>

namespace VexaParticles {

class CRecordShares {
public:
    // The fewest particles a step keeps when it keeps any: 16 a type, the
    // pool is held by 16,384 types, half the types a frame draws.
    static constexpr uint64_t kShareGranule = 16;

    // What one emitter's types have said, so that it can be taken back.
    struct CTally {
        double wanted = 0;
        int64_t spoken = 0;
    };

    // An emitter's `types` join the running types, or leave with what they said.
    void Join(int64_t types) { m_types += types; }
    void Leave(const CTally& tally, int64_t types) {
        m_types -= types;
        m_wanted -= tally.wanted;
        m_spoken -= tally.spoken;
    }

    // A type now wants `wanted` living records; `said` holds its last word
    // (negative before its first).
    void Want(float& said, float wanted, CTally& tally) {
        if (said < 0.0f) {
            said = 0.0f;
            ++m_spoken;
            ++tally.spoken;
        }
        m_wanted += double(wanted) - double(said);
        tally.wanted += double(wanted) - double(said);
        said = wanted;
    }

    // The part of the waiting types' steps that may make their particles
    // when the pool holds `cap` records: 1 while the demand fits.
    double KeptPart(size_t cap) const {
        const double demand = Demand();
        return demand > double(cap) ? double(cap) / demand : 1.0;
    }

private:
    double Demand() const {
        if (m_spoken <= 0 || m_types <= 0) return 0.0;
        return m_wanted * double(m_types) / double(m_spoken);
    }

    int64_t m_types = 0;
    int64_t m_spoken = 0;
    double m_wanted = 0;
};

} // namespace VexaParticles
