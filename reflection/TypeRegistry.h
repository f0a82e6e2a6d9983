#pragma once
// The process-wide type registry: one record per type, keyed by run-time
// type identity and found by name, plus the converter graph.

#include <map>
#include <memory>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include "reflection/ConverterGraph.h"
#include "reflection/TypeInfo.h"

namespace Engine::Reflection {

class CValue;

class CTypeRegistry {
public:
    // Ordered by type_info::before. Nothing may depend on that order beyond
    // it being fixed for one build.
    using TypeInfoMap = std::map<std::type_index, std::unique_ptr<CTypeInfo>>;

    // The registry is created on first use and never destroyed, so values
    // and records stay usable by anything that runs at exit.
    static CTypeRegistry& Instance();

    // The record of the type; a type not held yet gets a new undefined
    // record. Never null; a later registration completes the same record.
    CTypeInfo* GetTypeInfo(const std::type_info& type);
    // As GetTypeInfo. With define set, a record that is already defined is
    // emptied in place for its new registration (its identity, names,
    // aliases and links are kept), so every pointer to it stays valid.
    CTypeInfo* GetOrCreateTypeInfo(const std::type_info& type, bool define);
    // Adds an empty record for a type not held yet; returns the held
    // record when there is one.
    CTypeInfo* AddPlaceholderType(const std::type_info& type);
    // Looks a type up without creating it.
    CTypeInfo* Find(const std::type_info& type) const;
    const TypeInfoMap& GetTypeMap() const { return m_types; }

    // The first record in map order whose full name is the name, else the
    // first with that alias; records without a name never match.
    CTypeInfo* FindTypeByName(std::string_view name) const;
    // The defined records, in map order.
    std::vector<CTypeInfo*> GetDefinedTypes() const;

    // The void record is the type of every empty value.
    CTypeInfo* VoidType() const { return m_void; }
    CTypeInfo* VoidPointerType() const { return m_voidPointer; }
    // The empty value, default of every parameter without one.
    const CValue& EmptyValue() const;

    CConverterGraph& Converters() { return m_converters; }
    const CConverterGraph& Converters() const { return m_converters; }
    // Stores a void*-to-T* converter; source must be the void* record.
    void AddVoidPointerConverter(const CTypeInfo* source, const CTypeInfo* target,
                                 std::unique_ptr<CConverter> converter);

private:
    CTypeRegistry();
    ~CTypeRegistry();
    CTypeInfo* Insert(const std::type_info& type);

    TypeInfoMap m_types;
    // Fast path keyed by type_info address; the map decides on a miss.
    std::unordered_map<const std::type_info*, CTypeInfo*> m_byAddress;
    CConverterGraph m_converters;
    std::vector<std::unique_ptr<CTypeInfo::CMembers>> m_retired;
    CTypeInfo* m_void = nullptr;
    CTypeInfo* m_voidPointer = nullptr;
};

template <class T>
CTypeInfo* TypeOf();

namespace Detail {
template <class T>
CTypeInfo* MakeTypeRecord() {
    CTypeInfo* record = CTypeRegistry::Instance().GetTypeInfo(typeid(T));
    if constexpr (std::is_pointer_v<T>) {
        // What the compiler knows about a pointer type is filled in at once,
        // so the const-pointer rules hold before the type is registered.
        using Pointee = std::remove_pointer_t<T>;
        if (!record->IsPointer()) {
            record->SetPointee(TypeOf<std::remove_cv_t<Pointee>>());
            record->SetConst(std::is_const_v<Pointee>);
        }
    }
    return record;
}
} // namespace Detail

// The record of T (references and top-level const ignored). Records are
// never destroyed or replaced, so each T caches its own.
template <class T>
CTypeInfo* TypeOf() {
    using U = std::remove_cv_t<std::remove_reference_t<T>>;
    if constexpr (!std::is_same_v<T, U>) {
        return TypeOf<U>();
    } else {
        static CTypeInfo* const s_record = Detail::MakeTypeRecord<U>();
        return s_record;
    }
}

} // namespace Engine::Reflection
