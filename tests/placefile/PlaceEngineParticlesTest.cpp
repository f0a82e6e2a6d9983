// A place file's particle objects over the engine particle system: effect
// files written by the tools, loaded and run through the real adapters.

#include "particles/ParticleSystem.h"
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
        Tools::CPlaceDocument doc;
        doc.nextEmitterId = 8;
        doc.emitters = {{7, "fx/a.vexa", "smoke"}};
        doc.effectFiles = {"fx\\a.vexa"};
        Tools::CPlaceLayerDoc layer;
        auto particles = Object(6, 30, 40, 50, 20, 10);
        particles.emitterId = 7;
        layer.objects = {particles};
        doc.layers = {layer};
        Write("place/fx.place", Tools::WritePlace(doc));
        system.GetLibrary().Init(&system.GetGraphicsBinding());
        s_system = &system;
        SetPlaceParticleFactory([](Engine::Graphics::CGraphics*) { return CreateEngineEffectFiles(*s_system); });
    }
    ~PlaceEngineParticlesTest() override { SetPlaceParticleFactory(nullptr); }

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

} // namespace
} // namespace PlaceTest
