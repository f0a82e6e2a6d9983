#pragma once
// Stand-in for the shell's special folders: the XDG base directories.

#include <optional>
#include <string>

namespace Platform {

enum class EShellFolder {
    Settings,  // per-user settings: $XDG_CONFIG_HOME, else ~/.config
    State,     // per-user logs: $XDG_STATE_HOME, else ~/.local/state
};

// The base folder; null when neither the variable (an absolute path) nor
// HOME gives one.
std::optional<std::string> GetShellFolder(EShellFolder folder);

// Creates the folder and any missing parents (mode 0755, as the umask
// allows); folders that exist keep their permissions. True when the folder
// exists and can be written; otherwise false, with the reason in `reason`.
bool CreateFolderPath(const std::string& path, std::string& reason);

} // namespace Platform
