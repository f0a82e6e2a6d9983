#include "particles/library/ParticlePool.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "particles/library/VexaParticleEmitter.h"

namespace VexaParticles {
namespace {

// Records are made in blocks, so that particles born together lie together
// in memory and the per-frame walks over them stay cache-friendly.
constexpr size_t kBlockSize = 256;
static_assert(kMaxParticleRecords % kBlockSize == 0);

// Linked through the records' next field. Records are never freed while the
// process runs; the blocks stay reachable from here, those written off too.
struct CFreeList {
    CParticle* head = nullptr;
    size_t count = 0;
    std::vector<std::unique_ptr<CParticle[]>> blocks;
    size_t copies = 0;  // attached sub-emitter copies
    size_t copyUnits = 0;  // the units they took
    size_t writtenOff = 0;  // records left in use with memory left to the process's end
    size_t cap = kMaxParticleRecords;

    size_t Held() const { return blocks.size() * kBlockSize - writtenOff; }
    size_t UnitsInUse() const { return Held() - count + copyUnits; }
};

CFreeList& FreeList() {
    // Never destroyed: emitters that outlive static destruction still give
    // their records back.
    static CFreeList& list = *new CFreeList;
    return list;
}

} // namespace

CParticle* AcquireParticle() {
    CFreeList& list = FreeList();
    if (list.UnitsInUse() >= list.cap) return nullptr;
    if (!list.head) {
        if (list.Held() >= kMaxParticleRecords) return nullptr;
        list.blocks.push_back(std::make_unique<CParticle[]>(kBlockSize));
        CParticle* block = list.blocks.back().get();
        // Linked from the back so that they come out in address order.
        for (size_t i = kBlockSize; i-- > 0;) {
            block[i].next = list.head;
            list.head = &block[i];
        }
        list.count += kBlockSize;
    }
    CParticle* particle = list.head;
    list.head = particle->next;
    --list.count;
    particle->prev = particle->next = nullptr;
    return particle;
}

void ReleaseParticle(CParticle* particle) {
    // clear() keeps the vector's room, so the record's next life does not
    // allocate for its first sub-emitters either.
    particle->subEmitters.clear();
    particle->copyUnits = 0;
    CFreeList& list = FreeList();
    particle->prev = nullptr;
    particle->next = list.head;
    list.head = particle;
    ++list.count;
}

bool TakeSubEmitterUnits(size_t units) {
    CFreeList& list = FreeList();
    if (units > list.cap - std::min(list.cap, list.UnitsInUse())) return false;
    ++list.copies;
    list.copyUnits += units;
    return true;
}

void ReturnSubEmitterUnits(size_t units) {
    CFreeList& list = FreeList();
    --list.copies;
    list.copyUnits -= units;
}

size_t GetSubEmitterCopyCount() { return FreeList().copies; }

size_t GetParticleUnitsInUse() { return FreeList().UnitsInUse(); }

void SetParticleRecordCap(size_t cap) {
    FreeList().cap = cap == 0 || cap > kMaxParticleRecords ? kMaxParticleRecords : cap;
}

size_t GetParticleRecordCap() { return FreeList().cap; }

size_t GetFreeParticleCount() { return FreeList().count; }

void WriteOffParticleUnits(size_t records, size_t copies, size_t copyUnits) {
    CFreeList& list = FreeList();
    list.writtenOff += records;
    list.copies -= copies;
    list.copyUnits -= copyUnits;
}

size_t GetParticleRecordCount() { return FreeList().Held(); }

} // namespace VexaParticles
