#pragma once
// Keys in file order, with what finds the segment that brackets a time in
// O(log n) whatever the order of the times: sampling runs for every particle
// at every step, so it must not walk a key count the file chose. The order
// is checked, and the search tree built, once, when the keys are read;
// copies of a curve share the table. Lookups keep no state and allocate
// nothing, since the time they ask for goes back (wraps, resets, repeats).
//
// The table only views its keys and tree: whoever holds them holds the
// table beside them (an effect file's key store, or OwnKeyTable), so the
// table needs no destructor and letting go of it frees nothing of its own.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>
#include <span>
#include <type_traits>
#include <vector>

#include "particles/library/CountBelowTree.h"

namespace VexaParticles {

// Point is what sampling reads of a key, floats only, with the key's time
// first: the key itself, or a smaller copy made by Point::Of(key) so that a
// long table's reads stay in fewer cache lines.
template <class Key, class Point = Key>
class CKeyTable {
    static constexpr bool kCopiesPoints = !std::is_same_v<Key, Point>;
    static_assert(std::is_trivially_copyable_v<Point> && sizeof(Point) % sizeof(float) == 0 &&
                  alignof(Point) <= alignof(float));

public:
    // Over keys that outlive the table. room(n) gives n floats, kept as long
    // as the keys, for the copied points and the search tree; it is asked
    // once at most.
    template <class Room>
    CKeyTable(std::span<const Key> keys, Room room)
        : m_keys(keys.data()), m_count(keys.size()), m_bInOrder(TimesRise()) {
        const size_t pointFloats = kCopiesPoints ? m_count * (sizeof(Point) / sizeof(float)) : 0;
        const size_t searched = m_count > 1 ? m_count - 1 : 0;
        // A short table is bisected: its times in place when they rise,
        // else their maxima; a long one gets a tree.
        const bool tree = searched > kBisectedCount;
        const size_t searchFloats = tree ? CCountBelowTree::RoomFor(searched) : m_bInOrder ? 0 : searched;
        float* floats = pointFloats + searchFloats > 0 ? room(pointFloats + searchFloats) : nullptr;
        if constexpr (kCopiesPoints) {
            auto* points = reinterpret_cast<Point*>(floats);
            for (size_t i = 0; i < m_count; ++i) points[i] = Point::Of(m_keys[i]);
            m_points = points;
        } else {
            m_points = m_keys;
        }
        if (tree) {
            m_search = CCountBelowTree(searched, floats + pointFloats, [this](float* values) { SearchedTimes(values); });
        } else if (!m_bInOrder) {
            SearchedTimes(floats + pointFloats);
            m_maxima = floats + pointFloats;
        }
    }

    std::span<const Key> GetKeys() const { return {m_keys, m_count}; }
    // What sampling reads of the keys, in the same order.
    std::span<const Point> GetPoints() const { return {m_points, m_count}; }
    // True when the times from key 1 on never fall (a NaN counted above every
    // number), so the search reads the times themselves.
    bool IsInOrder() const { return m_bInOrder; }

    // Where a walk forward from key 1 stops: the first index in [1, end)
    // whose time is not less than t (a NaN time never is less), else end.
    // Needs 1 <= end <= the key count.
    size_t FirstNotBefore(float t, size_t end) const {
        if (HasSearchTree()) return std::min(1 + m_search.CountBelow(t), end);
        if (m_maxima) return 1 + FirstFalse(m_maxima, end - 1, [t](float highest) { return highest < t; });
        return 1 + FirstFalse(m_points + 1, end - 1, [t](const Point& point) { return point.time < t; });
    }
    // The same, searched with others: what to hand to
    // CCountBelowTree::CountBelow, and the answer from what it found.
    // Short tables have no tree: they are bisected.
    bool HasSearchTree() const { return m_search.GetCount() > 0; }
    CCountBelowTree::CSearch StartSearch(float t) const { return {&m_search, t, 0}; }
    size_t FirstNotBefore(const CCountBelowTree::CSearch& search, size_t end) const {
        if (!HasSearchTree()) return FirstNotBefore(search.t, end);
        const size_t first = std::min(1 + search.count, end);
        // The points either side are read next: fetch them while the
        // other answers are taken.
        __builtin_prefetch(m_points + first - 1);
        __builtin_prefetch(m_points + first);
        return first;
    }

private:
    static constexpr size_t kBisectedCount = 2 * CCountBelowTree::kNodeFloats;

    // The times from key 1 on when they rise; else their running maxima:
    // "some key of 1..i is not before t" exactly when the highest of them is
    // not, and the maxima never fall. The tree counts a NaN above every
    // number, as the walk does.
    void SearchedTimes(float* values) const {
        float highest = -std::numeric_limits<float>::infinity();
        for (size_t i = 1; i < m_count; ++i) {
            const float time = m_keys[i].time;
            if (!m_bInOrder) highest = std::isnan(time) ? std::numeric_limits<float>::infinity() : std::max(highest, time);
            values[i - 1] = m_bInOrder ? time : highest;
        }
    }

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
    const Point* m_points = nullptr;
    const float* m_maxima = nullptr;  // of a short table whose times do not rise
    size_t m_count;
    bool m_bInOrder;
    CCountBelowTree m_search;  // of a long table: over the times, or their maxima, from key 1 on
};

// A table holding its own keys, points and tree, for curves made outside a
// file (tools, tests): one allocation for the table and one per array. Null
// without keys.
template <class Key, class Point = Key>
std::shared_ptr<const CKeyTable<Key, Point>> OwnKeyTable(std::vector<Key> keys) {
    struct COwned {
        explicit COwned(std::vector<Key> owned)
            : keys(std::move(owned)), table(keys, [this](size_t count) {
                  floats.resize(count);
                  return floats.data();
              }) {}
        std::vector<Key> keys;
        std::vector<float> floats;
        CKeyTable<Key, Point> table;
    };
    if (keys.empty()) return nullptr;
    const auto owned = std::make_shared<const COwned>(std::move(keys));
    return {owned, &owned->table};
}

} // namespace VexaParticles
