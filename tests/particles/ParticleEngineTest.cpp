// The particle library inside the engine: the graphics binding over a
// recording driver, effect files shared by name, engine emitters, and an
// effect drawn through the OpenGL driver on a headless window.

#include <gtest/gtest.h>

#include "ParticleTestSupport.h"
#include "particles/engine/ParticleSystem.h"
#include "particles/engine/VexaFileLocalManager.h"
#include "tests/app/DeleteThrows.h"
#include "tests/app/TestFiles.h"
#include "tests/graphics/OpenGLTestSupport.h"
#include "tests/support/RecordingGraphics.h"
#include "tools/ImageWriter.h"

namespace VexaTest {
namespace {

using Engine::ref_ptr;
using Engine::Graphics::Testing::CRecordingGraphics;
using Engine::Particles::CParticleSystem;
using Engine::Particles::CVexaFile;
using Engine::Particles::CVexaFileLocalManager;
using Engine::Particles::CVexaGraphics_Engine;

struct CBindingCase {
    const char* name;
    std::function<void(CVexaGraphics_Engine&)> call;
    std::vector<std::string> driverCalls;
};

class ParticleBindingTest : public ::testing::TestWithParam<CBindingCase> {};

TEST_P(ParticleBindingTest, PassesOnWhatTheDriverTakes) {
    CRecordingGraphics graphics;
    Engine::Graphics::CTextureList textures(&graphics);
    CVexaGraphics_Engine binding(&graphics, &textures);
    GetParam().call(binding);
    std::vector<std::string> calls;
    for (const auto& call : graphics.calls) {
        std::string text = call.name;
        for (double arg : call.args) text += " " + std::to_string(int64_t(arg));
        calls.push_back(text);
    }
    EXPECT_EQ(calls, GetParam().driverCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, ParticleBindingTest,
    ::testing::Values(
        CBindingCase{"Blend", [](CVexaGraphics_Engine& b) { b.SetBlendFunc(4, 5); }, {"gSetBlendFunc 5 6"}},
        CBindingCase{"BadSource", [](CVexaGraphics_Engine& b) { b.SetBlendFunc(9, 0); }, {}},
        CBindingCase{"AlphaBlend", [](CVexaGraphics_Engine& b) { b.SetRenderState(0, 7); }, {"gSwitch 3 1"}},
        CBindingCase{"ParticleBuffer",
                     [](CVexaGraphics_Engine& b) {
                         std::unique_ptr<VexaGraphics::IVertexBuffer> buffer;
                         b.CreateVertexBuffer(buffer, 2048, 28, 0x1000D, 0);
                     },
                     {"CreateVertexBuffer 2048 28 43 1"}},
        CBindingCase{"IndexBufferIsMadeAndDropped",
                     [](CVexaGraphics_Engine& b) {
                         std::unique_ptr<VexaGraphics::IDeviceObject> buffer;
                         EXPECT_EQ(b.CreateIndexBuffer(buffer, 600, 2, 0), 0);
                         EXPECT_EQ(buffer, nullptr);
                     },
                     {"CreateIndexBuffer 2 600 1"}}),
    [](const auto& info) { return std::string(info.param.name); });

class ParticleFilesTest : public ::testing::Test {
protected:
    ParticleFilesTest() {
        Engine::CFile::SetDiskRoot(CString(folder.Path().string()));
        Tools::CVexaDocument document;
        document.shapes = {{"dot", 1, {{SmallPng(), 2, 2}}, {}, {}}};
        document.emitters = {QuietEmitter("Spark")};
        document.emitters[0].types[0].shapeId = 1;
        const Bytes bytes = Tools::WriteVexa(document);
        folder.Write("fx/spark.vexa", std::string(bytes.begin(), bytes.end()));
        system.GetLibrary().Init(&system.GetGraphicsBinding());
    }
    ~ParticleFilesTest() override { Engine::CFile::SetDiskRoot(""); }

    TestFiles::CScratchFolder folder;
    TestFiles::CLogCapture log;
    CRecordingGraphics graphics;
    CParticleSystem system{&graphics};
};

TEST_F(ParticleFilesTest, OwnersShareOneFileByItsNormalisedName) {
    CVexaFileLocalManager first(&system.GetFileManager());
    CVexaFileLocalManager second(&system.GetFileManager());
    const ref_ptr<CVexaFile> file = first.GetVexaFile("fx/spark.vexa");
    EXPECT_EQ(second.GetVexaFile("fx\\spark.vexa"), file);
    EXPECT_EQ(system.GetFileManager().GetObjectCount(), 1u);
    EXPECT_EQ(system.GetTextureList().GetTextures().size(), 1u);
    first.ReleaseAll();
    EXPECT_EQ(system.GetFileManager().GetUseCount("fx/spark.vexa"), 1);
    system.Done();
    EXPECT_TRUE(system.GetTextureList().GetTextures().empty());
}

TEST_F(ParticleFilesTest, EmittersOutlivingTheirFileStopQuietly) {
    ref_ptr<Engine::Particles::CVexaParticleEmitter> emitter;
    {
        CVexaFileLocalManager owner(&system.GetFileManager());
        emitter = owner.GetVexaFile("fx/spark.vexa")->CreateEmitter("Spark", 2.0f);
        EXPECT_EQ(emitter->m_fStartTime, 2.0f);
        emitter->Update(0.0f, 0.25f);
        EXPECT_EQ(emitter->GetEmitter()->GetParticleCount(), 2u);
    }
    EXPECT_EQ(emitter->GetEmitter(), nullptr);
    emitter->Move(0.25f, 0.25f);
    emitter->Update(0.25f, 0.25f);
    EXPECT_EQ(emitter->Render(-1, 0), 0);
}

struct CStillReferencedCase {
    const char* name;
    std::function<Engine::CReferenced*(CParticleSystem&)> make;
};

class ParticleStillReferencedTest : public ParticleFilesTest,
                                    public ::testing::WithParamInterface<CStillReferencedCase> {};

// The object's own clean-up runs before the integer 1 leaves: a local
// manager hands its files back.
TEST_P(ParticleStillReferencedTest, DestroyingThrowsTheIntegerOne) {
    Engine::CReferenced* object = GetParam().make(system);
    object->AddRef();
    EXPECT_EQ(TestReferenced::DeleteAndCatch(object), 1);
    EXPECT_EQ(system.GetFileManager().GetObjectCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, ParticleStillReferencedTest,
    ::testing::Values(
        CStillReferencedCase{"File",
                             [](CParticleSystem& s) -> Engine::CReferenced* {
                                 Tools::CVexaDocument document;
                                 document.emitters = {QuietEmitter()};
                                 auto* file = new CVexaFile("quiet", ReadVexa(Tools::WriteVexa(document), &s.GetLibrary()));
                                 file->CreateEmitter("Quiet", 0.0f);
                                 return file;
                             }},
        CStillReferencedCase{"FileManager",
                             [](CParticleSystem& s) -> Engine::CReferenced* {
                                 return new Engine::Particles::CVexaFileManager(&s);
                             }},
        CStillReferencedCase{"FileLocalManager",
                             [](CParticleSystem& s) -> Engine::CReferenced* {
                                 auto* local = new CVexaFileLocalManager(&s.GetFileManager());
                                 local->GetVexaFile("fx/spark.vexa");
                                 return local;
                             }}),
    [](const auto& info) { return std::string(info.param.name); });

class ParticleOpenGLTest : public OpenGLTest::OpenGLFixture {};

TEST_F(ParticleOpenGLTest, AnEffectShowsItsParticlesWhereTheyAre) {
    CreateReadyDriver();
    Clear(0, 0, 0);
    Tools::CVexaEmitter description = QuietEmitter("Red");
    description.types[0].flags = 1;
    description.types[0].burstCount = 1;
    description.types[0].gradient.keys = {{0, 1, 0, 0, 1}};
    SetQ(description.types[0], 2, 10.0f / 64);  // 20 pixels across
    {
        CParticleSystem system(driver.get());
        system.GetLibrary().Init(&system.GetGraphicsBinding());
        Tools::CVexaDocument document;
        document.emitters = {description};
        auto file = ReadVexa(Tools::WriteVexa(document), &system.GetLibrary());
        auto emitter = file->CreateEmitter("Red");
        emitter->Update(0.0f, 0.1f, 40, 30, 0, 1);
        EXPECT_EQ(emitter->RenderAll(), 1);
    }
    ExpectPixels({{40, 30, OpenGLTest::kRed}, {31, 21, OpenGLTest::kRed}, {48, 39, OpenGLTest::kRed},
                  {29, 30, OpenGLTest::kBlack}, {51, 30, OpenGLTest::kBlack}, {40, 41, OpenGLTest::kBlack}});
}

// A shape is drawn by its alpha: its transparent texels leave the
// background as it was, with the blending of an alpha-source type.
TEST_F(ParticleOpenGLTest, AShapeKeepsItsAlpha) {
    CreateReadyDriver();
    Clear(0, 0, 0);
    Tools::CPngImage half{2, 2, Tools::EPngColour::RGBA, 8, false, {}, {}, {}};
    half.samples = {255, 0, 0, 255, 255, 0, 0, 0, 255, 0, 0, 255, 255, 0, 0, 0};
    Tools::CVexaEmitter description = QuietEmitter("Half");
    Tools::CVexaParticleType& type = description.types[0];
    type.shapeId = 1;
    type.words[3] = 2;  // alpha-source blending
    type.flags = 1;
    type.burstCount = 1;
    {
        CParticleSystem system(driver.get());
        system.GetLibrary().Init(&system.GetGraphicsBinding());
        Tools::CVexaDocument document;
        document.shapes = {{"half", 1, {{Tools::WritePng(half), 10, 10}}, {}, {}}};
        document.emitters = {description};
        auto file = ReadVexa(Tools::WriteVexa(document), &system.GetLibrary());
        file->CreateTextures();
        auto emitter = file->CreateEmitter("Half");
        emitter->Update(0.0f, 0.1f, 40, 30, 0, 1);
        EXPECT_EQ(emitter->RenderAll(), 1);
    }
    ExpectPixels({{33, 30, OpenGLTest::kRed}, {46, 30, OpenGLTest::kBlack}});
}

} // namespace
} // namespace VexaTest
