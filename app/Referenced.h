#pragma once
// Intrusive reference counting for engine objects.

#include <cstdint>
#include <exception>
#include <functional>
#include <utility>

namespace Engine {

// Base of every reference-counted engine object. A new object has count 0;
// the release that brings it back to 0 deletes it. Counts are not atomic:
// engine objects are shared on the main thread only.
class CReferenced {
public:
    CReferenced() = default;
    CReferenced(const CReferenced&) : m_nRefCount(0) {}
    CReferenced& operator=(const CReferenced&) { return *this; }
    // Throws the integer 1 when destroyed while still referenced, unless an
    // exception is already unwinding the stack (then it only logs).
    virtual ~CReferenced() noexcept(false);

    void AddRef() { ++m_nRefCount; }
    // Releases one reference and deletes the object at 0; a count that
    // would fall below 0 throws the integer 1.
    void Release();
    // As Release, but logs instead of throwing (for destructors).
    void ReleaseFromDestructor() noexcept;
    int32_t GetRefCount() const { return m_nRefCount; }

private:
    int32_t m_nRefCount = 0;
};

template <class T>
class ref_ptr {
public:
    ref_ptr() = default;
    ref_ptr(std::nullptr_t) {}
    ref_ptr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    ref_ptr(const ref_ptr& other) : ref_ptr(other.m_p) {}
    ref_ptr(ref_ptr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ref_ptr(const ref_ptr<U>& other) : ref_ptr(other.get()) {}
    // A destructor must not throw: an over-release found here is logged.
    ~ref_ptr() {
        if (T* old = std::exchange(m_p, nullptr)) old->ReleaseFromDestructor();
    }

    // Adds the new reference before releasing the old one, so reassigning an
    // object that only this pointer keeps alive is safe.
    ref_ptr& operator=(T* p) {
        if (p == m_p) return *this;
        if (p) p->AddRef();
        T* old = std::exchange(m_p, p);
        if (old) old->Release();
        return *this;
    }
    ref_ptr& operator=(const ref_ptr& other) { return *this = other.m_p; }
    ref_ptr& operator=(ref_ptr&& other) {
        if (this != &other) {
            T* old = std::exchange(m_p, std::exchange(other.m_p, nullptr));
            if (old) old->Release();
        }
        return *this;
    }
    ref_ptr& operator=(std::nullptr_t) { Release(); return *this; }

    // Drops the held reference; the pointer is cleared before the release so
    // a throwing release never leaves it set.
    void Release() {
        if (T* old = std::exchange(m_p, nullptr)) old->Release();
    }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    friend bool operator==(const ref_ptr& a, const ref_ptr& b) { return a.m_p == b.m_p; }
    friend bool operator==(const ref_ptr& a, const T* b) { return a.m_p == b; }
    friend bool operator==(const ref_ptr& a, std::nullptr_t) { return a.m_p == nullptr; }
    friend bool operator<(const ref_ptr& a, const ref_ptr& b) { return std::less<T*>()(a.m_p, b.m_p); }

private:
    T* m_p = nullptr;
};

// Casts a held object to a derived class; throws the integer 1 when the
// object is not of that class.
template <class To, class From>
ref_ptr<To> DynamicRefCast(const ref_ptr<From>& p) {
    if (!p) return nullptr;
    To* cast = dynamic_cast<To*>(p.get());
    if (!cast) throw 1;
    return ref_ptr<To>(cast);
}

} // namespace Engine
