// What an effect file's records resolve to while it is read, by ID or by
// name: the first record of the list in file order with the ID (a bitmap of
// a material map, a material of an object, an object of an instance, an
// instance of a mesh reference, a shape of a particle type), or the first
// emitter with the name, as a walk over the list finds it, among duplicate
// and missing IDs and names. And a quit found while a file is read stops it
// within an interval of counted work, wherever its bulk is.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/LoadCancelled.h"
#include "app/LoadingQuitCheck.h"
#include "particles/library/MeshReferenceList.h"
#include "tests/particles/VexaTestSupport.h"

using namespace VexaTest;
using Engine::CFrameQuitWatch;
using Engine::CLoadingQuitCheck;

namespace {

template <class Record, class Id>
const Record* Walk(const std::vector<Record>& records, Id Record::*id, uint32_t wanted) {
    for (const Record& record : records)
        if (record.*id == wanted) return &record;
    return nullptr;
}

// Every list with IDs given twice and IDs that name nothing.
Tools::CVexaDocument Duplicated() {
    Tools::CVexaDocument doc = FullDocument();
    Tools::CVexaMeshBlock& meshes = doc.meshes;
    meshes.bitmaps = {{7, "a", SmallPng()}, {8, "b", {}}, {7, "c", {}}, {9, "d", {}}};
    meshes.materials[0].maps[0] = Tools::CVexaMaterialMap{{}, 7};
    meshes.materials[1].maps[0] = Tools::CVexaMaterialMap{{}, 99};
    meshes.materials.push_back(meshes.materials[0]);  // ID 3 again
    meshes.materials.back().maps[1] = Tools::CVexaMaterialMap{{}, 9};
    Tools::CVexaGeometry other = meshes.objects[0];
    other.materialId = 4;
    Tools::CVexaGeometry missing = other;
    missing.id = 12;
    missing.materialId = 77;
    meshes.objects = {meshes.objects[0], other, missing};  // 11 twice
    meshes.instances = {{31, 11, {}}, {32, 12, {}}, {31, 12, {}}, {33, 55, {}}};
    Tools::CVexaParticleType& type = doc.emitters[0].types[0];
    type.meshes = {{31, 1, 1, 0}, {32, 1, 1, 0}, {33, 1, 1, 0}, {40, 1, 1, 0}};
    Tools::CVexaParticleType second = type;
    second.shapeId = 6;
    second.subEmitters.clear();
    Tools::CVexaParticleType unknown = second;
    unknown.shapeId = 404;
    doc.emitters[0].types = {type, second, unknown};
    doc.emitters.push_back(Tools::MakeVexaEmitter("Fire"));  // a second "Fire"
    doc.emitters.push_back(Tools::MakeVexaEmitter(""));
    return doc;
}

TEST(VexaLookupTest, ResolvesAsTheWalkInFileOrder) {
    const std::unique_ptr<CVexaFile> file = ReadVexa(Tools::WriteVexa(Duplicated()));
    const CVexaAse& meshes = file->GetMeshLibrary();
    const auto& bitmaps = meshes.GetBitmaps();
    const auto& materials = meshes.GetMaterials();
    const Tools::CVexaDocument doc = Duplicated();
    for (size_t m = 0; m < materials.size(); ++m) {
        for (size_t k = 0; k < 2; ++k) {
            if (!doc.meshes.materials[m].maps[k]) continue;
            const uint32_t id = doc.meshes.materials[m].maps[k]->bitmapId;
            EXPECT_EQ(materials[m].maps[k]->bitmap, Walk(bitmaps, &CVexaAse::CBitmapRecord::ID, id)) << m << " " << k;
        }
    }
    for (size_t o = 0; o < meshes.GetObjects().size(); ++o) {
        const auto& object = static_cast<const CVexaAse::CGeomObject&>(*meshes.GetObjects()[o]);
        EXPECT_EQ(object.material, Walk(materials, &CVexaAse::CMaterialRecord::ID, doc.meshes.objects[o].materialId));
    }
    for (size_t i = 0; i < meshes.GetMeshInstances().size(); ++i) {
        const CVexaAse::CGeomObject* first = nullptr;
        for (const auto& object : meshes.GetObjects())
            if (!first && object->ID == doc.meshes.instances[i].objectId)
                first = static_cast<const CVexaAse::CGeomObject*>(object.get());
        EXPECT_EQ(meshes.GetMeshInstances()[i].object, first) << i;
    }
    CVexaParticleEmitter& fire = *file->GetEmitter(0);
    const auto references = fire.GetParticleType(0).meshes.GetEntries();
    ASSERT_EQ(references.size(), 4u);
    for (size_t r = 0; r < references.size(); ++r) {
        const uint32_t id = doc.emitters[0].types[0].meshes[r].instanceId;
        EXPECT_EQ(references[r].instance, Walk(meshes.GetMeshInstances(), &CVexaAse::CMeshInstance::ID, id)) << r;
    }
    for (int32_t t = 0; t < fire.GetParticleTypeCount(); ++t) {
        const CVexaShape* first = nullptr;
        for (int32_t s = 0; !first && s < file->GetShapeCount(); ++s)
            if (file->GetShape(s).ID == *doc.emitters[0].types[size_t(t)].shapeId) first = &file->GetShape(s);
        EXPECT_EQ(fire.GetParticleType(t).shape, first) << t;
    }
    EXPECT_EQ(file->FindEmitter("Fire"), file->GetEmitter(0));
    EXPECT_EQ(file->FindEmitter("Glow"), file->GetEmitter(1));
    for (const char* none : {"", "fire", "Fire ", "smoke"}) EXPECT_EQ(file->FindEmitter(none), nullptr) << none;
    EXPECT_EQ(file->FindEmitter(nullptr), nullptr);
}

// Where a file's bulk is: far more than an interval of work in one list.
struct CBulk {
    const char* name;
    std::function<void(Tools::CVexaDocument&)> add;
};

std::ostream& operator<<(std::ostream& out, const CBulk& bulk) { return out << bulk.name; }

constexpr int kBulk = 3 * int(CFrameQuitWatch::kCheckInterval);

const CBulk kBulks[] = {
    {"CurveKeys", [](auto& d) { d.emitters[0].curves[0].keys.assign(kBulk, {}); }},
    {"ColourKeys", [](auto& d) { d.emitters[0].types[0].gradient.keys.assign(kBulk, {}); }},
    {"MeshReferences", [](auto& d) { d.emitters[0].types[0].meshes.assign(kBulk, {31, 1, 1, 0}); }},
    {"Vertices", [](auto& d) { d.meshes.objects[0].vertices.assign(kBulk, {}); }},
    {"Faces", [](auto& d) { d.meshes.objects[0].faces.assign(kBulk, {0, 1, 2}); }},
    {"Coordinates", [](auto& d) { d.meshes.objects[0].channels[0].coordinates.assign(kBulk, {}); }},
    {"Bitmaps", [](auto& d) { d.meshes.bitmaps.assign(kBulk, {1, "", {}}); }},
    {"Materials", [](auto& d) { d.meshes.materials.assign(kBulk, {}); }},
    {"Instances", [](auto& d) { d.meshes.instances.assign(kBulk, {31, 11, {}}); }},
    {"ShapeImages", [](auto& d) { d.shapes[0].images.assign(kBulk, {}); }},
};

class VexaLoadQuitTest : public testing::TestWithParam<CBulk> {};

TEST_P(VexaLoadQuitTest, StopsWithinAnInterval) {
    Tools::CVexaDocument doc = FullDocument();
    GetParam().add(doc);
    const Bytes bytes = Tools::WriteVexa(doc);
    int64_t postedAt = -1, stoppedAt = -1;
    CFrameQuitWatch watch;
    watch.SetTimeGate(false);
    watch.SetProbe([&] {
        const int64_t units = CLoadingQuitCheck::GetCurrent()->GetUnits();
        if (postedAt >= 0) return stoppedAt = units, true;
        postedAt = units;
        return false;
    });
    {
        CLoadingQuitCheck check(watch);
        EXPECT_THROW(ReadVexa(bytes), Engine::CLoadCancelled);
        EXPECT_EQ(check.GetUnits(), stoppedAt) << "no work counted after the quit was found";
    }
    ASSERT_GE(postedAt, 0);
    EXPECT_LE(stoppedAt - postedAt, CFrameQuitWatch::kCheckInterval);
    EXPECT_TRUE(ReadVexa(bytes)) << "read whole without a check";
}

INSTANTIATE_TEST_SUITE_P(Bulks, VexaLoadQuitTest, testing::ValuesIn(kBulks),
                         [](const auto& info) { return std::string(info.param.name); });

// An emitter of count types, top-level or the one sub-emitter of a type: the
// record of a type as the writer writes it, repeated where the file with no
// types holds its count.
Bytes WithTypes(uint32_t count, bool inSubEmitter) {
    auto written = [&](bool oneType) {
        Tools::CVexaDocument doc = FullDocument();
        Tools::CVexaEmitter emitter = Tools::MakeVexaEmitter("Many");
        emitter.types.assign(oneType ? 1 : 0, Tools::CVexaParticleType{});
        if (inSubEmitter)
            doc.emitters[0].types[0].subEmitters = {emitter};
        else
            doc.emitters.insert(doc.emitters.begin(), emitter);
        return Tools::WriteVexa(doc);
    };
    const Bytes none = written(false), one = written(true);
    const size_t at = size_t(std::mismatch(none.begin(), none.end(), one.begin()).first - none.begin());
    const auto type = one.begin() + ptrdiff_t(at + 4);
    const auto typeEnd = type + ptrdiff_t(one.size() - none.size());
    Bytes bytes(none.begin(), none.begin() + ptrdiff_t(at));
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(uint8_t(count >> shift));
    for (uint32_t i = 0; i < count; ++i) bytes.insert(bytes.end(), type, typeEnd);
    bytes.insert(bytes.end(), none.begin() + ptrdiff_t(at + 4), none.end());
    return bytes;
}

class VexaManyTypesQuitTest : public testing::TestWithParam<bool> {};

// Runs `load` under a loading look with a quit pending from the start:
// the look is found once, with at most an interval of types made, and
// whatever the cut load made is let go of.
void ExpectCutAtTheFirstLook(const std::function<void()>& load) {
    const int64_t before = CVexaParticleType::GetLiveCount();
    int64_t madeAtLook = -1;
    CFrameQuitWatch watch;
    watch.SetTimeGate(false);
    watch.SetProbe([&] {
        madeAtLook = CVexaParticleType::GetLiveCount() - before;
        return true;
    });
    EXPECT_FALSE(CLoadingQuitCheck::Run(watch, load));
    EXPECT_EQ(watch.GetProbes(), 1);
    EXPECT_GT(madeAtLook, 0);
    EXPECT_LE(madeAtLook, CFrameQuitWatch::kCheckInterval);
    EXPECT_EQ(CVexaParticleType::GetLiveCount(), before) << "nothing made is left";
}

// Types are made as they are read: a quit pending from the start is found at
// the first look with at most an interval of them made, and the cut read
// lets go of every one.
TEST_P(VexaManyTypesQuitTest, StopsAtTheFirstLookAndLeavesNoType) {
    constexpr uint32_t kTypes = 100'000;
    const Bytes bytes = WithTypes(kTypes, GetParam());
    ExpectCutAtTheFirstLook([&] { ReadVexa(bytes); });
    const std::unique_ptr<CVexaFile> whole = ReadVexa(bytes);
    const CVexaParticleEmitter& many =
        GetParam() ? *(*whole->GetEmitter(0)->GetParticleType(0).subEmitters)[0] : *whole->GetEmitter(0);
    EXPECT_EQ(many.GetParticleTypeCount(), int32_t(kTypes)) << "read whole without a check";
}

// An emitter made from the file under loading's look makes its types as it
// counts them too. A sub-emitter's copy, made inside a step, never stops:
// the pool's units bound it instead.
TEST(VexaEmitterQuitTest, AnEmitterMadeUnderALookStopsAtItsFirstLook) {
    constexpr uint32_t kTypes = 100'000;
    const std::unique_ptr<CVexaFile> file = ReadVexa(WithTypes(kTypes, false));
    ExpectCutAtTheFirstLook([&] { file->CreateEmitter("Many"); });
    EXPECT_EQ(file->CreateEmitter("Many")->GetParticleTypeCount(), int32_t(kTypes)) << "made whole without a look";
}

INSTANTIATE_TEST_SUITE_P(Emitters, VexaManyTypesQuitTest, testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "SubEmitter" : "TopLevel"); });

} // namespace
