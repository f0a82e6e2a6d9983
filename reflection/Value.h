#pragma once
// CValue: a boxed value of any registered type. The box offers its content
// through up to three views (the value, a reference to it, a const
// reference), and typed extraction probes those views before it converts.

#include <array>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "app/Referenced.h"
#include "reflection/BoxCache.h"
#include "reflection/Exceptions.h"
#include "reflection/TypeRegistry.h"

namespace Engine::Reflection {

namespace Detail {
template <class T>
struct RefPtrTraits : std::false_type {};
template <class T>
struct RefPtrTraits<Engine::ref_ptr<T>> : std::true_type {
    using Pointee = T;
};

// Logs a counted release that failed while a value was being destroyed.
void ReportFailedRelease() noexcept;

// Pointer-reference forms are returned by value: a reference taken from a
// converted temporary would outlive it.
template <class X>
using ExtractResult = std::conditional_t<std::is_reference_v<X> && std::is_pointer_v<std::remove_cvref_t<X>>,
                                         std::remove_cvref_t<X>, X>;
} // namespace Detail

class CValue {
public:
    class CInstanceBase;
    template <class X>
    class CInstance;
    class CInstanceBoxBase;
    template <class T>
    class CInstanceBox;
    template <class P>
    class CPtrInstanceBox;
    template <class T>
    class CRefPtrInstanceBox;

    // The empty value: no box, the void type.
    CValue() noexcept = default;
    // Boxes a copy: a pointer in a pointer box (which never owns the
    // object), a ref_ptr in a counted box, anything else by value.
    template <class T>
        requires(!std::is_same_v<std::remove_cvref_t<T>, CValue>)
    explicit CValue(const T& value);
    // Adopts a box (null gives the empty value).
    explicit CValue(std::unique_ptr<CInstanceBoxBase> box);

    CValue(const CValue& other);
    CValue(CValue&& other) noexcept;
    CValue& operator=(const CValue& other);
    CValue& operator=(CValue&& other) noexcept;
    ~CValue() = default;
    void swap(CValue& other) noexcept;

    bool IsEmpty() const { return !m_box; }
    // True for the empty value and for a box that reports null.
    bool IsNull() const;
    // The static type; the void record for the empty value.
    const CTypeInfo* GetType() const { return m_type ? m_type : TypeOf<void>(); }
    // The box's dynamic type when the value was made (the run-time class of
    // a pointed-to object), else null.
    const CTypeInfo* GetDynamicType() const { return m_dynamicType; }
    const CInstanceBoxBase* GetBox() const { return m_box.get(); }

    // True when one of the box's views is exactly CInstance<P>.
    template <class P>
    bool Holds() const;

    // Takes an X out: the first of views 1, 2, 3 that is exactly
    // CInstance<X> gives it; otherwise the value is converted once to X
    // (without reference) and read again. Empty values throw
    // CEmptyValueException; a missing path throws the integer 1, and so do
    // object-reference forms that would need a conversion.
    template <class X>
    Detail::ExtractResult<X> GetAs() const;
    template <class X>
    Detail::ExtractResult<X> Get() const {
        return GetAs<X>();
    }

    // A new value of the target type: a copy for the same type, else along
    // a converter path. Empty: CEmptyValueException; no path: the integer 1.
    CValue ConvertTo(const CTypeInfo* target) const;
    // As ConvertTo, but gives the empty value when there is no conversion;
    // a const pointer asked for as a non-const pointer has none.
    CValue TryConvertTo(const CTypeInfo* target) const;

    // Compares with the comparator of this value's type, else the other's;
    // the operand of the other type is first converted to the comparator's
    // type. Two empty values are equal, one empty one is not. No comparator:
    // CComparisonNotPermittedException.
    bool Equals(const CValue& other) const;
    // The comparator's order under the same rules; an empty operand throws
    // CEmptyValueException.
    bool LessOrEqual(const CValue& other) const;
    // This value minus the other, by the calculator of this value's type,
    // else the other's, with the same operand rules. No calculator:
    // CCalculationNotPermittedException.
    CValue Subtract(const CValue& other) const;

    // A counted value of the object a T* value points to, when its class has
    // a counted form; else the empty value.
    CValue GetCountedValue() const;

    // How many values the calling thread made from a value or a box. Kept
    // per thread: a shared counter would cost every value a locked add.
    static std::uint64_t GetMadeCount() { return s_made; }

private:
    void Adopt(std::unique_ptr<CInstanceBoxBase> box);
    // The rare path, kept out of line so that the view lookup inlines into
    // its callers.
    template <class X>
    [[gnu::noinline]] Detail::ExtractResult<X> GetAsConverted() const;

    static inline thread_local std::uint64_t s_made = 0;

    std::unique_ptr<CInstanceBoxBase> m_box;
    const CTypeInfo* m_type = nullptr;
    const CTypeInfo* m_dynamicType = nullptr;
};

inline void swap(CValue& a, CValue& b) noexcept {
    a.swap(b);
}

// ---- views --------------------------------------------------------------

class CValue::CInstanceBase {
public:
    virtual ~CInstanceBase() = default;
    virtual std::unique_ptr<CInstanceBase> Clone() const = 0;
    // True when this view is exactly CInstance<X>. The libraries are linked
    // statically, so each view class has one type record in the program and
    // comparing their addresses suffices (a dynamic_cast would walk the
    // class hierarchy).
    template <class X>
    bool Is() const {
        return &typeid(*this) == &typeid(CInstance<X>);
    }
};

// Holds the value itself.
template <class X>
class CValue::CInstance final : public CValue::CInstanceBase {
public:
    explicit CInstance(X value) : m_value(std::move(value)) {}
    const X& Get() const { return m_value; }
    X& Ref() { return m_value; }
    std::unique_ptr<CInstanceBase> Clone() const override { return std::make_unique<CInstance>(m_value); }

private:
    X m_value;
};

// Refers to the value held by view 1 of the same box.
template <class U>
class CValue::CInstance<U&> final : public CValue::CInstanceBase {
public:
    explicit CInstance(U* target) : m_target(target) {}
    U& Get() const { return *m_target; }
    std::unique_ptr<CInstanceBase> Clone() const override { return std::make_unique<CInstance>(m_target); }

private:
    U* m_target;
};

// Holds one counted reference.
template <class T>
class CValue::CInstance<Engine::ref_ptr<T>> final : public CValue::CInstanceBase {
public:
    explicit CInstance(Engine::ref_ptr<T> object) : m_object(std::move(object)) {}
    // A release that would take the count below zero cannot leave a value's
    // destruction (values live in containers); it is logged instead.
    ~CInstance() noexcept override {
        try {
            m_object.Release();
        } catch (...) {
            Detail::ReportFailedRelease();
        }
    }
    const Engine::ref_ptr<T>& Get() const { return m_object; }
    std::unique_ptr<CInstanceBase> Clone() const override { return std::make_unique<CInstance>(m_object); }

private:
    Engine::ref_ptr<T> m_object;
};

// ---- boxes --------------------------------------------------------------

class CValue::CInstanceBoxBase {
public:
    CInstanceBoxBase(const CInstanceBoxBase&) = delete;
    CInstanceBoxBase& operator=(const CInstanceBoxBase&) = delete;
    virtual ~CInstanceBoxBase() = default;

    static void* operator new(std::size_t size) { return CBoxCache::Allocate(size); }
    static void operator delete(void* memory, std::size_t size) noexcept { CBoxCache::Free(memory, size); }
    // Boxes of over-aligned values bypass the cache.
    static void* operator new(std::size_t size, std::align_val_t alignment) { return ::operator new(size, alignment); }
    static void operator delete(void* memory, std::size_t size, std::align_val_t alignment) noexcept {
        ::operator delete(memory, size, alignment);
    }

    // A new counted box of the same object, where the box offers one.
    virtual std::unique_ptr<CInstanceBoxBase> GetObjectPtr() const { return nullptr; }
    virtual std::unique_ptr<CInstanceBoxBase> Clone() const = 0;
    virtual const CTypeInfo* GetStaticType() const = 0;
    virtual const CTypeInfo* GetDynamicType() const { return nullptr; }
    virtual bool IsNull() const = 0;
    virtual const void* GetRawPointer() const { return nullptr; }
    // A const pointer box of the same object, for a non-const pointer box.
    virtual std::unique_ptr<CInstanceBoxBase> GetConstPointer() const { return nullptr; }

    // View 1, 2 or 3 (index 0..2); null when absent.
    const CInstanceBase* GetView(int index) const { return m_views[size_t(index)]; }
    template <class X>
    const CInstance<X>* FindView() const {
        for (const CInstanceBase* view : m_views)
            if (view && view->Is<X>()) return static_cast<const CInstance<X>*>(view);
        return nullptr;
    }

protected:
    CInstanceBoxBase() = default;
    void SetViews(const CInstanceBase* v1, const CInstanceBase* v2, const CInstanceBase* v3) { m_views = {v1, v2, v3}; }

private:
    // The views live inside the derived box; one allocation per box.
    std::array<const CInstanceBase*, 3> m_views{};
};

// A value held by copy. Never null.
template <class T>
class CValue::CInstanceBox final : public CValue::CInstanceBoxBase {
public:
    explicit CInstanceBox(T value) : m_value(std::move(value)), m_ref(&m_value.Ref()), m_constRef(&m_value.Ref()) {
        SetViews(&m_value, &m_ref, &m_constRef);
    }
    std::unique_ptr<CInstanceBoxBase> Clone() const override {
        auto copy = std::make_unique<CInstanceBox>(m_value.Get());
        copy->m_null = m_null;
        return copy;
    }
    const CTypeInfo* GetStaticType() const override { return TypeOf<T>(); }
    bool IsNull() const override { return m_null; }

private:
    CInstance<T> m_value;
    CInstance<T&> m_ref;
    CInstance<const T&> m_constRef;
    bool m_null = false;
};

// A T* or const T*. Never owns or counts the object.
template <class P>
class CValue::CPtrInstanceBox final : public CValue::CInstanceBoxBase {
    static_assert(std::is_pointer_v<P>);
    using Pointee = std::remove_pointer_t<P>;
    using Class = std::remove_cv_t<Pointee>;

public:
    explicit CPtrInstanceBox(P pointer) : m_pointer(pointer), m_ref(&m_pointer.Ref()), m_constRef(&m_pointer.Ref()) {
        SetViews(&m_pointer, &m_ref, &m_constRef);
    }
    std::unique_ptr<CInstanceBoxBase> GetObjectPtr() const override;
    std::unique_ptr<CInstanceBoxBase> Clone() const override { return std::make_unique<CPtrInstanceBox>(GetPointer()); }
    const CTypeInfo* GetStaticType() const override { return TypeOf<P>(); }
    // The record of the object's run-time class; the pointee's own record
    // for a class without virtual functions; null for a null pointer.
    const CTypeInfo* GetDynamicType() const override {
        if (!GetPointer()) return nullptr;
        if constexpr (std::is_polymorphic_v<Class>)
            return CTypeRegistry::Instance().GetTypeInfo(typeid(*GetPointer()));
        else
            return TypeOf<Class>();
    }
    bool IsNull() const override { return GetPointer() == nullptr; }
    const void* GetRawPointer() const override { return GetPointer(); }
    std::unique_ptr<CInstanceBoxBase> GetConstPointer() const override {
        if constexpr (std::is_const_v<Pointee>) return nullptr;
        else return std::make_unique<CPtrInstanceBox<const Pointee*>>(GetPointer());
    }
    P GetPointer() const { return m_pointer.Get(); }
    const CInstance<P>& GetPointerView() const { return m_pointer; }

private:
    CInstance<P> m_pointer;
    CInstance<P&> m_ref;
    CInstance<P const&> m_constRef;
};

// One counted reference to an object. Its null test reports its flag, so it
// answers "not null" even for a null pointer, as its users expect.
template <class T>
class CValue::CRefPtrInstanceBox final : public CValue::CInstanceBoxBase {
public:
    explicit CRefPtrInstanceBox(Engine::ref_ptr<T> object) : m_object(std::move(object)) {
        SetViews(&m_object, nullptr, nullptr);
    }
    static std::unique_ptr<CRefPtrInstanceBox> Create(const CInstance<T*>& pointerView) {
        return std::make_unique<CRefPtrInstanceBox>(Engine::ref_ptr<T>(pointerView.Get()));
    }
    std::unique_ptr<CInstanceBoxBase> Clone() const override {
        auto copy = std::make_unique<CRefPtrInstanceBox>(m_object.Get());
        copy->m_null = m_null;
        return copy;
    }
    const CTypeInfo* GetStaticType() const override { return TypeOf<Engine::ref_ptr<T>>(); }
    bool IsNull() const override { return m_null; }
    const void* GetRawPointer() const override { return m_object.Get().get(); }

private:
    CInstance<Engine::ref_ptr<T>> m_object;
    bool m_null = false;
};

template <class P>
std::unique_ptr<CValue::CInstanceBoxBase> CValue::CPtrInstanceBox<P>::GetObjectPtr() const {
    if constexpr (!std::is_const_v<Pointee> && std::is_base_of_v<Engine::CReferenced, Class>) {
        if (TypeOf<Class>()->HasRefPtrForm()) return CRefPtrInstanceBox<Class>::Create(m_pointer);
    }
    return nullptr;
}

// ---- CValue templates ---------------------------------------------------

template <class T>
    requires(!std::is_same_v<std::remove_cvref_t<T>, CValue>)
CValue::CValue(const T& value) {
    // A string literal would otherwise become a char pointer.
    static_assert(!std::is_array_v<T> && !std::is_same_v<T, std::nullptr_t>, "box a typed pointer or a value");
    if constexpr (std::is_pointer_v<T>)
        Adopt(std::make_unique<CPtrInstanceBox<T>>(value));
    else if constexpr (Detail::RefPtrTraits<T>::value)
        Adopt(std::make_unique<CRefPtrInstanceBox<typename Detail::RefPtrTraits<T>::Pointee>>(value));
    else {
        // A box held by copy has no dynamic type and its static type is
        // known here: no need to ask the box.
        m_box = std::make_unique<CInstanceBox<T>>(value);
        m_type = TypeOf<T>();
        ++s_made;
    }
}

template <class P>
bool CValue::Holds() const {
    return m_box && m_box->FindView<P>() != nullptr;
}

template <class X>
Detail::ExtractResult<X> CValue::GetAs() const {
    if (!m_box) throw CEmptyValueException();
    if (auto* view = m_box->FindView<X>()) return view->Get();
    return GetAsConverted<X>();
}

template <class X>
Detail::ExtractResult<X> CValue::GetAsConverted() const {
    using Target = std::remove_cvref_t<X>;
    if constexpr (std::is_reference_v<X> && !std::is_pointer_v<Target>) {
        // A reference into a converted temporary would dangle.
        ThrowNoConversion();
    } else {
        const CValue converted = ConvertTo(TypeOf<Target>());
        if (auto* view = converted.m_box->FindView<X>()) return view->Get();
        ThrowNoConversion();
    }
}

} // namespace Engine::Reflection
