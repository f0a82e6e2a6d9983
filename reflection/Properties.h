#pragma once
// A named property over a setter and a getter method (either may be
// absent). The methods belong to the type record, not to the property.

#include "reflection/Methods.h"

namespace Engine::Reflection {

class CPropertyInfo : public CCustomAttributeProvider {
public:
    CPropertyInfo(const CMethodInfo* setter, const CMethodInfo* getter, const CTypeInfo* declaringType,
                  const CTypeInfo* propertyType, CString name)
        : m_setter(setter),
          m_getter(getter),
          m_declaringType(declaringType),
          m_type(propertyType),
          m_name(std::move(name)) {}

    const CString& GetName() const { return m_name; }
    const CTypeInfo* GetType() const { return m_type; }
    const CTypeInfo* GetDeclaringType() const { return m_declaringType; }
    const CMethodInfo* GetSetter() const { return m_setter; }
    const CMethodInfo* GetGetter() const { return m_getter; }
    bool HasGetter() const { return m_getter != nullptr; }
    bool HasSetter() const { return m_setter != nullptr; }

    // The getter's result; the empty value when there is no getter.
    CValue GetValue(const CValue& instance) const {
        return m_getter ? m_getter->InvokeGetter(instance) : CValue();
    }
    // Calls the setter with a copy of the value (the caller's value is never
    // consumed); false when there is no setter.
    bool SetValue(const CValue& instance, const CValue& value) const;
    // The property of the same name of each direct base.
    void GetInheritedProviders(ProviderList& out) const override;

private:
    const CMethodInfo* m_setter;
    const CMethodInfo* m_getter;
    const CTypeInfo* m_declaringType;
    const CTypeInfo* m_type;
    CString m_name;
};

} // namespace Engine::Reflection
