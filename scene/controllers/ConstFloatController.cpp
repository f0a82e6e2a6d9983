#include "scene/controllers/ConstFloatController.h"

#include "reflection/Value.h"

namespace Engine::Scene {

CConstFloatController::CConstFloatController() {
    m_keys.clear();
    CStdFloatKeyTableCtrl::AddKey(0.0, 0);
}

int CConstFloatController::AppendKey(IKey* key) {
    delete key;
    return -1;
}

IKey* CConstFloatController::AddKey(double, uint32_t) {
    return nullptr;
}

void CConstFloatController::GetControllerValue(double, Engine::Reflection::CValue& value) {
    value = Engine::Reflection::CValue(m_keys.empty() ? 0.0f : KeyAt(0).value);
}

} // namespace Engine::Scene
