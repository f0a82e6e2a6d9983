#include "scene/controllers/ConstFloatController.h"

#include "reflection/Value.h"

namespace Engine::Scene {

CConstFloatController::CConstFloatController() {
    ClearKeys();
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
    value = Engine::Reflection::CValue(GetKeyCount() == 0 ? 0.0f : EditKey(0).value);
}

} // namespace Engine::Scene
