#include "platform/Registry.h"

#include <algorithm>
#include <fstream>

#include "platform/ShellFolders.h"

namespace Platform {

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

} // namespace Platform
