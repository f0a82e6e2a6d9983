#include "tools/FrameCounts.h"

#include "app/Exception.h"
#include "particles/library/VexaParticleType.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/LargeCounts.h"
#include "tools/NamedCase.h"
#include "tools/OggWriter.h"

namespace Tools {
namespace {

constexpr const char* kBg6Path = "place/bg6.place";
constexpr int kBg6 = 6;
// No generated class drives bg7: its scene is evaluated whole each step.
constexpr int kUndrivenScene = 7;
// The over-life curves and the gradient run over the life fraction; the
// emitter's curves over its time (50 a second) through the scene's 20 s loop.
constexpr float kLifeSpan = 1.0f;
constexpr float kEmitterSpan = 50.0f * 20.0f;
// Q5, a type's particles a second.
constexpr size_t kRateCurve = 4;

std::string ScenePath(int number) { return FormatString("place/bg%d.place", number).c_str(); }

// A curve's value at t, linear between its keys (which are in time order).
float ValueAt(const std::vector<CVexaCurveKey>& keys, float t) {
    if (keys.empty()) return 0.0f;
    if (t <= keys.front().time) return keys.front().value;
    for (size_t k = 1; k < keys.size(); ++k)
        if (t <= keys[k].time) {
            const float u = (t - keys[k - 1].time) / (keys[k].time - keys[k - 1].time);
            return keys[k - 1].value + (keys[k].value - keys[k - 1].value) * u;
        }
    return keys.back().value;
}

// The same curve through `count` keys spread evenly over [0, span]: a
// constant stays the same constant, so the twins' particles are alike.
void Spread(CVexaCurve& curve, int count, float span) {
    const std::vector<CVexaCurveKey> given = std::move(curve.keys);
    curve.keys.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        const float t = count > 1 ? span * float(i) / float(count - 1) : 0.0f;
        curve.keys[size_t(i)] = {t, ValueAt(given, t)};
    }
}

void Spread(CVexaGradient& gradient, int count) {
    const std::vector<CVexaColourKey> given = std::move(gradient.keys);
    std::vector<CVexaCurveKey> channels[4];
    for (const CVexaColourKey& key : given) {
        const float values[4] = {key.red, key.green, key.blue, key.alpha};
        for (int c = 0; c < 4; ++c) channels[c].push_back({key.time, values[c]});
    }
    gradient.keys.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        const float t = count > 1 ? kLifeSpan * float(i) / float(count - 1) : 0.0f;
        gradient.keys[size_t(i)] = {t, ValueAt(channels[0], t), ValueAt(channels[1], t), ValueAt(channels[2], t),
                                    ValueAt(channels[3], t)};
    }
}

CVexaEmitter KeyedSparkle(int count) {
    CVexaEmitter emitter = SparkleEmitter();
    for (CVexaCurve& curve : emitter.curves) Spread(curve, count, kEmitterSpan);
    CVexaParticleType& type = emitter.types.at(0);
    for (CVexaCurve& curve : type.curves) Spread(curve, count, kLifeSpan);
    Spread(type.gradient, count);
    return emitter;
}

std::vector<CVexaEmitter> SparkleCopies(int count) {
    std::vector<CVexaEmitter> emitters(size_t(count), SparkleEmitter());
    for (int i = 1; i < count; ++i) emitters[size_t(i)].name += std::to_string(i);
    return emitters;
}

// The sparkle with `count` copies of its particle type, each at `rateFactor`
// times its rate.
CVexaEmitter SparkleTypes(int count, float rateFactor) {
    CVexaEmitter emitter = SparkleEmitter();
    CVexaParticleType type = emitter.types.at(0);
    for (CVexaCurveKey& key : type.curves[kRateCurve].keys) key.value *= rateFactor;
    emitter.types.assign(size_t(count), type);
    return emitter;
}

// The sparkle at kCopyTypesRateFactor times its rate, each particle carrying
// a copy of `count` sparkle types that each make one particle at once.
CVexaEmitter SparkleCopyTypes(int count) {
    CVexaEmitter copy = SparkleEmitter();
    copy.name = "sparkle copy";
    CVexaParticleType burst = copy.types.at(0);
    burst.flags |= VexaParticles::CVexaParticleType::kOneShotBurst;
    burst.burstCount = 1;
    copy.types.assign(size_t(count), burst);
    CVexaEmitter emitter = SparkleTypes(1, float(kCopyTypesRateFactor));
    emitter.types.at(0).subEmitters = {copy};
    return emitter;
}

// The sparkle with `count` copies of its particle type, each a one-shot burst.
CVexaEmitter BurstTypes(int count) {
    CVexaEmitter emitter = SparkleTypes(count, 1.0f);
    for (CVexaParticleType& type : emitter.types) {
        type.flags |= VexaParticles::CVexaParticleType::kOneShotBurst;
        type.burstCount = kBurstParticles;
    }
    return emitter;
}

std::vector<uint8_t> KeyedLanternScene(int count) {
    CGeneratedScene scene = GeneratedScene(kBg6Path);
    scene.scene.name = ScenePath(kUndrivenScene);
    AddKeyedLantern(scene, count);
    return WriteGeneratedScene(scene);
}

std::vector<uint8_t> EmptyLayersScene(int count) {
    CGeneratedScene scene = GeneratedScene(kBg6Path);
    scene.place.layers.resize(scene.place.layers.size() + size_t(count));
    return WriteGeneratedScene(scene);
}

// One track encoded once, under every name: the demo's own tracks go.
void ReplaceAmbientTracks(CPakWriter& pack, int count) {
    for (int i = 1; pack.Remove(FormatString(kAmbientTrackPattern, i)); ++i) {}
    const std::vector<uint8_t> track = EncodeOggVorbis(MakeAmbientPad(kShortTrackSeconds));
    if (track.empty()) throw Engine::CException("The ambient track did not encode");
    for (int i = 1; i <= count; ++i) pack.Add(FormatString(kAmbientTrackPattern, i), track);
}

} // namespace

const char* FrameCountName(CFrameCount frame) { return frame.name; }

bool FindFrameCount(const std::string& name, CFrameCount& frame) {
    return FindNamedCase(name, kFrameCounts, &FrameCountName, frame);
}

CFrameCountScene WriteFrameCountScene(EFrameCount kind, int count) {
    CFrameCountScene scene;
    scene.number = kind == EFrameCount::LinearKeys ? kUndrivenScene : kBg6;
    scene.path = ScenePath(scene.number);
    switch (kind) {
    case EFrameCount::LinearKeys: scene.place = KeyedLanternScene(count); break;
    case EFrameCount::EmptyLayers: scene.place = EmptyLayersScene(count); break;
    default: scene.place = WriteGeneratedScene(GeneratedScene(kBg6Path)); break;
    }
    switch (kind) {
    case EFrameCount::EffectCurveKeys: scene.effects = WriteSceneEffects(KeyedSparkle(count)); break;
    case EFrameCount::Emitters: scene.effects = WriteSceneEffects(SparkleCopies(count)); break;
    case EFrameCount::ParticleTypes: scene.effects = WriteSceneEffects(SparkleTypes(count, 1.0f)); break;
    case EFrameCount::CopyTypes: scene.effects = WriteSceneEffects(SparkleCopyTypes(count)); break;
    case EFrameCount::ParticlePool:
        scene.effects = WriteSceneEffects(SparkleTypes(count, float(kParticlePoolRateFactor) / float(count)));
        break;
    case EFrameCount::BurstTypes: scene.effects = WriteSceneEffects(BurstTypes(count)); break;
    default: scene.effects = WriteSceneEffects(); break;
    }
    return scene;
}

void AddFrameCount(CPakWriter& pack, EFrameCount kind, int count) {
    CFrameCountScene scene = WriteFrameCountScene(kind, count);
    AddDemoScenePlace(pack, scene.number, std::move(scene.place), std::move(scene.effects));
    if (kind == EFrameCount::AmbientTracks) ReplaceAmbientTracks(pack, count);
}

} // namespace Tools
