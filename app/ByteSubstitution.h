#pragma once
// Maps a buffer in place through a 256-byte table (bytes[i] = table[bytes[i]]),
// the decoding of scrambled pack entries. Whole-buffer passes with the table
// held in registers: 32 bytes per step where the processor has AVX2, eight
// otherwise.

#include <cstddef>
#include <cstdint>

namespace Engine {

void SubstituteBytes(const uint8_t* table, uint8_t* bytes, size_t count);

} // namespace Engine
