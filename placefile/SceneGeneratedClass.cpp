#include "placefile/SceneGeneratedClass.h"

#include <cstring>

namespace Engine::Graphics::PlaceFile {

bool g_bUseGeneratedSceneClasses = false;

std::vector<CSceneGeneratedClass*>& GetSceneGeneratedClassRegistry() {
    // Made on the first request and never freed, so a lookup made while the
    // process exits (after the function-local statics are gone) still
    // answers.
    static auto* const registry = new std::vector<CSceneGeneratedClass*>;
    return *registry;
}

void RegisterSceneGeneratedClass(CSceneGeneratedClass* generated) {
    GetSceneGeneratedClassRegistry().push_back(generated);
}

CSceneGeneratedClass* FindSceneGeneratedClass(const char* path) {
    for (CSceneGeneratedClass* generated : GetSceneGeneratedClassRegistry())
        if (std::strcmp(generated->GetPlaceFileName(), path) == 0) return generated;
    return nullptr;
}

} // namespace Engine::Graphics::PlaceFile
