#pragma once
// The program's entry: a loop of passes, each running one application object
// made by the factory. Another pass follows only when the application asks.

#include <functional>
#include <memory>

#include "app/String.h"

namespace Engine {

class CStdApplication;

using ApplicationFactory = std::function<std::unique_ptr<CStdApplication>()>;

// Each pass makes the application; the first one also enters the start-up
// folder named by "StartupPath" (a failure reaches the application's log
// once it is open). The pass stores the command line, executes
// the application and deletes it. Returns the last pass's exit code.
int RunApplicationPasses(const CString& commandLine, const ApplicationFactory& factory);

// The arguments after the program name, joined by single spaces.
CString JoinCommandLine(int argc, const char* const* argv);

} // namespace Engine
