// Emitter prototypes and their running copies, the effect file's look-ups,
// and the device data made for shapes and meshes.

#include <gtest/gtest.h>

#include "VexaTestSupport.h"
#include "app/ProcessEnd.h"
#include "app/SanitizerBuild.h"
#include "particles/library/ParticlePool.h"
#include "particles/library/VexaException.h"
#include "particles/library/VexaGraphicsException.h"
#include "particles/library/VexaParticleLibrary.h"

namespace VexaTest {
namespace {

class VexaEmitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        library.Init(&device);
        file = ReadVexa(Tools::WriteVexa(FullDocument()), &library);
    }

    CFakeDevice device;
    CVexaParticleLibrary library;
    std::unique_ptr<CVexaFile> file;
};

TEST_F(VexaEmitterTest, CopySharesThePrototypesDataAndLeavesItIntact) {
    const CVexaParticleEmitter& prototype = *file->FindEmitter("Fire");
    {
        auto copy = file->CreateEmitter("Fire");
        EXPECT_EQ(copy->GetName(), nullptr);
        EXPECT_TRUE(copy->IsCopy());
        EXPECT_EQ(copy->GetPrototype(), &prototype);
        EXPECT_EQ(copy->GetCurves()[3].GetKeys().data(), prototype.GetCurves()[3].GetKeys().data());
        EXPECT_EQ(copy->GetCurves()[3].GetTable(), prototype.GetCurves()[3].GetTable());
        EXPECT_EQ(copy->GetParticleType(0).gradient.GetTable(), prototype.GetParticleType(0).gradient.GetTable());
        EXPECT_EQ(copy->GetParticleType(0).curves[37].GetTable(), prototype.GetParticleType(0).curves[37].GetTable());
        EXPECT_TRUE(copy->GetCurves()[3].IsBorrowed());
        const CVexaParticleType& type = copy->GetParticleType(0);
        EXPECT_TRUE(type.isCopy && type.gradient.IsBorrowed() && type.meshes.IsBorrowed() && type.curves[37].IsBorrowed());
        EXPECT_EQ(type.emitter, copy.get());
        EXPECT_EQ(type.subEmitters, prototype.GetParticleType(0).subEmitters);
        EXPECT_EQ(type.words, prototype.GetParticleType(0).words);
        EXPECT_EQ(copy->GetTuningValue(), 42.5f);
        EXPECT_TRUE(copy->IsEmitting() && copy->IsFirstStep());
    }
    EXPECT_STREQ(prototype.GetName(), "Fire");
    EXPECT_EQ(prototype.GetCurves()[3].GetKeyCount(), 2);
    EXPECT_FALSE(prototype.GetCurves()[3].IsBorrowed());
}

// A file's curves take no allocation of their own: each one's keys follow
// the table and points before them in the file's key store, which a copy
// keeps after the file has gone.
TEST_F(VexaEmitterTest, CurvesShareTheFilesKeyStoreWhichOutlivesTheFile) {
    const auto& curves = file->FindEmitter("Fire")->GetCurves();
    // Each curve's keys, table and sampled points, one after another.
    for (size_t i = 1; i < 15; ++i) {
        const CCurveKeyTable& before = *curves[i - 1].GetTable();
        EXPECT_EQ(static_cast<const void*>(before.GetPoints().data()), static_cast<const void*>(&before + 1));
        EXPECT_EQ(static_cast<const void*>(curves[i].GetKeys().data()),
                  static_cast<const void*>(before.GetPoints().data() + before.GetPoints().size()));
    }
    const CParameterCurve copy = curves[3];
    const CColourGradient gradient = file->FindEmitter("Fire")->GetParticleType(0).gradient;
    file.reset();
    EXPECT_EQ(SampleCurve(copy, 1.0f), 4.0f);
    EXPECT_EQ(SampleColourGradient(gradient, 0.0f), (CColour{1, 0, 0, 1}));
}

TEST_F(VexaEmitterTest, FileLooksUpPrototypesByExactNameAndIndex) {
    EXPECT_EQ(file->GetEmitterCount(), 2);
    EXPECT_EQ(file->GetEmitter(1), file->FindEmitter("Glow"));
    EXPECT_EQ(file->GetEmitter(-1), nullptr);
    EXPECT_EQ(file->GetEmitter(2), nullptr);
    EXPECT_EQ(file->FindEmitter("fire"), nullptr);
    try {
        file->CreateEmitter("Ice");
        ADD_FAILURE();
    } catch (const CVexaException& e) {
        EXPECT_EQ(e.GetMessage(), "Unable to find Vexa emitter 'Ice'");
    }
}

TEST_F(VexaEmitterTest, SubEmittersTakeTheAxisFlagOfTheTopEmitter) {
    const CVexaParticleType& type = file->FindEmitter("Fire")->GetParticleType(0);
    const CVexaParticleEmitter& smoke = *(*type.subEmitters)[0];
    EXPECT_EQ(smoke.GetSettings().axis3D, 0u);
    EXPECT_EQ(smoke.GetParentType(), &type);
    EXPECT_EQ(smoke.GetAxisFlag(), 1u);
    EXPECT_EQ(file->FindEmitter("Glow")->GetAxisFlag(), 0u);
    EXPECT_EQ(smoke.IsParentFlagSet(), 0u);
    EXPECT_EQ(type.shape, &file->GetShape(0));
}

TEST_F(VexaEmitterTest, ParticleCountsIncludeSubEmittersAndResetDropsThemAll) {
    auto emitter = file->CreateEmitter("Fire");
    CVexaParticleType& type = emitter->GetParticleType(0);
    EXPECT_EQ(emitter->HasParticles(), 0u);
    auto* particle = AcquireParticle();
    particle->subEmitters.push_back({0.0f, CVexaParticleEmitter::CreateFromPrototype(*(*type.subEmitters)[0]), {}});
    CVexaParticleType& subType = particle->subEmitters[0].emitter->GetParticleType(0);
    subType.LinkParticle(AcquireParticle());
    subType.LinkParticle(AcquireParticle());
    type.LinkParticle(particle);
    type.emissionCounter = 3;
    EXPECT_EQ(emitter->HasParticles(), 1u);
    EXPECT_EQ(emitter->GetParticleCount(), 3u);
    const float turn[16] = {0, 1, 0, 9, -1, 0, 0, 9, 0, 0, 1, 9, 0, 0, 0, 1};
    emitter->SetRotation(turn);
    EXPECT_EQ(particle->subEmitters[0].emitter->GetRotation()[1][0], -1.0f);

    emitter->Reset();
    EXPECT_EQ(type.head, nullptr);
    EXPECT_EQ(type.emissionCounter, 0u);
    EXPECT_EQ(emitter->GetParticleCount(), 0u);
    EXPECT_EQ(emitter->HasParticles(), 0u);
}

// At the process's end a running emitter's types are left whole, their
// particles' records with them; otherwise the records go back at once.
class VexaEmitterEndTest : public VexaEmitterTest, public ::testing::WithParamInterface<bool> {
protected:
    void TearDown() override { Engine::CProcessEnd::Allow(false); }
};

TEST_P(VexaEmitterEndTest, ARunningEmittersParticlesGoBackUnlessMemoryIsLeft) {
    auto emitter = file->CreateEmitter("Fire");
    for (int i = 0; i < 3; ++i) emitter->GetParticleType(0).LinkParticle(AcquireParticle());
    const size_t freeBefore = GetFreeParticleCount();
    Engine::CProcessEnd::Allow(GetParam());
    Engine::CProcessEnd::Begin();
    emitter.reset();
    const bool left = GetParam() && !Engine::kAddressSanitizerBuild;
    EXPECT_EQ(GetFreeParticleCount(), freeBefore + (left ? 0u : 3u));
}

INSTANTIATE_TEST_SUITE_P(Ending, VexaEmitterEndTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "MemoryLeft" : "FullTeardown"; });

TEST_F(VexaEmitterTest, MatrixIdentityFlagAndValueList) {
    CVexaParticleEmitter& prototype = *file->FindEmitter("Glow");
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 5, 5, 5};
    prototype.SetMatrix(m);
    EXPECT_TRUE(prototype.IsDrawMatrixIdentity());
    m[7] = 2;
    prototype.SetMatrix(m);
    EXPECT_FALSE(prototype.IsDrawMatrixIdentity());
    EXPECT_EQ(prototype.GetDrawMatrix().m[1][3], 2.0f);

    prototype.AddValue(1);
    EXPECT_EQ(prototype.GetValues().capacity(), 8u);
    for (uintptr_t v = 2; v <= 9; ++v) prototype.AddValue(v);
    EXPECT_EQ(prototype.GetValues().capacity(), 16u);
    auto copy = file->CreateEmitter("Glow");
    EXPECT_EQ(copy->GetValues().size(), 9u);
    copy->AddValue(42);
    copy->AddValue(43);
    EXPECT_EQ(copy->GetValues(), (std::vector<uintptr_t>{42, 43}));
    EXPECT_EQ(prototype.GetValues().size(), 9u);
}

TEST_F(VexaEmitterTest, MeshBuffersAreBuiltOncePerObjectFromTheFaces) {
    ASSERT_EQ(device.calls, (std::vector<std::string>{"CreateVertexBuffer 2048 28 0x1000D 0",
                                                      "CreateVertexBuffer 6 24 0x10009 0"}));
    std::vector<CVexaAse::CMeshVertex> v(6);
    std::memcpy(v.data(), device.buffers[1]->data.data(), 6 * sizeof v[0]);
    EXPECT_EQ((std::array{v[1].x, v[1].y, v[1].u, v[1].v}), (std::array{1.0f, 0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(v[2].v, 1.0f);
    EXPECT_EQ(v[0].colour, 0xFFFFFFFFu);
    // The second face has no texture face in channel 0.
    EXPECT_EQ((std::array{v[4].x, v[4].y, v[4].z, v[4].u, v[4].v}), (std::array{1.0f, 1.0f, 0.5f, 0.0f, 0.0f}));
}

TEST_F(VexaEmitterTest, TexturesAreMadeForDecodableImagesOnce) {
    device.calls.clear();
    file->CreateTextures();
    file->CreateTextures();
    EXPECT_EQ(device.calls, (std::vector<std::string>{"CreateBitmap 2x2", "CreateTexture 2", "CreateBitmap 2x2"}));
    EXPECT_NE(file->GetShape(0).GetTexture(), nullptr);
    EXPECT_EQ(file->GetShape(1).GetTexture(), nullptr);
    const CVexaAse::CBitmapRecord& bitmap = file->GetMeshLibrary().GetBitmaps()[0];
    ASSERT_TRUE(bitmap.bitmap);
    EXPECT_EQ(bitmap.bitmap->GetPixels(), bitmap.pixels.pixels.data());
    file->InvalidateTextures();
    EXPECT_EQ(static_cast<CTexture*>(file->GetShape(0).GetTexture())->invalidations, 1);
    file->DestroyTextures();
    EXPECT_EQ(file->GetShape(0).GetTexture(), nullptr);
    // Destroyed, the shapes' textures are made again; the mesh image stays.
    device.calls.clear();
    file->CreateTextures();
    EXPECT_EQ(device.calls, (std::vector<std::string>{"CreateBitmap 2x2", "CreateTexture 2"}));
    EXPECT_NE(file->GetShape(0).GetTexture(), nullptr);
}

struct CDeviceFailure {
    const char* operation;
    const char* message;
    int32_t result;
};

class VexaDeviceFailureTest : public ::testing::TestWithParam<CDeviceFailure> {};

TEST_P(VexaDeviceFailureTest, ThrowsTheDevicesResult) {
    CFakeDevice device;
    device.failing = GetParam().operation;
    CVexaParticleLibrary library;
    try {
        library.Init(&device);
        ReadVexa(Tools::WriteVexa(FullDocument()), &library)->CreateTextures();
        ADD_FAILURE();
    } catch (const VexaGraphics::CVexaGraphicsException& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
        EXPECT_EQ(e.GetResult(), GetParam().result);
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, VexaDeviceFailureTest, ::testing::Values(
    CDeviceFailure{"CreateVertexBuffer", "Can't particles vertex buffer", -5},
    CDeviceFailure{"Lock", "Can't lock mesh vertex buffer", -6},
    CDeviceFailure{"CreateTexture", "Can't create shape texture", -7},
    CDeviceFailure{"CreateBitmap", "Can't create shape bitmap", -8}));

} // namespace
} // namespace VexaTest
