#pragma once
// The controller interface as the scene model uses it: an animatable that
// yields a value of its value type at a time and can be made to yield one.

#include "scene/Reflectable.h"

namespace Engine::Reflection {
class CValue;
}

namespace Engine::Scene {

class CController : public CReflectable {
public:
    // The type named by the IValueTypeAttribute of the controller's class or
    // its bases; Engine::CException when there is none or it is unregistered.
    virtual CTypePair GetValueType() const;
    virtual void GetControllerValue(double time, Engine::Reflection::CValue& value) = 0;
    // Makes the controller yield the value at the time.
    virtual void SetControllerValue(double time, const Engine::Reflection::CValue& value, int flag) = 0;
};

// The sub-animatable as a controller; null for null, the integer 1 for an
// object of another class.
CController* ToController(CAnimatable* sub);

// The value type of a controller class (see CController::GetValueType).
const Engine::Reflection::CTypeInfo* GetControllerValueType(const Engine::Reflection::CTypeInfo* controllerClass);

} // namespace Engine::Scene
