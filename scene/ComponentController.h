#pragma once
// A controller without keys of its own whose reflected float properties are
// the components of its value, each animated by a component controller in
// its property slot. The vector and colour controllers share this.

#include "reflection/Value.h"
#include "scene/controllers/Controller.h"

namespace Engine::Scene {

class CComponentController : public CController {
public:
    // Assembles the value from the non-constant component controllers.
    void GetControllerValue(double time, Engine::Reflection::CValue& value) override;
    // Stores the value, then passes each component to its controller (always
    // with the flag 1).
    void SetControllerValue(double time, const Engine::Reflection::CValue& value, int flag) override;
    // Passes each component of the delta to its controller; the current
    // value is left as it was.
    void OffsetKeyValues(const Engine::Reflection::CValue& delta, bool selectedOnly) override;
    // Whether every component controller is constant.
    bool IsConstant() const override;

protected:
    // This object as the instance its properties are reached through.
    virtual Engine::Reflection::CValue GetInstance() = 0;
    // Binds the class's own type and gives every component its default
    // controller.
    void BindComponents(const Engine::Reflection::CTypeInfo* ownType);

private:
    // Calls each component's controller with its property, in order.
    template <class Visit>
    void ForEachComponent(Visit visit);
};

} // namespace Engine::Scene
