#include "particles/library/ParticlePool.h"

#include "particles/library/VexaParticleEmitter.h"

namespace VexaParticles {
namespace {

// Linked through the records' next field. Records are never freed while the
// process runs; the list keeps them reachable.
struct CFreeList {
    CParticle* head = nullptr;
    size_t count = 0;
};

CFreeList& FreeList() {
    static CFreeList list;
    return list;
}

} // namespace

CParticle* AcquireParticle() {
    CFreeList& list = FreeList();
    CParticle* particle = list.head;
    if (!particle) return new CParticle;
    list.head = particle->next;
    --list.count;
    particle->prev = particle->next = nullptr;
    return particle;
}

void ReleaseParticle(CParticle* particle) {
    // clear() keeps the vector's room, so the record's next life does not
    // allocate for its first sub-emitters either.
    particle->subEmitters.clear();
    CFreeList& list = FreeList();
    particle->prev = nullptr;
    particle->next = list.head;
    list.head = particle;
    ++list.count;
}

size_t GetFreeParticleCount() { return FreeList().count; }

} // namespace VexaParticles
