#pragma once
// Memory for value boxes: each thread keeps a few recently freed blocks of
// each small size and hands them out again, so that a value made and
// dropped on every call (a property's result, a method's argument) costs no
// trip through the general allocator. Any block may be freed on any thread.

#include <cstddef>
#include <cstdint>
#include <new>

namespace Engine::Reflection {

class CBoxCache {
public:
    static void* Allocate(std::size_t size) {
        const std::size_t index = IndexOf(size);
        CLists& lists = s_lists;
        if (index < SIZES && lists.heads[index]) {
            CFreeBlock* block = lists.heads[index];
            lists.heads[index] = block->next;
            --lists.counts[index];
            return block;
        }
        return AllocateNew(index, size);
    }

    static void Free(void* memory, std::size_t size) noexcept {
        const std::size_t index = IndexOf(size);
        CLists& lists = s_lists;
        if (index < SIZES && lists.counts[index] < KEPT && lists.armed) {
            auto* block = static_cast<CFreeBlock*>(memory);
            block->next = lists.heads[index];
            lists.heads[index] = block;
            ++lists.counts[index];
            return;
        }
        FreeSlow(index, memory);
    }

private:
    static constexpr std::size_t STEP = 16;
    static constexpr std::size_t SIZES = 16;  // blocks up to 256 bytes are kept
    static constexpr std::uint8_t KEPT = 32;  // per size and thread

    struct CFreeBlock {
        CFreeBlock* next;
    };
    // Trivial, so it is never destroyed: a value freed after the thread's
    // cache was emptied at its exit still finds the closed flag.
    struct CLists {
        CFreeBlock* heads[SIZES];
        std::uint8_t counts[SIZES];
        bool armed;   // the thread's exit will empty the lists
        bool closed;  // emptied at exit: nothing is kept any more
    };

    static std::size_t IndexOf(std::size_t size) { return (size - 1) / STEP; }
    static void* AllocateNew(std::size_t index, std::size_t size);
    static void FreeSlow(std::size_t index, void* memory) noexcept;
    friend struct CBoxCacheDrain;

    static inline thread_local CLists s_lists{};
};

} // namespace Engine::Reflection
