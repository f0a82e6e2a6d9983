#include "reflection/Constructors.h"
#include "reflection/Methods.h"
#include "reflection/Properties.h"
#include "reflection/TypeInfo.h"

namespace Engine::Reflection {
namespace {

bool SameTypes(const ParameterList& parameters, std::span<const CTypeInfo* const> types) {
    if (parameters.size() != types.size()) return false;
    for (size_t i = 0; i < types.size(); ++i)
        if (parameters[i].GetType()->GetType() != types[i]->GetType()) return false;
    return true;
}

std::vector<const CTypeInfo*> TypesOf(const ParameterList& parameters) {
    std::vector<const CTypeInfo*> types;
    types.reserve(parameters.size());
    for (const CParameterInfo& p : parameters) types.push_back(p.GetType());
    return types;
}

} // namespace

bool CConstructorInfo::HasParameterTypes(std::span<const CTypeInfo* const> types) const {
    return SameTypes(m_parameters, types);
}

void CConstructorInfo::GetInheritedProviders(ProviderList& out) const {
    const auto types = TypesOf(m_parameters);
    for (const CTypeInfo* base : m_declaringType->GetBaseTypes())
        if (const CConstructorInfo* inherited = base->GetConstructor(types)) out.push_back(inherited);
}

bool CMethodInfo::HasParameterTypes(std::span<const CTypeInfo* const> types) const {
    return SameTypes(m_parameters, types);
}

bool CMethodInfo::HasSameSignature(const CMethodInfo& other) const {
    return IsConst() == other.IsConst() && m_declaringType->GetType() == other.m_declaringType->GetType() &&
           m_resultType->GetType() == other.m_resultType->GetType() && m_name == other.m_name &&
           other.HasParameterTypes(TypesOf(m_parameters));
}

void CMethodInfo::GetInheritedProviders(ProviderList& out) const {
    const auto types = TypesOf(m_parameters);
    for (const CTypeInfo* base : m_declaringType->GetBaseTypes())
        if (const CMethodInfo* inherited = base->GetMethod(m_name.view(), types, false)) out.push_back(inherited);
}

CValue CMethodInfo::InvokeReserved(std::vector<CValue>&) const {
    throw CInvokeNotImplementedException();
}

CValue CMethodInfo::Invoke(const CValue&, std::vector<CValue>&) const {
    throw CInvokeNotImplementedException();
}

CValue CMethodInfo::InvokeConst(const CValue&, std::vector<CValue>&) const {
    throw CInvokeNotImplementedException();
}

CValue CMethodInfo::InvokeGetter(const CValue& object) const {
    std::vector<CValue> noArguments;
    return Invoke(object, noArguments);
}

void CMethodInfo::InvokeSetter(const CValue& object, const CValue& value) const {
    std::vector<CValue> arguments(1, value);
    Invoke(object, arguments);
}

bool CPropertyInfo::SetValue(const CValue& instance, const CValue& value) const {
    if (!m_setter) return false;
    m_setter->InvokeSetter(instance, value);
    return true;
}

void CPropertyInfo::GetInheritedProviders(ProviderList& out) const {
    for (const CTypeInfo* base : m_declaringType->GetBaseTypes())
        if (const CPropertyInfo* inherited = base->GetProperty(m_name.view(), nullptr, false)) out.push_back(inherited);
}

namespace Detail {

bool ChooseNonConstBinding(EObjectForm form, bool constCall, bool hasNonConst) {
    if (!hasNonConst) throw CInvalidFunctionPointerException();
    if (form == EObjectForm::ConstPointer || (form == EObjectForm::Other && constCall))
        throw CConstIsConstException();
    return false;
}

void ThrowNullObject() {
    throw CEmptyValueException();
}

} // namespace Detail
} // namespace Engine::Reflection
