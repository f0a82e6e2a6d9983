#include "particles/library/VexaParticleType.h"

#include <atomic>
#include <cmath>

#include "particles/library/ParticlePool.h"
#include "particles/library/VexaParticleEmitter.h"
#include "particles/library/VexaParticleLibrary.h"

namespace VexaParticles {

namespace {

std::atomic<int64_t> g_liveTypes{0};

} // namespace

CVexaParticleType::CVexaParticleType() { g_liveTypes.fetch_add(1, std::memory_order_relaxed); }

CVexaParticleType::~CVexaParticleType() {
    ClearParticles();
    g_liveTypes.fetch_sub(1, std::memory_order_relaxed);
}

int64_t CVexaParticleType::GetLiveCount() { return g_liveTypes.load(std::memory_order_relaxed); }

CParticleWorkBudget* CVexaParticleType::GetWorkBudget() const { return library ? &library->GetWorkBudget() : nullptr; }

CParticleWorkBudget* CVexaParticleType::GetOwnWorkBudget() const {
    return emitter && emitter->GetParentType() ? nullptr : GetWorkBudget();
}

bool CVexaParticleType::SamplesEmission() const {
    if (!emitter) return false;
    if (!IsOneShot()) return emitter->IsEmitting();
    return !emissionCounter && (emitter->IsEmitting() || !std::isnan(emitter->GetBurstStep().time));
}

void CVexaParticleType::CopyFromPrototype(const CVexaParticleType& prototype, CVexaParticleEmitter* owner) {
    shape = prototype.shape;
    words = prototype.words;
    gradient = prototype.gradient;
    gradient.SetBorrowed();
    curves = prototype.curves;
    for (CParameterCurve& curve : curves) curve.SetBorrowed();
    meshes = prototype.meshes;
    meshes.SetBorrowed();
    subEmitters = prototype.subEmitters;
    library = prototype.library;
    file = prototype.file;
    emitter = owner;
    isCopy = true;
    emissionCounter = 0;
    emissionRemainder = prototype.emissionRemainder;
}

void CVexaParticleType::ClearParticles() {
    // A type without particles leaves its library alone: a file's prototypes
    // may go after it.
    if (library && head) library->GetPoolHolding().AddRecords(-int64_t(liveCount));
    while (CParticle* particle = head) {
        head = particle->next;
        if (library) library->GetPoolHolding().DropCopies(*particle);
        ReleaseParticle(particle);
    }
    tail = nullptr;
    liveCount = 0;
}

void CVexaParticleType::LinkParticle(CParticle* particle) {
    particle->prev = nullptr;
    particle->next = head;
    if (head) head->prev = particle;
    else tail = particle;
    head = particle;
    ++liveCount;
    if (library) library->GetPoolHolding().AddRecords(1);
}

void CVexaParticleType::UnlinkParticle(CParticle* particle) {
    if (particle->prev) particle->prev->next = particle->next;
    else head = particle->next;
    if (particle->next) particle->next->prev = particle->prev;
    else tail = particle->prev;
    particle->prev = particle->next = nullptr;
    --liveCount;
    if (library) library->GetPoolHolding().AddRecords(-1);
}

void CVexaParticleType::FreeParticle(CParticle* particle) {
    UnlinkParticle(particle);
    if (library) library->GetPoolHolding().DropCopies(*particle);
    ReleaseParticle(particle);
}

} // namespace VexaParticles
