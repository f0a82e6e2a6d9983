#pragma once
// What the emitters of one library hold of the process's particle pool
// (ParticlePool.h): the records in their types' live lists and the
// sub-emitter copies their particles carry. At the program's end an
// emitter's memory may be left to the process's end whole
// (app/ProcessEnd.h), its records and copies with it, without a walk of its
// types; the library, let go after its emitters, writes off what they still
// held, so that a process that goes on has the pool's whole cap again.

#include <cstdint>

#include "particles/library/Particle.h"

namespace VexaParticles {

class CPoolHolding {
public:
    CPoolHolding() = default;
    ~CPoolHolding();
    CPoolHolding(const CPoolHolding&) = delete;
    CPoolHolding& operator=(const CPoolHolding&) = delete;

    // Records linked into (positive) or taken out of (negative) live lists.
    void AddRecords(int64_t count) { m_records += count; }
    // A particle took a copy holding `units` of the pool.
    void AddCopy(uint32_t units) {
        ++m_copies;
        m_copyUnits += units;
    }
    // The particle's record goes back with the copies it carries.
    void DropCopies(const CParticle& particle);

    int64_t GetRecords() const { return m_records; }
    int64_t GetCopies() const { return m_copies; }

private:
    int64_t m_records = 0;
    int64_t m_copies = 0;
    int64_t m_copyUnits = 0;
};

} // namespace VexaParticles
