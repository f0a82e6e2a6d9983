// The screensaver program.

#include <memory>

#include "app/ApplicationHandles.h"
#include "app/ProcessEnd.h"
#include "platform/Resources.h"
#include "shell/EntryPoint.h"
#include "shell/ProgramResources.h"
#include "shell/ProgramStartup.h"
#include "shell/ScreensaverApplication.h"
#include "placefile/PlaceFileManager.h"

namespace {
// Every library's start-up registrations, in their fixed order, before main.
const Engine::CProgramStartup g_startupRegistration;
} // namespace

int main(int argc, char** argv) {
    // The program's icon is in its module before any window class takes it.
    Engine::RegisterProgramResources();
    Engine::InitApplicationHandles(GetModuleHandle(nullptr));
    // Every graphics driver made from here on owns a place-file manager.
    Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
    // What the scenes hold goes back to the system with the process.
    Engine::CProcessEnd::Allow(true);
    const int exitCode = Engine::RunApplicationPasses(Engine::JoinCommandLine(argc, argv), [] {
        return std::unique_ptr<Engine::CStdApplication>(std::make_unique<Engine::CScreensaverApplication>());
    });
    // The configuration is saved and the log closed: the static objects
    // (the locale's strings among them) are not walked to be let go of.
    if (Engine::CProcessEnd::IsLeavingMemory()) Engine::CProcessEnd::Exit(exitCode);
    return exitCode;
}
