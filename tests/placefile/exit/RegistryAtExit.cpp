// A lookup in the registry of generated scene classes from a function run at
// exit. The function is registered before the registry is first requested,
// so it runs after anything the registry could have scheduled for the exit.
// Exit status 0: the lookup answered.

#include <cstdlib>
#include <unistd.h>

#include "placefile/SceneGeneratedClass.h"

namespace {

using Engine::Graphics::PlaceFile::CSceneGeneratedClass;

class CProbeScene final : public CSceneGeneratedClass {
public:
    void SetTime(Engine::ref_ptr<Engine::Scene::CScene>, double) override {}
    const char* GetPlaceFileName() override { return "place/probe.place"; }
};

CProbeScene s_probe;

void LookUpAtExit() {
    if (Engine::Graphics::PlaceFile::FindSceneGeneratedClass("place/probe.place") != &s_probe) _exit(1);
}

} // namespace

int main() {
    std::atexit(LookUpAtExit);
    Engine::Graphics::PlaceFile::RegisterSceneGeneratedClass(&s_probe);
    return 0;
}
