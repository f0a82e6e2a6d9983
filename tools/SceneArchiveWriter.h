#pragma once
// Writes the scene archive that a place file carries at its end: animated
// sprite and particle objects, bound by place-object ID, with their
// property controllers (linear and Bezier key tables, noise, vector
// controllers of them, ease curves). The engine's own scene writer does the
// writing; the animated objects, which the engine only reads, are written
// by stand-ins that the archive then names as the real classes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/Referenced.h"

namespace Engine::Scene {
class CController;
}

namespace Tools {

enum class ESceneCurve { Linear, Bezier, Noise, StepBool };

struct CSceneKey {
    double time = 0.0;
    float value = 0.0f;
};

struct CSceneCurve {
    ESceneCurve kind = ESceneCurve::Linear;
    std::vector<CSceneKey> keys;  // key tables; none keeps the single key (0, 0)
    int32_t outBefore = 0, outAfter = 0;  // out-of-range types
    // Noise.
    float frequency = 1.0f, phase = 0.0f, strength = 10.0f, rampTime = 0.0f, base = 0.0f;
    bool positive = false;
    // Ease curve 0, when the curve is eased.
    std::shared_ptr<CSceneCurve> ease;
    // How many ease curves it makes, each a controller of its own.
    int easeCount = 1;
};

// A scalar property has one curve; Position, Size, Zoom and SpriteOffset
// two; Color four.
struct CSceneProperty {
    int index = 0;
    std::vector<CSceneCurve> curves;
};

struct CSceneObject {
    bool particle = false;  // an animated particle object, else a sprite object
    uint32_t placeId = 0;
    bool frameInPercent = false;
    std::vector<CSceneProperty> properties;
};

struct CSceneDocument {
    std::string name;
    float rate = 5.0f;
    double spanStart = 0.0, spanEnd = 50.0;
    std::vector<CSceneObject> objects;
};

std::vector<uint8_t> WriteSceneArchive(const CSceneDocument& document);

// The controller that a curve is written as.
Engine::ref_ptr<Engine::Scene::CController> MakeSceneCurve(const CSceneCurve& curve);

// The start-up registrations that writing and reading such a scene need
// (reflection, animated objects, scene types); run once.
void RegisterSceneArchiveTypes();

// Curves for a document: a linear table through the keys; a one-key table.
CSceneCurve LinearCurve(std::vector<CSceneKey> keys, int32_t outBefore = 0, int32_t outAfter = 0);
CSceneCurve ConstantCurve(float value);

} // namespace Tools
