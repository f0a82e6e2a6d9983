#pragma once
// Values kept in the order they were added, where the item each value holds
// knows its own place in the list: adding, finding and taking out one cost
// constant time (amortised) and allocate nothing per value, however many
// the list holds, where a plain list would search and shift. The places of
// values taken out are closed up, in order, once they outnumber the living
// ones. An item is held by at most one list of a kind at a time, and a list
// is asked only about living items.
//
// ItemOf(const Value&) gives the value's item, null for an empty value;
// Slot is the item's member that stores its place.

#include <cstddef>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/Referenced.h"

namespace Engine::Graphics {

template <class Value, auto ItemOf, auto Slot>
class CSlotList {
public:
    using Item = std::remove_pointer_t<decltype(ItemOf(std::declval<const Value&>()))>;

    void Add(Value value) {
        ItemOf(value)->*Slot = m_values.size();
        m_values.push_back(std::move(value));
        ++m_count;
    }
    // The item's value, or null when this list does not hold it.
    Value* Find(const Item* item) {
        if (!item) return nullptr;
        const size_t slot = item->*Slot;
        return slot < m_values.size() && ItemOf(m_values[slot]) == item ? &m_values[slot] : nullptr;
    }
    // Takes the item's value out (an empty value when not held); the caller
    // destroys it, with the list already whole.
    Value Take(const Item* item) {
        Value* held = Find(item);
        if (!held) return Value{};
        Value taken = std::exchange(*held, Value{});
        --m_count;
        CloseGapsWhenSparse();
        return taken;
    }
    // Calls visit(value) for each value held when the walk began, in order,
    // skipping those taken out meanwhile; values added meanwhile come after
    // them and are not visited. The places stay put until it ends; a visit
    // that may add takes its value by copy, as adding may move the values.
    template <class Visit>
    void ForEach(Visit visit) {
        struct CWalk {
            CSlotList* list;
            explicit CWalk(CSlotList* l) : list(l) { ++list->m_walks; }
            ~CWalk() {
                --list->m_walks;
                list->CloseGapsWhenSparse();
            }
        } walk(this);
        const size_t end = m_values.size();
        for (size_t i = 0; i < end; ++i)
            if (ItemOf(m_values[i])) visit(m_values[i]);
    }
    // The same walk, for a visit that changes nothing in the list.
    template <class Visit>
    void ForEach(Visit visit) const {
        for (const Value& value : m_values)
            if (ItemOf(value)) visit(value);
    }
    // The living values in order; the list is empty afterwards.
    std::vector<Value> TakeAll() {
        CloseGaps();
        m_count = 0;
        return std::exchange(m_values, {});
    }
    size_t GetCount() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

private:
    // Below this many places the gaps are left for TakeAll.
    static constexpr size_t kMinSlotsToClose = 64;

    void CloseGapsWhenSparse() {
        if (m_walks == 0 && m_values.size() >= kMinSlotsToClose && m_count < m_values.size() / 2) CloseGaps();
    }
    void CloseGaps() {
        size_t kept = 0;
        for (Value& value : m_values) {
            if (!ItemOf(value)) continue;
            ItemOf(value)->*Slot = kept;
            if (&m_values[kept] != &value) m_values[kept] = std::move(value);
            ++kept;
        }
        m_values.resize(kept);
    }

    std::vector<Value> m_values;  // empty where a value was taken out
    size_t m_count = 0;
    int m_walks = 0;
};

// ItemOf for lists of plain and of counted pointers.
template <class T>
T* PlainPointee(T* const& pointer) {
    return pointer;
}
template <class T>
T* CountedPointee(const ref_ptr<T>& pointer) {
    return pointer.get();
}

} // namespace Engine::Graphics
