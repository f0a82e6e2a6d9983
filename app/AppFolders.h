#pragma once
// Where the application keeps its files: the settings and log folders, the
// settings and configuration files, and the start-up folder named in the
// registry value "StartupPath".

#include "app/String.h"

namespace Engine {

inline constexpr char kRegistryKey[] = "Software\\Talvorn\\Mosark";
inline constexpr char kStartupPathValue[] = "StartupPath";

// <settings base>/Talvorn/Mosark and <state base>/Talvorn/Mosark; without a
// home folder both are /tmp/Talvorn-Mosark-<uid>.
CString GetSettingsFolder();
CString GetLogFolder();
// Creates both folders; false, with a log line per failure, when one is missing.
bool CreateApplicationFolders();

CString GetSettingsXmlPath();
CString GetConfigFilePath();

// Makes the folder named by "StartupPath" the current directory; false when
// the value is absent (nothing changes) or names no usable folder (logged).
bool ApplyStartupPath();

} // namespace Engine
