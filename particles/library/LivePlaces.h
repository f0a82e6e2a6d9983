#pragma once
// Places 0..size-1, some of them let go, found and counted by rank in
// logarithmic time (a Fenwick tree of the places still there): letting go
// of many runs of places then walks none of them whole. Places from the
// size on count as there. A reset costs nothing until a place goes.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace VexaParticles {

class CLivePlaces {
public:
    // `size` places, every one there.
    void Reset(int64_t size);
    bool IsLive(int64_t place) const { return place < 0 || size_t(place) >= m_live.size() || m_live[size_t(place)]; }
    // The places still there below `place`.
    int64_t CountBefore(int64_t place) const;
    // Lets go of the `count` places still there that `rank` such places
    // come before (those below the size); returns them in order, kept until
    // the next call. Costs the places from the first to the last let go,
    // and logarithmic time: a run of places goes in one walk.
    const std::vector<int64_t>& Take(int64_t rank, int64_t count);

private:
    // The lists of every place there, made when the first place goes.
    void Build();
    // The place still there that `rank` such places come before, or -1.
    int64_t Find(int64_t rank) const;

    std::vector<int64_t> m_tree;  // m_tree[i - 1] counts the places there in (i - lowbit(i), i]
    std::vector<bool> m_live;
    std::vector<int64_t> m_taken;
    int64_t m_count = 0;
};

} // namespace VexaParticles
