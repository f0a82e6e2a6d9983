#pragma once
// Custom attributes: marker and data objects attached to type, constructor,
// method and property descriptions.

#include <memory>
#include <utility>
#include <vector>

namespace Engine::Reflection {

class CCustomAttribute {
public:
    virtual ~CCustomAttribute() = default;
};

// Owns an ordered list of attributes. Lookups that inherit search the
// provider's own list first, then its inherited providers depth first.
class CCustomAttributeProvider {
public:
    using AttributeList = std::vector<std::unique_ptr<CCustomAttribute>>;
    using ProviderList = std::vector<const CCustomAttributeProvider*>;

    CCustomAttributeProvider() = default;
    CCustomAttributeProvider(const CCustomAttributeProvider&) = delete;
    CCustomAttributeProvider& operator=(const CCustomAttributeProvider&) = delete;
    virtual ~CCustomAttributeProvider();

    void AddAttribute(std::unique_ptr<CCustomAttribute> attribute);
    const AttributeList& GetAttributes() const { return m_attributes; }
    // Appends the providers searched after this one (for a type: its bases).
    virtual void GetInheritedProviders(ProviderList& out) const;

    template <class A>
    const A* GetCustomAttribute(bool inherit) const {
        const CCustomAttribute* found = FindAttribute(
            [](const CCustomAttribute& a) { return dynamic_cast<const A*>(&a) != nullptr; }, inherit);
        return static_cast<const A*>(found);
    }

    // The first attribute that satisfies the predicate, in lookup order.
    template <class Pred>
    const CCustomAttribute* FindAttribute(Pred pred, bool inherit) const {
        for (const auto& a : m_attributes)
            if (pred(*a)) return a.get();
        if (!inherit) return nullptr;
        ProviderList inherited;
        GetInheritedProviders(inherited);
        for (const CCustomAttributeProvider* p : inherited)
            if (const CCustomAttribute* a = p->FindAttribute(pred, true)) return a;
        return nullptr;
    }

protected:
    // Hands the attribute list over (a redefined type keeps the old one alive).
    AttributeList TakeAttributes() { return std::exchange(m_attributes, {}); }

private:
    AttributeList m_attributes;
};

} // namespace Engine::Reflection
