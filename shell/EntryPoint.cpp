#include "shell/EntryPoint.h"

#include "app/AppFolders.h"
#include "shell/StdApplication.h"

namespace Engine {

int RunApplicationPasses(const CString& commandLine, const ApplicationFactory& factory) {
    int exitCode = 0;
    for (bool firstPass = true;; firstPass = false) {
        std::unique_ptr<CStdApplication> application = factory();
        if (firstPass) {
            if (const CString failure = ApplyStartupPath(); !failure.IsEmpty())
                application->GetEnvironment().LogWhenOpen(failure);
        }
        application->SetCommandLine(commandLine);
        exitCode = application->Execute();
        const bool again = application->WantsAnotherPass();
        application.reset();
        if (!again) return exitCode;
    }
}

CString JoinCommandLine(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return CString(line);
}

} // namespace Engine
