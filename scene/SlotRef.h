#pragma once
// A counted reference held in an owner's slot. Curves and curve lists read
// from an archive are held by their slots alone, without a link, so the
// slot itself counts as a use of the object: losing its last dependent does
// not dispose of it while a slot holds it, and the slot that lets go last
// disposes of it (its links to its own curve lists would otherwise keep it
// alive for ever). An owner being disposed of may dispose of what no one
// but its own slot uses (a standard controller its curve lists). Disposal
// only unlinks: the object stays in its slots, so an owner still works
// through it until the slot lets go.

#include <utility>

#include "scene/ReferenceTarget.h"

namespace Engine::Scene {

template <class T>
class CSlotRef {
public:
    CSlotRef() = default;
    explicit CSlotRef(Engine::ref_ptr<T> object) : m_object(std::move(object)) {
        if (m_object) ++m_object->m_slotHolds;
    }
    CSlotRef(CSlotRef&& other) noexcept : m_object(std::move(other.m_object)) {}
    CSlotRef& operator=(CSlotRef&& other) noexcept {
        if (this != &other) {
            Drop();
            m_object = std::move(other.m_object);
        }
        return *this;
    }
    CSlotRef(const CSlotRef&) = delete;
    CSlotRef& operator=(const CSlotRef&) = delete;
    // Lets go without disposing; an owner's destructor calls Release first.
    ~CSlotRef() { Drop(); }

    // Lets go of the object and disposes of it when nothing else uses it.
    void Clear() {
        if (const Engine::ref_ptr<T> object = Take()) object->DisposeIfUnused();
    }

    // Clear for an owner's destructor: a failure is logged, never thrown.
    void Release() noexcept {
        if (const Engine::ref_ptr<T> object = Take()) object->DisposeIfUnusedFromDestructor();
    }

    // Disposes of the object, still held here, when this slot is its only
    // use.
    void DisposeIfHeldHereOnly() {
        const Engine::ref_ptr<T> object = m_object;
        if (object && !object->IsInUseBeyond(1)) object->Dispose();
    }

    const Engine::ref_ptr<T>& Get() const { return m_object; }
    T* get() const { return m_object.get(); }
    T* operator->() const { return m_object.get(); }
    explicit operator bool() const { return m_object != nullptr; }

private:
    // The object, no longer held by this slot.
    Engine::ref_ptr<T> Take() noexcept {
        Engine::ref_ptr<T> object = std::move(m_object);
        if (object) --object->m_slotHolds;
        return object;
    }
    void Drop() noexcept { Take(); }

    Engine::ref_ptr<T> m_object;
};

} // namespace Engine::Scene
