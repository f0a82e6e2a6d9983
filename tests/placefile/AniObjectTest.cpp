// The animated place objects: a place file's scene binds them by ID and
// drives the place objects through the generic reflective update; every
// class is made and used by name, with its unit conversions and pointer
// conversions.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/Math.h"
#include "placefile/AniObjectRegistration.h"
#include "placefile/AniSpriteObject.h"
#include "placefile/AniVexaObject.h"
#include "placefile/PlaceSpriteObject.h"
#include "tests/placefile/PlaceFileFixture.h"
#include "tests/scene/SceneFixtures.h"

using namespace PlaceTest;
using Engine::Geometry::CVector2;
using Engine::Geometry::CVector4;
using Engine::Reflection::CTypeRegistry;
using Engine::Reflection::CValue;
using Engine::Reflection::TypeOf;
using Engine::Scene::CReflectionAniObject;
using Engine::Scene::IReflectionAnimObject;

namespace {

// Writes the record the engine only reads. Registered under a name as long
// as the real class's, which the saved archive then names instead.
template <class Real>
class CRecordWriter : public Real {
public:
    using Real::Real;
    void Serialize(CArchive& ar) override {
        if (!ar.IsStoring()) return;
        ar.BeginChunk(1, 0x101);
        ar.WriteDWord(id);
        ar.EndChunk();
        if (std::is_same_v<Real, CAniPlaceObject>) return;
        ar.BeginChunk(std::is_same_v<Real, CAniSpriteObject> ? 0x5050 : 0x77, 0x101);
        ar.WriteDWord(extra);
        ar.EndChunk();
    }
    uint32_t id = 0, extra = 0;
};

template <class Real>
void RegisterWriter(const char* name) {
    using R = Engine::Reflection::CReflector<CRecordWriter<Real>>;
    R::RegisterType(name);
    R::template AddConstructor<CReflectionAniObject*>("pRefObject");
    R::template AddBase<Real>();
}

void RegisterAnimatedObjects() {
    static const bool s_done = [] {
        SceneTest::RegisterSceneFixtures();
        for (const Engine::CStartupHook& hook : GetStartupHooks()) hook.run();
        RegisterWriter<CAniSpriteObject>("XAniSpriteObject");
        RegisterWriter<CAniVexaObject>("XAniVexaObject");
        return true;
    }();
    (void)s_done;
}

ref_ptr<Engine::Scene::CLinearFloatCtrl> Linear(float at0, float at2) {
    ref_ptr<Engine::Scene::CLinearFloatCtrl> controller(new Engine::Scene::CLinearFloatCtrl);
    controller->SetKeyValue(0, at0);
    controller->AddKey(2.0, 0);
    controller->SetKeyValue(controller->FindKeyAtTime(2.0), at2);
    return controller;
}

template <class Real>
ref_ptr<CReflectionAniObject> Wrap(Engine::Scene::CScene& scene, uint32_t id, uint32_t extra) {
    ref_ptr<CReflectionAniObject> wrapper(new CReflectionAniObject);
    wrapper->SetReflectedType(TypeOf<CRecordWriter<Real>>());
    wrapper->CreateWrappedObject();
    auto* writer = dynamic_cast<CRecordWriter<Real>*>(wrapper->GetAnimObject());
    writer->id = id;
    writer->extra = extra;
    scene.AddChild(wrapper);
    return wrapper;
}

// Sprite 10 (the 11-frame strip, starting frame 4, frame in percent) turns,
// steps through its frames and fades; group child 21 moves and shrinks; the
// particle object 30 runs its own time, starts emitting at 1 and tints.
std::vector<uint8_t> AnimatedScene() {
    using namespace Engine::Scene;
    std::vector<uint8_t> bytes;
    {
        ref_ptr<CScene> holder(new CScene);
        CScene& scene = *holder;
        scene.GetTimeRecord().rate = 1.0f;
        scene.GetTimeRecord().spanEnd = 10;
        auto turning = Wrap<CAniSpriteObject>(scene, 10, 1);
        turning->SetSubAnim(Linear(0, 90), 0);
        turning->SetSubAnim(Linear(0, 100), 5);
        turning->SetSubAnim(Linear(100, 50), 8);
        auto moving = Wrap<CAniSpriteObject>(scene, 21, 0);
        ref_ptr<CVector2Controller> position(new CVector2Controller), zoom(new CVector2Controller);
        position->SetSubAnim(Linear(210, 250), 0);
        zoom->SetSubAnim(Linear(100, 50), 0);
        zoom->SetSubAnim(Linear(100, 50), 1);
        moving->SetSubAnim(position, 1);
        moving->SetSubAnim(zoom, 3);
        auto particles = Wrap<CAniVexaObject>(scene, 30, 0);
        ref_ptr<CStepBoolCtrl> emitting(new CStepBoolCtrl);
        emitting->AddKey(0.0, 0);
        emitting->AddKey(1.0, 0);
        emitting->SetKeyValue(1, 1.0f);
        ref_ptr<CVector4Controller> tint(new CVector4Controller);
        tint->SetSubAnim(Linear(0, 2), 0);
        particles->SetSubAnim(Linear(0, 4), 5);
        particles->SetSubAnim(emitting, 6);
        particles->SetSubAnim(tint, 7);
        bytes = SceneTest::SaveScene(scene);
    }
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"XAniSpriteObject", "CAniSpriteObject"},
                                   {"XAniVexaObject", "CAniVexaObject"}}) {
        for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), from.begin(), from.end())) != bytes.end();)
            at = std::copy(to.begin(), to.end(), at);
    }
    return bytes;
}

class AniObjectTest : public PlaceFileFixture {
protected:
    AniObjectTest() {
        RegisterAnimatedObjects();
        Write("spr/strip.spr", Tools::WriteSpr(SprTestData::StripDocument("strip", std::vector<int32_t>(11, 2), 2)));
        Tools::CPlaceDocument doc = SampleDocument();
        doc.spriteFiles.push_back({"spr/strip.spr", {{3, "strip"}}});
        doc.layers[0].objects[0].spriteId = 3;
        doc.layers[0].objects[0].frame = 4;
        doc.scene = AnimatedScene();
        Write("place/animated.place", Tools::WritePlace(doc));
        place = local->GetPlaceFile("place/animated.place");
        for (int i = 0; i < 3; ++i)
            wrappers.push_back(dynamic_cast<CReflectionAniObject*>(place->GetScene()->GetSubAnim(i).get()));
    }
    CPlaceSpriteObject& Sprite(uint32_t id) { return dynamic_cast<CPlaceSpriteObject&>(*place->FindObjectByID(id)); }
    CPlaceVexaObject& Vexa() { return dynamic_cast<CPlaceVexaObject&>(*place->FindObjectByID(30)); }
    CValue Get(int wrapper, const char* property) {
        const CValue& object = wrappers[size_t(wrapper)]->GetWrappedObject();
        return object.GetDynamicType()->GetProperty(property, nullptr, true)->GetValue(object);
    }
    void Set(int wrapper, const char* property, const CValue& value) {
        const CValue& object = wrappers[size_t(wrapper)]->GetWrappedObject();
        object.GetDynamicType()->GetProperty(property, nullptr, true)->SetValue(object, value);
    }

    ref_ptr<CPlaceFile> place;
    std::vector<CReflectionAniObject*> wrappers;
};

TEST_F(AniObjectTest, TheSceneDrivesTheBoundObjectsThroughTheirSetters) {
    EXPECT_EQ(wrappers[0]->GetName(), "object10");
    EXPECT_EQ(wrappers[2]->GetName(), "object30");
    struct CAt {
        double time;
        float angle, opacity, position, zoom, emitterTime, tint;
        int32_t frame;
        bool emitting;
    };
    for (const CAt& at : {CAt{0.5, 22.5f, 87.5f, 220, 87.5f, 1, 0.5f, 2, false},
                          CAt{1.0, 45, 75, 230, 75, 2, 1, 5, true}, CAt{2.0, 90, 50, 250, 50, 4, 1, 10, true}}) {
        place->SetTime(at.time);
        SCOPED_TRACE(at.time);
        EXPECT_EQ(Sprite(10).Angle, at.angle * kDegreesToRadians);
        EXPECT_EQ(Sprite(10).Sprite->GetFrame(), at.frame);
        EXPECT_EQ(Sprite(10).Color, 0x00402010u | (PackColorRGBA(0, 0, 0, at.opacity * kPercent) & 0xFF000000u));
        EXPECT_EQ(Sprite(21).Position, (CVector2{at.position, 0}));
        EXPECT_EQ(Sprite(21).Zoom, (CVector2{at.zoom * kPercent, at.zoom * kPercent}));
        EXPECT_EQ(Vexa().Emitter.Time, at.emitterTime);
        EXPECT_EQ(Vexa().Emitter.IsEmitting, at.emitting);
        EXPECT_EQ(Vexa().Emitter.TintColor, (CVector4{at.tint, 0, 0, 0}));
    }
    EXPECT_EQ(Get(0, "Frame").Get<float>(), 0.4f * 100.0f);  // the starting frame, not the last one set
}

TEST_F(AniObjectTest, PropertiesByNameConvertTheirUnits) {
    Set(0, "Angle", CValue(90.0f));
    EXPECT_EQ(Sprite(10).Angle, 1.5707961f);
    EXPECT_EQ(Get(0, "Angle").Get<float>(), 89.99999f);
    Set(0, "Size", CValue(CVector2{10.9f, -3.7f}));
    EXPECT_EQ(std::pair(Sprite(10).Width, Sprite(10).Height), std::pair(10, -3));
    Set(0, "Color", CValue(CVector4{100, 50, 0, 150}));
    EXPECT_EQ(Sprite(10).Color, 0xFF007FFFu);
    Sprite(10).Color = 0xFF102030u;
    Set(0, "Opacity", CValue(50.0f));
    EXPECT_EQ(Sprite(10).Color, 0x7F102030u);
    EXPECT_EQ(Get(0, "Opacity").Get<float>(), float(127 / 255.0 * 100.0));
    Set(1, "SpriteOffset", CValue(CVector2{50, -25}));
    EXPECT_EQ(Sprite(21).SpriteOffset, (CVector2{50 * kPercent, -25 * kPercent}));
    Set(2, "TintColor", CValue(CVector4{1.5f, -0.2f, 0.5f, 1.0f}));
    EXPECT_EQ(Get(2, "TintColor").Get<CVector4>(), (CVector4{1, 0, 0.5f, 1}));

    auto& turning = dynamic_cast<CAniSpriteObject&>(*wrappers[0]->GetAnimObject());
    for (const auto& [percent, frame] : {std::pair{50.0f, 5}, {100.0f, 10}, {70.0f, 6}, {-30.0f, 2}, {400.0f, 10}}) {
        turning.SetFrame(percent);
        EXPECT_EQ(Sprite(10).Sprite->GetFrame(), frame) << percent;
    }
}

TEST_F(AniObjectTest, ClassesAreMadeByNameAndPointersConvertAlongTheTree) {
    const CTypeRegistry& registry = CTypeRegistry::Instance();
    const auto* placeType = registry.FindTypeByName("CAniPlaceObject");
    for (const char* name : {"CAniPlaceObject", "CAniVexaObject", "CAniSpriteObject"}) {
        const auto* type = registry.FindTypeByName(name);
        ASSERT_NE(type, nullptr) << name;
        CValue made = type->CreateInstance({CValue(wrappers[0])});
        EXPECT_EQ(made.GetType(), type->GetPointerType());
        EXPECT_EQ(made.GetDynamicType(), type);
        EXPECT_EQ(type == placeType || type->IsSubclassOf(placeType), true);
        delete made.Get<IReflectionAnimObject*>();
    }
    std::vector<const Engine::Reflection::CPropertyInfo*> properties;
    registry.FindTypeByName("CAniVexaObject")->GetProperties(properties);
    EXPECT_EQ(properties.at(5)->GetName(), "Time");

    auto* sprite = dynamic_cast<CAniSpriteObject*>(wrappers[0]->GetAnimObject());
    const CValue asInterface(static_cast<IReflectionAnimObject*>(sprite));
    EXPECT_EQ(asInterface.Get<CAniSpriteObject*>(), sprite);
    EXPECT_EQ(asInterface.Get<CAniVexaObject*>(), nullptr);
    auto* vexa = dynamic_cast<CAniVexaObject*>(wrappers[2]->GetAnimObject());
    const CValue up = CValue(vexa).ConvertTo(TypeOf<CAniPlaceObject*>());
    EXPECT_EQ(up.Get<CAniPlaceObject*>(), vexa);
    EXPECT_EQ(up.GetDynamicType(), TypeOf<CAniVexaObject>());
    EXPECT_THROW(CValue(static_cast<const CAniPlaceObject*>(vexa)).Get<CAniPlaceObject*>(), int);

    const CValue constVexa(static_cast<const CAniVexaObject*>(vexa));
    std::vector<CValue> none;
    const auto* getTime = TypeOf<CAniVexaObject>()->GetMethod("GetTime", {}, false);
    EXPECT_THROW(getTime->Invoke(constVexa, none), Engine::Reflection::CConstIsConstException);
    EXPECT_EQ(TypeOf<CAniPlaceObject>()->GetMethod("GetAngle", {}, false)->Invoke(constVexa, none).Get<float>(),
              vexa->GetAngle());
}

TEST_F(AniObjectTest, AnUnknownIdFailsTheLoad) {
    Tools::CPlaceDocument doc = SampleDocument();
    doc.layers[0].objects.erase(doc.layers[0].objects.begin());  // object 10 goes
    doc.scene = AnimatedScene();
    Write("place/bad.place", Tools::WritePlace(doc));
    EXPECT_EQ(ErrorOf([&] { local->GetPlaceFile("place/bad.place"); }),
              "Can't find object '10' in place file 'place/bad.place'");
}

} // namespace
