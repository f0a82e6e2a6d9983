#pragma once
// Keys in file order, with what finds the segment that brackets a time in
// O(log n) whatever the order of the times: sampling runs for every particle
// at every step, so it must not walk a key count the file chose. The order
// is checked, and the index built, once, when the keys are read;
// copies of a curve share the table. Lookups keep no state and allocate
// nothing, since the time they ask for goes back (wraps, resets, repeats).
//
// The table only views its keys and what it made: whoever holds them holds
// the table beside them (a key store), so the table needs no destructor and
// letting go of it frees nothing of its own.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <type_traits>

#include "particles/library/LeadingRun.h"
#include "particles/library/TimeBuckets.h"

namespace VexaParticles {

// Point is what sampling reads of a key, floats only, with the key's time
// first: the key itself, or a smaller copy made by Point::Of(key) so that a
// long table's reads stay in fewer cache lines.
template <class Key, class Point = Key>
class CKeyTable {
    static constexpr bool kCopiesPoints = !std::is_same_v<Key, Point>;
    static_assert(std::is_trivially_copyable_v<Point> && std::is_standard_layout_v<Point> &&
                  offsetof(Point, time) == 0 && sizeof(Point) % sizeof(float) == 0 && alignof(Point) <= alignof(float));

public:
    // Over keys that outlive the table. What the table makes (copied
    // points, an index) comes from store.Allocate<T>(n), kept as long as
    // the keys.
    template <class Store>
    CKeyTable(std::span<const Key> keys, Store& store)
        : m_keys(keys.data()), m_count(keys.size()), m_bInOrder(TimesRise()) {
        if constexpr (kCopiesPoints) {
            const std::span<Point> points = store.template Allocate<Point>(m_count);
            for (size_t i = 0; i < m_count; ++i) points[i] = Point::Of(m_keys[i]);
            m_points = points.data();
        } else {
            m_points = m_keys;
        }
        m_bFlat = HoldsOneValue();
        // A short table is bisected: its times in place when they rise,
        // else their maxima; a long one gets an index over the same, unless
        // it is flat and only a NaN is ever searched for.
        const size_t searched = m_count > 1 ? m_count - 1 : 0;
        if (!m_bInOrder) {
            const std::span<float> maxima = store.template Allocate<float>(searched);
            RunningMaxima(maxima);
            m_maxima = maxima.data();
        }
        if (!m_bFlat && searched > kBisectedCount && searched <= CTimeBuckets::kMaxValues) {
            const void* items = m_maxima ? static_cast<const void*>(m_maxima) : static_cast<const void*>(m_points + 1);
            m_index = CTimeBuckets(items, m_maxima ? sizeof(float) : sizeof(Point), searched,
                                   store.template Allocate<uint32_t>(CTimeBuckets::RoomFor(searched)));
        }
    }

    std::span<const Key> GetKeys() const { return {m_keys, m_count}; }
    // What sampling reads of the keys, in the same order.
    std::span<const Point> GetPoints() const { return {m_points, m_count}; }
    // True when the times from key 1 on never fall (a NaN counted above every
    // number), so the search reads the times themselves.
    bool IsInOrder() const { return m_bInOrder; }
    // True when every t but a NaN samples key 0's value: points of one
    // value, held by every key, at finite times (see HoldsOneValue).
    bool IsFlat() const { return m_bFlat; }

    // Where a walk forward from key 1 stops: the first index in [1, end)
    // whose time is not less than t (a NaN time never is less), else end.
    // Needs 1 <= end <= the key count.
    size_t FirstNotBefore(float t, size_t end) const {
        if (HasIndex()) return std::min(1 + m_index.CountBelow(t), end);
        if (m_maxima) return 1 + LeadingRun(end - 1, [this, t](size_t i) { return m_maxima[i] < t; });
        return 1 + LeadingRun(end - 1, [this, t](size_t i) { return m_points[1 + i].time < t; });
    }
    // The same, searched with others: what to hand to
    // CTimeBuckets::CountBelow, and the answer from what it found.
    // Short tables have no index: they are bisected.
    bool HasIndex() const { return !m_index.IsEmpty(); }
    CTimeBuckets::CSearch StartSearch(float t) const { return {&m_index, t, 0, 0}; }
    void Prefetch(float t) const {
        if (HasIndex()) m_index.Prefetch(t);
    }
    size_t FirstNotBefore(const CTimeBuckets::CSearch& search, size_t end) const {
        if (!HasIndex()) return FirstNotBefore(search.t, end);
        const size_t first = std::min(1 + search.count, end);
        // Out of order, the points either side are not those the index
        // read: fetch them while the other answers are taken.
        if (m_maxima) {
            __builtin_prefetch(m_points + first - 1);
            __builtin_prefetch(m_points + first);
        }
        return first;
    }

private:
    // Up to this many times (two cache lines of floats) a bisection in
    // place reads no more lines than an index would; more get an index.
    static constexpr size_t kBisectedCount = 32;

    // The running maxima of the times from key 1 on: "some key of 1..i is
    // not before t" exactly when the highest of them is not, and the maxima
    // never fall. A NaN counts above every number, as in the walk.
    void RunningMaxima(std::span<float> maxima) const {
        float highest = -std::numeric_limits<float>::infinity();
        for (size_t i = 1; i < m_count; ++i) {
            const float time = m_keys[i].time;
            highest = std::isnan(time) ? std::numeric_limits<float>::infinity() : std::max(highest, time);
            maxima[i - 1] = highest;
        }
    }

    // Between two keys a sample is v + (v - v) * u, with u finite and not
    // below 0 when the times and their span are finite: that is v, unless v
    // is -0 (which gives +0) or not finite (NaN). A t outside the keys gives
    // v too. Only points with one value (curves, not colours) can be flat.
    bool HoldsOneValue() const {
        if constexpr (requires(const Point& point) { point.value; }) {
            if (m_count < 2) return false;
            const float value = m_points[0].value;
            if (!std::isfinite(value) || std::bit_cast<uint32_t>(value + 0.0f) != std::bit_cast<uint32_t>(value))
                return false;
            float lowest = std::numeric_limits<float>::infinity(), highest = -lowest;
            for (size_t i = 0; i < m_count; ++i) {
                const Point& point = m_points[i];
                if (std::bit_cast<uint32_t>(point.value) != std::bit_cast<uint32_t>(value) || !std::isfinite(point.time))
                    return false;
                lowest = std::min(lowest, point.time);
                highest = std::max(highest, point.time);
            }
            return std::isfinite(highest - lowest);
        } else {
            return false;
        }
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
    const float* m_maxima = nullptr;  // of a table whose times do not rise
    size_t m_count;
    bool m_bInOrder;
    bool m_bFlat = false;
    CTimeBuckets m_index;  // of a long table: over the times, or their maxima, from key 1 on
};

} // namespace VexaParticles
