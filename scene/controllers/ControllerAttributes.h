#pragma once
// Custom attributes of the controller classes: the value type a controller
// interface animates, and the mark of the default controller of a value type.

#include "reflection/Attributes.h"
#include "reflection/TypeInfo.h"

namespace Engine::Scene {

class IValueTypeAttribute : public Engine::Reflection::CCustomAttribute {
public:
    explicit IValueTypeAttribute(const Engine::Reflection::CTypeInfo* valueType) : m_valueType(valueType) {}
    const Engine::Reflection::CTypeInfo* GetValueType() const { return m_valueType; }

private:
    const Engine::Reflection::CTypeInfo* m_valueType;  // not owned
};

class IDefaultController : public Engine::Reflection::CCustomAttribute {};

// Marks the Bezier key controller; kept for callers that list attributes.
class IBezFloatKeyController : public Engine::Reflection::CCustomAttribute {};

} // namespace Engine::Scene
