// The classes of the orven animations and the map beyond the comparison
// with the generic update: values worked out by hand from keys and setter
// rules, and properties the bodies leave as loaded.

#include <gtest/gtest.h>

#include "scene/Vector4Controller.h"
#include "tests/scenes/GeneratedScenesFixture.h"
#include "tools/GeneratedSceneRecipe.h"

using namespace PlaceTest;
using Tools::LinearCurve;

namespace {

enum : int32_t { Constant = 0, Repeat = 1, PingPong = 3, Slope = 4, RelativeRepeat = 5, Identity = 6 };

// Smile with keys chosen here, out-of-range types of every kind, and
// contrary keys for red, green and blue, which the class writes as 100.
TEST_F(GeneratedScenesTest, SmileFieldsEqualValuesWorkedOutByHand) {
    auto scene = Tools::GeneratedScene("place/orven_smile.place", Tools::ELiteralData::Contrary);
    auto& objects = scene.scene.objects;  // properties: Size, then Color
    objects[0].properties[0].curves = {LinearCurve({{1, 10.5f}, {3, 70.9f}}, Identity, PingPong),
                                       LinearCurve({{1, 35.99f}, {3, -20.0f}}, Constant, Repeat)};
    objects[0].properties[1].curves[3] = LinearCurve({{1, 0.0f}, {3, 100.0f}}, Constant, RelativeRepeat);
    objects[1].properties[0].curves = {LinearCurve({{1, 60.9f}, {4, -0.9f}}, Constant, Constant),
                                       LinearCurve({{1, 20.0f}, {4, 50.0f}}, Slope, Slope)};
    objects[1].properties[1].curves[3] = LinearCurve({{1, 150.0f}, {3, -50.0f}}, Identity, Identity);
    const ref_ptr<CPlaceFile> place = Load("place/orven_smile.place", scene);
    ASSERT_TRUE(Assigned("place/orven_smile.place"));

    struct CExpected {
        double t;
        int32_t width0, height0;
        uint32_t alpha0;
        int32_t width1, height1;
        uint32_t alpha1;
    };
    const CExpected table[] = {
        {2.0, 40, 7, 127, 40, 30, 127},   // inside; alpha 50 % is 127
        {0.5, 10, 35, 0, 60, 20, 255},    // before the first key; the slope of type 4 is 0
        {4.5, 25, -6, 255, 0, 50, 0},     // after the last; -0.9 truncates to 0
        {2.0, 40, 7, 127, 40, 30, 127},   // again
        {1.5, 25, 21, 63, 50, 25, 255},   // backwards
    };
    for (const CExpected& row : table) {
        SCOPED_TRACE(row.t);
        place->SetTime(row.t);
        const CPlaceObject& first = *place->FindObjectByID(100);
        const CPlaceObject& second = *place->FindObjectByID(101);
        EXPECT_EQ(first.Width, row.width0);
        EXPECT_EQ(first.Height, row.height0);
        EXPECT_EQ(first.Color, row.alpha0 << 24 | 0xFFFFFFu);
        EXPECT_EQ(second.Width, row.width1);
        EXPECT_EQ(second.Height, row.height1);
        EXPECT_EQ(second.Color, row.alpha1 << 24 | 0xFFFFFFu);
    }
    // The constants are stored in the colour controller too.
    const auto color = place->GetScene()->GetSubAnim(0)->GetSubAnim(4);
    const auto& held = dynamic_cast<Engine::Scene::CVector4Controller&>(*color).GetVector();
    EXPECT_EQ(std::vector<float>({held.x, held.y, held.z, held.w}), std::vector<float>({100, 100, 100, 25}));
}

class OrvenScene : public GeneratedScenesTest, public testing::WithParamInterface<Tools::CSceneRecipe> {};

// Every object also animates its SpriteTile, which no class sets; the
// objects of orven_init, whose class sets nothing, also move, tint and
// stretch. None of it changes after load.
TEST_P(OrvenScene, PropertiesTheBodyDoesNotSetKeepTheirLoadedValues) {
    const std::string path = GetParam().path;
    const bool still = path == "place/orven_init.place";
    auto scene = Tools::GeneratedScene(path, Tools::ELiteralData::Contrary);
    const auto pair = [](int property, float from, float to) {
        return Tools::CSceneProperty{property,
                                     {LinearCurve({{0, from}, {10, to}}), LinearCurve({{0, to}, {10, from}})}};
    };
    for (auto& object : scene.scene.objects) {
        object.properties.push_back(pair(7, 1.0f, 3.0f));
        if (!still) continue;
        object.properties.push_back(pair(1, 10.0f, 90.0f));
        object.properties.push_back(pair(2, 16.0f, 64.0f));
        Tools::CSceneProperty color = pair(4, 20.0f, 80.0f);
        color.curves.insert(color.curves.end(), color.curves.begin(), color.curves.end());
        object.properties.push_back(color);
    }
    const ref_ptr<CPlaceFile> place = Load(path, scene);
    const int count = int(scene.scene.objects.size());
    const auto tiles = [&] {
        std::vector<float> all;
        for (int i = 0; i < count; ++i) {
            const auto& sprite = dynamic_cast<CPlaceSpriteObject&>(*place->FindObjectByID(uint32_t(100 + i)));
            all.insert(all.end(), {sprite.SpriteTile.x, sprite.SpriteTile.y});
        }
        return all;
    };
    const auto loadedTiles = tiles();
    const auto loaded = Snapshot(*place, count);
    for (const double t : {5.5, 0.5, 18.0, 3.0}) {
        place->SetTime(t);
        EXPECT_EQ(tiles(), loadedTiles) << t;
        if (still) {
            EXPECT_EQ(Snapshot(*place, count), loaded) << t;
        }
    }
}

// The file under the class's path holds the next scene of the list (or
// the first background's): fewer or more objects, other properties and
// controller kinds. What does not fit is skipped.
TEST_P(OrvenScene, AnotherSceneUnderItsPathIsSkippedWhereItDoesNotFit) {
    const std::vector<std::string> paths = Tools::GeneratedScenePaths();
    const auto at = std::find(paths.begin(), paths.end(), GetParam().path);
    ASSERT_NE(at, paths.end());
    const ref_ptr<CPlaceFile> place = Load(*at, Tools::GeneratedScene(*std::next(at)));
    EXPECT_TRUE(Assigned(*at));
    for (const double t : {5.5, 0.5, 18.0}) place->SetTime(t);
}

INSTANTIATE_TEST_SUITE_P(Scenes, OrvenScene, testing::ValuesIn(Tools::OrvenSceneRecipes()), [](const auto& info) {
    const std::string path = info.param.path;
    return path.substr(6, path.size() - 12);
});

} // namespace
