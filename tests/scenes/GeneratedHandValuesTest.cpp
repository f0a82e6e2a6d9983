// A generated scene class at two times against values worked out by hand
// from the key data: Bezier positions with shaped and full-length tangents,
// and a noise angle of non-zero strength. The generic update of the same
// scene must reach the same values.

#include <gtest/gtest.h>

#include "scene/controllers/BezierFloatCtrl.h"
#include "tests/scenes/GeneratedScenesFixture.h"

using namespace PlaceTest;

namespace {

using Engine::Scene::CBezierFloatCtrl;

Tools::CSceneCurve BezierCurve(float atFirst, float atLast) {
    Tools::CSceneCurve curve = Tools::LinearCurve({{2, atFirst}, {6, atLast}});
    curve.kind = Tools::ESceneCurve::Bezier;
    return curve;
}

Tools::CSceneCurve TunedNoise() {
    Tools::CSceneCurve curve;
    curve.kind = Tools::ESceneCurve::Noise;
    curve.phase = 10.0f;
    curve.frequency = 0.35f;
    curve.strength = 12.0f;
    curve.base = 3.0f;
    return curve;
}

// Scene child 11's Position component k, a Bezier table.
CBezierFloatCtrl& PositionComponent(CPlaceFile& place, int component) {
    auto controller = place.GetScene()->GetSubAnim(11)->GetSubAnim(1)->GetSubAnim(component);
    return dynamic_cast<CBezierFloatCtrl&>(*controller);
}

// x: the out slope 0.75 over half the segment, the in slope -0.2 over a
// quarter; y: flat tangents over the whole segment.
void ShapeTangents(CPlaceFile& place) {
    CBezierFloatCtrl& x = PositionComponent(place, 0);
    x.KeyAt(0).outSlope = 0.75f;
    x.KeyAt(0).outLength = 0.5f;
    x.KeyAt(1).inSlope = -0.2f;
    x.KeyAt(1).inLength = 0.25f;
    CBezierFloatCtrl& y = PositionComponent(place, 1);
    y.KeyAt(0).outLength = 1.0f;
    y.KeyAt(1).inLength = 1.0f;
}

struct HandValue {
    double time;
    float angle;  // scene child 2, radians: the noise in degrees times 0.01745329
    float x, y;   // scene child 11's position
};

// Angle 2.8734548 and 1.9013672 degrees; x and y as the segments give them
// at u = 0.25 and 0.75.
constexpr HandValue kHandValues[] = {
    {3.0, 0.050151240080595016f, 119.65819549560547f, 17.834457397460938f},
    {5.0, 0.03318511322140694f, 81.49636840820312f, 582.1644287109375f},
};

TEST_F(GeneratedScenesTest, Bg1TakesHandWorkedBezierAndNoiseValues) {
    auto scene = Tools::GeneratedScene("place/bg1.place", Tools::ELiteralData::Contrary);
    scene.scene.objects[2].properties[0].curves = {TunedNoise()};
    scene.scene.objects[11].properties[0].curves = {BezierCurve(10, 40), BezierCurve(0, 600)};
    ref_ptr<CPlaceFile> compiled = Load("place/bg1.place", scene);
    ref_ptr<CPlaceFile> generic = Load("place/generic.place", scene);
    ASSERT_TRUE(Assigned("place/bg1.place"));
    ASSERT_FALSE(Assigned("place/generic.place"));
    for (CPlaceFile* place : {compiled.get(), generic.get()}) {
        ShapeTangents(*place);
        for (const HandValue& row : kHandValues) {
            place->SetTime(row.time);
            const char* which = place == compiled.get() ? "generated" : "generic";
            EXPECT_EQ(place->FindObjectByID(102)->Angle, row.angle) << which << " at " << row.time;
            EXPECT_EQ(place->FindObjectByID(111)->Position.x, row.x) << which << " at " << row.time;
            EXPECT_EQ(place->FindObjectByID(111)->Position.y, row.y) << which << " at " << row.time;
        }
    }
}

} // namespace
