#pragma once
// A place file's scene of animated objects, saved through the engine's own
// scene archive, for the tests and the place-file fuzz target.

#include <algorithm>
#include <string>
#include <type_traits>
#include <vector>

#include "placefile/AniObjectRegistration.h"
#include "placefile/AniSpriteObject.h"
#include "placefile/AniVexaObject.h"
#include "reflection/Builtins.h"
#include "reflection/Reflector.h"
#include "scene/Scene.h"
#include "scene/SceneRegistration.h"
#include "tests/scene/SceneFixtures.h"

namespace PlaceTest {

using namespace Engine::Graphics::PlaceFile;
using namespace Engine::Scene;
using Engine::ref_ptr;

// The start-up registrations that a scene of animated objects needs.
inline void RegisterAnimatedSceneTypes() {
    static const Engine::CStartupRegistration s_startup{Engine::Reflection::GetStartupHooks(),
                                                        Engine::Graphics::PlaceFile::GetStartupHooks(),
                                                        Engine::Scene::GetStartupHooks()};
}

// Writes the record the engine only reads, as a class whose registered name
// ("X..." for "C...") the saved archive then gives the real class.
template <class Real>
class CRecordWriter : public Real {
public:
    using Real::Real;
    void Serialize(CArchive& ar) override {
        for (const uint32_t chunk : {1u, std::is_same_v<Real, CAniSpriteObject> ? 0x5050u : 0x77u}) {
            ar.BeginChunk(chunk, 0x101);
            ar.WriteDWord(chunk == 1 ? id : extra);
            ar.EndChunk();
        }
    }
    uint32_t id = 0, extra = 0;
};

template <class Real>
inline ref_ptr<CReflectionAniObject> Wrap(CScene& scene, const char* name, uint32_t id, uint32_t extra) {
    using R = Engine::Reflection::CReflector<CRecordWriter<Real>>;
    if (!R::Record()) {
        R::RegisterType(name);
        R::template AddConstructor<CReflectionAniObject*>("pRefObject");
        R::template AddBase<Real>();
    }
    ref_ptr<CReflectionAniObject> wrapper(new CReflectionAniObject);
    wrapper->SetReflectedType(R::Record());
    wrapper->CreateWrappedObject();
    auto* writer = dynamic_cast<CRecordWriter<Real>*>(wrapper->GetAnimObject());
    writer->id = id;
    writer->extra = extra;
    scene.AddChild(wrapper);
    return wrapper;
}

inline ref_ptr<CLinearFloatCtrl> Linear(float at0, float at2) {
    ref_ptr<CLinearFloatCtrl> controller(new CLinearFloatCtrl);
    controller->SetKeyValue(0, at0);
    controller->AddKey(2.0, 0);
    controller->SetKeyValue(1, at2);
    return controller;
}

// Sprite 10 (11 frames, starting at 4, frame in percent) turns, steps through
// its frames and fades; sprite 21 shrinks; particle object 30 runs its own
// time, emits from 1 on and tints.
inline std::vector<uint8_t> AnimatedScene() {
    std::vector<uint8_t> bytes;
    {
        ref_ptr<CScene> scene(new CScene);
        scene->GetTimeRecord().rate = 1.0f;
        auto turning = Wrap<CAniSpriteObject>(*scene, "XAniSpriteObject", 10, 1);
        turning->SetSubAnim(Linear(0, 90), 0);
        turning->SetSubAnim(Linear(0, 100), 5);
        turning->SetSubAnim(Linear(100, 50), 8);
        ref_ptr<CVector2Controller> zoom(new CVector2Controller);
        zoom->SetSubAnim(Linear(100, 50), 0);
        zoom->SetSubAnim(Linear(100, 50), 1);
        Wrap<CAniSpriteObject>(*scene, "XAniSpriteObject", 21, 0)->SetSubAnim(zoom, 3);
        auto particles = Wrap<CAniVexaObject>(*scene, "XAniVexaObject", 30, 0);
        ref_ptr<CStepBoolCtrl> emitting(new CStepBoolCtrl);
        emitting->AddKey(0.0, 0);
        emitting->AddKey(1.0, 0);
        emitting->SetKeyValue(1, 1.0f);
        ref_ptr<CVector4Controller> tint(new CVector4Controller);
        tint->SetSubAnim(Linear(0, 2), 0);
        particles->SetSubAnim(Linear(0, 4), 5);
        particles->SetSubAnim(emitting, 6);
        particles->SetSubAnim(tint, 7);
        bytes = SceneTest::SaveScene(*scene);
        scene->Dispose();
    }
    const std::string writer = "XAni";
    for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), writer.begin(), writer.end())) != bytes.end();)
        *at = 'C';
    return bytes;
}

} // namespace PlaceTest
