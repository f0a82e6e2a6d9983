#include "scene/controllers/StepFloatCtrl.h"

#include "reflection/Value.h"

namespace Engine::Scene {

void CStepFloatCtrl::GetValue(double time, Engine::Reflection::CValue& value) {
    value = Engine::Reflection::CValue(GetStepValue(time));
}

void CStepFloatCtrl::SetValue(double time, const Engine::Reflection::CValue& value, int) {
    SetOrAddKey(time, value.Get<float>());
}

} // namespace Engine::Scene
