#pragma once
// The registered description of one type: its names, flags, the links
// between a class and its pointer and counted forms, its bases, and what it
// owns: constructors, methods, properties, comparator, calculator, text
// formatter and enumeration value names.

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "app/String.h"
#include "reflection/Attributes.h"

namespace Engine::Reflection {

class CCalculator;
class CComparator;
class CConstructorInfo;
class CMethodInfo;
class CPropertyInfo;
class CTypeFormatter;
class CValue;

class CTypeInfo : public CCustomAttributeProvider {
public:
    // What a redefinition takes out of a record. The registry keeps it for
    // the rest of the process, so pointers into it never dangle.
    struct CMembers;

    explicit CTypeInfo(const std::type_info& type);
    ~CTypeInfo() override;

    const std::type_info& GetType() const { return *m_type; }

    // Names. A record that was only mentioned so far has no name.
    const CString& GetShortName() const { return m_shortName; }
    const CString& GetScope() const { return m_scope; }
    const std::vector<CString>& GetAliases() const { return m_aliases; }
    bool HasName() const { return !m_shortName.IsEmpty(); }
    // Splits the name into scope and short name.
    void SetName(std::string_view fullName);
    void SetNames(CString shortName, CString scope);
    void AddAlias(CString alias);
    // "const " for a const record, "scope::" when scoped, the short name,
    // " *" for a pointer record; empty for a record without a name.
    CString GetFullName() const;

    bool IsConst() const { return m_const; }
    void SetConst(bool isConst) { m_const = isConst; }
    bool IsAbstract() const { return m_abstract; }
    void SetAbstract(bool isAbstract) { m_abstract = isAbstract; }
    // Set once the type's registration has run.
    bool IsDefined() const { return m_defined; }
    void MarkDefined() { m_defined = true; }
    bool ArePointerFormsDefined() const { return m_pointerFormsDefined; }
    void MarkPointerFormsDefined() { m_pointerFormsDefined = true; }

    // A pointer record points to the record of the type it points to.
    bool IsPointer() const { return m_pointee != nullptr; }
    bool IsConstPointer() const { return m_pointee != nullptr && m_const; }
    CTypeInfo* GetPointee() const { return m_pointee; }
    void SetPointee(CTypeInfo* pointee) { m_pointee = pointee; }
    CTypeInfo* GetPointerType() const { return m_pointerType; }
    void SetPointerType(CTypeInfo* record) { m_pointerType = record; }
    CTypeInfo* GetConstPointerType() const { return m_constPointerType; }
    void SetConstPointerType(CTypeInfo* record) { m_constPointerType = record; }

    // Counted form: a class record and its ref_ptr<T> record link each other.
    bool IsRefPtr() const { return m_isRefPtr; }
    bool HasRefPtrForm() const { return m_hasRefPtrForm; }
    CTypeInfo* GetRefPtrLink() const { return m_refPtrLink; }
    // Called on the class record with the record of its ref_ptr<T>.
    void LinkRefPtrForm(CTypeInfo* refPtrRecord);

    // Bases in registration order; not owned. A base that would make the
    // base graph cyclic is refused with CReflectionException.
    const std::vector<CTypeInfo*>& GetBaseTypes() const { return m_bases; }
    void AddBaseType(CTypeInfo* base);
    // True when a base, directly or through its bases (depth first, in
    // order), is the given type. The type itself does not count.
    bool IsSubclassOf(const CTypeInfo* other) const;
    void GetInheritedProviders(ProviderList& out) const override;

    using TypeList = std::span<const CTypeInfo* const>;

    // Constructors, in order of addition.
    const std::vector<std::unique_ptr<CConstructorInfo>>& GetConstructors() const;
    void AddConstructor(std::unique_ptr<CConstructorInfo> constructor);
    // The first constructor with exactly these parameter types.
    const CConstructorInfo* GetConstructor(TypeList parameterTypes) const;
    // A new instance by the constructor whose parameters match the
    // arguments' types exactly, else by the first one of the same arity
    // whose parameters the arguments convert to. Throws the integer 1 for
    // an abstract type or when no constructor matches.
    CValue CreateInstance(std::vector<CValue> args) const;
    CValue CreateDefaultInstance() const;

    // Methods, in order of addition.
    const std::vector<std::unique_ptr<CMethodInfo>>& GetMethods() const;
    CMethodInfo* AddMethod(std::unique_ptr<CMethodInfo> method);
    // By name and parameter types; own methods first, then the bases' depth
    // first when asked.
    const CMethodInfo* GetMethod(std::string_view name, TypeList parameterTypes, bool searchBases) const;

    // Own properties, in order of addition.
    const std::vector<std::unique_ptr<CPropertyInfo>>& GetOwnProperties() const;
    CPropertyInfo* AddProperty(std::unique_ptr<CPropertyInfo> property);
    // Appends the bases' properties (recursively, in base order), then the
    // type's own; property indices follow this order.
    void GetProperties(std::vector<const CPropertyInfo*>& out) const;
    // By name and, unless type is null, by type; own first, then the bases.
    const CPropertyInfo* GetProperty(std::string_view name, const CTypeInfo* type, bool searchBases) const;

    const CComparator* GetComparator() const;
    void SetComparator(std::unique_ptr<CComparator> comparator);
    const CCalculator* GetCalculator() const;
    void SetCalculator(std::unique_ptr<CCalculator> calculator);
    const CTypeFormatter* GetFormatter() const;
    void SetFormatter(std::unique_ptr<CTypeFormatter> formatter);

    // Enumeration value names, ordered by value; one name per value.
    const std::map<std::int64_t, CString>& GetEnumValueNames() const;
    // A value that has a name keeps it.
    void AddEnumValueName(std::int64_t value, CString name);

    // Empties the record for a new registration while keeping its identity,
    // names, aliases and links. Returns what it owned.
    std::unique_ptr<CMembers> ResetForRedefinition();

protected:
    CMembers& Members() { return *m_members; }
    const CMembers& Members() const { return *m_members; }

private:
    const std::type_info* m_type;
    CString m_shortName;
    CString m_scope;
    std::vector<CString> m_aliases;
    bool m_const = false;
    bool m_abstract = false;
    bool m_defined = false;
    bool m_pointerFormsDefined = false;
    bool m_isRefPtr = false;
    bool m_hasRefPtrForm = false;
    CTypeInfo* m_pointee = nullptr;
    CTypeInfo* m_pointerType = nullptr;
    CTypeInfo* m_constPointerType = nullptr;
    CTypeInfo* m_refPtrLink = nullptr;
    std::vector<CTypeInfo*> m_bases;
    std::unique_ptr<CMembers> m_members;
};

} // namespace Engine::Reflection
