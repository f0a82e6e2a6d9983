#include "reflection/TypeInfo.h"

#include <string>

#include "reflection/Exceptions.h"
#include "reflection/TypeInfoMembers.h"
#include "reflection/TypeName.h"

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

} // namespace Engine::Reflection
