// Files written by the writer read back into what was written, and byte
// images laid out by hand read into the expected fields.

#include <gtest/gtest.h>


#include "VexaTestSupport.h"
#include "particles/library/VexaInput.h"
#include "tools/BinaryWriter.h"

namespace VexaTest {
namespace {

TEST(VexaRoundTrip, EveryBlockKindReadsBackAsWritten) {
    const Tools::CVexaDocument doc = FullDocument();
    const auto file = ReadVexa(Tools::WriteVexa(doc));
    EXPECT_EQ(Describe(*file), Kept(doc));
}

TEST(VexaRoundTrip, OlderLayoutReadsShortKeysAndNoLateFields) {
    // Keys without flags and extras, emitters with the default start and
    // tuning value: what the older layout cannot carry.
    Tools::CVexaDocument doc;
    doc.version = 0x15000;
    doc.emitters = {Tools::MakeVexaEmitter("Old")};
    doc.emitters[0].types[0].subEmitters = {Tools::MakeVexaEmitter("Sub")};
    doc.emitters[0].curves[0].keys.push_back({1.0f, 2.0f});
    const Bytes bytes = Tools::WriteVexa(doc);
    Engine::CMemoryFile stream(bytes.data(), bytes.size());
    CArchive archive(&stream, false);
    stream.Seek(8, Engine::SEEK_FROM_START);
    CVexaInput input(archive, doc.version);
    CVexaFile file(nullptr);
    file.ReadContents(input);
    EXPECT_EQ(stream.Tell(), int64_t(bytes.size()));
    doc.version = 0x24000;
    EXPECT_EQ(Describe(file), Kept(doc));
}

TEST(VexaRoundTrip, CurveKeysByHandInBothSizes) {
    const Bytes longKey = CBytes().u32(1).f32(2.0f).f32(3.0f).u32(0x77).f32(0.1f).f32(0.3f).f32(0.2f).f32(0.4f).u32(1).data;
    const Bytes shortKeys = CBytes().u32(2).f32(0.0f).f32(1.0f).f32(4.0f).f32(9.0f).u32(0).data;
    for (auto [bytes, version] : {std::pair{longKey, 0x16000u}, std::pair{shortKeys, 0x15FFFu}}) {
        Engine::CMemoryFile stream(bytes.data(), bytes.size());
        CArchive archive(&stream, false);
        CVexaInput input(archive, version);
        CParameterCurve curve;
        ReadCurve(input, curve);
        EXPECT_EQ(stream.Tell(), int64_t(bytes.size()));
        if (version == 0x16000) {
            ASSERT_EQ(curve.GetKeyCount(), 1);
            EXPECT_EQ(curve.GetKeys()[0], (CCurveKey{2.0f, 3.0f, 0x77, 0.1f, 0.2f, 0.3f, 0.4f}));
            EXPECT_TRUE(curve.IsSmooth());
        } else {
            ASSERT_EQ(curve.GetKeyCount(), 2);
            EXPECT_EQ(curve.GetKeys()[1], (CCurveKey{4.0f, 9.0f}));
            EXPECT_FALSE(curve.IsSmooth());
        }
    }
}

TEST(VexaRoundTrip, MinimalFileByHandIs84Bytes) {
    const Bytes bytes = CBytes().header().u32(0).u32(0).u32(0).u32(0).u32(0).u32(0).trailer().data;
    ASSERT_EQ(bytes.size(), 84u);
    const auto file = ReadVexa(bytes);
    EXPECT_EQ(file->GetEmitterCount(), 0);
    EXPECT_EQ(file->GetShapeCount(), 0);
}

TEST(VexaRoundTrip, MeshBlockAndShapeByHand) {
    CBytes b;
    b.header();
    b.u32(1).u32(7).str("bmp").u32(2).u8(0xAA).u8(0xBB);  // one bitmap of two bytes
    b.u32(2).u32(3);                                      // material 3: 13 values, no first map, a second map
    for (uint32_t i = 1; i <= 13; ++i) b.u32(i);
    b.u32(0).u32(1).u32(21).u32(22).u32(23).u32(24).u32(25).u32(7);
    b.u32(4);                                             // material 4 starts right after that map
    for (uint32_t i = 0; i < 13; ++i) b.u32(0);
    b.u32(0).u32(0);
    b.u32(1).u32(1).u32(11).str("geo");                   // one geometry object
    for (int i = 0; i < 12; ++i) b.f32(float(i));
    b.u32(3).f32(0).f32(0).f32(0).f32(1).f32(0).f32(0).f32(0).f32(1).f32(0);
    b.u32(1).u32(0).u32(1).u32(2);
    b.u32(1).u32(1).f32(0.5f).f32(0.25f).u32(1).u32(0).u32(0).u32(0);  // channel 0
    b.u32(4);                                             // material 4
    b.u32(2).u32(31).u32(11).f32(1).f32(2).f32(3).u32(32).u32(99).f32(1).f32(1).f32(1);
    b.u32(1).u32(2).str("shape").u32(5);                  // one shape, two images: the last is kept
    b.u32(1).u8(9).f32(4).f32(4).u32(2).u8(1).u8(2).f32(16).f32(8);
    b.u32(0).u32(0).u8(0).u8(0);
    b.u32(0).trailer();
    const auto file = ReadVexa(b.data);
    const CVexaAse& ase = file->GetMeshLibrary();
    ASSERT_EQ(ase.GetBitmaps().size(), 1u);
    EXPECT_EQ(ase.GetBitmaps()[0].data, (Bytes{0xAA, 0xBB}));
    ASSERT_EQ(ase.GetMaterials().size(), 2u);
    const CVexaAse::CMaterialRecord& material = ase.GetMaterials()[0];
    EXPECT_EQ(material.values[12], 13u);
    EXPECT_FALSE(material.maps[0]);
    ASSERT_TRUE(material.maps[1]);
    EXPECT_EQ(material.maps[1]->values[4], 25u);
    EXPECT_EQ(material.maps[1]->bitmap, &ase.GetBitmaps()[0]);
    EXPECT_EQ(ase.GetMaterials()[1].ID, 4u);
    const auto& geo = static_cast<const CVexaAse::CGeomObject&>(*ase.GetObjects()[0]);
    EXPECT_EQ(geo.ID, 11u);
    EXPECT_EQ(geo.transform.m[2][3], 11.0f);
    EXPECT_EQ(geo.vertices[2].y, 1.0f);
    EXPECT_EQ(geo.channels[0].coordinates[0].x, 0.5f);
    EXPECT_EQ(geo.material, &ase.GetMaterials()[1]);
    EXPECT_EQ(ase.GetMeshInstances()[0].object, &geo);
    EXPECT_EQ(ase.GetMeshInstances()[0].scale.z, 3.0f);
    EXPECT_EQ(ase.GetMeshInstances()[1].object, nullptr);
    const CVexaShape& shape = file->GetShape(0);
    EXPECT_EQ(shape.ID, 5u);
    EXPECT_EQ(shape.image, (Bytes{1, 2}));
    EXPECT_EQ(shape.width, 16.0f);
    EXPECT_EQ(shape.height, 8.0f);
}

TEST(VexaRoundTrip, EmitterAndParticleTypeByHand) {
    CBytes b;
    b.header().u32(0).u32(0).u32(0).u32(0);  // empty mesh block
    b.u32(0);                                 // no shapes
    b.u32(1);
    b.emptyCurves(15).f32(0.5f).f32(-2.0f).emptyCurves(1);
    b.u32(1);                                             // one particle type
    b.u32(1).u32(5).str("type");                          // shape 5: none in the file
    b.u32(101).u32(102).u32(uint32_t(-45)).u32(104).u32(105).u32(6);
    b.u32(1).f32(0.5f).f32(1).f32(0.5f).f32(0.25f).f32(1).u32(3).u32(1);  // gradient
    b.emptyCurves(23).u32(106).u32(107).emptyCurves(3);
    b.u32(0);                                             // no sub-emitters
    b.u32(108).f32(0.1f).f32(0.2f).f32(0.3f).emptyCurves(9);
    b.u32(0);                                             // no mesh references
    b.u32(0x3F800000).u32(9).emptyCurves(3).f32(0.75f).f32(-0.25f);
    b.str("Boom").f32(0.1f).f32(0.2f).f32(0.3f).f32(0.4f);
    b.u32(1).u32(2).u32(3).u32(4).u32(1).u32(1).emptyCurves(3).u32(1).f32(55.0f);
    b.trailer();
    const auto file = ReadVexa(b.data);
    CVexaParticleEmitter& e = *file->GetEmitter(0);
    EXPECT_STREQ(e.GetName(), "Boom");
    float x, y, z, r, g, bl, a;
    e.GetDirection(x, y, z);
    EXPECT_EQ((std::array{x, y, z}), (std::array{0.5f, -2.0f, 0.0f}));
    e.GetTintColor(r, g, bl, a);
    EXPECT_EQ((std::array{r, g, bl, a}), (std::array{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(e.GetSettings(), (CVexaParticleEmitter::CSettings{1, 2, 3, 4, 1, 1, 1}));
    EXPECT_EQ(e.GetTuningValue(), 55.0f);
    const CVexaParticleType& t = e.GetParticleType(0);
    EXPECT_EQ(t.shape, nullptr);
    const CVexaParticleType::CWords expected{101, 102, -45, 104, 105, 6, 106, 107, 108, {0.1f, 0.2f, 0.3f},
                                             0x3F800000, 9, 0.75f, -0.25f};
    EXPECT_EQ(t.words, expected);
    EXPECT_EQ(t.GetPivotY(), 1.0f);
    EXPECT_EQ(t.gradient.GetRepeatCount(), 3);
    EXPECT_EQ(t.gradient.GetKeys()[0], (CColourKey{0.5f, 1, 0.5f, 0.25f, 1}));
    EXPECT_EQ(t.emitter, &e);
    EXPECT_EQ(t.meshes.GetLibrary(), &file->GetMeshLibrary());
}

TEST(VexaRoundTrip, MeshReferencesResolveToTheFirstInstanceAndSumWeights) {
    Tools::CVexaDocument doc = FullDocument();
    doc.meshes.instances.push_back({31, 0, {9, 9, 9}});
    const auto file = ReadVexa(Tools::WriteVexa(doc));
    const CMeshReferenceList& meshes = file->GetEmitter(0)->GetParticleType(0).meshes;
    EXPECT_EQ(meshes.GetTotalWeight(), 8);
    EXPECT_EQ(meshes.GetEntries()[0].instance, &file->GetMeshLibrary().GetMeshInstances()[0]);
}

} // namespace
} // namespace VexaTest
