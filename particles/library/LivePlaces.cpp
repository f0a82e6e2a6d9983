#include "particles/library/LivePlaces.h"

#include <algorithm>
#include <bit>

namespace VexaParticles {

void CLivePlaces::Reset(int64_t size) {
    const size_t n = size_t(std::max<int64_t>(size, 0));
    m_tree.assign(n, 1);
    for (size_t i = 1; i <= n; ++i)
        if (const size_t up = i + (i & (~i + 1)); up <= n) m_tree[up - 1] += m_tree[i - 1];
    m_live.assign(n, true);
    m_count = int64_t(n);
}

int64_t CLivePlaces::CountBefore(int64_t place) const {
    const int64_t size = int64_t(m_live.size());
    int64_t count = std::max<int64_t>(place - size, 0);
    for (size_t i = size_t(std::clamp<int64_t>(place, 0, size)); i > 0; i &= i - 1) count += m_tree[i - 1];
    return count;
}

int64_t CLivePlaces::Take(int64_t rank) {
    if (rank < 0 || rank >= m_count) return -1;
    // Descend to the last prefix holding `rank` places there: the next is it.
    size_t at = 0;
    for (size_t step = std::bit_floor(m_tree.size()); step > 0; step >>= 1)
        if (at + step <= m_tree.size() && m_tree[at + step - 1] <= rank) {
            at += step;
            rank -= m_tree[at - 1];
        }
    m_live[at] = false;
    --m_count;
    for (size_t i = at + 1; i <= m_tree.size(); i += i & (~i + 1)) --m_tree[i - 1];
    return int64_t(at);
}

} // namespace VexaParticles
