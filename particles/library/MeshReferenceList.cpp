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

// Whether the pick walks with every weight as it is rather than with the
// weights above 0.
bool WalksSignedWeights(int64_t total) { return total > 0 && total <= INT32_MAX; }

} // namespace

size_t CMeshReferenceList::PickIndex(uint32_t draw) const {
    const size_t count = GetEntries().size();
    if (count < 2) return 0;
    const int64_t total = m_nTotalWeight;
    int64_t r = 0;
    if (WalksSignedWeights(total)) {
        r = int64_t(draw % uint64_t(total));
    } else {
        // The bounds are running sums of weights of at least 0 here, so the
        // last is the positive sum.
        const int64_t positiveTotal = total == 0 ? 0 : m_bounds->back();
        if (positiveTotal == 0) return draw % count;
        r = int64_t(ScaleDraw(draw, uint64_t(positiveTotal)));
    }
    // The walk takes r down by each weight passed and stops where r falls
    // below the weight, i.e. at the first running sum above r's start.
    const auto stop = std::upper_bound(m_bounds->begin(), m_bounds->end(), r);
    return std::min(size_t(stop - m_bounds->begin()), count - 1);
}

void CMeshReferenceList::BuildPickBounds() {
    m_bounds.reset();
    if (!m_entries) return;
    const bool signedWeights = WalksSignedWeights(m_nTotalWeight);
    auto bounds = std::make_shared<std::vector<int64_t>>();
    bounds->reserve(m_entries->size());
    int64_t sum = 0;
    int64_t most = INT64_MIN;
    for (const CMeshReference& entry : *m_entries) {
        sum += signedWeights ? entry.weight : std::max(entry.weight, 0);
        most = std::max(most, sum);
        bounds->push_back(most);
    }
    m_bounds = std::move(bounds);
}

} // namespace VexaParticles
