#pragma once
// One effect file's key tables, packed into a few large blocks that every
// curve and gradient read from the file shares: a curve holds no allocation
// of its own, so letting go of it is one count taken down, and the blocks go
// with the last curve. Blocks grow with what the file has asked for, from a
// few pages to 1 MiB, so a small file keeps little spare room; an array
// larger than an eighth of the block being filled gets a block of its own
// (that one keeps filling), so no block but the last is left more than an
// eighth empty.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <span>
#include <type_traits>
#include <vector>

#include "particles/library/KeyTable.h"

namespace VexaParticles {

class CKeyStore {
public:
    CKeyStore() = default;
    CKeyStore(const CKeyStore&) = delete;
    CKeyStore& operator=(const CKeyStore&) = delete;

    // Room for count items, kept as long as any table of the store, none of
    // them made: a reader makes each (std::construct_at) as it reads it.
    template <class T>
    std::span<T> Room(size_t count) {
        static_assert(std::is_trivially_destructible_v<T> && alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
        if (count == 0) return {};
        return {static_cast<T*>(Take(count * sizeof(T), alignof(T))), count};
    }

    // count default-made items, kept as Room's.
    template <class T>
    std::span<T> Allocate(size_t count) {
        const std::span<T> items = Room<T>(count);
        std::uninitialized_default_construct_n(items.data(), count);
        return items;
    }

    // A table over keys of this store, held with the store's blocks; null
    // without keys.
    template <class Key, class Point = Key>
    std::shared_ptr<const CKeyTable<Key, Point>> MakeTable(std::span<const Key> keys) {
        using CTable = CKeyTable<Key, Point>;
        static_assert(std::is_trivially_destructible_v<CTable>);
        if (keys.empty()) return nullptr;
        void* at = Take(sizeof(CTable), alignof(CTable));
        const auto* table = new (at) CTable(keys, *this);
        return {m_owner, table};
    }

private:
    static constexpr size_t kFirstBlockBytes = size_t(16) << 10;
    static constexpr size_t kLastBlockBytes = size_t(1) << 20;

    struct CBlocks {
        std::vector<std::unique_ptr<std::byte[]>> blocks;
    };

    void* Take(size_t bytes, size_t align) {
        const size_t at = (m_used + align - 1) / align * align;
        if (at + bytes <= m_capacity) {
            m_used = at + bytes;
            return m_block + at;
        }
        // What did not fit is at most an eighth of the block it leaves.
        if (bytes > std::max(m_capacity, kFirstBlockBytes) / 8) return NewBlock(bytes);
        const size_t next = std::clamp(m_held, kFirstBlockBytes, kLastBlockBytes);
        m_block = NewBlock(next);
        m_capacity = next;
        m_used = bytes;
        return m_block;
    }

    std::byte* NewBlock(size_t bytes) {
        if (!m_owner) m_owner = std::make_shared<CBlocks>();
        m_owner->blocks.push_back(std::make_unique_for_overwrite<std::byte[]>(bytes));
        m_held += bytes;
        return m_owner->blocks.back().get();
    }

    std::shared_ptr<CBlocks> m_owner;  // null until the first array
    std::byte* m_block = nullptr;      // the block being filled
    size_t m_used = 0;
    size_t m_capacity = 0;
    size_t m_held = 0;  // bytes of every block
};

// A table over copies of keys made outside a file (tools, tests), in a
// store of its own. Null without keys.
template <class Key, class Point = Key>
std::shared_ptr<const CKeyTable<Key, Point>> OwnKeyTable(std::span<const Key> keys) {
    CKeyStore store;
    const std::span<Key> copies = store.Allocate<Key>(keys.size());
    std::copy(keys.begin(), keys.end(), copies.begin());
    return store.MakeTable<Key, Point>(std::span<const Key>(copies));
}

} // namespace VexaParticles
