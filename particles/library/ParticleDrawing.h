#pragma once
// Drawing particles as textured, coloured quads through the library's one
// shared vertex buffer, in batches as large as that buffer.

#include <cstdint>

namespace VexaParticles {

class CVexaParticleType;
struct CParticle;

// One corner of a particle quad, as the device takes it.
struct CParticleVertex {
    float x, y, z, w;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(CParticleVertex) == 28);

// Draws the type's sub-emitters, then its own particles, within the budget
// (see IVexaParticleEmitter::Render); returns the particles drawn. A failed
// lock or unlock of the vertex buffer throws CVexaGraphicsException.
int32_t RenderType(CVexaParticleType& type, int32_t maxCount, int32_t mode);

// Writes the four corners of one particle with the type's drawing state,
// which RenderType sets up.
void FillParticleQuad(const CVexaParticleType& type, const CParticle& particle, CParticleVertex* vertices);

} // namespace VexaParticles
