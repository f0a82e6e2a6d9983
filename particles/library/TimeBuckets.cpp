#include "particles/library/TimeBuckets.h"

#include <cmath>

namespace VexaParticles {

CTimeBuckets::CTimeBuckets(const void* items, size_t stride, size_t n, std::span<uint32_t> room)
    : m_items(static_cast<const unsigned char*>(items)), m_stride(stride), m_count(n), m_starts(room.data()),
      m_buckets(BucketsFor(n)) {
    size_t counted = 0;  // the values before the NaNs
    while (counted < n && !std::isnan(Value(counted))) ++counted;
    size_t first = 0, last = counted;
    while (first < counted && std::isinf(Value(first))) ++first;
    while (last > first && std::isinf(Value(last - 1))) --last;
    m_lastBucket = float(m_buckets - 1);
    m_firstFinite = first;
    m_lastGuess = float(n);
    if (last > first) {
        m_low = Value(first);
        const float span = Value(last - 1) - m_low;
        // Any positive scale keeps bucket(x) rising with x; one that
        // overflows or vanishes only bunches the values together. A guess
        // needs no care: a wrong one is not confirmed.
        if (span > 0.0f) {
            m_scale = float(m_buckets) / span;
            m_valuesPerUnit = float(last - 1 - first) / span;
        }
        m_bGuesses = GuessesHold(span);
    }
    uint32_t* starts = room.data();
    size_t bucket = 0;
    for (size_t i = 0; i < counted; ++i)
        for (const size_t of = BucketOf(Value(i)); bucket <= of; ++bucket) starts[bucket] = uint32_t(i);
    for (; bucket <= m_buckets; ++bucket) starts[bucket] = uint32_t(counted);
}

bool CTimeBuckets::GuessesHold(float span) const {
    size_t held = 0;
    for (size_t probe = 0; probe < kGuessProbes; ++probe) {
        const float t = m_low + span * ((float(probe) + 0.5f) / float(kGuessProbes));
        held += Confirms(t, Guess(t)) ? 1 : 0;
    }
    return 2 * held > kGuessProbes;
}

} // namespace VexaParticles
