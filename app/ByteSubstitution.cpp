#include "app/ByteSubstitution.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define MOSARK_SUBSTITUTE_AVX2 1
#include <immintrin.h>
#endif

namespace Engine {

namespace {

// Eight bytes per word: one load and one store per word, and the table
// pointer in a register rather than reloaded after each byte store (byte
// stores may alias anything).
void SubstituteWords(const uint8_t* __restrict table, uint8_t* __restrict bytes, size_t count) {
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        uint64_t mapped = 0;
        for (int shift = 0; shift < 64; shift += 8) mapped |= uint64_t(table[(word >> shift) & 0xFF]) << shift;
        std::memcpy(bytes + i, &mapped, 8);
    }
    for (; i < count; ++i) bytes[i] = table[bytes[i]];
}

#if MOSARK_SUBSTITUTE_AVX2

// The table as sixteen 16-byte slices, one per high nibble. For slice k,
// (x ^ k << 4) +sat 0x70 keeps the low nibble and leaves bit 7 clear only
// where x's high nibble is k; the shuffle gives 0 wherever bit 7 is set, so
// OR-ing the sixteen lookups picks each byte's one entry.
__attribute__((target("avx2"))) void SubstituteAvx2(const uint8_t* table, uint8_t* bytes, size_t count) {
    __m256i slices[16];
    for (int k = 0; k < 16; ++k)
        slices[k] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 16 * k)));
    const __m256i bias = _mm256_set1_epi8(0x70);
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        auto* at = reinterpret_cast<__m256i*>(bytes + i);
        const __m256i x = _mm256_loadu_si256(at);
        __m256i result = _mm256_setzero_si256();
        for (int k = 0; k < 16; ++k) {
            const __m256i index = _mm256_adds_epu8(_mm256_xor_si256(x, _mm256_set1_epi8(char(k << 4))), bias);
            result = _mm256_or_si256(result, _mm256_shuffle_epi8(slices[k], index));
        }
        _mm256_storeu_si256(at, result);
    }
    SubstituteWords(table, bytes + i, count - i);
}

// The whole table in four 64-byte registers: two two-register byte
// permutes look each byte up in both halves (by its low seven bits) and its
// top bit picks the half. The tail goes the AVX2 way.
__attribute__((target("avx2,avx512f,avx512bw,avx512vbmi"))) void SubstituteVbmi(const uint8_t* table, uint8_t* bytes,
                                                                                  size_t count) {
    const __m512i quarter0 = _mm512_loadu_si512(table);
    const __m512i quarter1 = _mm512_loadu_si512(table + 64);
    const __m512i quarter2 = _mm512_loadu_si512(table + 128);
    const __m512i quarter3 = _mm512_loadu_si512(table + 192);
    size_t i = 0;
    for (; i + 64 <= count; i += 64) {
        const __m512i x = _mm512_loadu_si512(bytes + i);
        const __m512i low = _mm512_permutex2var_epi8(quarter0, x, quarter1);
        const __m512i high = _mm512_permutex2var_epi8(quarter2, x, quarter3);
        _mm512_storeu_si512(bytes + i, _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high));
    }
    SubstituteAvx2(table, bytes + i, count - i);
}

#endif

} // namespace

std::vector<SubstituteFunction> SubstituteImplementations() {
    std::vector<SubstituteFunction> found;
#if MOSARK_SUBSTITUTE_AVX2
    __builtin_cpu_init();
    const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2 && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi"))
        found.push_back(&SubstituteVbmi);
    if (avx2) found.push_back(&SubstituteAvx2);
#endif
    found.push_back(&SubstituteWords);
    return found;
}

void SubstituteBytes(const uint8_t* table, uint8_t* bytes, size_t count) {
    static const SubstituteFunction substitute = SubstituteImplementations().front();
    substitute(table, bytes, count);
}

} // namespace Engine
