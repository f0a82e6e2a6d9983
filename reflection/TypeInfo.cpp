#include "reflection/TypeInfo.h"

#include <string>

#include "reflection/Exceptions.h"
#include "reflection/TypeInfoMembers.h"
#include "reflection/TypeName.h"
#include "reflection/TypeRegistry.h"

namespace Engine::Reflection {

CTypeInfo::CTypeInfo(const std::type_info& type) : m_type(&type), m_members(std::make_unique<CMembers>()) {}

CTypeInfo::~CTypeInfo() = default;

void CTypeInfo::SetName(std::string_view fullName) {
    std::string shortName, scope;
    SplitQualifiedTypeName(fullName, shortName, scope);
    SetNames(CString(shortName), CString(scope));
}

void CTypeInfo::SetNames(CString shortName, CString scope) {
    m_shortName = std::move(shortName);
    m_scope = std::move(scope);
}

void CTypeInfo::AddAlias(CString alias) {
    m_aliases.push_back(std::move(alias));
}

CString CTypeInfo::GetFullName() const {
    if (!HasName()) return CString();
    std::string name;
    if (m_const) name += "const ";
    if (!m_scope.IsEmpty()) {
        name += m_scope.view();
        name += "::";
    }
    name += m_shortName.view();
    if (m_pointee) name += " *";
    return CString(name);
}

void CTypeInfo::LinkRefPtrForm(CTypeInfo* refPtrRecord) {
    m_hasRefPtrForm = true;
    m_refPtrLink = refPtrRecord;
    refPtrRecord->m_isRefPtr = true;
    refPtrRecord->m_refPtrLink = this;
}

void CTypeInfo::AddBaseType(CTypeInfo* base) {
    if (base == this || base->IsSubclassOf(this))
        throw CReflectionException("cyclic base type list");
    m_bases.push_back(base);
}

bool CTypeInfo::IsSubclassOf(const CTypeInfo* other) const {
    for (const CTypeInfo* base : m_bases) {
        if (base == other || base->GetType() == other->GetType()) return true;
        if (base->IsSubclassOf(other)) return true;
    }
    return false;
}

void CTypeInfo::GetInheritedProviders(ProviderList& out) const {
    out.insert(out.end(), m_bases.begin(), m_bases.end());
}

std::unique_ptr<CTypeInfo::CMembers> CTypeInfo::ResetForRedefinition() {
    auto retired = std::exchange(m_members, std::make_unique<CMembers>());
    retired->retiredAttributes = TakeAttributes();
    m_bases.clear();
    m_abstract = false;
    m_defined = false;
    m_pointerFormsDefined = false;
    return retired;
}

// ---- owned members ------------------------------------------------------

const std::vector<std::unique_ptr<CConstructorInfo>>& CTypeInfo::GetConstructors() const {
    return m_members->constructors;
}

void CTypeInfo::AddConstructor(std::unique_ptr<CConstructorInfo> constructor) {
    m_members->constructors.push_back(std::move(constructor));
}

const CConstructorInfo* CTypeInfo::GetConstructor(TypeList parameterTypes) const {
    for (const auto& constructor : m_members->constructors)
        if (constructor->HasParameterTypes(parameterTypes)) return constructor.get();
    return nullptr;
}

CValue CTypeInfo::CreateInstance(std::vector<CValue> args) const {
    // Abstract types and unmatched arguments throw the integer 1.
    if (m_abstract) throw 1;
    std::vector<const CTypeInfo*> argumentTypes;
    argumentTypes.reserve(args.size());
    for (const CValue& arg : args) argumentTypes.push_back(arg.GetType());
    if (const CConstructorInfo* exact = GetConstructor(argumentTypes)) return exact->Invoke(args);

    const CConverterGraph& graph = CTypeRegistry::Instance().Converters();
    for (const auto& constructor : m_members->constructors) {
        const ParameterList& parameters = constructor->GetParameters();
        if (parameters.size() != args.size()) continue;
        bool convertible = true;
        for (size_t i = 0; i < args.size() && convertible; ++i) {
            const CTypeInfo* from = argumentTypes[i];
            const CTypeInfo* to = parameters[i].GetType();
            convertible = !args[i].IsEmpty() && (from->GetType() == to->GetType() || graph.HasPath(from, to));
        }
        if (convertible) return constructor->Invoke(args);
    }
    throw 1;
}

CValue CTypeInfo::CreateDefaultInstance() const {
    return CreateInstance({});
}

const std::vector<std::unique_ptr<CMethodInfo>>& CTypeInfo::GetMethods() const {
    return m_members->methods;
}

CMethodInfo* CTypeInfo::AddMethod(std::unique_ptr<CMethodInfo> method) {
    m_members->methods.push_back(std::move(method));
    return m_members->methods.back().get();
}

const CMethodInfo* CTypeInfo::GetMethod(std::string_view name, TypeList parameterTypes, bool searchBases) const {
    for (const auto& method : m_members->methods)
        if (method->GetName().view() == name && method->HasParameterTypes(parameterTypes)) return method.get();
    if (searchBases) {
        for (const CTypeInfo* base : m_bases)
            if (const CMethodInfo* found = base->GetMethod(name, parameterTypes, true)) return found;
    }
    return nullptr;
}

const std::vector<std::unique_ptr<CPropertyInfo>>& CTypeInfo::GetOwnProperties() const {
    return m_members->properties;
}

CPropertyInfo* CTypeInfo::AddProperty(std::unique_ptr<CPropertyInfo> property) {
    m_members->properties.push_back(std::move(property));
    return m_members->properties.back().get();
}

void CTypeInfo::GetProperties(std::vector<const CPropertyInfo*>& out) const {
    for (const CTypeInfo* base : m_bases) base->GetProperties(out);
    for (const auto& property : m_members->properties) out.push_back(property.get());
}

const CPropertyInfo* CTypeInfo::GetProperty(std::string_view name, const CTypeInfo* type, bool searchBases) const {
    for (const auto& property : m_members->properties)
        if (property->GetName().view() == name && (!type || property->GetType() == type)) return property.get();
    if (searchBases) {
        for (const CTypeInfo* base : m_bases)
            if (const CPropertyInfo* found = base->GetProperty(name, type, true)) return found;
    }
    return nullptr;
}

const CComparator* CTypeInfo::GetComparator() const {
    return m_members->comparator.get();
}

void CTypeInfo::SetComparator(std::unique_ptr<CComparator> comparator) {
    m_members->comparator = std::move(comparator);
}

const CCalculator* CTypeInfo::GetCalculator() const {
    return m_members->calculator.get();
}

void CTypeInfo::SetCalculator(std::unique_ptr<CCalculator> calculator) {
    m_members->calculator = std::move(calculator);
}

const CTypeFormatter* CTypeInfo::GetFormatter() const {
    return m_members->formatter.get();
}

void CTypeInfo::SetFormatter(std::unique_ptr<CTypeFormatter> formatter) {
    m_members->formatter = std::move(formatter);
}

const std::map<std::int64_t, CString>& CTypeInfo::GetEnumValueNames() const {
    return m_members->enumValueNames;
}

void CTypeInfo::AddEnumValueName(std::int64_t value, CString name) {
    m_members->enumValueNames.emplace(value, std::move(name));
}

} // namespace Engine::Reflection
