#include "scene/controllers/Controller.h"

#include "app/Exception.h"
#include "reflection/TypeInfo.h"
#include "scene/controllers/ControllerAttributes.h"

namespace Engine::Scene {

const Engine::Reflection::CTypeInfo* GetControllerValueType(const Engine::Reflection::CTypeInfo* controllerClass) {
    const auto* attribute = controllerClass->GetCustomAttribute<IValueTypeAttribute>(true);
    if (!attribute || !attribute->GetValueType() || !attribute->GetValueType()->IsDefined()) {
        throw Engine::CException::Format("Controller \"%s\" Value Type Attribute not Defined",
                                         controllerClass->GetFullName().c_str());
    }
    return attribute->GetValueType();
}

CController* ToController(CAnimatable* sub) {
    if (!sub) return nullptr;
    auto* controller = dynamic_cast<CController*>(sub);
    if (!controller) throw 1;
    return controller;
}

CTypePair CController::GetValueType() const {
    return {GetControllerValueType(GetReflectionType().type), true};
}

} // namespace Engine::Scene
