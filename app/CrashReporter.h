#pragma once
// Stand-in for the optional crash-reporting library: there is none on this
// platform, so every call only writes what a report would have held to the
// log, which stays the one record of a crash.

#include "app/String.h"

namespace Engine {

class CCrashReporter {
public:
    void Init();
    void AttachFile(const CString& path);
    void ReportException(const char* description);
    void Done();
    bool IsActive() const { return m_active; }

private:
    bool m_active = false;
};

} // namespace Engine
