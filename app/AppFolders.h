#pragma once
// Where the application keeps its files: the settings and log folders, the
// settings and configuration files, and the start-up folder named in the
// registry value "StartupPath".

#include <vector>

#include "app/String.h"

namespace Engine {

inline constexpr char kRegistryKey[] = "Software\\Talvorn\\Mosark";
inline constexpr char kStartupPathValue[] = "StartupPath";

// <settings base>/Talvorn/Mosark and <state base>/Talvorn/Mosark; without a
// home folder both are /tmp/Talvorn-Mosark-<uid>.
CString GetSettingsFolder();
CString GetLogFolder();
// Creates both folders (an existing one keeps its permissions). Returns a
// line for the log per folder that is missing or cannot be written; none
// when both are ready. The log is not open yet when this runs.
std::vector<CString> CreateApplicationFolders();

CString GetSettingsXmlPath();
CString GetConfigFilePath();

// Makes the folder named by "StartupPath" the current directory. When the
// value is refused (see Platform::RegQueryStringValue) or names no usable
// folder, the run stays in the current one and the line for the log is
// returned, and also written to stderr while the log is not open (it is not
// yet when this runs); empty when the value is absent or was entered.
CString ApplyStartupPath();

} // namespace Engine
