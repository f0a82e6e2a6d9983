// The screensaver program.

#include <memory>

#include "shell/EntryPoint.h"
#include "shell/ProgramStartup.h"
#include "shell/ScreensaverApplication.h"
#include "placefile/PlaceFileManager.h"

namespace {
// Every library's start-up registrations, in their fixed order, before main.
const Engine::CProgramStartup g_startupRegistration;
} // namespace

int main(int argc, char** argv) {
    // Every graphics driver made from here on owns a place-file manager.
    Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
    return Engine::RunApplicationPasses(Engine::JoinCommandLine(argc, argv), [] {
        return std::unique_ptr<Engine::CStdApplication>(std::make_unique<Engine::CScreensaverApplication>());
    });
}
