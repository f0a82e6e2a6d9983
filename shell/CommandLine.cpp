#include "shell/CommandLine.h"

#include <cctype>
#include <limits>

namespace Engine {

namespace {

bool IsBlank(std::string_view line) {
    for (char c : line)
        if (!std::isspace(static_cast<unsigned char>(c))) return false;
    return true;
}

// The first run of digits after the letter; none when there is no digit or
// the number does not fit a handle.
std::optional<uintptr_t> ReadHandle(std::string_view rest) {
    size_t i = 0;
    while (i < rest.size() && !std::isdigit(static_cast<unsigned char>(rest[i]))) ++i;
    if (i == rest.size()) return std::nullopt;
    uintptr_t value = 0;
    constexpr uintptr_t kMax = std::numeric_limits<uintptr_t>::max();
    for (; i < rest.size() && std::isdigit(static_cast<unsigned char>(rest[i])); ++i) {
        const uintptr_t digit = uintptr_t(rest[i] - '0');
        if (value > (kMax - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace

CScreensaverCommand ParseCommandLine(std::string_view line) {
    if (IsBlank(line)) return {EScreensaverMode::Run, std::nullopt};
    for (size_t i = 0; i < line.size(); ++i) {
        switch (std::tolower(static_cast<unsigned char>(line[i]))) {
        case 's': return {EScreensaverMode::Run, std::nullopt};
        case 'c': return {EScreensaverMode::Settings, std::nullopt};
        case 'p': return {EScreensaverMode::Preview, ReadHandle(line.substr(i + 1))};
        case 'a': return {EScreensaverMode::Associate, ReadHandle(line.substr(i + 1))};
        default: break;
        }
    }
    return {EScreensaverMode::None, std::nullopt};
}

} // namespace Engine
