#pragma once
// The processor's cache line, and asking the caches for memory ahead of use.

#include <cstddef>

namespace Engine {

inline constexpr std::size_t kCacheLineBytes = 64;

// Asks the caches for every line of the bytes at object, so that a later read
// does not wait on memory. Reads nothing itself.
inline void PrefetchLines(const void* object, std::size_t bytes) {
    const auto* start = static_cast<const char*>(object);
    for (std::size_t offset = 0; offset < bytes; offset += kCacheLineBytes) __builtin_prefetch(start + offset);
}

} // namespace Engine
