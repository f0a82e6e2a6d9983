#pragma once
// A float controller that interpolates with cubic Bezier segments shaped by
// each key's tangents, and evaluates every out-of-range type itself.

#include "scene/controllers/ControllerInterfaces.h"
#include "scene/controllers/KeyTableCtrl.h"

namespace Engine::Scene {

class CBezierFloatCtrl : public CStdFloatKeyTableCtrl<IBezFloatKey>,
                         public IFloatController,
                         public ISupportGetORTControllerValue {
public:
    // A tangent handle: where the tangent of a key ends, in time and value.
    struct CHandle {
        double time = 0.0;
        float value = 0.0f;
    };

    // One key at time 0 with the value 0 and default tangents.
    CBezierFloatCtrl();

    void GetValue(double time, Engine::Reflection::CValue& value) override;
    void SetValue(double time, const Engine::Reflection::CValue& value, int flag) override;
    void GetORTControllerValue(double time, Engine::Reflection::CValue& value) override;

    // The key hit test, then the tangent handles: (index, 1) for an in
    // handle, (index, 2) for an out handle.
    int HitTestKeys(KeyHitList* hits, double t0, double t1, float va, float vb, int reserved,
                    uint32_t flags) override;
    // The key selection, then part bit 0 selects the in handle and bit 1
    // the out handle.
    void SelectKeys(int operation, const KeyHitList* keys) override;
    // The key values, then the selected handles move with the delta.
    void OffsetKeyValues(const Engine::Reflection::CValue& delta, bool selectedOnly) override;
    // The key times, then the selected handles' times (all with MAP_ALL).
    void MapKeyTimes(const ITimeMap& map, uint32_t flags) override;

    float GetValueAtTime(double time) const;
    float GetORTValue(double time) const;
    // The value at the time on the segment from key index - 1 to key index.
    float SegmentValue(int index, double time) const;

    CHandle GetInHandle(int index) const;
    CHandle GetOutHandle(int index) const;
    // Sets the key's tangents so that its handles lie at the points; only
    // with more than one key.
    void SetTangentsFromHandles(int index, CHandle in, CHandle out);

private:
    // The time to the previous and to the next key (0 at the ends).
    void GetNeighbourSpans(int index, float& toPrevious, float& toNext) const;
};

} // namespace Engine::Scene
