// Scene-archive reading: any input either loads into a scene or is refused
// with the engine's exception or, for a wrong object chunk, the integer 1.
// A loaded scene is then animated, saved and read back.

#include <cstddef>
#include <cstdint>

#include "FuzzTarget.h"
#include "app/Archive.h"
#include "app/Exception.h"
#include "tests/scene/SceneFixtures.h"

namespace {

using Engine::Scene::CScene;

std::vector<uint8_t> SaveScene(CScene& scene) {
    Engine::CMemoryFile file;
    CArchive ar(&file, true);
    scene.Serialize(ar);
    return file.Detach();
}

bool LoadScene(CScene& scene, const uint8_t* data, size_t size) {
    Engine::CMemoryFile file(data, size);
    CArchive ar(&file, false);
    try {
        scene.Serialize(ar);
        return true;
    } catch (const Engine::CException&) {
    } catch (int) {
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SceneTest::RegisterSceneFixtures();
    Engine::ref_ptr<CScene> scene(new CScene);
    if (LoadScene(*scene, data, size)) {
        scene->SetTime(3.5);
        const std::vector<uint8_t> saved = SaveScene(*scene);
        Engine::ref_ptr<CScene> copy(new CScene);
        if (!LoadScene(*copy, saved.data(), saved.size())) __builtin_trap();
        copy->Dispose();
    }
    scene->Dispose();
    Engine::Scene::CClassDir::GetInstance().Clear();
    return 0;
}

std::vector<CFuzzSeed> FuzzSeeds() {
    SceneTest::RegisterSceneFixtures();
    Engine::ref_ptr<CScene> empty(new CScene);
    Engine::ref_ptr<CScene> sample(new CScene);
    SceneTest::BuildSampleScene(*sample);
    std::vector<CFuzzSeed> seeds{{"empty.scene", SaveScene(*empty)}, {"sample.scene", SaveScene(*sample)}};
    sample->Dispose();
    Engine::Scene::CClassDir::GetInstance().Clear();
    return seeds;
}
