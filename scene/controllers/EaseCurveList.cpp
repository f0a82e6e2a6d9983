#include "scene/controllers/EaseCurveList.h"

#include "reflection/Value.h"

namespace Engine::Scene {

CTypePair CEaseCurveList::GetSubAnimType(int) const {
    return {Engine::Reflection::TypeOf<float>(), true};
}

void CEaseCurveList::EaseTime(double* result, const double* time) {
    *result = *time;
    for (size_t i = 0; i < m_curves.size(); ++i) {
        const CurveRef curve = m_curves[i].Get();
        if (!curve) continue;
        Engine::Reflection::CValue value;
        curve->GetControllerValue(*time, value);
        *result = double(value.Get<float>());
    }
}

} // namespace Engine::Scene
