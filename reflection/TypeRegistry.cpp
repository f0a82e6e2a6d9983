#include "reflection/TypeRegistry.h"

#include "reflection/Converters.h"
#include "reflection/Exceptions.h"
#include "reflection/TypeInfoMembers.h"
#include "reflection/Value.h"

namespace Engine::Reflection {

CTypeRegistry& CTypeRegistry::Instance() {
    static CTypeRegistry* const s_registry = new CTypeRegistry;
    return *s_registry;
}

CTypeRegistry::CTypeRegistry() {
    m_void = Insert(typeid(void));
    m_void->SetName("void");
    m_void->MarkDefined();
    m_voidPointer = Insert(typeid(void*));
    m_voidPointer->SetName("void");
    m_voidPointer->SetPointee(m_void);
    m_voidPointer->MarkDefined();
    m_void->SetPointerType(m_voidPointer);
}

CTypeRegistry::~CTypeRegistry() = default;

CTypeInfo* CTypeRegistry::Insert(const std::type_info& type) {
    auto [it, added] = m_types.try_emplace(std::type_index(type));
    if (added) it->second = std::make_unique<CTypeInfo>(type);
    m_byAddress[&type] = it->second.get();
    return it->second.get();
}

CTypeInfo* CTypeRegistry::Find(const std::type_info& type) const {
    if (auto hit = m_byAddress.find(&type); hit != m_byAddress.end()) return hit->second;
    auto it = m_types.find(std::type_index(type));
    return it == m_types.end() ? nullptr : it->second.get();
}

CTypeInfo* CTypeRegistry::GetTypeInfo(const std::type_info& type) {
    if (auto hit = m_byAddress.find(&type); hit != m_byAddress.end()) return hit->second;
    return Insert(type);
}

CTypeInfo* CTypeRegistry::GetOrCreateTypeInfo(const std::type_info& type, bool define) {
    CTypeInfo* record = GetTypeInfo(type);
    // void and void* are the registry's own and stay as they are.
    if (define && record->IsDefined() && record != m_void && record != m_voidPointer)
        m_retired.push_back(record->ResetForRedefinition());
    return record;
}

CTypeInfo* CTypeRegistry::AddPlaceholderType(const std::type_info& type) {
    return GetTypeInfo(type);
}

CTypeInfo* CTypeRegistry::FindTypeByName(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (const auto& [key, record] : m_types)
        if (record->HasName() && record->GetFullName().view() == name) return record.get();
    for (const auto& [key, record] : m_types)
        for (const CString& alias : record->GetAliases())
            if (alias.view() == name) return record.get();
    return nullptr;
}

std::vector<CTypeInfo*> CTypeRegistry::GetDefinedTypes() const {
    std::vector<CTypeInfo*> defined;
    for (const auto& [key, record] : m_types)
        if (record->IsDefined()) defined.push_back(record.get());
    return defined;
}

const CValue& CTypeRegistry::EmptyValue() const {
    static const CValue s_empty;
    return s_empty;
}

void CTypeRegistry::AddVoidPointerConverter(const CTypeInfo* source, const CTypeInfo* target,
                                            std::unique_ptr<CConverter> converter) {
    if (source != m_voidPointer)
        throw CReflectionException("void-pointer converters must start at void*");
    m_converters.SetVoidPointer(source, target, std::move(converter));
}

} // namespace Engine::Reflection
