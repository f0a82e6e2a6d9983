// A place file's particle objects over the engine particle system: effect
// files written by the tools, loaded and run through the real adapters.

#include <algorithm>

#include "particles/engine/ParticleSystem.h"
#include "placefile/EngineParticles.h"
#include "placefile/PlaceVexaObject.h"
#include "tests/placefile/PlaceFileFixture.h"
#include "tools/VexaWriter.h"

namespace PlaceTest {
namespace {

using Engine::Particles::CParticleSystem;

class PlaceEngineParticlesTest : public PlaceFileFixture {
protected:
    PlaceEngineParticlesTest() {
        Tools::CVexaDocument effects;
        effects.emitters = {Tools::MakeVexaEmitter("spark"), Tools::MakeVexaEmitter("smoke")};
        // Ten particles a second, each living fifty.
        effects.emitters[1].types[0].curves[0] = Tools::MakeVexaCurve(50.0f);
        effects.emitters[1].types[0].curves[4] = Tools::MakeVexaCurve(10.0f);
        Write("fx/a.vexa", Tools::WriteVexa(effects));
        Write("place/fx.place", ParticlePlace("smoke"));
        system.GetLibrary().Init(&system.GetGraphicsBinding());
        s_system = &system;
        SetPlaceParticleFactory([](Engine::Graphics::CGraphics*) { return CreateEngineEffectFiles(*s_system); });
    }
    ~PlaceEngineParticlesTest() override { SetPlaceParticleFactory(nullptr); }

    // One particle object, 30, of the emitter stored as ID 7 in "fx/a.vexa".
    static std::vector<uint8_t> ParticlePlace(const char* emitter) {
        Tools::CPlaceDocument doc;
        doc.nextEmitterId = 8;
        doc.emitters = {{7, "fx/a.vexa", emitter}};
        doc.effectFiles = {"fx\\a.vexa"};
        Tools::CPlaceLayerDoc layer;
        auto particles = Object(6, 30, 40, 50, 20, 10);
        particles.emitterId = 7;
        layer.objects = {particles};
        doc.layers = {layer};
        return Tools::WritePlace(doc);
    }

    CParticleSystem system{graphics.get()};
    static inline CParticleSystem* s_system = nullptr;
};

TEST_F(PlaceEngineParticlesTest, AParticleObjectRunsTheNamedEngineEmitter) {
    ref_ptr<CPlaceFile> place = local->GetPlaceFile("place/fx.place");
    ref_ptr<IPlaceEffectFiles> files = place->GetVexaFileLocalManager();
    ASSERT_TRUE(files);
    ASSERT_EQ(files->GetUses().size(), 1u);
    const ref_ptr<IPlaceEffectFile> file = files->GetUses()[0];
    EXPECT_EQ(file->GetName(), "fx/a.vexa");
    EXPECT_EQ(file->GetEmitterNames(), (std::vector<CString>{"spark", "smoke"}));
    EXPECT_EQ(system.GetFileManager().GetUseCount("fx/a.vexa"), 1);

    auto& vexa = dynamic_cast<CPlaceVexaObject&>(*place->FindObjectByID(30));
    VexaParticles::IVexaParticleEmitter* library = vexa.Emitter.Emitter->GetLibraryEmitter();
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->GetParticleCount(), 0u);
    for (int frame = 1; frame <= 4; ++frame) place->Update(0.25 * frame, 0.25);
    EXPECT_GT(library->GetParticleCount(), 0u);  // only "smoke" emits in a second
    EXPECT_EQ(file->GetEmitters().size(), 1u);
    place->Draw(0, 0, 1);

    // The place file hands its effect file back when it goes.
    local = nullptr;
    place = nullptr;
    files = nullptr;
    EXPECT_EQ(system.GetFileManager().GetUseCount("fx/a.vexa"), 0);
}

struct CDamagedEffects {
    const char* name;
    void (*damage)(std::vector<uint8_t>& bytes);
    const char* message;  // the start of the load's message
};

class PlaceDamagedEffectsTest : public PlaceEngineParticlesTest,
                                public testing::WithParamInterface<CDamagedEffects> {};

// Whatever the particle library throws for the effect file, the place
// file's load fails with an engine exception naming the file, and nothing
// stays registered.
TEST_P(PlaceDamagedEffectsTest, FailTheLoadWithTheFileNamed) {
    Tools::CVexaDocument effects;
    effects.emitters = {Tools::MakeVexaEmitter("spark"), Tools::MakeVexaEmitter("smoke")};
    std::vector<uint8_t> bytes = Tools::WriteVexa(effects);
    GetParam().damage(bytes);
    Write("fx/a.vexa", bytes);
    const std::string error = ErrorOf([&] { local->GetPlaceFile("place/fx.place"); });
    EXPECT_EQ(error.rfind(GetParam().message, 0), 0u) << error;
    EXPECT_EQ(Manager().GetObjectCount(), 0u);
    EXPECT_EQ(system.GetFileManager().GetUseCount("fx/a.vexa"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlaceDamagedEffectsTest,
    testing::Values(
        CDamagedEffects{"Empty", [](auto& b) { b.clear(); },
                        "Effect file 'fx\\a.vexa' : Archive serialization error: Cannot read 4 bytes, 0 readed"},
        CDamagedEffects{"CutInHalf", [](auto& b) { b.resize(b.size() / 2); }, "Effect file 'fx\\a.vexa' : "},
        CDamagedEffects{"MiddleThirdZeroed",
                        [](auto& b) { std::fill(b.begin() + ptrdiff_t(b.size() / 3), b.end() - ptrdiff_t(b.size() / 3), 0); },
                        "Effect file 'fx\\a.vexa' : "},
        CDamagedEffects{"TwentyBytesFlipped",
                        [](auto& b) {
                            for (size_t i = 0; i < 20; ++i) b[8 + i * (b.size() - 8) / 20] ^= 0xFF;
                        },
                        "Effect file 'fx\\a.vexa' : "}),
    [](const auto& info) { return std::string(info.param.name); });

// The emitter entry names a prototype without a name, which the library
// cannot find by name: the load fails as for a damaged file.
TEST_F(PlaceEngineParticlesTest, AnEffectWithoutANameFailsTheLoadWithTheFileNamed) {
    Tools::CVexaDocument effects;
    effects.emitters = {Tools::MakeVexaEmitter("")};
    Write("fx/a.vexa", Tools::WriteVexa(effects));
    Write("place/unnamed.place", ParticlePlace(""));
    EXPECT_EQ(ErrorOf([&] { local->GetPlaceFile("place/unnamed.place"); }),
              "CPlaceFile::CVexaLibrary::CreateEmitterByID(...) ID = 7 : FAILED : Effect file 'fx/a.vexa' : Unable to "
              "find Vexa emitter ''");
    EXPECT_EQ(Manager().GetObjectCount(), 0u);
}

} // namespace
} // namespace PlaceTest
