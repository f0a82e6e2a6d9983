#pragma once
// Animates a two-component value through the controllers of its reflected
// properties "X" and "Y".

#include "app/Geometry.h"
#include "scene/ComponentController.h"
#include "scene/controllers/ControllerInterfaces.h"

namespace Engine::Scene {

class CVector2Controller : public CComponentController, public IVector2Controller {
public:
    CVector2Controller();

    // Writes the current vector to the output.
    void GetValue(Engine::Geometry::CVector2& value) const;
    // Stores the components as the current vector.
    void SetValue(float x, float y);
    // The controller's value operations: the vector in a value, whatever
    // the time.
    void GetValue(double time, Engine::Reflection::CValue& value) override;
    void SetValue(double time, const Engine::Reflection::CValue& value, int flag) override;

    const Engine::Geometry::CVector2& GetVector() const { return m_value; }
    void SetX(float x) { m_value.x = x; }
    float GetX() { return m_value.x; }
    void SetY(float y) { m_value.y = y; }
    float GetY() { return m_value.y; }

protected:
    Engine::Reflection::CValue GetInstance() override;

private:
    Engine::Geometry::CVector2 m_value;
};

} // namespace Engine::Scene
