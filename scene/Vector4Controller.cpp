#include "scene/Vector4Controller.h"

namespace Engine::Scene {

using Engine::Reflection::CValue;

CVector4Controller::CVector4Controller() : CVector4Controller(Engine::Reflection::TypeOf<CVector4Controller>()) {}

CVector4Controller::CVector4Controller(const Engine::Reflection::CTypeInfo* ownType) {
    BindComponents(ownType);
}

void CVector4Controller::GetValue(Engine::Geometry::CVector4& value) const {
    value = m_value;
}

void CVector4Controller::SetValue(float x, float y, float z, float w) {
    m_value = {x, y, z, w};
}

void CVector4Controller::GetValue(double, CValue& value) {
    Engine::Geometry::CVector4 vector;
    GetValue(vector);
    value = CValue(vector);
}

void CVector4Controller::SetValue(double, const CValue& value, int) {
    const auto vector = value.Get<Engine::Geometry::CVector4>();
    SetValue(vector.x, vector.y, vector.z, vector.w);
}

CValue CVector4Controller::GetInstance() {
    return CValue(this);
}

} // namespace Engine::Scene
