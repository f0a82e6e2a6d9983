#pragma once
// The one conversion between UTF-8 and UTF-16 text. Wide text is stored as
// UTF-8 unit by unit, so any sequence of 16-bit units (a lone surrogate too)
// comes back unchanged; reading also takes the 4-byte form other programs
// write. The ANSI code page of these stand-ins is UTF-8.

#include <string>
#include <string_view>

namespace Platform {

// Each 16-bit unit gives one to three bytes on its own: a surrogate pair
// becomes two 3-byte sequences.
std::string Utf16ToUtf8(std::u16string_view text);

// Sequences of one to three bytes give one unit (encoded surrogates
// included), 4-byte sequences a surrogate pair. Each byte of anything else
// (a bad lead, a truncated, overlong or out-of-range sequence) gives U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

} // namespace Platform
