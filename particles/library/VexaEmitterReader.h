#pragma once
// Reads emitter records, with their particle types and the sub-emitters of
// those, into emitter prototypes.

#include <cstddef>

#include "particles/library/VexaParticleEmitter.h"

namespace VexaParticles {

class CVexaFile;
class CVexaInput;

class CVexaEmitterReader {
public:
    // Sub-emitters nest at most this deep; a deeper file is refused rather
    // than allowed to exhaust the stack.
    static constexpr int kMaxDepth = 16;
    // Bytes of the smallest emitter and particle type records.
    static constexpr size_t kMinEmitterBytes = 205;
    static constexpr size_t kMinTypeBytes = 393;

    CVexaEmitterReader(CVexaInput& input, CVexaFile& file);

    // Reads one emitter record; parentType is null for a top-level emitter.
    void ReadEmitter(CVexaParticleEmitter& emitter, CVexaParticleType* parentType, int depth = 0);

private:
    void ReadCurves(CParameterCurve* curves, size_t count);
    void ReadParticleType(CVexaParticleType& type, CVexaParticleEmitter& emitter, int depth);

    CVexaInput& m_input;
    CVexaFile& m_file;
};

} // namespace VexaParticles
