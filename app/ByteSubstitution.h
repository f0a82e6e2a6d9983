#pragma once
// Maps a buffer in place through a 256-byte table (bytes[i] = table[bytes[i]]),
// the decoding of scrambled pack entries. Whole-buffer passes with the table
// held in registers: 64 bytes per step where the processor has AVX-512 VBMI,
// 32 with AVX2, eight otherwise.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Engine {

void SubstituteBytes(const uint8_t* table, uint8_t* bytes, size_t count);

using SubstituteFunction = void (*)(const uint8_t* table, uint8_t* bytes, size_t count);
// Every way this processor can run, widest first; SubstituteBytes uses the
// first. The tests check each.
std::vector<SubstituteFunction> SubstituteImplementations();

} // namespace Engine
