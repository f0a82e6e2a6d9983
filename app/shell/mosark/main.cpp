// The screensaver program.

#include <memory>

#include "app/Registration.h"
#include "app/shell/EntryPoint.h"
#include "app/shell/ScreensaverApplication.h"
#include "controls/WidgetRegistration.h"
#include "gameui/GameUiRegistration.h"
#include "placefile/AniObjectRegistration.h"
#include "placefile/PlaceFileManager.h"
#include "reflection/Builtins.h"
#include "scene/SceneRegistration.h"
#include "scenes/SceneRegistration.h"

namespace {
// Every library's start-up registrations, in their fixed order, before main.
const Engine::CStartupRegistration g_startupRegistration{
    Engine::Scenes::GetStartupHooks(),   Engine::Reflection::GetStartupHooks(),
    GameUi::GetStartupHooks(),           Engine::Graphics::PlaceFile::GetStartupHooks(),
    Engine::Controls::GetStartupHooks(), Engine::Scene::GetStartupHooks()};
} // namespace

int main(int argc, char** argv) {
    // Every graphics driver made from here on owns a place-file manager.
    Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
    return Engine::RunApplicationPasses(Engine::JoinCommandLine(argc, argv), [] {
        return std::unique_ptr<Engine::CStdApplication>(std::make_unique<Engine::CScreensaverApplication>());
    });
}
