#include "scene/controllers/Vector4Controller.h"

namespace Engine::Scene {

using Engine::Reflection::CValue;

CVector4Controller::CVector4Controller() : CVector4Controller(Engine::Reflection::TypeOf<CVector4Controller>()) {}

CVector4Controller::CVector4Controller(const Engine::Reflection::CTypeInfo* ownType) {
    BindComponents(ownType);
}

void CVector4Controller::GetValue(double, CValue& value) {
    value = CValue(m_value);
}

void CVector4Controller::SetValue(double, const CValue& value, int) {
    m_value = value.Get<Engine::Geometry::CVector4>();
}

CValue CVector4Controller::GetInstance() {
    return CValue(this);
}

} // namespace Engine::Scene
