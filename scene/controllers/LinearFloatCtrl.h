#pragma once
// A float controller that interpolates linearly between neighbouring keys
// and evaluates every out-of-range type itself.

#include "scene/controllers/ControllerInterfaces.h"
#include "scene/controllers/KeyTableCtrl.h"

namespace Engine::Scene {

constexpr uint32_t CHUNK_LINEAR_FLOAT_CTRL = 0x1111;

class CLinearFloatCtrl : public CStdFloatKeyTableCtrl<ILinFloatKey>,
                         public IFloatController,
                         public ISupportGetORTControllerValue {
public:
    // One key at time 0 with the value 0.
    CLinearFloatCtrl();

    bool Serialize(CArchive& ar) override;
    void GetValue(double time, Engine::Reflection::CValue& value) override;
    void SetValue(double time, const Engine::Reflection::CValue& value, int flag) override;
    void GetORTControllerValue(double time, Engine::Reflection::CValue& value) override;
    // Reserved: an empty operation of this class and its derived ones.
    virtual void ReservedLinear() {}

    // The value at the time, held at the first and the last key; 0.0
    // without keys.
    float GetValueAtTime(double time) const;
    // The value with the out-of-range types applied.
    float GetORTValue(double time) const;
};

} // namespace Engine::Scene
