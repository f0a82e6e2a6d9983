// A quit found while a place file loads: the readers count their records,
// the load stops within an interval of work after the quit was posted, and
// nothing of it stays behind: no place file or sprite file in a manager,
// no failure in the log, and the same file loads whole afterwards.

#include <gtest/gtest.h>

#include "app/LoadCancelled.h"
#include "app/LoadingQuitCheck.h"
#include "scene/ClassDir.h"
#include "tests/placefile/PlaceFileFixture.h"
#include "tools/SceneArchiveWriter.h"

using namespace PlaceTest;
using Engine::CFrameQuitWatch;
using Engine::CLoadingQuitCheck;

namespace {

constexpr char kPlace[] = "place/heavy.place";

// Where the bulk of a file's records is, so that the quit lands there.
struct CHeavyPart {
    const char* name;
    int objects = 1;         // sprite objects on the layer
    int spriteRecords = 0;   // extra records in the place file's sprite library
    int sceneObjects = 0;    // animated objects in the scene archive
    int definitions = 0;     // sprite definitions in a sprite file of its own
    int64_t postAfter = 0;   // the quit is posted at the first look after this much work
    // Custom properties: descriptions, and values of the file, of the layer
    // and of the first object, and the items of one list value of the file.
    int descriptions = 0, fileValues = 0, layerValues = 0, objectValues = 0, listItems = 0;
    // One animated object of the first place object: the keys of its one
    // curve, and the ease curves of that curve.
    int keys = 0, easeCurves = 0;
    // The particle library: stored emitter IDs, and effect file names (read
    // and dropped here, where no particle system takes them).
    int emitterIds = 0, effectFiles = 0;
    // Empty layers after the first.
    int emptyLayers = 0;
};

// Values of the one description (ID 1, an integer) or items of one list.
std::vector<Tools::CPlacePropertyValue> Values(int count) {
    Tools::CPlacePropertyValue value;
    value.id = 1;
    value.type = 1;
    return std::vector<Tools::CPlacePropertyValue>(size_t(count), value);
}

// One of the same ID, a list (ID 2) of the items.
Tools::CPlacePropertyValue List(int items) {
    Tools::CPlacePropertyValue list;
    list.id = 2;
    list.type = 5;
    list.list.assign(size_t(items), 7u);
    return list;
}

std::ostream& operator<<(std::ostream& out, const CHeavyPart& part) { return out << part.name; }

class LoadQuitTest : public PlaceFileFixture, public testing::WithParamInterface<CHeavyPart> {
protected:
    static void SetUpTestSuite() { Tools::RegisterSceneArchiveTypes(); }

    void WriteHeavy(const CHeavyPart& part) {
        Tools::CPlaceDocument doc;
        std::string sprites = "spr/place.spr";
        if (part.definitions > 0) {
            Tools::CSprDocument many = PlaceSprites();
            many.sprites.resize(1);
            for (int i = 1; i < part.definitions; ++i) {
                Tools::CSprSprite copy = many.sprites[0];
                copy.name = "box" + std::to_string(i);
                many.sprites.push_back(copy);
            }
            sprites = "spr/many.spr";
            Write(sprites, Tools::WriteSpr(many));
        }
        doc.spriteFiles = {{sprites, {{1, "box"}}}};
        for (int i = 0; i < part.spriteRecords; ++i) doc.spriteFiles[0].sprites.push_back({uint32_t(100 + i), "box"});
        Tools::CPlaceLayerDoc layer;
        for (int i = 0; i < part.objects; ++i) {
            Tools::CPlaceObjectDoc object;
            object.id = uint32_t(1 + i);
            object.width = object.height = 1;
            object.spriteId = 1;
            layer.objects.push_back(object);
        }
        layer.properties = Values(part.layerValues);
        layer.objects[0].properties = Values(part.objectValues);
        doc.layers = {layer};
        doc.layers.resize(size_t(1 + part.emptyLayers));
        doc.descs = {{1, "count", 1}, {2, "list", 5}};
        for (int i = 0; i < part.descriptions; ++i) doc.descs.push_back({uint32_t(3 + i), "d" + std::to_string(i), 1});
        doc.properties = Values(part.fileValues);
        for (int i = 0; i < part.emitterIds; ++i) doc.emitters.push_back({uint32_t(i), "fx/a.vexa", "e"});
        doc.effectFiles.assign(size_t(part.effectFiles), "fx/a.vexa");
        if (part.listItems > 0) doc.properties.push_back(List(part.listItems));
        Tools::CSceneDocument scene;
        for (int i = 0; i < part.sceneObjects; ++i) {
            Tools::CSceneObject animated;
            animated.placeId = uint32_t(1 + i % part.objects);
            animated.properties = {{3, {Tools::ConstantCurve(100.0f), Tools::ConstantCurve(100.0f)}}};
            scene.objects.push_back(animated);
        }
        if (part.keys > 0 || part.easeCurves > 0) {
            Tools::CSceneObject animated;
            animated.placeId = 1;
            Tools::CSceneCurve curve = Tools::ConstantCurve(1.0f);
            for (int i = 1; i < part.keys; ++i) curve.keys.push_back({double(i), float(i)});
            if (part.easeCurves > 0) {
                curve.ease = std::make_shared<Tools::CSceneCurve>(Tools::ConstantCurve(0.5f));
                curve.easeCount = part.easeCurves;
            }
            animated.properties = {{0, {curve}}};  // the angle
            scene.objects.push_back(animated);
        }
        doc.scene = Tools::WriteSceneArchive(scene);
        Write(kPlace, Tools::WritePlace(doc));
    }

    // Loads the file with a check installed; the watch's look finds a quit
    // from the look after the one at which it was posted.
    void LoadWithQuit(int64_t postAfter) {
        CFrameQuitWatch watch;
        watch.SetTimeGate(false);
        watch.SetProbe([&] {
            const int64_t units = CLoadingQuitCheck::GetCurrent()->GetUnits();
            if (postedAt >= 0) {
                stoppedAt = units;
                return true;
            }
            if (units >= postAfter) postedAt = units;
            return false;
        });
        CLoadingQuitCheck check(watch);
        EXPECT_THROW(local->GetPlaceFile(kPlace), Engine::CLoadCancelled);
        EXPECT_EQ(check.GetUnits(), stoppedAt) << "no work counted after the quit was found";
    }

    // The units a whole load counts, with a watch that never finds a quit.
    int64_t LoadWhole() {
        CFrameQuitWatch watch;
        watch.SetTimeGate(false);
        watch.SetProbe([] { return false; });
        CLoadingQuitCheck check(watch);
        EXPECT_TRUE(local->GetPlaceFile(kPlace));
        return check.GetUnits();
    }

    int64_t postedAt = -1, stoppedAt = -1;
};

TEST_P(LoadQuitTest, StopsWithinAnIntervalAndLeavesNothingBehind) {
    const CHeavyPart& part = GetParam();
    WriteHeavy(part);
    Engine::Scene::CClassDir::GetInstance().Clear();
    LoadWithQuit(part.postAfter);
    ASSERT_GE(postedAt, part.postAfter);
    ASSERT_GE(stoppedAt, postedAt);
    EXPECT_LE(stoppedAt - postedAt, CFrameQuitWatch::kCheckInterval);

    EXPECT_TRUE(local->GetUses().empty());
    EXPECT_FALSE(Manager().LookupObject(kPlace)) << "no half-read place file";
    EXPECT_EQ(graphics->GetSprFileManager()->GetObjectCount(), 0u) << "its sprite files are let go of";
    EXPECT_EQ(Engine::Scene::CClassDir::GetInstance().GetObjectCount(), 0u) << "no scene object half read";
    for (const char* failure : {"Invalid", "FAILED", "Unable", "skipped", "corrupted"})
        EXPECT_FALSE(log.Contains(failure)) << log.Text();

    // Nothing stale: the same file then loads whole, past where it stopped.
    const int64_t whole = LoadWhole();
    EXPECT_GT(whole, stoppedAt);
    EXPECT_EQ(Manager().GetUseCount(kPlace), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, LoadQuitTest,
    testing::Values(CHeavyPart{"LayerObjects", 12000},
                    CHeavyPart{"SpriteLibrary", 1, 12000},
                    CHeavyPart{"SceneArchive", 10, 0, 12000},
                    // Reading counts the objects, then linking their sprites.
                    CHeavyPart{"SpriteLinks", 10000, 0, 0, 0, 10000},
                    CHeavyPart{"SpriteFile", 1, 0, 0, 5000},
                    // Each a count inside one record: a list of the file, a
                    // layer or an object, one value's items, one curve.
                    CHeavyPart{.name = "Descriptions", .postAfter = 4000, .descriptions = 12000},
                    CHeavyPart{.name = "FileValues", .postAfter = 4000, .fileValues = 12000},
                    CHeavyPart{.name = "LayerValues", .postAfter = 4000, .layerValues = 12000},
                    CHeavyPart{.name = "ObjectValues", .postAfter = 4000, .objectValues = 12000},
                    CHeavyPart{.name = "ListItems", .postAfter = 4000, .listItems = 12000},
                    CHeavyPart{.name = "Keys", .postAfter = 4000, .keys = 12000},
                    CHeavyPart{.name = "EaseCurves", .postAfter = 4000, .easeCurves = 12000},
                    CHeavyPart{.name = "EmitterIds", .postAfter = 4000, .emitterIds = 12000},
                    CHeavyPart{.name = "EffectFileNames", .postAfter = 4000, .effectFiles = 12000},
                    CHeavyPart{.name = "EmptyLayers", .postAfter = 4000, .emptyLayers = 12000}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

namespace {

// A count the file holds is no work done: the layers are made as they are
// counted, so a quit waiting at the first look finds at most an interval of
// them made, and none is made after it.
TEST(LayerCountQuitTest, AMillionEmptyLayersStopAtTheFirstLookWithAnIntervalMade) {
    constexpr int kLayers = 1'000'000;
    Tools::CPlaceDocument doc;
    doc.layers.resize(kLayers);
    const std::vector<uint8_t> bytes = Tools::WritePlace(doc);
    ref_ptr<CPlaceFile> place(new CPlaceFile(nullptr, kPlace));
    int probes = 0;
    int32_t madeAtLook = -1;
    CFrameQuitWatch watch;
    watch.SetTimeGate(false);
    watch.SetProbe([&] {
        ++probes;
        madeAtLook = place->GetLayerCount();
        return true;
    });
    {
        CLoadingQuitCheck check(watch);
        Engine::CMemoryFile file(bytes.data(), bytes.size());
        CArchive ar(&file, false);
        EXPECT_THROW(place->Serialize(ar), Engine::CLoadCancelled);
    }
    EXPECT_EQ(probes, 1);
    EXPECT_GT(madeAtLook, 0);
    EXPECT_LE(madeAtLook, CFrameQuitWatch::kCheckInterval);
    // What was made is the file's own and goes with it.
    EXPECT_EQ(place->GetLayerCount(), madeAtLook) << "none made after the look";
    EXPECT_EQ(place->GetRefCount(), 1);
}

} // namespace
