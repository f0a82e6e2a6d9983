#pragma once
// The memory of scene objects, their keys and the lists they keep. A scene
// archive makes tens of thousands of small blocks; taken from pools of
// equal blocks they lie together in the order they were read, and letting
// go of one merges no free memory, so a big scene goes in little more than
// the time it takes to touch each object once. Blocks
// are reused for later scenes; the pools' memory stays with the process.
// AddressSanitizer builds take each block from the heap on its own, so that
// a use after release is still caught.

#include <cstddef>
#include <new>
#include <vector>

#include "app/CacheLine.h"

namespace Engine::Scene {

class CScenePool {
public:
    // True in AddressSanitizer builds: each block is the heap's own.
    static bool FromHeap();
    static void* Allocate(std::size_t bytes, std::size_t alignment);
    static void Deallocate(void* block, std::size_t bytes, std::size_t alignment) noexcept;
};

// A base that puts a class's objects (and its subclasses') into the pool.
class CScenePooled {
public:
    static void* operator new(std::size_t bytes) { return CScenePool::Allocate(bytes, alignof(std::max_align_t)); }
    static void operator delete(void* block, std::size_t bytes) noexcept {
        CScenePool::Deallocate(block, bytes, alignof(std::max_align_t));
    }
};

// The allocator of the containers that scene objects keep.
template <class T>
class CScenePoolAllocator {
public:
    using value_type = T;

    CScenePoolAllocator() = default;
    template <class U>
    CScenePoolAllocator(const CScenePoolAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > std::size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(CScenePool::Allocate(count * sizeof(T), alignof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept { CScenePool::Deallocate(block, count * sizeof(T), alignof(T)); }

    template <class U>
    bool operator==(const CScenePoolAllocator<U>&) const noexcept {
        return true;
    }
};

template <class T>
using CScenePoolVector = std::vector<T, CScenePoolAllocator<T>>;

} // namespace Engine::Scene
