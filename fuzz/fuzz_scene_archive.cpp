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

bool TryLoad(CScene& scene, const std::vector<uint8_t>& bytes) {
    try {
        SceneTest::LoadScene(scene, bytes);
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
    if (TryLoad(*scene, std::vector<uint8_t>(data, data + size))) {
        scene->SetTime(3.5);
        const std::vector<uint8_t> saved = SceneTest::SaveScene(*scene);
        Engine::ref_ptr<CScene> copy(new CScene);
        if (!TryLoad(*copy, saved)) __builtin_trap();
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
    Engine::ref_ptr<CScene> controllers(new CScene);
    SceneTest::BuildControllerScene(*controllers);
    std::vector<CFuzzSeed> seeds{{"empty.scene", SceneTest::SaveScene(*empty)},
                                 {"sample.scene", SceneTest::SaveScene(*sample)},
                                 {"controllers.scene", SceneTest::SaveScene(*controllers)}};
    sample->Dispose();
    controllers->Dispose();
    Engine::Scene::CClassDir::GetInstance().Clear();
    return seeds;
}
