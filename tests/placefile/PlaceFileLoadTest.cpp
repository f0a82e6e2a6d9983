// Loading place files by name: sharing, sprite linking, the generated class,
// failures that leave nothing registered, and the per-frame drive.

#include <gtest/gtest.h>

#include <stdexcept>

#include "placefile/PlaceSpriteObject.h"
#include "placefile/PlaceVexaObject.h"
#include "scene/SceneArchive.h"
#include "scene/controllers/Controller.h"
#include "tests/placefile/AnimatedScene.h"
#include "tests/placefile/PlaceFileFixture.h"

using namespace PlaceTest;

namespace {

class CTestGeneratedClass : public CSceneGeneratedClass {
public:
    explicit CTestGeneratedClass(const char* path) : m_path(path) {}
    void SetTime(ref_ptr<Engine::Scene::CScene>, double t) override { times.push_back(t); }
    const char* GetPlaceFileName() override { return m_path; }
    std::vector<double> times;

private:
    const char* m_path;
};

CTestGeneratedClass g_generated("place/gen.place");
CTestGeneratedClass g_duplicate("place/gen.place");

class PlaceLoadTest : public PlaceFileFixture {
protected:
    PlaceLoadTest() {
        Write("place/sample.place", Tools::WritePlace(SampleDocument()));
        g_bUseGeneratedSceneClasses = true;
    }
    ~PlaceLoadTest() override { g_bUseGeneratedSceneClasses = false; }

    // The log's generated-class lines, one per line of the log.
    std::string AssignLines() const {
        const std::string& text = log.Text();
        const size_t at = text.find("[00:00:00] Assigning");
        return at == std::string::npos ? "" : text.substr(at);
    }
    using CSprFile = Engine::Graphics::SprFile::CSprFile;
    CSprFile* SpriteFileOf(CPlaceObject* object) {
        auto* sprite = dynamic_cast<CPlaceSpriteObject*>(object);
        return sprite && sprite->Sprite ? sprite->Sprite->GetFile() : nullptr;
    }
    CFakeParticles particles;
    ref_ptr<CFakeEffectFile> effects = particles.Add("fx/a.vexa", {"spark", "smoke"});
};

TEST_F(PlaceLoadTest, ASecondLoadSharesTheFileAndLinksOnlyWhatDraws) {
    ref_ptr<CPlaceFile> place = local->GetPlaceFile("place/sample.place");
    EXPECT_EQ(local->GetPlaceFile("place\\sample.place"), place);
    EXPECT_EQ(Manager().GetUseCount("place/sample.place"), 2);
    EXPECT_EQ(local->GetUses().size(), 2u);
    EXPECT_EQ(local->FindPlaceFile("place/sample.place"), place);
    EXPECT_EQ(AssignLines(), "[00:00:00] Assigning generated class for 'place/sample.place' : FAILED\n");

    EXPECT_NE(SpriteFileOf(place->FindObjectByID(10)), nullptr);  // top level
    EXPECT_NE(SpriteFileOf(place->FindObjectByID(21)), nullptr);  // group child
    EXPECT_EQ(SpriteFileOf(place->FindObjectByID(11)), nullptr);  // code 3
    EXPECT_EQ(SpriteFileOf(place->FindObjectByID(23)), nullptr);  // two groups deep
    EXPECT_TRUE(place->SpritesConnected);
    EXPECT_TRUE(place->SpriteFiles[0].records.empty());

    ref_ptr<CPlaceFileLocalManager> other(new CPlaceFileLocalManager(graphics.get()));
    EXPECT_EQ(ErrorOf([&] { other->FindPlaceFile("place/sample.place"); }), "Couldn't find place file 'place/sample.place'");
    local = nullptr;
    EXPECT_FALSE(Manager().LookupObject("place/sample.place"));
    EXPECT_EQ(graphics->GetSprFileManager()->GetObjectCount(), 2u);  // still held by the place file
    place = nullptr;
    EXPECT_EQ(graphics->GetSprFileManager()->GetObjectCount(), 0u);
}

TEST_F(PlaceLoadTest, TheLaterSpriteEntryOfAnIdWins) {
    Tools::CPlaceDocument doc = SampleDocument();
    doc.spriteFiles[1].name = "spr/place.spr";
    doc.spriteFiles[1].sprites = {{1, "tile"}};
    Write("place/twice.place", Tools::WritePlace(doc));
    const ref_ptr<CPlaceFile> place = local->GetPlaceFile("place/twice.place");
    auto* sprite = dynamic_cast<CPlaceSpriteObject*>(place->FindObjectByID(10));
    EXPECT_EQ(sprite->Sprite->GetSpriteFrameWidth(), 32);
}

// The animated scene with one chunk ID changed: a scene object's chunk of
// another kind, which the scene archive refuses by throwing the integer 1.
template <uint32_t id>
void ChangeSceneChunk(Tools::CPlaceDocument& doc) {
    RegisterAnimatedSceneTypes();
    doc.scene = AnimatedScene();
    if (!ChangeSceneChunkId(doc.scene, id)) throw std::logic_error("no such chunk");
}

struct CLoadFailure {
    const char* name;
    void (*mutate)(Tools::CPlaceDocument&);
    std::string message;
};

const CLoadFailure kLoadFailures[] = {
    {"Missing", nullptr, "Unable to open .place file 'place/none.place'"},
    {"TrailingByte", [](auto& d) { d.faults.trailing = {0}; }, "Invalid or corrupted .place file 'place/bad.place' (Position = %d, Expected = %d)"},
    {"UnknownSpriteId", [](auto& d) { d.layers[0].objects[0].spriteId = 3; },
     "Graphics::CPlaceFile::ConnectSprites() : FAILED : Can't find sprite by id '3'"},
    {"UnknownSpriteName", [](auto& d) { d.spriteFiles[0].sprites[0].name = "nope"; }, "Can't find anim sprite 'nope'"},
    {"MissingSpriteFile", [](auto& d) { d.spriteFiles[1].name = "spr/none.spr"; }, "Unable to open .spr file 'spr/none.spr'"},
    {"ReflectableChunk", ChangeSceneChunk<Engine::Scene::CHUNK_REFLECTABLE>,
     "Invalid or corrupted .place file 'place/bad.place' : integer 1 thrown"},
    {"ControllerChunk", ChangeSceneChunk<Engine::Scene::CHUNK_CONTROLLER>,
     "Invalid or corrupted .place file 'place/bad.place' : integer 1 thrown"},
};

class PlaceLoadFailureTest : public PlaceLoadTest, public testing::WithParamInterface<CLoadFailure> {};

TEST_P(PlaceLoadFailureTest, RegistersNothing) {
    const char* name = GetParam().mutate ? "place/bad.place" : "place/none.place";
    std::string expected = GetParam().message;
    if (GetParam().mutate) {
        Tools::CPlaceDocument doc = SampleDocument();
        GetParam().mutate(doc);
        const std::vector<uint8_t> bytes = Tools::WritePlace(doc);
        Write(name, bytes);
        if (expected.find("%d") != std::string::npos)
            expected = FormatString(expected.c_str(), int(bytes.size() - 1), int(bytes.size())).str();
    }
    EXPECT_EQ(ErrorOf([&] { local->GetPlaceFile(name); }), expected);
    EXPECT_EQ(Manager().GetObjectCount(), 0u);
    EXPECT_TRUE(local->GetUses().empty());
    EXPECT_FALSE(GetCurrentPlaceFile());
    EXPECT_EQ(ErrorOf([&] { local->FindPlaceFile(name); }), FormatString("Couldn't find place file '%s'", name).str());
}

INSTANTIATE_TEST_SUITE_P(Table, PlaceLoadFailureTest, testing::ValuesIn(kLoadFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlaceLoadTest, TheGeneratedClassReplacesTheGenericUpdate) {
    RegisterSceneGeneratedClass(&g_generated);
    RegisterSceneGeneratedClass(&g_duplicate);
    EXPECT_EQ(FindSceneGeneratedClass("place/gen.place"), &g_generated);
    EXPECT_EQ(FindSceneGeneratedClass("place/Gen.place"), nullptr);
    EXPECT_EQ(FindSceneGeneratedClass("place\\gen.place"), nullptr);

    Write("place/gen.place", Tools::WritePlace(SampleDocument()));
    const ref_ptr<CPlaceFile> place = local->GetPlaceFile("place/gen.place");
    EXPECT_EQ(place->GetGeneratedClass(), &g_generated);
    EXPECT_EQ(AssignLines(), "[00:00:00] Assigning generated class for 'place/gen.place' : OK\n");
    place->SetTime(11.0);  // rate 5, span 0..50: 55 wraps to 5
    EXPECT_EQ(g_generated.times, std::vector<double>{5.0});
    EXPECT_EQ(place->GetScene()->GetTimeRecord().currentTime, 11.0);

    g_bUseGeneratedSceneClasses = false;
    Write("place/gen2.place", Tools::WritePlace(SampleDocument()));
    EXPECT_EQ(local->GetPlaceFile("place/gen2.place")->GetGeneratedClass(), nullptr);
    EXPECT_EQ(log.Text().find("gen2"), std::string::npos);
    GetSceneGeneratedClassRegistry().clear();
}

TEST_F(PlaceLoadTest, UpdateStartsTheEmittersThenDrivesTopLevelParticles) {
    const ref_ptr<CPlaceFile> place = local->GetPlaceFile("place/sample.place");
    auto& vexa = dynamic_cast<CPlaceVexaObject&>(*place->FindObjectByID(30));
    CFakeEmitter& emitter = *effects->emitters.at(0);
    emitter.log.clear();
    place->Update(3.0, 0.5);
    EXPECT_EQ(emitter.time, 3.0f);
    EXPECT_EQ(emitter.log, (std::vector<std::string>{"Position 50.000000 55.000000 0.000000", "Scale 1.500000",
                                                     "Emitting 1.000000", "Tint 0.000000 0.000000 1.000000 0.501961",
                                                     "Move 3.000000 0.500000", "Update 3.000000 0.500000"}));
    // Its own time: 2.0, 2.5, then back to 1.0 resets.
    std::vector<std::string> steps;
    for (float t : {2.0f, 2.5f, 1.0f}) {
        vexa.Emitter.Time = t;
        emitter.log.clear();
        place->Update(9.0, 0.1);
        for (const std::string& line : emitter.log)
            if (line.rfind("Move", 0) == 0 || line == "Reset") steps.push_back(line);
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"Move 2.000000 0.000000", "Move 2.000000 0.500000", "Reset",
                                               "Move 1.000000 0.000000"}));
    EXPECT_EQ(emitter.time, 3.0f);  // set once, by the first update only

    emitter.log.clear();
    place->Draw(5.0f, 6.0f, 1.0f);
    EXPECT_EQ(emitter.log, (std::vector<std::string>{"Offset 5.000000 6.000000 0.000000", "Render"}));
}

} // namespace
