#pragma once
// CValue: a boxed value of any registered type. The box offers its content
// through up to three views (the value, a reference to it, a const
// reference), and typed extraction probes those views before it converts.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <memory>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "app/Referenced.h"
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
    template <class Box>
    class CInstanceBoxImpl;
    template <class T>
    class CInstanceBox;
    template <class P>
    class CPtrInstanceBox;
    template <class T>
    class CRefPtrInstanceBox;

    // The empty value: no box, the void type.
    CValue() noexcept {}
    // Boxes a copy: a pointer in a pointer box (which never owns the
    // object), a ref_ptr in a counted box, anything else by value.
    template <class T>
        requires(!std::is_same_v<std::remove_cvref_t<T>, CValue>)
    explicit CValue(const T& value);
    // Adopts a box (null gives the empty value).
    explicit CValue(std::unique_ptr<CInstanceBoxBase> box);

    CValue(const CValue& other);
    CValue(CValue&& other) noexcept { TakeFrom(other); }
    CValue& operator=(const CValue& other);
    CValue& operator=(CValue&& other) noexcept;
    ~CValue() { DestroyBox(); }
    void swap(CValue& other) noexcept;

    bool IsEmpty() const { return !m_box; }
    // True for the empty value and for a box that reports null.
    bool IsNull() const;
    // The static type; the void record for the empty value.
    const CTypeInfo* GetType() const { return m_type ? m_type : TypeOf<void>(); }
    // The box's dynamic type when the value was made (the run-time class of
    // a pointed-to object), else null.
    const CTypeInfo* GetDynamicType() const { return m_dynamicType; }
    const CInstanceBoxBase* GetBox() const { return m_box; }
    // True when the box lives inside the value rather than on the heap.
    bool IsInline() const { return static_cast<const void*>(m_box) == m_storage; }

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

    // How many values the process made from a value or a box, on any
    // thread.
    static std::uint64_t GetMadeCount() { return s_made.load(std::memory_order_relaxed); }

private:
    // Boxes of the built-in and geometry types, pointers and counted
    // references fit here, so making and dropping such a value costs no
    // allocation. A box moves with its value, so only boxes whose content
    // moves without throwing are kept inline.
    static constexpr std::size_t INLINE_SIZE = 88;
    template <class Box>
    static constexpr bool FITS_INLINE = sizeof(Box) <= INLINE_SIZE && alignof(Box) <= alignof(std::max_align_t) &&
                                        std::is_nothrow_move_constructible_v<typename Box::Payload>;

    // Builds a box in this (empty) value: inline when it fits, else on the
    // heap.
    template <class Box, class... Args>
    Box* Emplace(Args&&... args);
    // Takes the other's box and types; this value must hold no box.
    void TakeFrom(CValue& other) noexcept;
    void DestroyBox() noexcept;
    void Adopt(std::unique_ptr<CInstanceBoxBase> box);
    // The rare path, kept out of line so that the view lookup inlines into
    // its callers.
    template <class X>
    [[gnu::noinline]] Detail::ExtractResult<X> GetAsConverted() const;

    // Counts only: no other memory is ordered by it.
    static void CountMade() { s_made.fetch_add(1, std::memory_order_relaxed); }
    static inline std::atomic<std::uint64_t> s_made{0};

    alignas(std::max_align_t) std::byte m_storage[INLINE_SIZE];
    // The type words are kept apart so that a move copies them one by one:
    // reading both as a pair right after two single writes stalls.
    const CTypeInfo* m_type = nullptr;
    CInstanceBoxBase* m_box = nullptr;  // into m_storage, or owned on the heap
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
    explicit CInstance(const X& value) : m_value(value) {}
    explicit CInstance(X&& value) noexcept(std::is_nothrow_move_constructible_v<X>) : m_value(std::move(value)) {}
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
    explicit CInstance(const Engine::ref_ptr<T>& object) : m_object(object) {}
    explicit CInstance(Engine::ref_ptr<T>&& object) noexcept : m_object(std::move(object)) {}
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
    Engine::ref_ptr<T>& Ref() { return m_object; }
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

    // A new counted box of the same object, where the box offers one.
    virtual std::unique_ptr<CInstanceBoxBase> GetObjectPtr() const { return nullptr; }
    // Builds a copy that shares nothing with this box in the empty target.
    virtual void CloneInto(CValue& target) const = 0;
    virtual const CTypeInfo* GetStaticType() const = 0;
    virtual const CTypeInfo* GetDynamicType() const { return nullptr; }
    virtual bool IsNull() const = 0;
    virtual const void* GetRawPointer() const { return nullptr; }
    // A value holding a const pointer to the same object, for a non-const
    // pointer box; else the empty value.
    virtual CValue GetConstPointer() const { return CValue(); }

    // View 1, 2 or 3 (index 0..2); null when absent.
    const CInstanceBase* GetView(int index) const { return ViewAt(m_viewOffsets[size_t(index)]); }
    template <class X>
    const CInstance<X>* FindView() const {
        for (std::uint16_t offset : m_viewOffsets)
            if (const CInstanceBase* view = ViewAt(offset); view && view->Is<X>())
                return static_cast<const CInstance<X>*>(view);
        return nullptr;
    }

protected:
    CInstanceBoxBase() = default;
    explicit CInstanceBoxBase(bool null) : m_null(null) {}
    // The views live inside the derived box (one block per box), so their
    // places are kept as offsets: they stay right when the box is rebuilt
    // elsewhere.
    void SetViews(const CInstanceBase* v1, const CInstanceBase* v2, const CInstanceBase* v3) {
        m_viewOffsets = {OffsetOf(v1), OffsetOf(v2), OffsetOf(v3)};
    }

    // The null flag of value and counted boxes, copied by their clones.
    bool m_null = false;

private:
    // Moves an inline box into the empty target's storage and ends this one.
    virtual void MoveInto(CValue& target) noexcept = 0;
    friend class CValue;

    std::uint16_t OffsetOf(const CInstanceBase* view) const {
        return view ? std::uint16_t(reinterpret_cast<const char*>(view) - reinterpret_cast<const char*>(this)) : 0;
    }
    const CInstanceBase* ViewAt(std::uint16_t offset) const {
        return offset ? reinterpret_cast<const CInstanceBase*>(reinterpret_cast<const char*>(this) + offset) : nullptr;
    }

    // Byte offsets from the box; 0 for an absent view.
    std::array<std::uint16_t, 3> m_viewOffsets{};
};

// Copying and moving, shared by the boxes: each box's copy and move
// constructors rebuild its views on the new place.
template <class Box>
class CValue::CInstanceBoxImpl : public CValue::CInstanceBoxBase {
public:
    void CloneInto(CValue& target) const override { target.Emplace<Box>(static_cast<const Box&>(*this)); }

protected:
    using CInstanceBoxBase::CInstanceBoxBase;

private:
    void MoveInto(CValue& target) noexcept override {
        if constexpr (FITS_INLINE<Box>) {
            Box& self = static_cast<Box&>(*this);
            target.m_box = ::new (static_cast<void*>(target.m_storage)) Box(std::move(self));
            self.~Box();
        }
    }
};

// A value held by copy. Never null.
template <class T>
class CValue::CInstanceBox final : public CValue::CInstanceBoxImpl<CValue::CInstanceBox<T>> {
public:
    using Payload = T;
    explicit CInstanceBox(const T& value) : m_value(value) { Link(); }
    CInstanceBox(const CInstanceBox& other)
        : CInstanceBoxImpl<CInstanceBox>(other.m_null), m_value(other.m_value.Get()) {
        Link();
    }
    CInstanceBox(CInstanceBox&& other) noexcept(std::is_nothrow_move_constructible_v<T>)
        : CInstanceBoxImpl<CInstanceBox>(other.m_null), m_value(std::move(other.m_value.Ref())) {
        Link();
    }
    const CTypeInfo* GetStaticType() const override { return TypeOf<T>(); }
    bool IsNull() const override { return this->m_null; }

private:
    void Link() { this->SetViews(&m_value, &m_ref, &m_constRef); }

    CInstance<T> m_value;
    CInstance<T&> m_ref{&m_value.Ref()};
    CInstance<const T&> m_constRef{&m_value.Ref()};
};

// A T* or const T*. Never owns or counts the object.
template <class P>
class CValue::CPtrInstanceBox final : public CValue::CInstanceBoxImpl<CValue::CPtrInstanceBox<P>> {
    static_assert(std::is_pointer_v<P>);
    using Pointee = std::remove_pointer_t<P>;
    using Class = std::remove_cv_t<Pointee>;

public:
    using Payload = P;
    explicit CPtrInstanceBox(P pointer) : m_pointer(pointer) { Link(); }
    CPtrInstanceBox(const CPtrInstanceBox& other) : CPtrInstanceBox(other.GetPointer()) {}
    CPtrInstanceBox(CPtrInstanceBox&& other) noexcept : CPtrInstanceBox(other.GetPointer()) {}
    std::unique_ptr<CInstanceBoxBase> GetObjectPtr() const override;
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
    CValue GetConstPointer() const override;
    // The box's second raw-pointer entry: the pointer, as GetRawPointer.
    virtual P GetPointer() const { return m_pointer.Get(); }
    const CInstance<P>& GetPointerView() const { return m_pointer; }

private:
    void Link() { this->SetViews(&m_pointer, &m_ref, &m_constRef); }

    CInstance<P> m_pointer;
    CInstance<P&> m_ref{&m_pointer.Ref()};
    CInstance<P const&> m_constRef{&m_pointer.Ref()};
};

// One counted reference to an object. Its null test reports its flag, so it
// answers "not null" even for a null pointer, as its users expect.
template <class T>
class CValue::CRefPtrInstanceBox final : public CValue::CInstanceBoxImpl<CValue::CRefPtrInstanceBox<T>> {
public:
    using Payload = Engine::ref_ptr<T>;
    explicit CRefPtrInstanceBox(Engine::ref_ptr<T> object) : m_object(std::move(object)) { Link(); }
    CRefPtrInstanceBox(const CRefPtrInstanceBox& other)
        : CInstanceBoxImpl<CRefPtrInstanceBox>(other.m_null), m_object(other.m_object.Get()) {
        Link();
    }
    CRefPtrInstanceBox(CRefPtrInstanceBox&& other) noexcept
        : CInstanceBoxImpl<CRefPtrInstanceBox>(other.m_null), m_object(std::move(other.m_object.Ref())) {
        Link();
    }
    static std::unique_ptr<CRefPtrInstanceBox> Create(const CInstance<T*>& pointerView) {
        return std::make_unique<CRefPtrInstanceBox>(Engine::ref_ptr<T>(pointerView.Get()));
    }
    const CTypeInfo* GetStaticType() const override { return TypeOf<Engine::ref_ptr<T>>(); }
    bool IsNull() const override { return this->m_null; }
    const void* GetRawPointer() const override { return m_object.Get().get(); }

private:
    void Link() { this->SetViews(&m_object, nullptr, nullptr); }

    CInstance<Engine::ref_ptr<T>> m_object;
};

template <class P>
std::unique_ptr<CValue::CInstanceBoxBase> CValue::CPtrInstanceBox<P>::GetObjectPtr() const {
    if constexpr (!std::is_const_v<Pointee> && std::is_base_of_v<Engine::CReferenced, Class>) {
        if (TypeOf<Class>()->HasRefPtrForm()) return CRefPtrInstanceBox<Class>::Create(m_pointer);
    }
    return nullptr;
}

template <class P>
CValue CValue::CPtrInstanceBox<P>::GetConstPointer() const {
    if constexpr (std::is_const_v<Pointee>)
        return CValue();
    else
        return CValue(static_cast<const Pointee*>(GetPointer()));
}

// ---- CValue templates ---------------------------------------------------

template <class T>
    requires(!std::is_same_v<std::remove_cvref_t<T>, CValue>)
CValue::CValue(const T& value) {
    // A string literal would otherwise become a char pointer.
    static_assert(!std::is_array_v<T> && !std::is_same_v<T, std::nullptr_t>, "box a typed pointer or a value");
    // The static type is known here: no need to ask the box.
    if constexpr (std::is_pointer_v<T>) {
        m_dynamicType = Emplace<CPtrInstanceBox<T>>(value)->GetDynamicType();
    } else if constexpr (Detail::RefPtrTraits<T>::value) {
        Emplace<CRefPtrInstanceBox<typename Detail::RefPtrTraits<T>::Pointee>>(value);
    } else {
        Emplace<CInstanceBox<T>>(value);
    }
    m_type = TypeOf<T>();
    CountMade();
}

template <class Box, class... Args>
Box* CValue::Emplace(Args&&... args) {
    Box* box;
    if constexpr (FITS_INLINE<Box>)
        box = ::new (static_cast<void*>(m_storage)) Box(std::forward<Args>(args)...);
    else
        box = new Box(std::forward<Args>(args)...);
    m_box = box;
    return box;
}

inline void CValue::TakeFrom(CValue& other) noexcept {
    if (other.IsInline())
        other.m_box->MoveInto(*this);
    else
        m_box = other.m_box;
    other.m_box = nullptr;
    m_type = std::exchange(other.m_type, nullptr);
    m_dynamicType = std::exchange(other.m_dynamicType, nullptr);
}

inline void CValue::DestroyBox() noexcept {
    if (!m_box) return;
    if (IsInline())
        m_box->~CInstanceBoxBase();
    else
        delete m_box;
}

inline CValue& CValue::operator=(CValue&& other) noexcept {
    if (this != &other) {
        // A heap box may own the other value: it ends only after the take.
        // (An inline box is too small to hold a value.)
        CInstanceBoxBase* heapBox = IsInline() ? nullptr : std::exchange(m_box, nullptr);
        DestroyBox();
        m_box = nullptr;
        TakeFrom(other);
        delete heapBox;
    }
    return *this;
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
