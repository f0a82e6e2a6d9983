#include "particles/library/CountBelowTree.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace VexaParticles {
namespace {

constexpr size_t kLineBytes = 64;
constexpr float kAbove = std::numeric_limits<float>::infinity();

size_t NodesFor(size_t items, size_t perNode) { return (items + perNode - 1) / perNode; }

// Node counts from the leaves up to the single root.
template <class Each>
size_t ForEachLevel(size_t n, Each each) {
    size_t nodes = NodesFor(n, CCountBelowTree::kNodeFloats);
    size_t levels = 0;
    for (;;) {
        each(levels++, nodes);
        if (nodes == 1) return levels;
        nodes = NodesFor(nodes, CCountBelowTree::kFanOut);
    }
}

} // namespace

size_t CCountBelowTree::RoomFor(size_t n) {
    if (n == 0) return 0;
    size_t floats = 0;
    ForEachLevel(n, [&floats](size_t, size_t nodes) { floats += nodes * kNodeFloats; });
    return floats + kLineBytes / sizeof(float) - 1;
}

void CCountBelowTree::Plan(float* room) {
    const auto address = reinterpret_cast<uintptr_t>(room);
    m_nodes = room + ((kLineBytes - address % kLineBytes) % kLineBytes) / sizeof(float);
    std::array<size_t, kMaxLevels> nodes{};
    m_levels = ForEachLevel(m_count, [&nodes](size_t level, size_t count) { nodes[level] = count; });
    // Root first: each level starts after every level above it.
    size_t start = 0;
    for (size_t level = m_levels; level-- > 0;) {
        m_levelStart[level] = start;
        start += nodes[level];
    }
}

void CCountBelowTree::BuildNodes() {
    float* leaves = Leaves();
    const size_t leafNodes = NodesFor(m_count, kNodeFloats);
    for (size_t i = 0; i < m_count; ++i)
        if (std::isnan(leaves[i])) leaves[i] = kAbove;
    for (size_t i = m_count; i < leafNodes * kNodeFloats; ++i) leaves[i] = kAbove;
    // Key j of a node is the first value under its child j + 1, so the
    // keys below t are the children wholly below t, and the search goes on
    // in the next child. A child past the level's end gets a key above
    // every t.
    size_t below = 1;  // leaves under one node of the level below
    size_t childNodes = leafNodes;
    for (size_t level = 1; level < m_levels; ++level) {
        float* node = m_nodes + m_levelStart[level] * kNodeFloats;
        const size_t nodes = NodesFor(childNodes, kFanOut);
        for (size_t parent = 0; parent < nodes; ++parent, node += kNodeFloats)
            for (size_t key = 0; key < kNodeFloats; ++key) {
                const size_t child = parent * kFanOut + key + 1;
                node[key] = child < childNodes ? leaves[child * below * kNodeFloats] : kAbove;
            }
        below *= kFanOut;
        childNodes = nodes;
    }
}

} // namespace VexaParticles
