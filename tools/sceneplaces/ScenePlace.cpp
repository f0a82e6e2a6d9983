#include "tools/sceneplaces/ScenePlace.h"

#include <algorithm>
#include <array>

#include "app/File.h"
#include "placefile/AniSpriteObject.h"
#include "reflection/Reflector.h"
#include "scene/Scene.h"

namespace Tools {

namespace {

using namespace Engine::Scene;
using Engine::ref_ptr;
using Engine::Graphics::PlaceFile::CAniSpriteObject;
using __SceneGeneratedCode::EForm;

// The engine only reads an animated sprite's record, so the scene is saved
// with this stand-in, whose registered name differs from the real class's
// in the first letter only; the saved bytes then get the real name.
constexpr char kWriterName[] = "WAniSpriteObject";

class CSpriteRecordWriter : public CAniSpriteObject {
public:
    using CAniSpriteObject::CAniSpriteObject;
    void Serialize(CArchive& ar) override {
        ar.BeginChunk(1, 0x101);
        ar.WriteDWord(id);
        ar.EndChunk();
        ar.BeginChunk(0x5050, 0x101);
        ar.WriteDWord(0);  // frames by index
        ar.EndChunk();
    }
    uint32_t id = 0;
};

const Engine::Reflection::CTypeInfo* WriterType() {
    using R = Engine::Reflection::CReflector<CSpriteRecordWriter>;
    if (!R::Record()) {
        R::RegisterType(kWriterName);
        R::AddConstructor<CReflectionAniObject*>("pRefObject");
        R::AddBase<CAniSpriteObject>();
    }
    return R::Record();
}

ref_ptr<CLinearFloatCtrl> KeyTable(const double* times, const float* values, size_t count, int32_t before,
                                   int32_t after) {
    ref_ptr<CLinearFloatCtrl> table(new CLinearFloatCtrl);
    table->SetKeyTime(0, times[0]);
    table->SetKeyValue(0, values[0]);
    for (size_t i = 1; i < count; ++i) {
        table->AddKey(times[i], 0);
        table->SetKeyValue(table->FindKeyAtTime(times[i]), values[i]);
    }
    table->SetOutOfRangeType(before, ORT_BEFORE);
    table->SetOutOfRangeType(after, ORT_AFTER);
    return table;
}

// Every out-of-range type, so that times before the first and after the
// last key meet each of them on some component.
constexpr std::array<int32_t, 6> kRangeTypes = {ORT_CONSTANT, ORT_IDENTITY, ORT_PING_PONG,
                                                ORT_LINEAR,   ORT_REPEAT,   ORT_RELATIVE_REPEAT};

ref_ptr<CAnimatable> EvaluatedComponent(EForm form, int n) {
    if (form == EForm::Noise) {
        ref_ptr<CNoiseFloatControl> noise(new CNoiseFloatControl);
        noise->m_frequency = 0.75f;
        noise->m_strength = 40.0f;
        noise->m_phase = 1000.0f + 17.0f * float(n);
        noise->m_baseValue = 3.0f * float(n);
        return noise;
    }
    const std::vector<float> values = SceneKeyValues(n);
    ref_ptr<CLinearFloatCtrl> table = KeyTable(kSceneKeyTimes, values.data(), values.size(), kRangeTypes[size_t(n) % 6],
                                               kRangeTypes[size_t(n + 2) % 6]);
    if (form == EForm::LinearEased) {
        // Slower than the scene near its start, faster later.
        constexpr double easeTimes[] = {0.0, 2.0, 6.0};
        constexpr float easeValues[] = {0.5f, 1.25f, 4.5f};
        table->AddEaseCurve(KeyTable(easeTimes, easeValues, 3, ORT_CONSTANT, ORT_CONSTANT));
    }
    return table;
}

ref_ptr<CAnimatable> LiteralComponent(float literal, ELiteralKeys keys) {
    constexpr double times[] = {1.0, 4.0};
    const std::array<float, 2> values = keys == ELiteralKeys::OneKey ? std::array<float, 2>{literal, literal}
                                                                   : std::array<float, 2>{999.0f, -555.0f};
    return KeyTable(times, values.data(), keys == ELiteralKeys::OneKey ? 1 : 2, ORT_CONSTANT, ORT_CONSTANT);
}

// The property's controller: the float controller itself, or a vector
// controller over the components.
ref_ptr<CAnimatable> PropertyController(const CRecipeProperty& property, ELiteralKeys literals, int& n) {
    std::vector<ref_ptr<CAnimatable>> components;
    for (const SceneComponent& component : property.components)
        components.push_back(component.form == EForm::Literal ? LiteralComponent(component.literal, literals)
                                                              : EvaluatedComponent(component.form, n++));
    if (components.size() == 1) return components[0];
    ref_ptr<CAnimatable> vector;
    if (components.size() == 2)
        vector = new CVector2Controller;
    else
        vector = new CVector4Controller;
    for (size_t i = 0; i < components.size(); ++i) vector->SetSubAnim(components[i], int(i));
    return vector;
}

// Tiles 1..3 over the keys; never set by a body.
ref_ptr<CAnimatable> SpriteTileController() {
    constexpr float values[] = {1.0f, 3.0f, 2.0f};
    ref_ptr<CVector2Controller> tile(new CVector2Controller);
    for (int i = 0; i < 2; ++i) tile->SetSubAnim(KeyTable(kSceneKeyTimes, values, 3, ORT_CONSTANT, ORT_CONSTANT), i);
    return tile;
}

std::vector<uint8_t> SaveRecipeScene(const CSceneRecipe& recipe, ELiteralKeys literals) {
    std::vector<uint8_t> bytes;
    ref_ptr<CScene> scene(new CScene);
    CSceneTime& time = scene->GetTimeRecord();
    time.rate = 1.0f;
    time.spanStart = 0.0;
    time.spanEnd = 10.0;
    time.wrapMode = WRAP_LOOP;
    int n = 0;
    for (size_t i = 0; i < recipe.objects.size(); ++i) {
        ref_ptr<CReflectionAniObject> wrapper(new CReflectionAniObject);
        wrapper->SetReflectedType(WriterType());
        wrapper->CreateWrappedObject();
        dynamic_cast<CSpriteRecordWriter&>(*wrapper->GetAnimObject()).id = SceneObjectId(i);
        for (const CRecipeProperty& property : recipe.objects[i])
            wrapper->SetSubAnim(PropertyController(property, literals, n), property.property);
        wrapper->SetSubAnim(SpriteTileController(), __SceneGeneratedCode::PropSpriteTile);
        scene->AddChild(wrapper);
    }
    CAnimatable::SetNextObjectId(1);
    Engine::CMemoryFile file;
    {
        CArchive ar(&file, true);
        scene->Serialize(ar);
    }
    bytes = file.Detach();
    scene->Dispose();
    const std::string writer(kWriterName, 4);
    for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), writer.begin(), writer.end())) != bytes.end();)
        *at = 'C';
    return bytes;
}

} // namespace

std::vector<float> SceneKeyValues(int n) {
    const float base = 12.5f + 9.75f * float(n % 11);
    return {base, base + 61.3f, base - 37.9f};
}

CPlaceDocument MakeScenePlace(const CSceneRecipe& recipe, ELiteralKeys literals) {
    CPlaceDocument document;
    CPlaceLayerDoc layer;
    layer.name = "scene";
    for (size_t i = 0; i < recipe.objects.size(); ++i) {
        CPlaceObjectDoc sprite;
        sprite.type = 1;
        sprite.id = SceneObjectId(i);
        sprite.name = "sprite" + std::to_string(i);
        sprite.width = 40;
        sprite.height = 30;
        sprite.x = 20.0f * float(i);
        sprite.y = 15.0f * float(i);
        layer.objects.push_back(sprite);
    }
    document.layers.push_back(layer);
    document.scene = SaveRecipeScene(recipe, literals);
    return document;
}

} // namespace Tools
