// Place-file reading as a load runs it: any input either reads into a place
// file or is refused with the engine's exception, and never leaves a current
// place file behind. Whatever else escapes would end the program too, so it
// is let through. Effect files load through the engine's particle system
// from a scratch folder: a good one, one whose emitter has no name, and a
// truncated one. A file that reads is then searched and driven for a frame.

#include <cstddef>
#include <cstdint>

#include "FuzzTarget.h"
#include "app/Log.h"
#include "particles/engine/ParticleSystem.h"
#include "placefile/EngineParticles.h"
#include "tests/app/TestFiles.h"
#include "tests/placefile/AnimatedScene.h"
#include "tests/placefile/PlaceTestSupport.h"
#include "tools/VexaWriter.h"

namespace {

using namespace PlaceTest;

std::vector<uint8_t> Effects(std::vector<const char*> emitters) {
    Tools::CVexaDocument effects;
    for (const char* name : emitters) effects.emitters.push_back(Tools::MakeVexaEmitter(name));
    return Tools::WriteVexa(effects);
}

// The effect files every input may name, and the particle system that
// loads them; made once, alive for the whole run.
class CEffectFiles {
public:
    CEffectFiles() {
        Write("fx/a.vexa", Effects({"spark", "smoke"}));
        Write("fx/unnamed.vexa", Effects({""}));
        std::vector<uint8_t> cut = Effects({"spark"});
        cut.resize(cut.size() / 2);
        Write("fx/cut.vexa", cut);
        Engine::CFile::SetDiskRoot(CString(m_folder.Path().string()));
        s_system = &m_system;
        SetPlaceParticleFactory([](Engine::Graphics::CGraphics*) { return CreateEngineEffectFiles(*s_system); });
    }

private:
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        m_folder.Write(name, std::string(bytes.begin(), bytes.end()));
    }

    TestFiles::CScratchFolder m_folder;
    Engine::Particles::CParticleSystem m_system{nullptr};
    static inline Engine::Particles::CParticleSystem* s_system = nullptr;
};

void MakeEffectFiles() {
    static CEffectFiles* files = new CEffectFiles;
    (void)files;
}

Tools::CPlaceDocument WithEffect(const char* file, const char* emitter) {
    Tools::CPlaceDocument doc = SampleDocument();
    doc.emitters = {{7, file, emitter}};
    doc.effectFiles = {file};
    return doc;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GetLog().SetEnabled(false);
    MakeEffectFiles();
    RegisterAnimatedSceneTypes();
    try {
        ref_ptr<CPlaceFile> place(new CPlaceFile(nullptr, "place/fuzz.place"));
        Engine::CMemoryFile file(data, size);
        CArchive ar(&file, false);
        place->Read(ar);
        for (uint32_t id = 0; id < 64; ++id) place->FindObjectByID(id);
        place->SetTime(1.5);
        place->Update(1.5, 0.1);
    } catch (const Engine::CException&) {
    }
    if (GetCurrentPlaceFile()) __builtin_trap();
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
            {"empty.place", Tools::WritePlace(Tools::CPlaceDocument{})},
            {"unnamed-effect.place", Tools::WritePlace(WithEffect("fx/unnamed.vexa", ""))},
            {"cut-effect.place", Tools::WritePlace(WithEffect("fx/cut.vexa", "spark"))}};
}
