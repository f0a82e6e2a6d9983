#pragma once
// Keys in file order, with what finds the segment that brackets a time in
// O(log n) whatever the order of the times: sampling runs for every particle
// at every step, so it must not walk a key count the file chose. The order
// is checked, and the running maxima built, once, when the keys are read;
// copies of a curve share the table. Lookups keep no state and allocate
// nothing, since the time they ask for goes back (wraps, resets, repeats).
//
// The table only views its keys and maxima: whoever holds them holds the
// table beside them (an effect file's key store, or OwnKeyTable), so the
// table needs no destructor and letting go of it frees nothing of its own.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
#include <span>
#include <vector>

namespace VexaParticles {

template <class Key>
class CKeyTable {
public:
    // Over keys that outlive the table. room(n) gives n floats, kept as long
    // as the keys, for the maxima; it is asked only when the times do not rise.
    template <class Room>
    CKeyTable(std::span<const Key> keys, Room room) : m_keys(keys.data()), m_count(keys.size()) {
        if (TimesRise()) return;
        // maxima[i] is the highest time of keys 1..i, a NaN counted above
        // every number: "some key of 1..i is not before t" exactly when
        // maxima[i] is not before t, and the maxima never fall.
        float* maxima = room(m_count);
        float highest = -std::numeric_limits<float>::infinity();
        maxima[0] = highest;
        for (size_t i = 1; i < m_count; ++i) {
            const float time = m_keys[i].time;
            highest = std::isnan(time) ? std::numeric_limits<float>::infinity() : std::max(highest, time);
            maxima[i] = highest;
        }
        m_maxima = maxima;
    }

    std::span<const Key> GetKeys() const { return {m_keys, m_count}; }
    // True when the times from key 1 on never fall (a NaN counted above every
    // number), so the lookup bisects the times themselves.
    bool IsInOrder() const { return m_maxima == nullptr; }

    // Where a walk forward from key 1 stops: the first index in [1, end)
    // whose time is not less than t (a NaN time never is less), else end.
    // Needs 1 <= end <= the key count.
    size_t FirstNotBefore(float t, size_t end) const {
        if (!m_maxima) return 1 + FirstFalse(m_keys + 1, end - 1, [t](const Key& key) { return key.time < t; });
        return 1 + FirstFalse(m_maxima + 1, end - 1, [t](float highest) { return highest < t; });
    }

private:
    // The first of count items (a run of trues, then falses) for which
    // before is false, else count. Halves without a branch on the outcome:
    // for times spread at random each step would mispredict half the time.
    template <class Item, class Before>
    static size_t FirstFalse(const Item* first, size_t count, Before before) {
        if (count == 0) return 0;
        const Item* base = first;
        while (count > 1) {
            const size_t half = count / 2;
            base = before(base[half]) ? base + half : base;
            count -= half;
        }
        return size_t(base - first) + (before(*base) ? 1 : 0);
    }

    bool TimesRise() const {
        for (size_t i = 2; i < m_count; ++i) {
            const float before = m_keys[i - 1].time, after = m_keys[i].time;
            if (!std::isnan(after) && !(before <= after)) return false;
        }
        return true;
    }

    const Key* m_keys;
    const float* m_maxima = nullptr;  // null when the times rise
    size_t m_count;
};

// A table holding its own keys and maxima, for curves made outside a file
// (tools, tests): one allocation for the table and one per array. Null
// without keys.
template <class Key>
std::shared_ptr<const CKeyTable<Key>> OwnKeyTable(std::vector<Key> keys) {
    struct COwned {
        explicit COwned(std::vector<Key> owned)
            : keys(std::move(owned)), table(keys, [this](size_t count) {
                  maxima.resize(count);
                  return maxima.data();
              }) {}
        std::vector<Key> keys;
        std::vector<float> maxima;
        CKeyTable<Key> table;
    };
    if (keys.empty()) return nullptr;
    const auto owned = std::make_shared<const COwned>(std::move(keys));
    return {owned, &owned->table};
}

} // namespace VexaParticles
