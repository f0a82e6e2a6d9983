#pragma once
// How many of n non-decreasing floats lie below t, a NaN counted above every
// number. The values are laid out as a static search tree of 16-float nodes,
// one cache line each: root first, then each level down to the leaves, which
// hold the values themselves. A search reads one node a level, about
// log17(n) lines, where a bisection over the values would read log2(n);
// sampling runs it for every particle and curve at every step, so the lines
// it misses, not the comparisons, are its cost.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace VexaParticles {

class CCountBelowTree {
public:
    static constexpr size_t kNodeFloats = 16;
    static constexpr size_t kFanOut = kNodeFloats + 1;

    // Floats of room a tree over n values needs, alignment slack included.
    static size_t RoomFor(size_t n);

    CCountBelowTree() = default;
    // Lays out n values in room of RoomFor(n) floats, kept as long as the
    // tree; fill(float*) writes the values, in order, at the pointer given.
    template <class Fill>
    CCountBelowTree(size_t n, float* room, Fill fill) : m_count(n) {
        if (n == 0) return;
        Plan(room);
        fill(Leaves());
        BuildNodes();
    }

    size_t GetCount() const { return m_count; }

    size_t CountBelow(float t) const {
        CSearch search{this, t, 0};
        CountBelow({&search, 1});
        return search.count;
    }

    // One search of a batch; count is its answer once the batch has run.
    // No initialisers: a batch's array of them is filled as it is used.
    struct CSearch {
        const CCountBelowTree* tree;
        float t;
        size_t count;
    };
    // Runs the searches together, one level of every tree at a time from
    // the roots down, so that the lines they miss are all asked for before
    // any is waited on.
    static void CountBelow(std::span<CSearch> searches) {
        size_t depth = 0;
        for (CSearch& search : searches) {
            search.count = 0;
            depth = std::max(depth, search.tree->m_levels);
        }
        for (size_t from = 0; from < depth; ++from)
            for (CSearch& search : searches) {
                const CCountBelowTree& tree = *search.tree;
                if (from >= tree.m_levels) continue;
                // count holds the node reached on this level.
                const size_t level = tree.m_levels - 1 - from;
                const float* node = tree.m_nodes + (tree.m_levelStart[level] + search.count) * kNodeFloats;
                search.count = search.count * (level > 0 ? kFanOut : kNodeFloats) + CountInNode(node, search.t);
                // Ask for the node below now: a prefetch waits for nothing,
                // so the whole level's misses are on their way together.
                if (level > 0) __builtin_prefetch(tree.m_nodes + (tree.m_levelStart[level - 1] + search.count) * kNodeFloats);
            }
    }

private:
    // Enough levels for any size_t count: 16 * 17^15 > 2^64.
    static constexpr size_t kMaxLevels = 16;

    // Four lanes at a time and no branch on the outcome: a node is one
    // line, compared whole.
    using CLanes = float __attribute__((vector_size(16)));
    using CMasks = int32_t __attribute__((vector_size(16)));
    static size_t CountInNode(const float* node, float t) {
        const CLanes at = {t, t, t, t};
        CMasks below = {0, 0, 0, 0};
        for (size_t lane = 0; lane < kNodeFloats; lane += 4) {
            CLanes values;
            std::memcpy(&values, node + lane, sizeof values);
            below += values < at;  // -1 where below
        }
        return size_t(-(below[0] + below[1] + below[2] + below[3]));
    }

    float* Leaves() const { return m_nodes + m_levelStart[0] * kNodeFloats; }
    // Sizes the levels and aligns the nodes inside room.
    void Plan(float* room);
    // Pads the leaves, counts NaN as infinity, and fills the levels above.
    void BuildNodes();

    float* m_nodes = nullptr;
    size_t m_count = 0;
    size_t m_levels = 0;  // the leaves are level 0, the root level m_levels - 1
    std::array<size_t, kMaxLevels> m_levelStart{};  // in nodes from m_nodes
};

} // namespace VexaParticles
