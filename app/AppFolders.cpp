#include "app/AppFolders.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "app/Exception.h"
#include "app/Log.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"

namespace Engine {

namespace {

CString ApplicationFolder(Platform::EShellFolder kind) {
    const std::optional<std::string> base = Platform::GetShellFolder(kind);
    if (!base) return FormatString("/tmp/Talvorn-Mosark-%u", unsigned(::getuid()));
    return CString(*base + "/Talvorn/Mosark");
}

} // namespace

CString GetSettingsFolder() { return ApplicationFolder(Platform::EShellFolder::Settings); }
CString GetLogFolder() { return ApplicationFolder(Platform::EShellFolder::State); }
CString GetSettingsXmlPath() { return GetSettingsFolder() + "/Settings.xml"; }
CString GetConfigFilePath() { return GetSettingsFolder() + "/screensaver.cfg"; }

std::vector<CString> CreateApplicationFolders() {
    std::vector<CString> failures;
    for (const CString& folder : {GetSettingsFolder(), GetLogFolder()}) {
        std::string reason;
        if (!Platform::CreateFolderPath(folder.str(), reason))
            failures.push_back(FormatString("CreateApplicationFolders() : FAILED : %s", reason.c_str()));
    }
    return failures;
}

CString ApplyStartupPath() {
    std::string problem;
    const std::optional<std::string> path = Platform::RegQueryStringValue(kRegistryKey, kStartupPathValue, &problem);
    std::error_code ignored;
    const std::string current = std::filesystem::current_path(ignored).string();
    CString failure;
    if (!problem.empty()) {
        const std::string file = Platform::RegistryValuePath(kRegistryKey, kStartupPathValue).value_or("");
        failure = FormatString("ApplyStartupPath() : FAILED : '%s' is refused : %s; running in '%s'", file.c_str(),
                               problem.c_str(), current.c_str());
    } else if (!path || path->empty() || ::chdir(path->c_str()) == 0) {
        return CString();
    } else {
        failure = FormatString("ApplyStartupPath() : FAILED : cannot enter '%s' : %s; running in '%s'", path->c_str(),
                               std::strerror(errno), current.c_str());
    }
    // Before the log opens, stderr is the one place that shows it now.
    if (!GetLog().IsOpen()) ReportToStderr(failure.str());
    return failure;
}

} // namespace Engine
