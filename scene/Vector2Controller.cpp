#include "scene/Vector2Controller.h"

namespace Engine::Scene {

using Engine::Reflection::CValue;

CVector2Controller::CVector2Controller() {
    BindComponents(Engine::Reflection::TypeOf<CVector2Controller>());
}

void CVector2Controller::GetValue(Engine::Geometry::CVector2& value) const {
    value = m_value;
}

void CVector2Controller::SetValue(float x, float y) {
    m_value = {x, y};
}

void CVector2Controller::GetValue(double, CValue& value) {
    Engine::Geometry::CVector2 vector;
    GetValue(vector);
    value = CValue(vector);
}

void CVector2Controller::SetValue(double, const CValue& value, int) {
    const auto vector = value.Get<Engine::Geometry::CVector2>();
    SetValue(vector.x, vector.y);
}

CValue CVector2Controller::GetInstance() {
    return CValue(this);
}

} // namespace Engine::Scene
