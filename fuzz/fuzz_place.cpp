// Place-file reading: any input either reads into a place file or is
// refused with the engine's exception, and never leaves a current place
// file behind. A file that reads is then searched and driven for a frame.

#include <cstddef>
#include <cstdint>

#include "FuzzTarget.h"
#include "tests/placefile/AnimatedScene.h"
#include "tests/placefile/PlaceTestSupport.h"

namespace {

using namespace PlaceTest;

// Effect file "fx/a.vexa" with emitters "spark" and "smoke", as the seeds
// name them.
CFakeParticles& Particles() {
    static CFakeParticles* particles = [] {
        auto* made = new CFakeParticles;
        made->Add("fx/a.vexa", {"spark", "smoke"});
        return made;
    }();
    return *particles;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Particles();
    RegisterAnimatedSceneTypes();
    try {
        const ref_ptr<CPlaceFile> place = ReadPlace(std::vector<uint8_t>(data, data + size));
        for (uint32_t id = 0; id < 64; ++id) place->FindObjectByID(id);
        place->SetTime(1.5);
        place->Update(1.5, 0.1);
    } catch (const Engine::CException&) {
    } catch (int) {  // the scene archive's refusal of a chunk of another kind
    }
    if (GetCurrentPlaceFile()) __builtin_trap();
    // The double keeps what it hands out; each input starts afresh.
    for (auto& [name, file] : Particles().files->files) file->emitters.clear();
    Particles().files->uses.clear();
    return 0;
}

std::vector<CFuzzSeed> FuzzSeeds() {
    Tools::CPlaceDocument legacy = SampleDocument();
    legacy.version = 0x1007;
    legacy.layers[0].objects.pop_back();  // no particle objects in this layout
    RegisterAnimatedSceneTypes();
    Tools::CPlaceDocument animated = SampleDocument();
    animated.scene = AnimatedScene();
    return {{"sample.place", Tools::WritePlace(SampleDocument())},
            {"animated.place", Tools::WritePlace(animated)},
            {"legacy.place", Tools::WritePlace(legacy)},
            {"empty.place", Tools::WritePlace(Tools::CPlaceDocument{})}};
}
