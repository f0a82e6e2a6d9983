#pragma once
// A pack's lookup index: key -> entry number, in one open-addressed table of
// (hash tag, number) slots. The keys stay with the entries and are compared
// only when two hashes agree. A node and a key string per name made a pack of
// millions of entries spend its opening and closing on cache misses and frees.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace Engine {

class CPackNameIndex {
public:
    CPackNameIndex() { Reset(0); }

    // Drops every key and makes room for up to count of them.
    void Reset(size_t count);

    // The hash a key is inserted and found by.
    static size_t Hash(std::string_view key) { return std::hash<std::string_view>{}(key); }

    // Starts fetching the slot that a key of that hash is first probed at.
    void Prefetch(size_t hash) const { __builtin_prefetch(&m_slots[hash & (m_slots.size() - 1)]); }

    // Indexes number under the key of that hash, unless a number is indexed
    // under it already (false then: the first stays). hasKey(indexed) tells
    // whether an indexed number's key is the key. Throws std::length_error
    // beyond the room of Reset.
    template <class HasKey>
    bool Insert(size_t hash, uint32_t number, const HasKey& hasKey) {
        CSlot& slot = m_slots[SlotFor(hash, hasKey)];
        if (slot.number != kFree) return false;
        CheckRoom();
        slot = {Tag(hash), number};
        ++m_count;
        return true;
    }

    // The number indexed under the key of that hash, or null.
    template <class HasKey>
    const uint32_t* Find(size_t hash, const HasKey& hasKey) const {
        const CSlot& slot = m_slots[SlotFor(hash, hasKey)];
        return slot.number == kFree ? nullptr : &slot.number;
    }

    size_t GetCount() const { return m_count; }

private:
    static constexpr uint32_t kFree = UINT32_MAX;
    struct CSlot {
        uint32_t tag = 0;
        uint32_t number = kFree;
    };

    static uint32_t Tag(size_t hash) { return uint32_t(uint64_t(hash) >> 32); }
    void CheckRoom() const;

    // The slot holding key's number, or the free slot where it would go.
    template <class HasKey>
    size_t SlotFor(size_t hash, const HasKey& hasKey) const {
        const size_t mask = m_slots.size() - 1;
        const uint32_t tag = Tag(hash);
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            const CSlot& slot = m_slots[at];
            if (slot.number == kFree || (slot.tag == tag && hasKey(slot.number))) return at;
        }
    }

    std::vector<CSlot> m_slots;
    size_t m_count = 0;
    size_t m_room = 0;
};

} // namespace Engine
