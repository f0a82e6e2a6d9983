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
    int32_t GetTotalWeight() const { return m_nTotalWeight; }
    const CVexaAse* GetLibrary() const { return m_library; }
    void SetLibrary(const CVexaAse* library) { m_library = library; }
    bool IsBorrowed() const { return m_bBorrowed; }
    void SetBorrowed() { m_bBorrowed = true; }

    // Resolves the instance IDs against the list's library. A total weight
    // beyond the signed 32-bit range is refused.
    friend void ReadMeshReferences(CVexaInput& input, CMeshReferenceList& list);

private:
    int32_t m_nTotalWeight = 0;
    std::shared_ptr<const std::vector<CMeshReference>> m_entries;
    const CVexaAse* m_library = nullptr;
    bool m_bBorrowed = false;
};

void ReadMeshReferences(CVexaInput& input, CMeshReferenceList& list);

} // namespace VexaParticles
