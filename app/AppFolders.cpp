#include "app/AppFolders.h"

#include <unistd.h>

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

bool CreateApplicationFolders() {
    bool ok = true;
    for (const CString& folder : {GetSettingsFolder(), GetLogFolder()}) {
        if (Platform::CreateFolderPath(folder.str())) continue;
        GetLog().PrintLine("CreateApplicationFolders() : FAILED : cannot create '%s'", folder.c_str());
        ok = false;
    }
    return ok;
}

bool ApplyStartupPath() {
    const std::optional<std::string> path = Platform::RegQueryStringValue(kRegistryKey, kStartupPathValue);
    if (!path || path->empty()) return false;
    if (::chdir(path->c_str()) != 0) {
        GetLog().PrintLine("ApplyStartupPath() : FAILED : cannot enter '%s'", path->c_str());
        return false;
    }
    return true;
}

} // namespace Engine
