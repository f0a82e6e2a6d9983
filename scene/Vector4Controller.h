#pragma once
// Animates a four-component value through the controllers of its reflected
// properties "X", "Y", "Z" and "W".

#include "app/Geometry.h"
#include "scene/ComponentController.h"
#include "scene/controllers/ControllerInterfaces.h"

namespace Engine::Scene {

class CVector4Controller : public CComponentController, public IVector4Controller {
public:
    CVector4Controller();

    // Writes the current vector to the output.
    void GetValue(Engine::Geometry::CVector4& value) const;
    // Stores the components as the current vector.
    void SetValue(float x, float y, float z, float w);
    // The controller's value operations: the vector in a value, whatever
    // the time.
    void GetValue(double time, Engine::Reflection::CValue& value) override;
    void SetValue(double time, const Engine::Reflection::CValue& value, int flag) override;

    const Engine::Geometry::CVector4& GetVector() const { return m_value; }
    void SetX(float x) { m_value.x = x; }
    float GetX() { return m_value.x; }
    void SetY(float y) { m_value.y = y; }
    float GetY() { return m_value.y; }
    void SetZ(float z) { m_value.z = z; }
    float GetZ() { return m_value.z; }
    void SetW(float w) { m_value.w = w; }
    float GetW() { return m_value.w; }

protected:
    // For derived classes, which bind their own type.
    explicit CVector4Controller(const Engine::Reflection::CTypeInfo* ownType);
    Engine::Reflection::CValue GetInstance() override;

private:
    Engine::Geometry::CVector4 m_value;
};

} // namespace Engine::Scene
