#pragma once
// Constructor descriptions: they make a new object (or value) of a type
// from a list of argument values.

#include <memory>
#include <span>
#include <type_traits>

#include "reflection/Attributes.h"
#include "reflection/Parameters.h"

namespace Engine::Reflection {

class CConstructorInfo : public CCustomAttributeProvider {
public:
    CConstructorInfo(const CTypeInfo* declaringType, ParameterList parameters)
        : m_declaringType(declaringType), m_parameters(std::move(parameters)) {}

    const CTypeInfo* GetDeclaringType() const { return m_declaringType; }
    const ParameterList& GetParameters() const { return m_parameters; }
    // Same count and the same types in order.
    bool HasParameterTypes(std::span<const CTypeInfo* const> types) const;
    // The constructor with the same parameter types of each direct base.
    void GetInheritedProviders(ProviderList& out) const override;
    // The caller's list may be consumed (see CoerceFirstArgument).
    virtual CValue Invoke(std::vector<CValue>& args) const = 0;

private:
    const CTypeInfo* m_declaringType;
    ParameterList m_parameters;
};

// Makes a new T on the heap and returns it as a T* value; the value does not
// own it: the caller does.
template <class T>
struct CObjectInstanceCreator {
    template <class... A>
    static CValue Create(A&&... args) {
        auto object = std::make_unique<T>(std::forward<A>(args)...);
        CValue value(object.get());
        object.release();
        return value;
    }
};

// Makes a value of a value type, held by the value itself.
template <class T>
struct CValueInstanceCreator {
    template <class... A>
    static CValue Create(A&&... args) {
        return CValue(T{std::forward<A>(args)...});
    }
};

template <class T, class Creator>
class CConstructorInfo0 final : public CConstructorInfo {
public:
    explicit CConstructorInfo0(const CTypeInfo* declaringType) : CConstructorInfo(declaringType, {}) {}
    CValue Invoke(std::vector<CValue>&) const override { return Creator::Create(); }
};

template <class T, class Creator, class A>
class CConstructorInfo1 final : public CConstructorInfo {
    using Arg = std::decay_t<A>;

public:
    CConstructorInfo1(const CTypeInfo* declaringType, ParameterList parameters)
        : CConstructorInfo(declaringType, std::move(parameters)) {}
    // The argument is read before anything is made, so a failed read leaves
    // no object behind.
    CValue Invoke(std::vector<CValue>& args) const override {
        return CoerceFirstArgument<Arg>(GetParameters(), args,
                                        [](const CValue& argument) { return Creator::Create(argument.Get<Arg>()); });
    }
};

} // namespace Engine::Reflection
