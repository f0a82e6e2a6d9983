#pragma once
// What a run sets up before the engine starts: the application folders, the
// log files, where "Settings.xml" and the configuration file are, and the
// crash reporter. Tearing down closes them again.

#include <vector>

#include "app/CrashReporter.h"
#include "app/String.h"

namespace Engine {

class CEnvironment {
public:
    CEnvironment() = default;
    ~CEnvironment() { TearDown(); }
    CEnvironment(const CEnvironment&) = delete;
    CEnvironment& operator=(const CEnvironment&) = delete;

    // A folder that cannot be made or written is logged; the run goes on
    // without the files that would have lived there.
    void SetUp();
    void TearDown();
    // Logs the line once the log is open (at once when it is).
    void LogWhenOpen(const CString& line);

    const CString& GetSettingsXmlPath() const { return m_settingsXmlPath; }
    const CString& GetConfigPath() const { return m_configPath; }
    const CString& GetLogPath() const { return m_logPath; }
    CCrashReporter& GetCrashReporter() { return m_crashReporter; }

    static constexpr char kLogFileName[] = "screensaver.log";
    static constexpr char kInstallLogFileName[] = "Install.log";

private:
    void OpenLogs(const std::vector<CString>& folderFailures);

    bool m_isSetUp = false;
    bool m_logOpened = false;
    CString m_settingsXmlPath;
    CString m_configPath;
    CString m_logPath;
    std::vector<CString> m_waitingLines;
    CCrashReporter m_crashReporter;
};

} // namespace Engine
