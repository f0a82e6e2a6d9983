#include "platform/Unicode.h"

namespace Platform {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Decodes one sequence at text[i] and advances i past it; an invalid one
// gives U+FFFD and consumes its first byte only.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int extra;
    char32_t code, least;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, code = lead & 0x07, least = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (text.size() - i <= size_t(extra)) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned next = byte(i + k);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < least || code > 0x10FFFF) {
        ++i;
        return kReplacement;
    }
    i += size_t(extra) + 1;
    return code;
}

} // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (const char16_t unit : text) {
        if (unit < 0x80) {
            out.push_back(char(unit));
        } else if (unit < 0x800) {
            out.push_back(char(0xC0 | (unit >> 6)));
            out.push_back(char(0x80 | (unit & 0x3F)));
        } else {
            out.push_back(char(0xE0 | (unit >> 12)));
            out.push_back(char(0x80 | ((unit >> 6) & 0x3F)));
            out.push_back(char(0x80 | (unit & 0x3F)));
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char32_t code = DecodeUtf8(text, i);
        if (code >= 0x10000) {
            out.push_back(char16_t(0xD800 + ((code - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            out.push_back(char16_t(code));
        }
    }
    return out;
}

} // namespace Platform
