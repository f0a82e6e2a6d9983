// Scene-archive reading as the program does it, at the end of a place file:
// any input either loads into the place file's scene or is refused with the
// engine's exception. Whatever else escapes would end the program too, so it
// is let through. A loaded scene is then animated, saved and read back.

#include <cstddef>
#include <cstdint>

#include "FuzzTarget.h"
#include "app/Archive.h"
#include "app/Exception.h"
#include "app/Log.h"
#include "placefile/PlaceFile.h"
#include "tests/scene/SceneFixtures.h"
#include "tools/PlaceWriter.h"

namespace {

using Engine::ref_ptr;
using Engine::Graphics::PlaceFile::CPlaceFile;
using Engine::Scene::CScene;

// An empty place file up to where its scene archive starts.
const std::vector<uint8_t>& PlacePrefix() {
    static const std::vector<uint8_t> prefix = [] {
        Tools::CPlaceDocument doc;
        doc.scene = {0};
        std::vector<uint8_t> bytes = Tools::WritePlace(doc);
        bytes.pop_back();
        return bytes;
    }();
    return prefix;
}

ref_ptr<CPlaceFile> TryLoad(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes = PlacePrefix();
    bytes.insert(bytes.end(), data, data + size);
    ref_ptr<CPlaceFile> place(new CPlaceFile(nullptr, "place/fuzz.place"));
    Engine::CMemoryFile file(bytes.data(), bytes.size());
    CArchive ar(&file, false);
    try {
        place->Read(ar);
        return place;
    } catch (const Engine::CException&) {
    }
    return nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GetLog().SetEnabled(false);
    SceneTest::RegisterSceneFixtures();
    if (const ref_ptr<CPlaceFile> place = TryLoad(data, size)) {
        place->GetScene()->SetTime(3.5);
        const std::vector<uint8_t> saved = SceneTest::SaveScene(*place->GetScene());
        if (!TryLoad(saved.data(), saved.size())) __builtin_trap();
    }
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
