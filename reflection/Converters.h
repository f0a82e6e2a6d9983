#pragma once
// Converters between pointer types, stored in the registry's converter graph.

#include <type_traits>
#include <vector>

#include "reflection/Value.h"

namespace Engine::Reflection {

class CConverter {
public:
    virtual ~CConverter() = default;
    virtual CValue Convert(const CValue& in) const = 0;
};

// Extracts an A and returns it statically cast to B: an up-cast (which moves
// the pointer when the base is not the first one; null stays null) or, from
// void*, the same address unchecked.
template <class A, class B>
class CStaticConverter final : public CConverter {
    static_assert(std::is_pointer_v<A> && std::is_pointer_v<B>);

public:
    CValue Convert(const CValue& in) const override { return CValue(static_cast<B>(in.GetAs<A>())); }
};

// Extracts an A and casts it at run time to B. An object of another class
// gives a value holding a null B: a success, not a failure.
template <class A, class B>
class CDynamicConverter final : public CConverter {
    static_assert(std::is_pointer_v<A> && std::is_pointer_v<B>);

public:
    CValue Convert(const CValue& in) const override { return CValue(dynamic_cast<B>(in.GetAs<A>())); }
};

// Applies a path of converters in order. The steps are not owned: they
// belong to the registry's converter pool.
class CCompositeConverter final : public CConverter {
public:
    explicit CCompositeConverter(std::vector<const CConverter*> steps) : m_steps(std::move(steps)) {}
    CValue Convert(const CValue& in) const override;
    const std::vector<const CConverter*>& GetSteps() const { return m_steps; }

private:
    std::vector<const CConverter*> m_steps;
};

} // namespace Engine::Reflection
