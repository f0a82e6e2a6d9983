#pragma once
// Method descriptions: a named member function of a type, called on an
// object given as a value. A description holds a non-const and a const
// binding, either of which may be empty.
//
// How the object is taken out depends on the object value's static type:
//   pointer to const      - the const binding; only non-const bound: const error
//   pointer to non-const  - the const binding, else the non-const one
//   anything else         - Invoke takes T&, InvokeConst const T& (which, with
//                           only the non-const binding, is a const error)
// The const binding always wins when present. A null object is refused
// before the member runs.

#include <functional>
#include <memory>
#include <span>
#include <type_traits>

#include "reflection/Attributes.h"
#include "reflection/Parameters.h"

namespace Engine::Reflection {

class CMethodInfo : public CCustomAttributeProvider {
public:
    CMethodInfo(CString name, ParameterList parameters, const CTypeInfo* declaringType, const CTypeInfo* resultType)
        : m_name(std::move(name)),
          m_parameters(std::move(parameters)),
          m_declaringType(declaringType),
          m_resultType(resultType) {}

    const CString& GetName() const { return m_name; }
    ParameterList GetParameters() const { return m_parameters; }
    const ParameterList& Parameters() const { return m_parameters; }
    const CTypeInfo* GetDeclaringType() const { return m_declaringType; }
    const CTypeInfo* GetResultType() const { return m_resultType; }
    bool HasParameterTypes(std::span<const CTypeInfo* const> types) const;
    // Same const-ness, declaring and result type, name and parameter types.
    bool HasSameSignature(const CMethodInfo& other) const;
    // The method with the same name and parameter types of each direct base.
    void GetInheritedProviders(ProviderList& out) const override;

    // True when the const binding is present.
    virtual bool IsConst() const = 0;
    // Reserved: every description answers false and refuses the call.
    virtual bool QueryReserved() const { return false; }
    virtual CValue InvokeReserved(std::vector<CValue>& args) const;
    // The caller's list may be consumed (see CoerceFirstArgument). A setter
    // returns the empty value.
    virtual CValue Invoke(const CValue& object, std::vector<CValue>& args) const;
    virtual CValue InvokeConst(const CValue& object, std::vector<CValue>& args) const;

private:
    friend class CPropertyInfo;
    // A property's calls: Invoke without arguments, and Invoke with the one
    // value, which is read where it is (never consumed). Descriptions that
    // can, do so without building an argument list.
    virtual CValue InvokeGetter(const CValue& object) const;
    virtual void InvokeSetter(const CValue& object, const CValue& value) const;

    CString m_name;
    ParameterList m_parameters;
    const CTypeInfo* m_declaringType;
    const CTypeInfo* m_resultType;
};

namespace Detail {

enum class EObjectForm { ConstPointer, Pointer, Other };

inline EObjectForm ObjectFormOf(const CValue& object) {
    const CTypeInfo* type = object.GetType();
    if (type->IsConstPointer()) return EObjectForm::ConstPointer;
    if (type->IsPointer()) return EObjectForm::Pointer;
    return EObjectForm::Other;
}
// False, or the const and missing-binding errors, for a call without a
// const binding.
bool ChooseNonConstBinding(EObjectForm form, bool constCall, bool hasNonConst);
// True for the const binding; throws the const and missing-binding errors.
inline bool ChooseConstBinding(EObjectForm form, bool constCall, bool hasConst, bool hasNonConst) {
    if (hasConst) return true;
    const bool mutableObject = form == EObjectForm::Pointer || (form == EObjectForm::Other && !constCall);
    if (hasNonConst && mutableObject) return false;
    return ChooseNonConstBinding(form, constCall, hasNonConst);
}
[[noreturn]] void ThrowNullObject();

// Inlined into every call: the object look-up is a large share of a
// property's get.
template <class T>
[[gnu::always_inline]] inline const T& ConstObject(const CValue& object, EObjectForm form, bool constCall) {
    const T* pointer = nullptr;
    switch (form) {
    case EObjectForm::ConstPointer: pointer = object.GetAs<const T*>(); break;
    case EObjectForm::Pointer: pointer = object.GetAs<T*>(); break;
    case EObjectForm::Other: return constCall ? object.GetAs<const T&>() : object.GetAs<T&>();
    }
    if (!pointer) ThrowNullObject();
    return *pointer;
}

template <class T>
[[gnu::always_inline]] inline T& MutableObject(const CValue& object, EObjectForm form) {
    if (form == EObjectForm::Other) return object.GetAs<T&>();
    T* pointer = object.GetAs<T*>();
    if (!pointer) ThrowNullObject();
    return *pointer;
}

template <class R, class Call>
CValue BoxResult(Call&& call) {
    if constexpr (std::is_void_v<R>) {
        call();
        return CValue();
    } else {
        return CValue(call());
    }
}

template <class R>
const CTypeInfo* ResultTypeOf() {
    return TypeOf<std::decay_t<R>>();
}

} // namespace Detail

template <class T, class R>
class CMethodInfo0 final : public CMethodInfo {
public:
    using Member = R (T::*)();
    using ConstMember = R (T::*)() const;

    CMethodInfo0(CString name, Member member, ConstMember constMember)
        : CMethodInfo(std::move(name), {}, TypeOf<T>(), Detail::ResultTypeOf<R>()),
          m_member(member),
          m_constMember(constMember) {}

    bool IsConst() const override { return m_constMember != nullptr; }
    // Arguments are neither read nor checked.
    CValue Invoke(const CValue& object, std::vector<CValue>&) const override { return Call(object, false); }
    CValue InvokeConst(const CValue& object, std::vector<CValue>&) const override { return Call(object, true); }

private:
    CValue InvokeGetter(const CValue& object) const override { return Call(object, false); }

    CValue Call(const CValue& object, bool constCall) const {
        using namespace Detail;
        const EObjectForm form = ObjectFormOf(object);
        if (ChooseConstBinding(form, constCall, m_constMember != nullptr, m_member != nullptr))
            return BoxResult<R>([&]() -> R { return std::invoke(m_constMember, ConstObject<T>(object, form, constCall)); });
        return BoxResult<R>([&]() -> R { return std::invoke(m_member, MutableObject<T>(object, form)); });
    }

    Member m_member;
    ConstMember m_constMember;
};

template <class T, class R, class A>
class CMethodInfo1 final : public CMethodInfo {
    using Arg = std::decay_t<A>;

public:
    using Member = R (T::*)(A);
    using ConstMember = R (T::*)(A) const;

    CMethodInfo1(CString name, ParameterList parameters, Member member, ConstMember constMember)
        : CMethodInfo(std::move(name), std::move(parameters), TypeOf<T>(), Detail::ResultTypeOf<R>()),
          m_member(member),
          m_constMember(constMember) {}

    bool IsConst() const override { return m_constMember != nullptr; }
    // Only the first argument is read; it is coerced before the object is
    // looked at, so a bad argument fails before any const error.
    CValue Invoke(const CValue& object, std::vector<CValue>& args) const override { return Call(object, args, false); }
    CValue InvokeConst(const CValue& object, std::vector<CValue>& args) const override {
        return Call(object, args, true);
    }

private:
    // A by-value or const-reference parameter reads the argument in place;
    // a member that may change or move from its argument gets a copy.
    static constexpr bool kReadsInPlace = !std::is_reference_v<A> || std::is_same_v<A, const Arg&>;

    void InvokeSetter(const CValue& object, const CValue& value) const override {
        if (value.Holds<Arg>())
            CallWith(object, value, false);
        else
            CallWith(object, ConvertArgument<Arg>(Parameters(), value), false);
    }

    CValue Call(const CValue& object, std::vector<CValue>& args, bool constCall) const {
        // The object may be the caller's first argument itself, which the
        // coercion exchanges out of the list before the call.
        if (!args.empty() && &object == &args.front()) {
            const CValue held = object;
            return Call(held, args, constCall);
        }
        return CoerceFirstArgument<Arg>(Parameters(), args,
                                        [&](const CValue& argument) { return CallWith(object, argument, constCall); });
    }

    CValue CallWith(const CValue& object, const CValue& argument, bool constCall) const {
        using namespace Detail;
        const EObjectForm form = ObjectFormOf(object);
        const bool useConst = ChooseConstBinding(form, constCall, m_constMember != nullptr, m_member != nullptr);
        const CValue::CInstance<Arg>* view = argument.GetBox() ? argument.GetBox()->template FindView<Arg>() : nullptr;
        if constexpr (kReadsInPlace) {
            if (view) return CallOn(object, form, useConst, constCall, view->Get());
        }
        Arg copy = view ? view->Get() : argument.Get<Arg>();
        return CallOn(object, form, useConst, constCall, copy);
    }

    template <class V>
    CValue CallOn(const CValue& object, Detail::EObjectForm form, bool useConst, bool constCall, V& value) const {
        using namespace Detail;
        if (useConst)
            return BoxResult<R>([&]() -> R {
                return std::invoke(m_constMember, ConstObject<T>(object, form, constCall), static_cast<A>(value));
            });
        return BoxResult<R>(
            [&]() -> R { return std::invoke(m_member, MutableObject<T>(object, form), static_cast<A>(value)); });
    }

    Member m_member;
    ConstMember m_constMember;
};

namespace Detail {
template <class F>
struct MemberTraits;
template <class C, class R>
struct MemberTraits<R (C::*)()> {
    using Result = R;
    static constexpr int arity = 0;
    static constexpr bool isConst = false;
};
template <class C, class R>
struct MemberTraits<R (C::*)() const> : MemberTraits<R (C::*)()> {
    static constexpr bool isConst = true;
};
template <class C, class R>
struct MemberTraits<R (C::*)() noexcept> : MemberTraits<R (C::*)()> {};
template <class C, class R>
struct MemberTraits<R (C::*)() const noexcept> : MemberTraits<R (C::*)() const> {};
template <class C, class R, class A>
struct MemberTraits<R (C::*)(A)> {
    using Result = R;
    using Arg = A;
    static constexpr int arity = 1;
    static constexpr bool isConst = false;
};
template <class C, class R, class A>
struct MemberTraits<R (C::*)(A) const> : MemberTraits<R (C::*)(A)> {
    static constexpr bool isConst = true;
};
template <class C, class R, class A>
struct MemberTraits<R (C::*)(A) noexcept> : MemberTraits<R (C::*)(A)> {};
template <class C, class R, class A>
struct MemberTraits<R (C::*)(A) const noexcept> : MemberTraits<R (C::*)(A) const> {};
} // namespace Detail

// A description of a member function of T (or of one of its bases) taking
// no or one argument; const-ness decides which binding is set.
template <class T, class F>
std::unique_ptr<CMethodInfo> MakeMethodInfo(CString name, ParameterList parameters, F member) {
    using Traits = Detail::MemberTraits<F>;
    using R = typename Traits::Result;
    if constexpr (Traits::arity == 0) {
        using Info = CMethodInfo0<T, R>;
        if constexpr (Traits::isConst)
            return std::make_unique<Info>(std::move(name), nullptr, static_cast<typename Info::ConstMember>(member));
        else
            return std::make_unique<Info>(std::move(name), static_cast<typename Info::Member>(member), nullptr);
    } else {
        using Info = CMethodInfo1<T, R, typename Traits::Arg>;
        if constexpr (Traits::isConst)
            return std::make_unique<Info>(std::move(name), std::move(parameters), nullptr,
                                          static_cast<typename Info::ConstMember>(member));
        else
            return std::make_unique<Info>(std::move(name), std::move(parameters),
                                          static_cast<typename Info::Member>(member), nullptr);
    }
}

} // namespace Engine::Reflection
