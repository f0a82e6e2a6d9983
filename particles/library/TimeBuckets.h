#pragma once
// How many of n non-decreasing floats lie below t; NaNs, allowed only at
// the end, lie below none. The span from the first finite value to the last
// is cut into equal buckets of about kValuesPerBucket values, and each
// bucket keeps where its values start. Where the values are spread about
// evenly (as editors and samplers write keys), a search first guesses its
// count from t, and keeps the guess when the two values either side of it
// confirm it: one read of memory where a bisection makes log2(n) dependent
// ones. Otherwise it finds its bucket from t, reads where the bucket starts
// and counts inside it. A bucket holding many values (times bunched
// together) is bisected, so no search reads more than O(log n).
//
// The answer is exact for any values: a guess is kept only when the value
// before it is below t and the one at it is not, and bucket(x) never falls
// as x rises, so every value in an earlier bucket than t's is below t and
// none in a later one is.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "particles/library/LeadingRun.h"

namespace VexaParticles {

class CTimeBuckets {
public:
    static constexpr size_t kValuesPerBucket = 2;
    // Bucket starts are 32-bit.
    static constexpr size_t kMaxValues = UINT32_MAX;

    // Bucket starts an index over n values needs.
    static size_t RoomFor(size_t n) { return BucketsFor(n) + 1; }

    CTimeBuckets() = default;
    // Over n <= kMaxValues values, each the float at the start of an item of
    // `stride` bytes from `items`; the items and room (RoomFor(n) starts) are
    // kept as long as the index.
    CTimeBuckets(const void* items, size_t stride, size_t n, std::span<uint32_t> room);

    bool IsEmpty() const { return m_starts == nullptr; }

    size_t CountBelow(float t) const {
        CSearch search{this, t, 0, 0};
        CountBelow({&search, 1});
        return search.count;
    }

    // Asks for the line a search for t reads first, so that a search made
    // later finds it in the cache. Changes nothing.
    void Prefetch(float t) const {
        CSearch search{this, t, 0, 0};
        Start(search);
    }

    // One search of a batch; count is its answer once the batch has run.
    // No initialisers: a batch's array of them is filled as it is used.
    struct CSearch {
        const CTimeBuckets* index;
        float t;
        size_t count;
        size_t end;  // a search's stage until the bucket is read
    };
    // Runs the searches together, each step for all of them before the
    // next, so that the lines they miss are all asked for before any is
    // waited on.
    static void CountBelow(std::span<CSearch> searches) {
        for (CSearch& search : searches) search.index->Start(search);
        for (CSearch& search : searches) {
            if (search.end != kGuessing) continue;
            const CTimeBuckets& index = *search.index;
            if (index.Confirms(search.t, search.count))
                search.end = kGuessed;
            else
                index.StartBucket(search);
        }
        for (CSearch& search : searches) {
            if (search.end != kInBucket) continue;
            const CTimeBuckets& index = *search.index;
            const uint32_t* start = index.m_starts + search.count;
            search.count = start[0];
            search.end = start[1];
            __builtin_prefetch(index.Item(search.count));
        }
        for (CSearch& search : searches)
            if (search.end != kGuessed) search.count = search.index->CountIn(search.t, search.count, search.end);
    }

private:
    static constexpr size_t kMaxBuckets = size_t(1) << 24;  // float(kMaxBuckets) is exact
    // Buckets holding at most this many values are counted one by one.
    static constexpr size_t kScannedValues = 4 * kValuesPerBucket;

    static size_t BucketsFor(size_t n) {
        const size_t buckets = n / kValuesPerBucket;
        return buckets < 1 ? 1 : buckets > kMaxBuckets ? kMaxBuckets : buckets;
    }

    // Stages of a search, kept in its end until the bucket's end is read.
    static constexpr size_t kGuessing = SIZE_MAX, kGuessed = SIZE_MAX - 1, kInBucket = SIZE_MAX - 2;
    // Guesses are made for an index when more than half of a spread of
    // probes over its span confirm them: otherwise a guess is one more read
    // before the bucket's.
    static constexpr size_t kGuessProbes = 256;

    const unsigned char* Item(size_t i) const { return m_items + i * m_stride; }
    float Value(size_t i) const {
        float value;
        std::memcpy(&value, Item(i), sizeof value);
        return value;
    }

    size_t BucketOf(float t) const {
        const float at = (t - m_low) * m_scale;
        if (!(at >= 1.0f)) return 0;  // NaN included
        if (at >= m_lastBucket) return m_buckets - 1;
        return size_t(at);
    }

    // The count below t were the values from the first finite one to the
    // last spread evenly between them; any count from 0 to n.
    size_t Guess(float t) const {
        const float at = (t - m_low) * m_valuesPerUnit;
        if (!(at >= 0.0f)) return m_firstFinite;  // NaN included
        if (at >= m_lastGuess) return m_count;
        return std::min(m_firstFinite + size_t(at) + 1, m_count);
    }

    // Whether exactly `count` values lie below t: the one before is below
    // and the one at count is not (or there is none).
    bool Confirms(float t, size_t count) const {
        return (count == 0 || Value(count - 1) < t) && (count == m_count || !(Value(count) < t));
    }

    // A search's first step: its guess, or its bucket, and the line that
    // holds what it reads next asked for.
    void Start(CSearch& search) const {
        if (!m_bGuesses) return StartBucket(search);
        search.count = Guess(search.t);
        search.end = kGuessing;
        __builtin_prefetch(Item(search.count > 0 ? search.count - 1 : 0));
        __builtin_prefetch(Item(search.count));
    }

    void StartBucket(CSearch& search) const {
        search.count = BucketOf(search.t);
        search.end = kInBucket;
        __builtin_prefetch(m_starts + search.count);
    }

    bool GuessesHold(float span) const;

    // How many of the values from..to-1, all in one bucket, lie below t.
    size_t CountIn(float t, size_t from, size_t to) const {
        if (to - from <= kScannedValues) {
            size_t count = from;
            for (size_t i = from; i < to; ++i) count += Value(i) < t ? 1 : 0;
            return count;
        }
        return from + LeadingRun(to - from, [this, from, t](size_t i) { return Value(from + i) < t; });
    }

    const unsigned char* m_items = nullptr;
    size_t m_stride = 0;
    size_t m_count = 0;
    const uint32_t* m_starts = nullptr;  // bucket b's values begin at m_starts[b]; m_buckets + 1 of them
    size_t m_buckets = 0;
    float m_low = 0;         // the first finite value
    float m_scale = 0;       // buckets per unit of value
    float m_lastBucket = 0;  // m_buckets - 1, as a float
    size_t m_firstFinite = 0;   // the index of m_low
    float m_valuesPerUnit = 0;  // between the first finite value and the last
    float m_lastGuess = 0;      // m_count, as a float: a guess at or past it is the count
    bool m_bGuesses = false;
};

} // namespace VexaParticles
