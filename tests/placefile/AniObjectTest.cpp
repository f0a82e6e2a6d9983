// The animated place objects: a place file's scene binds them by ID and
// drives its objects through the generic reflective update; every class is
// made and used by name, with its unit and pointer conversions.

#include <gtest/gtest.h>

#include "app/Math.h"
#include "placefile/PlaceSpriteObject.h"
#include "tests/placefile/AnimatedScene.h"
#include "tests/placefile/PlaceFileFixture.h"

using namespace PlaceTest;
using namespace Engine::Scene;
using Engine::Geometry::CVector2;
using Engine::Geometry::CVector4;
using Engine::Reflection::CValue;
using Engine::Reflection::TypeOf;

namespace {

class AniObjectTest : public PlaceFileFixture {
protected:
    AniObjectTest() {
        RegisterAnimatedSceneTypes();
        Write("spr/strip.spr", Tools::WriteSpr(SprTestData::StripDocument("strip", std::vector<int32_t>(11, 2), 2)));
        doc.spriteFiles.push_back({"spr/strip.spr", {{3, "strip"}}});
        doc.layers[0].objects[0].spriteId = 3;
        doc.layers[0].objects[0].frame = 4;
        doc.scene = AnimatedScene();
    }
    void Load() {
        Write("place/animated.place", Tools::WritePlace(doc));
        place = local->GetPlaceFile("place/animated.place");
        for (int i = 0; i < 3; ++i)
            objects.push_back(dynamic_cast<CReflectionAniObject&>(*place->GetScene()->GetSubAnim(i)).GetWrappedObject());
    }
    CPlaceSpriteObject& Sprite(uint32_t id) { return dynamic_cast<CPlaceSpriteObject&>(*place->FindObjectByID(id)); }
    CPlaceVexaObject::CVexaEmitter& Emitter() { return dynamic_cast<CPlaceVexaObject&>(*place->FindObjectByID(30)).Emitter; }
    const Engine::Reflection::CPropertyInfo& Property(int object, const char* name) {
        return *objects[size_t(object)].GetDynamicType()->GetProperty(name, nullptr, true);
    }
    template <class T>
    T Get(int object, const char* name) {
        return Property(object, name).GetValue(objects[size_t(object)]).Get<T>();
    }
    void Set(int object, const char* name, const CValue& value) { Property(object, name).SetValue(objects[size_t(object)], value); }

    Tools::CPlaceDocument doc = SampleDocument();
    ref_ptr<CPlaceFile> place;
    std::vector<CValue> objects;
};

TEST_F(AniObjectTest, TheSceneDrivesTheBoundObjectsThroughTheirSetters) {
    Load();
    EXPECT_EQ(place->GetScene()->GetSubAnimName(2), "object30");
    struct CAt {
        double time;
        float angle, opacity, zoom, emitterTime, tint;
        int32_t frame;
        bool emitting;
    };
    for (const CAt& at : {CAt{0.5, 22.5f, 87.5f, 87.5f, 1, 0.5f, 2, false}, CAt{1.0, 45, 75, 75, 2, 1, 5, true},
                          CAt{2.0, 90, 50, 50, 4, 1, 10, true}}) {
        place->SetTime(at.time);
        SCOPED_TRACE(at.time);
        EXPECT_EQ(Sprite(10).Angle, at.angle * kDegreesToRadians);
        EXPECT_EQ(Sprite(10).Sprite->GetFrame(), at.frame);
        EXPECT_EQ(Sprite(10).Color, 0x00402010u | (PackColorRGBA(0, 0, 0, at.opacity * kPercent) & 0xFF000000u));
        EXPECT_EQ(Sprite(21).Zoom, (CVector2{at.zoom * kPercent, at.zoom * kPercent}));
        EXPECT_EQ(Emitter().Time, at.emitterTime);
        EXPECT_EQ(Emitter().IsEmitting, at.emitting);
        EXPECT_EQ(Emitter().TintColor, (CVector4{at.tint, 0, 0, 0}));
    }
    EXPECT_EQ(Get<float>(0, "Frame"), 0.4f * 100.0f);  // the starting frame, not the last one set
}

TEST_F(AniObjectTest, PropertiesByNameConvertTheirUnits) {
    Load();
    Set(0, "Angle", CValue(90.0f));
    EXPECT_EQ(Sprite(10).Angle, 1.5707961f);
    EXPECT_EQ(Get<float>(0, "Angle"), 89.99999f);
    Set(0, "Size", CValue(CVector2{10.9f, -3.7f}));
    EXPECT_EQ(std::pair(Sprite(10).Width, Sprite(10).Height), std::pair(10, -3));
    Set(0, "Color", CValue(CVector4{100, 50, 0, 150}));
    EXPECT_EQ(Sprite(10).Color, 0xFF007FFFu);
    Set(0, "Opacity", CValue(50.0f));
    EXPECT_EQ(Sprite(10).Color, 0x7F007FFFu);
    EXPECT_EQ(Get<float>(0, "Opacity"), float(127 / 255.0 * 100.0));
    Set(2, "TintColor", CValue(CVector4{1.5f, -0.2f, 0.5f, 1.0f}));
    EXPECT_EQ(Get<CVector4>(2, "TintColor"), (CVector4{1, 0, 0.5f, 1}));
    for (const auto& [percent, frame] : {std::pair{50.0f, 5}, {100.0f, 10}, {70.0f, 6}, {-30.0f, 2}, {400.0f, 10}}) {
        Set(0, "Frame", CValue(percent));
        EXPECT_EQ(Sprite(10).Sprite->GetFrame(), frame) << percent;
    }
}

TEST_F(AniObjectTest, ClassesAreMadeByNameAndPointersConvertAlongTheTree) {
    Load();
    const auto& registry = Engine::Reflection::CTypeRegistry::Instance();
    for (const char* name : {"CAniPlaceObject", "CAniVexaObject", "CAniSpriteObject"}) {
        const auto* type = registry.FindTypeByName(name);
        const CValue made = type->CreateInstance({CValue(place->GetScene()->GetSubAnim(0).get())});
        EXPECT_EQ(made.GetType(), type->GetPointerType());
        EXPECT_EQ(made.GetDynamicType(), type);
        delete made.Get<IReflectionAnimObject*>();
    }
    auto* sprite = objects[0].Get<CAniSpriteObject*>();
    const CValue asInterface(static_cast<IReflectionAnimObject*>(sprite));
    EXPECT_EQ(asInterface.Get<CAniSpriteObject*>(), sprite);
    EXPECT_EQ(asInterface.Get<CAniVexaObject*>(), nullptr);
    auto* vexa = objects[2].Get<CAniVexaObject*>();
    const CValue up = objects[2].ConvertTo(TypeOf<CAniPlaceObject*>());
    EXPECT_EQ(up.Get<CAniPlaceObject*>(), vexa);
    EXPECT_EQ(up.GetDynamicType(), TypeOf<CAniVexaObject>());
    const CValue constVexa(static_cast<const CAniVexaObject*>(vexa));
    EXPECT_THROW(constVexa.Get<CAniPlaceObject*>(), int);
    std::vector<CValue> none;
    EXPECT_THROW(TypeOf<CAniVexaObject>()->GetMethod("GetTime", {}, false)->Invoke(constVexa, none),
                 Engine::Reflection::CConstIsConstException);
}

TEST_F(AniObjectTest, AnUnknownIdFailsTheLoad) {
    doc.layers[0].objects[0].id = 99;
    EXPECT_EQ(ErrorOf([&] { Load(); }), "Can't find object '10' in place file 'place/animated.place'");
    // The file is named as it was loaded, backslashes and all.
    EXPECT_EQ(ErrorOf([&] { local->GetPlaceFile("place\\animated.place"); }),
              "Can't find object '10' in place file 'place\\animated.place'");
}

} // namespace
