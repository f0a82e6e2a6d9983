#include "app/Environment.h"

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "app/AppFolders.h"
#include "app/Log.h"
#include "platform/FileAccess.h"

namespace Engine {

namespace {
// Without a log file the failure would reach nobody: it goes to stderr, once,
// with the folder problems that likely caused it.
void ReportUnopenedLog(const CString& failure, const std::vector<CString>& folderFailures) {
    ReportToStderr("no log is written: " + failure.str());
    for (const CString& line : folderFailures) ReportToStderr(line.str());
}
} // namespace

void CEnvironment::SetUp() {
    if (m_isSetUp) return;
    m_isSetUp = true;
    const std::vector<CString> folderFailures = CreateApplicationFolders();
    OpenLogs(folderFailures);
    for (const CString& line : folderFailures) GetLog().PrintLine("%s", line.c_str());
    for (const CString& line : m_waitingLines) GetLog().PrintLine("%s", line.c_str());
    m_waitingLines.clear();
    m_settingsXmlPath = Engine::GetSettingsXmlPath();
    m_configPath = GetConfigFilePath();
    GetLog().PrintLine("Settings : %s", m_settingsXmlPath.c_str());
    m_crashReporter.Init();
    if (m_logOpened) m_crashReporter.AttachFile(m_logPath);
}

void CEnvironment::LogWhenOpen(const CString& line) {
    if (m_isSetUp)
        GetLog().PrintLine("%s", line.c_str());
    else
        m_waitingLines.push_back(line);
}

void CEnvironment::OpenLogs(const std::vector<CString>& folderFailures) {
    const CString logFolder = GetLogFolder();
    m_logPath = logFolder + "/" + kLogFileName;
    // The install log records only where the folders are and whether they
    // are ready.
    CLog install;
    const CString installPath = logFolder + "/" + kInstallLogFileName;
    if (install.Open(installPath.str())) {
        install.PrintLine("Settings folder : %s", GetSettingsFolder().c_str());
        install.PrintLine("Log folder : %s", logFolder.c_str());
        for (const CString& line : folderFailures) install.PrintLine("%s", line.c_str());
        install.PrintLine("Folders %s", folderFailures.empty() ? "ready" : "incomplete");
    } else {
        ReportToStderr(FormatString("no install log is written: cannot open '%s' : %s", installPath.c_str(),
                                    Platform::DescribeFileError(errno).c_str())
                           .str());
    }
    m_logOpened = GetLog().Open(m_logPath.str());
    const int openError = errno;
    const std::time_t now = std::time(nullptr);
    std::tm date{};
    localtime_r(&now, &date);
    GetLog().PrintLine("==== Log opened %04d-%02d-%02d ====", date.tm_year + 1900, date.tm_mon + 1, date.tm_mday);
    if (m_logOpened) return;
    const CString failure = FormatString("CEnvironment::SetUp() : FAILED : cannot open '%s' : %s", m_logPath.c_str(),
                                         Platform::DescribeFileError(openError).c_str());
    GetLog().PrintLine("%s", failure.c_str());
    ReportUnopenedLog(failure, folderFailures);
}

void CEnvironment::TearDown() {
    if (!m_isSetUp) return;
    m_isSetUp = false;
    m_crashReporter.Done();
    if (m_logOpened) GetLog().Close();
    m_logOpened = false;
}

} // namespace Engine
