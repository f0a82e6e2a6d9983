#include "scene/reflection/QueryKeyControl.h"

#include "reflection/TypeRegistry.h"
#include "scene/Animatable.h"

namespace Engine::Scene {

IKeyControl* QueryKeyControl(CAnimatable* object) {
    if (!object) return nullptr;
    const Engine::Reflection::CTypeInfo* type = object->GetReflectionType().type;
    if (!type || !type->IsSubclassOf(Engine::Reflection::TypeOf<IKeyControl>())) return nullptr;
    return dynamic_cast<IKeyControl*>(object);
}

} // namespace Engine::Scene
