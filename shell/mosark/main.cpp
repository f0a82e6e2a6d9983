// The screensaver program.

#include <memory>

#include "app/ApplicationHandles.h"
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
    return Engine::RunApplicationPasses(Engine::JoinCommandLine(argc, argv), [] {
        return std::unique_ptr<Engine::CStdApplication>(std::make_unique<Engine::CScreensaverApplication>());
    });
}
