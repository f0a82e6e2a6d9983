#include "scene/RGBAController.h"

namespace Engine::Scene {

CRGBAController::CRGBAController() : CVector4Controller(Engine::Reflection::TypeOf<CRGBAController>()) {}

CString CRGBAController::GetSubAnimName(int index) const {
    static const char* const names[] = {"r", "g", "b", "a"};
    return index >= 0 && index < 4 ? CString(names[index]) : CString();
}

} // namespace Engine::Scene
