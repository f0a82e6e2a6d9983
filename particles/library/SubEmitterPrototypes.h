#pragma once
// The sub-emitter prototypes of a particle type, in file order, with those
// that start at a particle's birth and those that start at its death listed
// apart, so that a birth or a death walks only its own. Copies of the type
// share them.

#include <array>
#include <memory>
#include <span>
#include <vector>

namespace VexaParticles {

class CVexaParticleEmitter;

class CSubEmitterPrototypes {
public:
    using Prototype = std::unique_ptr<CVexaParticleEmitter>;

    // Takes the prototypes once they are read whole (their start settings
    // included).
    explicit CSubEmitterPrototypes(std::vector<Prototype> prototypes);
    ~CSubEmitterPrototypes();
    CSubEmitterPrototypes(const CSubEmitterPrototypes&) = delete;
    CSubEmitterPrototypes& operator=(const CSubEmitterPrototypes&) = delete;

    bool empty() const { return m_prototypes.empty(); }
    size_t size() const { return m_prototypes.size(); }
    const Prototype& operator[](size_t index) const { return m_prototypes[index]; }
    auto begin() const { return m_prototypes.begin(); }
    auto end() const { return m_prototypes.end(); }

    // The prototypes that start at a particle's death (atDeath) or at its
    // birth, in file order.
    std::span<const CVexaParticleEmitter* const> StartingAt(bool atDeath) const { return m_starting[atDeath]; }

private:
    std::vector<Prototype> m_prototypes;
    std::array<std::vector<const CVexaParticleEmitter*>, 2> m_starting;  // [0] birth, [1] death
};

} // namespace VexaParticles
