#pragma once
// Answers a key table's time look-ups in O(log n) with exactly the answers
// of a walk over the keys in table order, for every order the keys may lie
// in: reading does not sort, so a file may hold them in any order, with
// equal times, NaN times, -0.0 and 0.0.
//
// Keys in time order (NaN times last, as the sort leaves them) are bisected
// directly and need nothing else. Keys out of order get three arrays, made
// when the table is read or edited, never while it is evaluated:
//   - the suffix minima of the times: the last key at or before t is the
//     last index whose suffix minimum is at or before t;
//   - the prefix maxima: the first key at or after (or after) t is the
//     first index whose prefix maximum is so;
//   - the keys with a time by (time, index): the first key of exactly t.
// NaN never compares true, so it is the top of a minimum and the bottom of
// a maximum, and a key with a NaN time is never equal to anything.
//
// Times is any view with size() and operator[](size_t) giving a double.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Engine::Scene {

// The order of the key sort: a strict order even for NaN times (last).
inline bool KeyTimeLess(double a, double b) {
    const bool aNan = std::isnan(a), bNan = std::isnan(b);
    if (aNan || bNan) return !aNan && bNan;
    return a < b;
}

class CKeyTimeIndex {
public:
    // For keys just sorted: no arrays.
    void SetInOrder();
    bool InOrder() const { return !m_outOfOrder; }

    // Checks the order; keys out of order get the arrays.
    template <class Times>
    void Rebuild(const Times& times) {
        const size_t count = times.size();
        size_t i = 1;
        while (i < count && !KeyTimeLess(times[i], times[i - 1])) ++i;
        if (i >= count) {
            SetInOrder();
            return;
        }
        std::vector<double> copied(count);
        for (size_t k = 0; k < count; ++k) copied[k] = times[k];
        Build(copied);
    }

    // The last index whose time is at or before t; -1 when none is.
    template <class Times>
    int LastAtOrBefore(const Times& times, double t) const {
        if (!m_outOfOrder) return int(FirstFailing(times.size(), [&](size_t i) { return times[i] <= t; })) - 1;
        const std::vector<double>& suffixMin = m_outOfOrder->suffixMin;
        return int(FirstFailing(suffixMin.size(), [&](size_t i) { return suffixMin[i] <= t; })) - 1;
    }

    // The first index whose time is at or after t; -1 when none is.
    template <class Times>
    int FirstAtOrAfter(const Times& times, double t) const {
        const size_t count = times.size();
        if (!m_outOfOrder) {
            const size_t p = FirstFailing(count, [&](size_t i) { return times[i] < t; });
            return p < count && times[p] >= t ? int(p) : -1;
        }
        const std::vector<double>& prefixMax = m_outOfOrder->prefixMax;
        const size_t p = FirstFailing(count, [&](size_t i) { return !(prefixMax[i] >= t); });
        return p < count ? int(p) : -1;
    }

    // The first index whose time is after t; -1 when none is.
    template <class Times>
    int FirstAfter(const Times& times, double t) const {
        const size_t count = times.size();
        if (!m_outOfOrder) {
            const size_t p = FirstFailing(count, [&](size_t i) { return times[i] <= t; });
            return p < count && times[p] > t ? int(p) : -1;
        }
        const std::vector<double>& prefixMax = m_outOfOrder->prefixMax;
        const size_t p = FirstFailing(count, [&](size_t i) { return !(prefixMax[i] > t); });
        return p < count ? int(p) : -1;
    }

    // The first index whose time equals t; -1 when none does.
    template <class Times>
    int FirstEqual(const Times& times, double t) const {
        if (!m_outOfOrder) {
            const size_t count = times.size();
            const size_t p = FirstFailing(count, [&](size_t i) { return times[i] < t; });
            return p < count && times[p] == t ? int(p) : -1;
        }
        const std::vector<uint32_t>& byTime = m_outOfOrder->byTime;
        const size_t count = byTime.size();
        const size_t p = FirstFailing(count, [&](size_t i) { return times[byTime[i]] < t; });
        return p < count && times[byTime[p]] == t ? int(byTime[p]) : -1;
    }

private:
    // The first index in [0, count) where the predicate, true on a prefix,
    // turns false; count when it never does.
    template <class Pred>
    static size_t FirstFailing(size_t count, Pred pred) {
        size_t low = 0, high = count;
        while (low < high) {
            const size_t mid = low + (high - low) / 2;
            if (pred(mid))
                low = mid + 1;
            else
                high = mid;
        }
        return low;
    }

    void Build(const std::vector<double>& times);

    struct COutOfOrder {
        std::vector<double> suffixMin;
        std::vector<double> prefixMax;
        std::vector<uint32_t> byTime;  // the keys whose time is not NaN
    };
    // Null for keys in order: a table in order costs one pointer.
    std::unique_ptr<COutOfOrder> m_outOfOrder;
};

} // namespace Engine::Scene
