#include "scene/AniObject.h"

#include "reflection/TypeRegistry.h"

namespace Engine::Scene {

CAniObject* ToAniObject(CAnimatable* object) {
    if (!object) return nullptr;
    if (!object->GetReflectionType().type->IsSubclassOf(Engine::Reflection::TypeOf<CAniObject>())) return nullptr;
    return dynamic_cast<CAniObject*>(object);
}

} // namespace Engine::Scene
