#include "scene/controllers/StepBoolCtrl.h"

#include "reflection/Value.h"

namespace Engine::Scene {

using Engine::Reflection::CValue;
using Engine::Reflection::TypeOf;

void CStepBoolCtrl::GetValue(double time, CValue& value) {
    value = CValue(GetBoolAt(time));
}

void CStepBoolCtrl::SetValue(double time, const CValue& value, int) {
    SetOrAddKey(time, value.Get<bool>() ? 1.0f : 0.0f);
}

void CStepBoolCtrl::OffsetKeyValues(const CValue& delta, bool selectedOnly) {
    if (delta.GetType() == TypeOf<bool>())
        OffsetValues(delta.Get<bool>() ? 1.0f : 0.0f, selectedOnly);
    else if (delta.GetType() == TypeOf<float>())
        OffsetValues(delta.Get<float>(), selectedOnly);
}

} // namespace Engine::Scene
