#include "app/CrashReporter.h"

#include "app/Log.h"

namespace Engine {

void CCrashReporter::Init() {
    m_active = true;
    GetLog().PrintLine("Crash reporting : log only");
}

void CCrashReporter::AttachFile(const CString& path) {
    if (m_active) GetLog().PrintLine("Crash report attachment : %s", path.c_str());
}

void CCrashReporter::ReportException(const char* description) {
    if (m_active) GetLog().PrintLine("Crash report : %s", description ? description : "unknown exception");
}

void CCrashReporter::Done() { m_active = false; }

} // namespace Engine
