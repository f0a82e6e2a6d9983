#include "scene/ScenePool.h"

#include <cassert>
#include <memory_resource>
#include <thread>

namespace Engine::Scene {

namespace {

// GCC marks an AddressSanitizer build with __SANITIZE_ADDRESS__; clang only
// answers __has_feature, which GCC 12 lacks.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif
#else
constexpr bool kPooled = true;
#endif

// Larger blocks (long lists) come from the heap.
constexpr std::size_t kLargestPooledBlock = 1024;

// The standard library's pools: against a plain free list per size they
// measured twice as fast to let go of a big scene, since they keep what
// was read together close together after earlier scenes let go.
class CPools {
public:
    void* Allocate(std::size_t bytes, std::size_t alignment) {
        CheckThread();
        return m_pools.allocate(bytes, alignment);
    }
    void Deallocate(void* block, std::size_t bytes, std::size_t alignment) {
        CheckThread();
        m_pools.deallocate(block, bytes, alignment);
    }

private:
    // Scene objects live on one thread, the main one (their counts are not
    // atomic either), so the pools take no lock.
    void CheckThread() {
#ifndef NDEBUG
        if (m_owner == std::thread::id()) m_owner = std::this_thread::get_id();
        assert(m_owner == std::this_thread::get_id() && "scene objects belong to one thread");
#endif
    }

    std::pmr::unsynchronized_pool_resource m_pools{std::pmr::pool_options{0, kLargestPooledBlock}};
#ifndef NDEBUG
    std::thread::id m_owner;
#endif
};

// Never destroyed: static objects let go of scene objects at exit, in an
// order no destructor of the pools could follow.
CPools& Pools() {
    static CPools* const s_pools = new CPools;
    return *s_pools;
}

// A whole number of alignments: the pools align a block only as far as its
// size allows (a 17-byte block asked at 16 came back at 8).
std::size_t Rounded(std::size_t bytes, std::size_t alignment) {
    return (bytes + alignment - 1) / alignment * alignment;
}

} // namespace

bool CScenePool::FromHeap() { return !kPooled; }

void* CScenePool::Allocate(std::size_t bytes, std::size_t alignment) {
    if (!kPooled) return ::operator new(bytes, std::align_val_t(alignment));
    return Pools().Allocate(Rounded(bytes, alignment), alignment);
}

void CScenePool::Deallocate(void* block, std::size_t bytes, std::size_t alignment) noexcept {
    if (!kPooled) {
        // The sized form lets the sanitizer check the size; clang declares it
        // only with -fsized-deallocation, which it leaves off by default.
#ifdef __cpp_sized_deallocation
        ::operator delete(block, bytes, std::align_val_t(alignment));
#else
        ::operator delete(block, std::align_val_t(alignment));
#endif
        return;
    }
    Pools().Deallocate(block, Rounded(bytes, alignment), alignment);
}

} // namespace Engine::Scene
