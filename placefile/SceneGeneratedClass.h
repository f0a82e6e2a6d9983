#pragma once
// Scene animation compiled into the program: one generated class per place
// file, registered once at start-up and looked up by the exact load path.

#include <vector>

#include "app/Referenced.h"
#include "scene/SceneRoot.h"

namespace Engine::Graphics::PlaceFile {

class CSceneGeneratedClass {
public:
    // Does nothing; kept by every generated class.
    virtual void AcceptScene(ref_ptr<Engine::Scene::CScene> scene) { (void)scene; }
    // The compiled animation at the scaled and wrapped scene time.
    virtual void SetTime(ref_ptr<Engine::Scene::CScene> scene, double t) = 0;
    // The place path, e.g. "place/bg1.place"; stable for the whole run.
    virtual const char* GetPlaceFileName() = 0;

protected:
    // The single instances are static and never deleted through this base.
    ~CSceneGeneratedClass() = default;
};

// Enables the assignment of generated classes to loaded place files.
extern bool g_bUseGeneratedSceneClasses;

// The registry, in registration order: made on first request, never freed,
// nothing scheduled at exit.
std::vector<CSceneGeneratedClass*>& GetSceneGeneratedClassRegistry();
void RegisterSceneGeneratedClass(CSceneGeneratedClass* generated);
// The first class whose path equals path byte for byte, or null.
CSceneGeneratedClass* FindSceneGeneratedClass(const char* path);

} // namespace Engine::Graphics::PlaceFile
