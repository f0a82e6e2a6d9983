#include "shell/ProgramStartup.h"

#include "controls/WidgetRegistration.h"
#include "gameui/GameUiRegistration.h"
#include "placefile/AniObjectRegistration.h"
#include "reflection/Builtins.h"
#include "scene/reflection/SceneRegistration.h"
#include "scenes/SceneRegistration.h"

namespace Engine {

CProgramStartup::CProgramStartup()
    : CStartupRegistration{Scenes::GetStartupHooks(),   Reflection::GetStartupHooks(),
                           GameUi::GetStartupHooks(),   Graphics::PlaceFile::GetStartupHooks(),
                           Controls::GetStartupHooks(), Scene::GetStartupHooks()} {}

} // namespace Engine
