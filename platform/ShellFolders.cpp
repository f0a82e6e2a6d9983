#include "platform/ShellFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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

bool CreateFolderPath(const std::string& path, std::string& reason) {
    // Made one level at a time so that only the folders made here get a mode.
    std::string partial;
    for (size_t at = 0; at != std::string::npos;) {
        const size_t next = path.find('/', at + 1);
        partial = path.substr(0, next);
        at = next;
        if (partial.empty() || partial.back() == '/') continue;
        if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
            reason = "cannot create '" + partial + "' : " + std::strerror(errno);
            return false;
        }
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        reason = "'" + path + "' is not a folder";
        return false;
    }
    if (::access(path.c_str(), W_OK | X_OK) != 0) {
        reason = "cannot write in '" + path + "' : " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace Platform
