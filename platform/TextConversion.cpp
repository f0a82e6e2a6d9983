#include <algorithm>
#include <cctype>
#include <string>

#include "platform/Detail.h"

namespace Platform::Detail {

std::string LowerCase(const char* text) {
    std::string lower(text ? text : "");
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

} // namespace Platform::Detail
