#include "scenes/SceneRegistration.h"

#include <type_traits>

#include "scenes/t104.h"
#include "scenes/t211.h"
#include "scenes/t318.h"
#include "scenes/t354.h"
#include "scenes/t477.h"
#include "scenes/t600.h"
#include "scenes/t603.h"
#include "scenes/t626.h"
#include "scenes/t689.h"
#include "scenes/t704.h"
#include "scenes/t719.h"
#include "scenes/t960.h"
#include "scenes/t1035.h"
#include "scenes/t1084.h"
#include "scenes/t1117.h"
#include "scenes/t1136.h"
#include "scenes/t1163.h"
#include "scenes/t1214.h"
#include "scenes/t1253.h"
#include "scenes/t1260.h"
#include "scenes/t1287.h"
#include "scenes/t1572.h"

namespace Engine::Scenes {

namespace {

// The instance is made on the first run and appended once, so a second
// registration pass (tests make several) leaves the registry as it was.
template <class TScene>
void Register() {
    // Nothing is scheduled at exit for the instance.
    static_assert(std::is_trivially_destructible_v<TScene>);
    static TScene instance;
    static bool registered = false;
    if (registered) return;
    Engine::Graphics::PlaceFile::RegisterSceneGeneratedClass(&instance);
    registered = true;
}

template <class TScene>
constexpr CStartupHook Hook(const char* name) {
    return {EStartupGroup::GeneratedScenes, name, &Register<TScene>, nullptr};
}

} // namespace

std::span<const CStartupHook> GetStartupHooks() {
    using namespace __SceneGeneratedCode;
    static constexpr CStartupHook kHooks[] = {
        Hook<t104>("t104"),   Hook<t211>("t211"),   Hook<t318>("t318"),   Hook<t354>("t354"),
        Hook<t477>("t477"),   Hook<t600>("t600"),   Hook<t603>("t603"),   Hook<t626>("t626"),
        Hook<t689>("t689"),   Hook<t704>("t704"),   Hook<t719>("t719"),   Hook<t960>("t960"),
        Hook<t1035>("t1035"), Hook<t1084>("t1084"), Hook<t1117>("t1117"), Hook<t1136>("t1136"),
        Hook<t1163>("t1163"), Hook<t1214>("t1214"), Hook<t1253>("t1253"), Hook<t1260>("t1260"),
        Hook<t1287>("t1287"), Hook<t1572>("t1572"),
    };
    return kHooks;
}

} // namespace Engine::Scenes
