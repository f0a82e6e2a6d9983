#pragma once
// The mesh instances a particle type shows, with weights for picking one.
// Copies made from a prototype share its entries.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "particles/library/VexaAse.h"

namespace VexaParticles {

struct CMeshReference {
    const CVexaAse::CMeshInstance* instance = nullptr;  // null when the ID matches none
    int32_t weight = 0;
    float scale = 0;
    uint32_t randomRotation = 0;
};

class CMeshReferenceList {
public:
    std::span<const CMeshReference> GetEntries() const {
        return m_entries ? std::span<const CMeshReference>(*m_entries) : std::span<const CMeshReference>();
    }
    // The exact sum of the entry weights. Each weight may take the whole
    // signed 32-bit range, so the sum may be negative or beyond it.
    int64_t GetTotalWeight() const { return m_nTotalWeight; }

    // The entry a particle shows, for one draw of the particle generator;
    // only for lists of two entries or more (a single entry is taken without
    // a draw). A total in 1..2^31-1 walks the entries from r = draw mod
    // total, subtracting weights until r is below one; a total of 0 picks
    // draw mod count. Any other total (negative, or beyond 2^31-1) counts
    // weights below 0 as 0 and walks from r = floor(draw x P / 2^32), P the
    // sum of the positive weights, or picks draw mod count when P is 0.
    // A bisection over the bounds the list keeps, O(log count).
    size_t PickIndex(uint32_t draw) const;
    const CVexaAse* GetLibrary() const { return m_library; }
    void SetLibrary(const CVexaAse* library) { m_library = library; }
    bool IsBorrowed() const { return m_bBorrowed; }
    void SetBorrowed() { m_bBorrowed = true; }

    // Resolves the instance IDs against the list's library.
    friend void ReadMeshReferences(CVexaInput& input, CMeshReferenceList& list);

private:
    // Sets up m_bounds from the entries and the total, once they are read.
    void BuildPickBounds();

    int64_t m_nTotalWeight = 0;
    std::shared_ptr<const std::vector<CMeshReference>> m_entries;
    // After each entry, the largest running sum so far of the weights the
    // pick walks with (all of them for a total in 1..2^31-1, else those above
    // 0): the walk stops at the first entry whose bound exceeds r. Shared with
    // the copies, as the entries are.
    std::shared_ptr<const std::vector<int64_t>> m_bounds;
    const CVexaAse* m_library = nullptr;
    bool m_bBorrowed = false;
};

void ReadMeshReferences(CVexaInput& input, CMeshReferenceList& list);

} // namespace VexaParticles
