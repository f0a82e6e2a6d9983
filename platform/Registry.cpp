#include "platform/Registry.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <utility>

#include "platform/Detail.h"
#include "platform/Display.h"
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

std::optional<std::string> RegQueryStringValue(const std::string& key, const std::string& valueName) {
    const std::optional<std::string> path = RegistryValuePath(key, valueName);
    if (!path) return std::nullopt;
    std::ifstream in(*path);
    std::string line;
    if (!in || !std::getline(in, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
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
