#include "platform/ShellFolders.h"

#include <cstdlib>
#include <filesystem>

namespace Platform {

namespace {

// XDG variables must hold absolute paths; anything else is ignored.
std::optional<std::string> AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/') return std::nullopt;
    return std::string(value);
}

} // namespace

std::optional<std::string> GetShellFolder(EShellFolder folder) {
    const bool settings = folder == EShellFolder::Settings;
    if (auto value = AbsoluteVariable(settings ? "XDG_CONFIG_HOME" : "XDG_STATE_HOME")) return value;
    if (auto home = AbsoluteVariable("HOME")) return *home + (settings ? "/.config" : "/.local/state");
    return std::nullopt;
}

bool CreateFolderPath(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(path, error);
    if (error) return false;
    fs::permissions(path, fs::perms(0755), fs::perm_options::replace, error);
    return fs::is_directory(path, error);
}

} // namespace Platform
