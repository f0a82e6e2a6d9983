#pragma once
// The C runtime's rand()/srand() pair, reproduced exactly so that seeded
// sequences (noise tables, particle spreads) match on every platform; the C
// library's own rand() differs between runtimes.

#include <cstdint>

// Largest value CrtRand returns.
inline constexpr int kCrtRandMax = 0x7FFF;

// One generator with its own state: state = state * 214013 + 2531011
// (mod 2^32); each value is (state >> 16) & kCrtRandMax.
class CCrtGenerator {
public:
    explicit CCrtGenerator(uint32_t seed = 1) : m_state(seed) {}
    int Next() {
        m_state = m_state * 214013u + 2531011u;  // unsigned: wraps mod 2^32
        return static_cast<int>((m_state >> 16) & kCrtRandMax);
    }

private:
    uint32_t m_state;
};

// Seeds the calling thread's generator. Each thread starts with seed 1.
void CrtSrand(uint32_t seed);

// Next value 0..kCrtRandMax of the calling thread's generator.
int CrtRand();
