#pragma once
// A float controller that holds each key's value until the next key.

#include "scene/controllers/ControllerInterfaces.h"
#include "scene/controllers/StepFloatStrategy.h"

namespace Engine::Scene {

class CStepFloatCtrl : public CStepFloatStrategy<ILinFloatKey, float>, public IFloatController {
public:
    void GetValue(double time, Engine::Reflection::CValue& value) override;
    // Sets the key at exactly that time, or adds one there.
    void SetValue(double time, const Engine::Reflection::CValue& value, int flag) override;
};

} // namespace Engine::Scene
