#include "reflection/BoxCache.h"

#include <utility>

namespace Engine::Reflection {

// Empties the thread's lists when the thread ends.
struct CBoxCacheDrain {
    CBoxCacheDrain() = default;
    CBoxCacheDrain(const CBoxCacheDrain&) = delete;
    CBoxCacheDrain& operator=(const CBoxCacheDrain&) = delete;
    ~CBoxCacheDrain() {
        CBoxCache::CLists& lists = CBoxCache::s_lists;
        for (CBoxCache::CFreeBlock*& head : lists.heads)
            while (head) ::operator delete(std::exchange(head, head->next));
        lists.armed = false;
        lists.closed = true;
    }
    void Arm() { CBoxCache::s_lists.armed = true; }
};

namespace {
thread_local CBoxCacheDrain t_drain;
} // namespace

void* CBoxCache::AllocateNew(std::size_t index, std::size_t size) {
    // A kept size is allocated whole, so that the block can serve any box
    // of its size class later.
    return ::operator new(index < SIZES ? (index + 1) * STEP : size);
}

void CBoxCache::FreeSlow(std::size_t index, void* memory) noexcept {
    CLists& lists = s_lists;
    if (index < SIZES && !lists.armed && !lists.closed) {
        t_drain.Arm();
        Free(memory, index * STEP + 1);
        return;
    }
    ::operator delete(memory);
}

} // namespace Engine::Reflection
