#include "tools/HeavyEffects.h"


#include "tools/NamedCase.h"
#include "tools/ScenePictures.h"
#include "tools/VexaWriter.h"

namespace Tools {
namespace {

constexpr float kHuge = 1e9f;
constexpr int kSubEmitterDepth = 16;

// Emitter curve C2's and C11's places in the emitter record (file order).
constexpr size_t kRateCurve = 2;
constexpr size_t kSizeFactorCurve = 1;

void SetQ(CVexaParticleType& type, int i, float value) { type.curves[size_t(i - 1)] = MakeVexaCurve(value); }

// A type of the sparkle at a huge rate, sized `size`.
CVexaParticleType HeavyType(float size) {
    CVexaParticleType type = SparkleEmitter().types[0];
    SetQ(type, 5, kHuge);
    SetQ(type, 2, size);
    return type;
}

// A copy of the sparkle whose particles each carry one, `depth` deep.
CVexaEmitter Nested(int depth) {
    CVexaEmitter emitter = SparkleEmitter();
    emitter.types = {HeavyType(1e4f)};
    if (depth > 1) emitter.types[0].subEmitters = {Nested(depth - 1)};
    return emitter;
}

// Lives of `seconds` (the simulation counts 50 a second).
void Lives(CVexaParticleType& type, float seconds) { SetQ(type, 1, 50.0f * seconds); }
void Endless(CVexaParticleType& type) { Lives(type, 1e30f); }

CVexaEmitter HeavySparkle(EHeavyEffect effect) {
    CVexaEmitter emitter = SparkleEmitter();
    switch (effect) {
    case EHeavyEffect::HugeSizeFactor:
        emitter.curves[kRateCurve] = MakeVexaCurve(kHuge);
        emitter.curves[kSizeFactorCurve] = MakeVexaCurve(kHuge);
        break;
    case EHeavyEffect::HugeSizeCurve:
        emitter.curves[kRateCurve] = MakeVexaCurve(kHuge);
        SetQ(emitter.types[0], 2, 1e6f);
        break;
    case EHeavyEffect::EightTypes: emitter.types.assign(8, HeavyType(1e4f)); break;
    case EHeavyEffect::NestedSubEmitters: emitter = Nested(kSubEmitterDepth); break;
    case EHeavyEffect::EndlessLives:
        emitter.curves[kRateCurve] = MakeVexaCurve(kHuge);
        SetQ(emitter.types[0], 2, 1e4f);
        Endless(emitter.types[0]);
        break;
    case EHeavyEffect::EightSmallTypes: {
        CVexaParticleType type = HeavyType(1.0f);
        Lives(type, 1e6f);
        emitter.types.assign(8, type);
        break;
    }
    case EHeavyEffect::ZeroSize:
        emitter.curves[kRateCurve] = MakeVexaCurve(kHuge);
        SetQ(emitter.types[0], 2, 0.0f);
        Lives(emitter.types[0], 1e6f);
        break;
    case EHeavyEffect::AllAtOnce: {
        CVexaParticleType type = HeavyType(1e4f);
        Endless(type);
        type.subEmitters = {Nested(kSubEmitterDepth)};
        emitter.types.assign(8, type);
        emitter.curves[kRateCurve] = MakeVexaCurve(kHuge);
        emitter.curves[kSizeFactorCurve] = MakeVexaCurve(kHuge);
        break;
    }
    }
    return emitter;
}

} // namespace

const char* HeavyEffectName(EHeavyEffect effect) {
    switch (effect) {
    case EHeavyEffect::HugeSizeFactor: return "HugeSizeFactor";
    case EHeavyEffect::HugeSizeCurve: return "HugeSizeCurve";
    case EHeavyEffect::EightTypes: return "EightTypes";
    case EHeavyEffect::NestedSubEmitters: return "NestedSubEmitters";
    case EHeavyEffect::EndlessLives: return "EndlessLives";
    case EHeavyEffect::AllAtOnce: return "AllAtOnce";
    case EHeavyEffect::EightSmallTypes: return "EightSmallTypes";
    case EHeavyEffect::ZeroSize: return "ZeroSize";
    }
    return "";
}

bool FindHeavyEffect(const std::string& name, EHeavyEffect& effect) {
    return FindNamedCase(name, kHeavyEffects, &HeavyEffectName, effect);
}

std::vector<uint8_t> WriteHeavyEffect(EHeavyEffect effect) {
    return WriteSceneEffects(HeavySparkle(effect));
}

} // namespace Tools
