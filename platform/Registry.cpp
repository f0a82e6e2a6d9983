#include "platform/Registry.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <utility>

#include "platform/Detail.h"
#include "platform/Display.h"
#include "platform/FileAccess.h"
#include "platform/ShellFolders.h"
#include "platform/Testing.h"

namespace Platform {
namespace {

constexpr const char* kDisplaySettings = "Display\\Settings";

// Values a test set (an empty optional removes the value).
std::map<std::pair<std::string, std::string>, std::optional<std::string>>& ConfigOverrides() {
    static std::map<std::pair<std::string, std::string>, std::optional<std::string>> values;
    return values;
}

std::optional<std::string> CurrentDisplayValue(const std::string& valueName) {
    DEVMODE mode{};
    if (!EnumDisplaySettings(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return std::nullopt;
    if (valueName == "Resolution") return std::to_string(mode.dmPelsWidth) + "," + std::to_string(mode.dmPelsHeight);
    if (valueName == "BitsPerPixel") return std::to_string(mode.dmBitsPerPel);
    return std::nullopt;
}

} // namespace

std::optional<std::string> RegistryValuePath(const std::string& key, const std::string& valueName) {
    static const std::string kSoftware = "Software\\";
    const std::optional<std::string> base = GetShellFolder(EShellFolder::Settings);
    if (!base || key.compare(0, kSoftware.size(), kSoftware) != 0 || valueName.empty() ||
        valueName.find_first_of("/\\") != std::string::npos) {
        return std::nullopt;
    }
    std::string folder = key.substr(kSoftware.size());
    std::replace(folder.begin(), folder.end(), '\\', '/');
    return *base + "/" + folder + "/" + valueName;
}

std::optional<std::string> ParseRegistryValue(std::string_view bytes, std::string& problem) {
    const size_t end = std::min(bytes.find('\n'), bytes.size());
    if (end > kMaxRegistryValueBytes) {
        problem = "longer than " + std::to_string(kMaxRegistryValueBytes) + " bytes";
        return std::nullopt;
    }
    std::string_view line = bytes.substr(0, end);
    if (line.find('\0') != std::string_view::npos) {
        problem = "holds a NUL byte";
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return std::string(line);
}

std::optional<std::string> RegQueryStringValue(const std::string& key, const std::string& valueName,
                                               std::string* problem) {
    const std::optional<std::string> path = RegistryValuePath(key, valueName);
    if (!path) return std::nullopt;
    std::string reason;
    const int fd = OpenRegularFile(*path, O_RDONLY);
    if (fd < 0) {
        // An absent value is no problem; anything else that is there is.
        if (errno != ENOENT && errno != ENOTDIR) reason = DescribeFileError(errno);
        if (problem) *problem = reason;
        return std::nullopt;
    }
    // One byte over the limit is enough to tell a line that is too long.
    std::string bytes(kMaxRegistryValueBytes + 1, '\0');
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) reason = DescribeFileError(errno);
        if (n <= 0) break;
        got += size_t(n);
    }
    ::close(fd);
    bytes.resize(got);
    std::optional<std::string> value;
    if (reason.empty() && !bytes.empty()) value = ParseRegistryValue(bytes, reason);
    if (problem) *problem = reason;
    return value;
}

std::optional<std::string> RegQueryConfigValue(const std::string& key, const std::string& valueName) {
    const auto overridden = ConfigOverrides().find({key, valueName});
    if (overridden != ConfigOverrides().end()) return overridden->second;
    if (key != kDisplaySettings) return std::nullopt;
    return CurrentDisplayValue(valueName);
}

void Detail::ResetRegistry() { ConfigOverrides().clear(); }

void Testing::SetConfigValue(const std::string& key, const std::string& valueName, std::optional<std::string> value) {
    ConfigOverrides()[{key, valueName}] = std::move(value);
}

} // namespace Platform
