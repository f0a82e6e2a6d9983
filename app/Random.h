#pragma once
// The C runtime's rand()/srand() pair, reproduced exactly so that seeded
// sequences (noise tables, particle spreads) match on every platform; the C
// library's own rand() differs between runtimes.

#include <cstdint>

// Largest value CrtRand returns.
inline constexpr int kCrtRandMax = 0x7FFF;

// Seeds the calling thread's generator. Each thread starts with seed 1.
void CrtSrand(uint32_t seed);

// Next value 0..kCrtRandMax of the calling thread's generator:
// state = state * 214013 + 2531011 (mod 2^32); result = (state >> 16) & 0x7FFF.
int CrtRand();
