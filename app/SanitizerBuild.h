#pragma once
// Whether this build runs under AddressSanitizer: such builds take every
// block from the heap and let go of everything, so that a use after release
// or a leak is still found.

namespace Engine {

// GCC marks an AddressSanitizer build with __SANITIZE_ADDRESS__; clang only
// answers __has_feature, which GCC 12 lacks.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizerBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizerBuild = true;
#else
inline constexpr bool kAddressSanitizerBuild = false;
#endif
#else
inline constexpr bool kAddressSanitizerBuild = false;
#endif

} // namespace Engine
