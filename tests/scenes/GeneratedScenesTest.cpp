// The generated scene classes against the generic update of the same
// scenes, on place files made by the tools from each scene's structure.

#include <gtest/gtest.h>

#include <map>

#include "placefile/PlaceSpriteObject.h"
#include "placefile/PlaceVexaObject.h"
#include "scene/Scene.h"
#include "scenes/SceneRegistration.h"
#include "tests/placefile/PlaceFileFixture.h"
#include "tools/GeneratedScenePlaces.h"

using namespace PlaceTest;
using Tools::ELiteralData;

namespace {

void RegisterGeneratedScenes() {
    static const Engine::CStartupRegistration s_startup{Engine::Scenes::GetStartupHooks()};
}

// Every field an animation can write, per animated place object.
std::vector<double> Fields(CPlaceObject* object) {
    std::vector<double> fields{object->Angle,  object->Position.x, object->Position.y, double(object->Width),
                               double(object->Height), object->Zoom.x, object->Zoom.y, double(object->Color)};
    if (auto* sprite = dynamic_cast<CPlaceSpriteObject*>(object))
        fields.insert(fields.end(), {sprite->SpriteOffset.x, sprite->SpriteOffset.y,
                                     double(sprite->Sprite ? sprite->Sprite->GetFrame() : -1)});
    if (auto* particles = dynamic_cast<CPlaceVexaObject*>(object)) fields.push_back(particles->Emitter.Time);
    return fields;
}

// Every node's reference count, the ease curve lists' included.
void CountReferences(const Engine::Scene::CAnimatable* node, std::map<const void*, int32_t>& counts) {
    if (!node || counts.contains(node)) return;
    counts[node] = node->GetRefCount();
    if (auto* controller = dynamic_cast<const Engine::Scene::CStdController*>(node))
        CountReferences(controller->GetEaseCurveList(), counts);
    for (int i = 0; i < node->GetSubAnimCount(); ++i) CountReferences(node->GetSubAnim(i).get(), counts);
}

class GeneratedScenesTest : public PlaceFileFixture {
protected:
    GeneratedScenesTest() {
        RegisterGeneratedScenes();
        g_bUseGeneratedSceneClasses = true;
        Write("spr/scenes.spr", Tools::WriteSceneSprites());
    }
    ~GeneratedScenesTest() override { g_bUseGeneratedSceneClasses = false; }

    ref_ptr<CPlaceFile> Load(const std::string& path, const Tools::CGeneratedScene& scene) {
        Write(path, Tools::WriteGeneratedScene(scene));
        return local->GetPlaceFile(CString(path));
    }
    static std::vector<std::vector<double>> Snapshot(CPlaceFile& place, int objects) {
        std::vector<std::vector<double>> all;
        for (int i = 0; i < objects; ++i) all.push_back(Fields(place.FindObjectByID(uint32_t(100 + i))));
        return all;
    }
    bool Assigned(const std::string& path) const {
        return log.Text().find("Assigning generated class for '" + path + "' : OK\n") != std::string::npos;
    }
};

// Times the scene runs at (rate 1, span 0..20, keys from 2 to 16): inside
// the keys, before the first, after the last, repeated, backwards, wrapped.
constexpr double kTimes[] = {5.5, 1.0, 18.0, 18.0, 3.25, 12.0, 0.0, 27.0, 19.9};

class EveryScene : public GeneratedScenesTest, public testing::WithParamInterface<std::string> {};

// The body, with contrary keys where it writes constants, does what the
// generic update does with those constants as one-key tables.
TEST_P(EveryScene, BodyMatchesTheGenericUpdateAndItsConstantsWin) {
    const std::string path = GetParam();
    const auto designed = Tools::GeneratedScene(path, ELiteralData::OneKey);
    ref_ptr<CPlaceFile> compiled = Load(path, Tools::GeneratedScene(path, ELiteralData::Contrary));
    ref_ptr<CPlaceFile> generic = Load("place/generic.place", designed);
    ASSERT_TRUE(Assigned(path));
    ASSERT_FALSE(Assigned("place/generic.place"));
    const int objects = int(designed.scene.objects.size());
    for (const double t : kTimes) {
        compiled->SetTime(t);
        generic->SetTime(t);
        EXPECT_EQ(Snapshot(*compiled, objects), Snapshot(*generic, objects)) << path << " at " << t;
    }
}

TEST_P(EveryScene, ACallLeavesEveryReferenceCountAsItWas) {
    const std::string path = GetParam();
    ref_ptr<CPlaceFile> place = Load(path, Tools::GeneratedScene(path));
    std::map<const void*, int32_t> before, after;
    CountReferences(place->GetScene().get(), before);
    place->SetTime(7.0);
    CountReferences(place->GetScene().get(), after);
    EXPECT_EQ(before, after);
}

INSTANTIATE_TEST_SUITE_P(Scenes, EveryScene, testing::ValuesIn(Tools::GeneratedScenePaths()),
                         [](const auto& info) {
                             std::string name = info.param.substr(6, info.param.size() - 12);
                             return name;
                         });

TEST_F(GeneratedScenesTest, TheClassesAreRegisteredInTheirOrder) {
    // The scenes' place files are listed in registration order too.
    std::vector<std::string> paths;
    for (CSceneGeneratedClass* generated : GetSceneGeneratedClassRegistry())
        paths.push_back(generated->GetPlaceFileName());
    EXPECT_EQ(paths, Tools::GeneratedScenePaths());
    EXPECT_EQ(FindSceneGeneratedClass("place/BG1.place"), nullptr);
}

// bg1 object 2 only turns: a colour controller of its own acts once, at
// load, and never again while the class runs the scene.
TEST_F(GeneratedScenesTest, PropertiesTheBodyDoesNotSetKeepTheirLoadedValues) {
    auto scene = Tools::GeneratedScene("place/bg1.place");
    Tools::CSceneProperty color{4, {}};
    for (float at0 : {10.0f, 20.0f, 30.0f, 40.0f}) color.curves.push_back(Tools::LinearCurve({{0, at0}, {10, 100}}));
    scene.scene.objects[2].properties.push_back(color);
    ref_ptr<CPlaceFile> place = Load("place/bg1.place", scene);
    CPlaceObject* turning = place->FindObjectByID(102);
    EXPECT_EQ(turning->Color, 0x664C3319u);  // (10, 20, 30, 40) percent at time 0
    const float angle0 = turning->Angle;
    for (const double t : kTimes) {
        place->SetTime(t);
        EXPECT_EQ(turning->Color, 0x664C3319u);
    }
    EXPECT_NE(turning->Angle, angle0);
}

// bg2 with keys chosen here, checked against values worked out from the
// keys and the setter rules.
TEST_F(GeneratedScenesTest, Bg2FieldsEqualValuesWorkedOutByHand) {
    auto scene = Tools::GeneratedScene("place/bg2.place", ELiteralData::Contrary);
    auto& objects = scene.scene.objects;
    objects[0].properties[0].curves[0] = Tools::LinearCurve({{0, 0}, {10, 100}});       // offset x
    objects[1].properties[0].curves[0] = Tools::LinearCurve({{0, 100}, {10, 300}});     // position x
    objects[9].frameInPercent = true;
    objects[9].properties[1].curves = {Tools::LinearCurve({{0, 20}, {10, 60}}),  // zoom
                                       Tools::LinearCurve({{0, 50}, {10, 50}})};
    objects[9].properties[2].curves[0] = Tools::LinearCurve({{0, 0}, {10, 100}});       // frame, percent
    objects[10].frameInPercent = false;
    objects[10].properties[2].curves[0] = Tools::LinearCurve({{0, -7.4f}, {10, 7.4f}}, 0, 0);  // frame
    ref_ptr<CPlaceFile> place = Load("place/bg2.place", scene);
    place->SetTime(2.5);
    const auto sprite = [&](uint32_t id) { return dynamic_cast<CPlaceSpriteObject*>(place->FindObjectByID(id)); };
    EXPECT_EQ(sprite(100)->SpriteOffset.x, 25.0f * 0.01f);
    EXPECT_EQ(sprite(100)->SpriteOffset.y, 0.0f);
    EXPECT_EQ(sprite(101)->Position.x, 150.0f);
    EXPECT_EQ(sprite(101)->Position.y, 74.0f);
    EXPECT_EQ(sprite(106)->SpriteOffset.y, 0.8817777633666992f);
    EXPECT_EQ(sprite(108)->Position.y, 163.0f);
    EXPECT_EQ(sprite(109)->Zoom.x, float(30.0 * 0.009999999776482582));  // not 0.3f
    EXPECT_EQ(sprite(109)->Zoom.y, 0.5f);
    EXPECT_EQ(sprite(109)->Sprite->GetFrame(), 1);  // 25 % of frames 0..7: 1.75
    EXPECT_EQ(sprite(110)->Sprite->GetFrame(), 3);  // |-3.7|
    place->SetTime(12.5);                           // past the last key: held
    EXPECT_EQ(sprite(100)->SpriteOffset.x, 1.0f);
    EXPECT_EQ(sprite(109)->Sprite->GetFrame(), 7);
    EXPECT_EQ(sprite(110)->Sprite->GetFrame(), 7);
}

Tools::CSceneCurve Noise(float base) {
    Tools::CSceneCurve curve;
    curve.kind = Tools::ESceneCurve::Noise;
    curve.strength = 0.0f;  // the base value at every time
    curve.base = base;
    return curve;
}

Tools::CSceneCurve Eased(Tools::CSceneCurve ease) {
    Tools::CSceneCurve curve = Tools::LinearCurve({{0, 0}, {10, 100}});
    curve.ease = std::make_shared<Tools::CSceneCurve>(std::move(ease));
    return curve;
}

// Eased components read their curve at the eased time only; a noise angle
// of 180 degrees turns by the single-precision factor.
TEST_F(GeneratedScenesTest, WritingSceneEasesByCurveZeroAsWorkedOutByHand) {
    auto scene = Tools::GeneratedScene("place/orven_write_text.place", ELiteralData::Contrary);
    auto& objects = scene.scene.objects;
    objects[0].properties[0].curves = {Eased(Tools::ConstantCurve(4.0f)),
                                       Eased(Tools::LinearCurve({{0, 0}, {10, 10}}))};
    objects[2].properties[0].curves = {Noise(180.0f)};
    objects[5].properties[1].curves[1] = Eased(Noise(3.0f));
    ref_ptr<CPlaceFile> place = Load("place/orven_write_text.place", scene);
    for (const double t : {2.5, 7.5}) {
        place->SetTime(t);
        EXPECT_EQ(place->FindObjectByID(100)->Position.x, 40.0f) << "frozen by a constant ease curve";
        EXPECT_EQ(place->FindObjectByID(100)->Position.y, float(t * 10)) << "eased by the identity";
        EXPECT_EQ(place->FindObjectByID(102)->Angle, 3.1415922641754150f);
        EXPECT_EQ(place->FindObjectByID(105)->Position.x, 152.0f);
        EXPECT_EQ(place->FindObjectByID(105)->Position.y, 30.0f) << "eased by noise of strength 0";
    }
}

// Percent values reach the objects scaled, while the vector controllers
// keep them unscaled; opacity changes only the alpha.
TEST_F(GeneratedScenesTest, MuseumSceneScalesPercentAsWorkedOutByHand) {
    auto scene = Tools::GeneratedScene("place/museum_zoom.place", ELiteralData::Contrary);
    Tools::CSceneCurve half = Tools::ConstantCurve(50.0f);
    half.kind = Tools::ESceneCurve::Bezier;
    scene.scene.objects[0].properties[0].curves = {half, half};
    scene.scene.objects[1].properties[2].curves = {Tools::ConstantCurve(50.0f)};  // opacity
    ref_ptr<CPlaceFile> place = Load("place/museum_zoom.place", scene);
    const uint32_t rgb = place->FindObjectByID(101)->Color & 0xFFFFFFu;
    place->SetTime(5.0);
    EXPECT_EQ(place->FindObjectByID(100)->Zoom, (Engine::Geometry::CVector2{0.5f, 0.5f}));
    const auto zoom = place->GetScene()->GetSubAnim(0)->GetSubAnim(3);
    EXPECT_EQ(dynamic_cast<Engine::Scene::CVector2Controller&>(*zoom).GetVector(),
              (Engine::Geometry::CVector2{50.0f, 50.0f}));
    EXPECT_EQ(place->FindObjectByID(101)->Color, 0x7F000000u | rgb);
    EXPECT_EQ(place->FindObjectByID(101)->Position.x, 400.25f);
    EXPECT_EQ(place->FindObjectByID(102)->Position.x, 395.25f);
}

// A place file under a class's path whose scene has another shape: the
// statements that do not fit are skipped.
TEST_F(GeneratedScenesTest, AnotherShapeUnderAClassPathIsSkippedNotFollowed) {
    const std::pair<const char*, const char*> cases[] = {
        {"place/bg1.place", "place/bg3.place"},           // fewer objects, other kinds
        {"place/bg1.place", "place/bg6.place"},           // particle objects where sprites are expected
        {"place/bg6.place", "place/fg_snail.place"},      // sprites where particle objects are expected
        {"place/orven_write_text.place", "place/bg5.place"},  // no ease curves
    };
    for (const auto& [path, donor] : cases) {
        ref_ptr<CPlaceFile> place = Load(path, Tools::GeneratedScene(donor));
        EXPECT_TRUE(Assigned(path));
        for (const double t : kTimes) place->SetTime(t);
        place = nullptr;
        local->ReleaseAll();
    }
    auto empty = Tools::GeneratedScene("place/bg2.place");
    empty.scene.objects[6].properties.clear();
    empty.scene.objects[9].properties[1].curves.pop_back();  // a one-component position
    ref_ptr<CPlaceFile> place = Load("place/bg2.place", empty);
    for (const double t : kTimes) place->SetTime(t);
}

} // namespace
