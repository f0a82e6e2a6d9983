#include "scene/controllers/Vector2Controller.h"

namespace Engine::Scene {

using Engine::Reflection::CValue;

CVector2Controller::CVector2Controller() {
    BindComponents(Engine::Reflection::TypeOf<CVector2Controller>());
}

void CVector2Controller::GetValue(double, CValue& value) {
    value = CValue(m_value);
}

void CVector2Controller::SetValue(double, const CValue& value, int) {
    m_value = value.Get<Engine::Geometry::CVector2>();
}

CValue CVector2Controller::GetInstance() {
    return CValue(this);
}

} // namespace Engine::Scene
