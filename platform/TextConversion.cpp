#include <algorithm>
#include <cctype>
#include <string>

#include "platform/Detail.h"

namespace Platform::Detail {

std::string ConvertText(const char* to, const char* from, const void* text, size_t bytes) {
    SDL_iconv_t converter = SDL_iconv_open(to, from);
    if (converter == reinterpret_cast<SDL_iconv_t>(-1)) return {};
    // UTF-8 and UTF-16 need at most four bytes out for each byte in.
    std::string out(bytes * 4, '\0');
    const char* in = static_cast<const char*>(text);
    size_t inLeft = bytes;
    char* outNext = out.data();
    size_t outLeft = out.size();
    const size_t result = SDL_iconv(converter, &in, &inLeft, &outNext, &outLeft);
    SDL_iconv_close(converter);
    if (result == SDL_ICONV_ERROR || result == SDL_ICONV_E2BIG) return {};
    out.resize(out.size() - outLeft);
    return out;
}

std::string LowerCase(const char* text) {
    std::string lower(text ? text : "");
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

} // namespace Platform::Detail
