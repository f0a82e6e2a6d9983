#pragma once
// A bool controller whose keys switch the value at their times; each key
// holds its bool as the float 0.0 or 1.0, read as true above 0.5.

#include "scene/controllers/ControllerInterfaces.h"
#include "scene/controllers/StepFloatStrategy.h"

namespace Engine::Scene {

class CStepBoolCtrl : public CStepFloatStrategy<IBoolFloatKey, float>,
                      public IFloatController,
                      public IBoolController {
public:
    void GetValue(double time, Engine::Reflection::CValue& value) override;
    void SetValue(double time, const Engine::Reflection::CValue& value, int flag) override;
    // A bool delta adds 1.0 (true) or 0.0, a float delta itself; a delta of
    // any other type changes nothing.
    void OffsetKeyValues(const Engine::Reflection::CValue& delta, bool selectedOnly) override;

    bool GetBoolAt(double time) const { return GetStepValue(time) > 0.5f; }
};

} // namespace Engine::Scene
