#include "particles/library/LivePlaces.h"

#include <algorithm>
#include <bit>

namespace VexaParticles {

void CLivePlaces::Reset(int64_t size) {
    // Until a place goes, no list is needed: every place counts as there.
    m_tree.clear();
    m_live.clear();
    m_count = std::max<int64_t>(size, 0);
}

void CLivePlaces::Build() {
    const size_t n = size_t(m_count);
    m_tree.assign(n, 1);
    for (size_t i = 1; i <= n; ++i)
        if (const size_t up = i + (i & (~i + 1)); up <= n) m_tree[up - 1] += m_tree[i - 1];
    m_live.assign(n, true);
}

int64_t CLivePlaces::CountBefore(int64_t place) const {
    const int64_t size = int64_t(m_live.size());
    int64_t count = std::max<int64_t>(place - size, 0);
    for (size_t i = size_t(std::clamp<int64_t>(place, 0, size)); i > 0; i &= i - 1) count += m_tree[i - 1];
    return count;
}

int64_t CLivePlaces::Find(int64_t rank) const {
    if (rank < 0 || rank >= m_count) return -1;
    // Descend to the last prefix holding `rank` places there: the next is it.
    size_t at = 0;
    for (size_t step = std::bit_floor(m_tree.size()); step > 0; step >>= 1)
        if (at + step <= m_tree.size() && m_tree[at + step - 1] <= rank) {
            at += step;
            rank -= m_tree[at - 1];
        }
    return int64_t(at);
}

const std::vector<int64_t>& CLivePlaces::Take(int64_t rank, int64_t count) {
    m_taken.clear();
    if (m_live.empty()) Build();
    const int64_t found = Find(rank);
    if (found < 0 || count <= 0) return m_taken;
    // Every place there from the first let go to the last goes: a node
    // (1-based i, over places [i - lowbit(i), i)) within that stretch keeps
    // none, one that begins before it loses those let go up to its end.
    const size_t first = size_t(found);
    size_t place = first;
    for (; int64_t(m_taken.size()) < count && place < m_live.size(); ++place) {
        if (m_live[place]) {
            m_live[place] = false;
            m_taken.push_back(int64_t(place));
        }
        const size_t node = place + 1;
        if (node - (node & (~node + 1)) >= first)
            m_tree[node - 1] = 0;
        else
            m_tree[node - 1] -= int64_t(m_taken.size());
    }
    // The nodes after the stretch that hold part of it hold its end: they
    // lose those let go from where they begin.
    for (size_t node = place + (place & (~place + 1)); node <= m_tree.size(); node += node & (~node + 1)) {
        const int64_t begin = int64_t(node - (node & (~node + 1)));
        m_tree[node - 1] -= m_taken.end() - std::lower_bound(m_taken.begin(), m_taken.end(), begin);
    }
    m_count -= int64_t(m_taken.size());
    return m_taken;
}

} // namespace VexaParticles
