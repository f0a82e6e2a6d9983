#include "app/LogEscape.h"

#include <cstdint>

namespace {

// The length of the well-formed UTF-8 sequence of a printable character
// that starts at text[at], or 0. C1 control characters (U+0080 to U+009F),
// overlong forms, surrogates and values above U+10FFFF do not count.
size_t PrintableSequenceLength(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return uint8_t(text[at + i]); };
    const uint8_t lead = byte(0);
    size_t length = 0;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2, code = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3, code = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4, code = lead & 0x07;
    else return 0;
    if (text.size() - at < length) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(i) & 0x3F);
    }
    constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    if (code <= 0x9F) return 0;
    return length;
}

} // namespace

std::string EscapeForLog(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const uint8_t c = uint8_t(text[at]);
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
            ++at;
        } else if (const size_t length = PrintableSequenceLength(text, at)) {
            out.append(text.substr(at, length));
            at += length;
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
            ++at;
        }
    }
    return out;
}
