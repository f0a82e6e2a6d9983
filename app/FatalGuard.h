#pragma once
// The guard around a run of the engine: whatever escapes it ends the run with
// the "Application Error" box instead of ending the process.

#include <functional>
#include <string>

namespace Engine {

class CCrashReporter;

inline constexpr char kApplicationErrorTitle[] = "Application Error";
inline constexpr char kFatalExceptionText[] = "Fatal exception occurred.";
inline constexpr int kFailureExitCode = 1;

// What the exception in flight carries; call it only inside a catch block.
std::string DescribeCurrentException();

// Shows the text in the "Application Error" box and logs it.
void ShowApplicationError(const char* text);

// Returns the body's exit code. An exception leaving the body is logged with
// what it carries, reported, shown as "Fatal exception occurred." and gives
// kFailureExitCode.
int RunGuarded(const std::function<int()>& body, CCrashReporter& reporter);

} // namespace Engine
