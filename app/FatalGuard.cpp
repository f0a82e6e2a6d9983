#include "app/FatalGuard.h"

#include <exception>
#include <string>

#include "app/CrashReporter.h"
#include "app/Exception.h"
#include "app/Log.h"
#include "platform/MessageBox.h"

namespace Engine {

std::string DescribeCurrentException() {
    try {
        throw;
    } catch (const CException& e) {
        return std::string("Engine::CException : ") + e.what();
    } catch (const std::exception& e) {
        return std::string("std::exception : ") + e.what();
    } catch (int value) {
        return "int " + std::to_string(value);
    } catch (...) {
        return "unknown exception";
    }
}

void ShowApplicationError(const char* text) {
    GetLog().PrintLine("%s : %s", kApplicationErrorTitle, text);
    MessageBox(nullptr, text, kApplicationErrorTitle, MB_OK | MB_ICONERROR);
}

int RunGuarded(const std::function<int()>& body, CCrashReporter& reporter) {
    try {
        return body();
    } catch (...) {
        const std::string description = DescribeCurrentException();
        GetLog().PrintLine("Fatal exception : %s", description.c_str());
        reporter.ReportException(description.c_str());
    }
    ShowApplicationError(kFatalExceptionText);
    return kFailureExitCode;
}

} // namespace Engine
