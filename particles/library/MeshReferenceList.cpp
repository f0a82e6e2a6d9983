#include "particles/library/MeshReferenceList.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace VexaParticles {
namespace {

// draw x total / 2^32 rounded down, exact for any total below 2^63: always
// below the total, and each value as likely as its share of the draws.
uint64_t ScaleDraw(uint32_t draw, uint64_t total) {
    return uint64_t(draw) * (total >> 32) + ((uint64_t(draw) * (total & 0xFFFFFFFFu)) >> 32);
}

// The first entry whose weight exceeds r, taking r down by each weight
// passed; the last entry when none does.
template <class Weight>
size_t Walk(std::span<const CMeshReference> entries, int64_t r, Weight weight) {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (r < weight(entries[i])) return i;
        r -= weight(entries[i]);
    }
    return entries.size() - 1;
}

} // namespace

size_t CMeshReferenceList::PickIndex(uint32_t draw) const {
    const std::span<const CMeshReference> entries = GetEntries();
    if (entries.size() < 2) return 0;
    const int64_t total = m_nTotalWeight;
    if (total > 0 && total <= INT32_MAX) {
        auto weight = [](const CMeshReference& entry) { return int64_t(entry.weight); };
        return Walk(entries, int64_t(draw % uint64_t(total)), weight);
    }
    auto positive = [](const CMeshReference& entry) { return int64_t(std::max(entry.weight, 0)); };
    uint64_t positiveTotal = 0;
    if (total != 0)
        for (const CMeshReference& entry : entries) positiveTotal += uint64_t(positive(entry));
    if (positiveTotal == 0) return draw % entries.size();
    return Walk(entries, int64_t(ScaleDraw(draw, positiveTotal)), positive);
}

} // namespace VexaParticles
