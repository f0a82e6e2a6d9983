#include "tools/SceneArchiveWriter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <type_traits>

#include "app/File.h"
#include "app/Registration.h"
#include "placefile/AniObjectRegistration.h"
#include "placefile/AniSpriteObject.h"
#include "placefile/AniVexaObject.h"
#include "reflection/Builtins.h"
#include "reflection/Reflector.h"
#include "scene/Scene.h"
#include "scene/reflection/SceneRegistration.h"

namespace Tools {

namespace {

using namespace Engine::Scene;
using Engine::ref_ptr;
using Engine::Graphics::PlaceFile::CAniSpriteObject;
using Engine::Graphics::PlaceFile::CAniVexaObject;

// Writes the binding record (chunk 1: the place-object ID) and the class's
// own chunk (0x5050: the frame-percent flag of a sprite; any chunk for a
// particle object), which the real classes only read.
template <class Real>
class CRecordWriter : public Real {
public:
    using Real::Real;
    void Serialize(CArchive& ar) override {
        constexpr uint32_t own = std::is_same_v<Real, CAniSpriteObject> ? 0x5050u : 0x77u;
        for (const uint32_t chunk : {1u, own}) {
            ar.BeginChunk(chunk, 0x101);
            ar.WriteDWord(chunk == 1 ? id : extra);
            ar.EndChunk();
        }
    }
    uint32_t id = 0, extra = 0;
};

// The stand-ins' names: as long as the real ones, so that renaming them in
// the written bytes moves no length.
template <class Real>
constexpr const char* StandInName() {
    return std::is_same_v<Real, CAniSpriteObject> ? "XAniSpriteObject" : "XAniVexaObject";
}

template <class Real>
ref_ptr<CReflectionAniObject> Wrap(uint32_t id, uint32_t extra) {
    using R = Engine::Reflection::CReflector<CRecordWriter<Real>>;
    if (!R::Record()) {
        R::RegisterType(StandInName<Real>());
        R::template AddConstructor<CReflectionAniObject*>("pRefObject");
        R::template AddBase<Real>();
    }
    ref_ptr<CReflectionAniObject> wrapper(new CReflectionAniObject);
    wrapper->SetReflectedType(R::Record());
    wrapper->CreateWrappedObject();
    auto* writer = dynamic_cast<CRecordWriter<Real>*>(wrapper->GetAnimObject());
    writer->id = id;
    writer->extra = extra;
    return wrapper;
}

// The keys in the table's order, as adding them one at a time leaves them:
// a time the table holds already (compared with ==, so 0 and -0 meet) keeps
// its key, as first given, and takes the later value; a table made with one
// default key moves that key to the first time unless the key is there
// already. Sorted once, so that a key costs no search and no sort of its own.
std::vector<CSceneKey> KeysByTime(const CSceneCurve& curve, const CController& table) {
    std::vector<CSceneKey> given = curve.keys;
    if (given.empty()) return given;
    if (table.GetKeyCount() == 1 && table.GetKeyTime(0) == given[0].time) given[0].time = table.GetKeyTime(0);
    // Stable: the keys of one time stay in the order given.
    std::stable_sort(given.begin(), given.end(), [](const CSceneKey& a, const CSceneKey& b) { return a.time < b.time; });
    std::vector<CSceneKey> keys;
    for (const CSceneKey& key : given) {
        if (!keys.empty() && keys.back().time == key.time)
            keys.back().value = key.value;
        else
            keys.push_back(key);
    }
    return keys;
}

template <class TTable>
ref_ptr<CController> KeyTable(const CSceneCurve& curve) {
    for (const CSceneKey& key : curve.keys) {
        // Equal to no time, a NaN could never be found again to take its
        // value. Refused before the table exists: it would only go by disposal.
        if (std::isnan(key.time)) throw std::out_of_range("Tools::WriteSceneArchive : a key's time is NaN");
    }
    ref_ptr<TTable> table(new TTable);
    const std::vector<CSceneKey> keys = KeysByTime(curve, *table);
    auto key = keys.begin();
    // The default key is like any added one: it takes the earliest time.
    if (key != keys.end() && table->GetKeyCount() == 1) {
        table->SetKeyTime(0, key->time);
        table->SetKeyValue(0, key->value);
        ++key;
    }
    for (; key != keys.end(); ++key) {
        table->AddKeyInOrder(key->time, 0);
        table->SetKeyValue(table->GetKeyCount() - 1, key->value);
    }
    return table;
}

ref_ptr<CController> Table(const CSceneCurve& curve) {
    switch (curve.kind) {
    case ESceneCurve::Bezier: return KeyTable<CBezierFloatCtrl>(curve);
    case ESceneCurve::StepBool: return KeyTable<CStepBoolCtrl>(curve);
    default: return KeyTable<CLinearFloatCtrl>(curve);
    }
}

} // namespace

ref_ptr<CController> MakeSceneCurve(const CSceneCurve& curve) {
    ref_ptr<CController> controller;
    if (curve.kind == ESceneCurve::Noise) {
        ref_ptr<CNoiseFloatControl> noise(new CNoiseFloatControl);
        noise->m_frequency = curve.frequency;
        noise->m_phase = curve.phase;
        noise->m_strength = curve.strength;
        noise->m_rampTime = curve.rampTime;
        noise->m_baseValue = curve.base;
        noise->m_positive = curve.positive;
        controller = noise;
    } else {
        controller = Table(curve);
        controller->SetOutOfRangeType(curve.outBefore, ORT_BEFORE);
        controller->SetOutOfRangeType(curve.outAfter, ORT_AFTER);
    }
    for (int i = 0; curve.ease && i < curve.easeCount; ++i) controller->AddEaseCurve(MakeSceneCurve(*curve.ease));
    return controller;
}

namespace {

CAnimatable::Ref MakeProperty(const CSceneProperty& property) {
    if (property.curves.size() == 1) return MakeSceneCurve(property.curves[0]);
    ref_ptr<CAnimatable> vector;
    if (property.curves.size() == 4)
        vector = new CVector4Controller;
    else
        vector = new CVector2Controller;
    for (size_t k = 0; k < property.curves.size(); ++k) vector->SetSubAnim(MakeSceneCurve(property.curves[k]), int(k));
    return vector;
}

void Rename(std::vector<uint8_t>& bytes, const std::string& from, const std::string& to) {
    for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), from.begin(), from.end())) != bytes.end();)
        at = std::copy(to.begin(), to.end(), at);
}

} // namespace

void RegisterSceneArchiveTypes() {
    static const Engine::CStartupRegistration s_startup{Engine::Reflection::GetStartupHooks(),
                                                        Engine::Graphics::PlaceFile::GetStartupHooks(),
                                                        Engine::Scene::GetStartupHooks()};
}

std::vector<uint8_t> WriteSceneArchive(const CSceneDocument& document) {
    RegisterSceneArchiveTypes();
    ref_ptr<CScene> scene(new CScene);
    scene->SetName(document.name.c_str());
    CSceneTime& time = scene->GetTimeRecord();
    time.rate = document.rate;
    time.spanStart = document.spanStart;
    time.spanEnd = document.spanEnd;
    for (const CSceneObject& object : document.objects) {
        ref_ptr<CReflectionAniObject> node = object.particle
                                                 ? Wrap<CAniVexaObject>(object.placeId, 0)
                                                 : Wrap<CAniSpriteObject>(object.placeId, object.frameInPercent);
        for (const CSceneProperty& property : object.properties)
            node->SetSubAnim(MakeProperty(property), property.index);
        scene->AddChild(node);
    }
    const uint32_t nextId = CAnimatable::GetNextObjectId();
    CAnimatable::SetNextObjectId(1001);
    Engine::CMemoryFile file;
    {
        CArchive ar(&file, true);
        scene->Serialize(ar);
    }
    CAnimatable::RaiseNextObjectId(nextId);
    scene->Dispose();
    std::vector<uint8_t> bytes = file.Detach();
    Rename(bytes, "XAniSpriteObject", "CAniSpriteObject");
    Rename(bytes, "XAniVexaObject", "CAniVexaObject");
    return bytes;
}

CSceneCurve LinearCurve(std::vector<CSceneKey> keys, int32_t outBefore, int32_t outAfter) {
    CSceneCurve curve;
    curve.keys = std::move(keys);
    curve.outBefore = outBefore;
    curve.outAfter = outAfter;
    return curve;
}

CSceneCurve ConstantCurve(float value) { return LinearCurve({{0.0, value}}); }

} // namespace Tools
