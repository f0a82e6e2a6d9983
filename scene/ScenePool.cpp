#include "scene/ScenePool.h"

#include <cassert>
#include <cstdint>
#include <new>
#include <thread>

#include <sys/mman.h>

#include "app/SanitizerBuild.h"

namespace Engine::Scene {

namespace {

constexpr bool kPooled = !Engine::kAddressSanitizerBuild;

// Larger blocks (long lists) come from the heap.
constexpr std::size_t kLargestPooledBlock = 1024;
// Blocks are carved from chunks aligned to their size, so that a block's
// chunk is found from its address alone.
constexpr std::size_t kChunkBytes = std::size_t(64) << 10;
constexpr std::size_t kLargestPooledAlignment = kCacheLineBytes;
// A chunk's header lies on one of this many lines at its start, chosen by
// the chunk's address: headers all at the start of chunks so aligned would
// fall into one set of the processor's caches and push each other out.
constexpr std::size_t kHeaderLines = 64;
// Chunks are cut in turn from regions of whole huge pages.
constexpr std::size_t kHugePageBytes = std::size_t(2) << 20;
constexpr std::size_t kRegionBytes = std::size_t(32) << 20;
static_assert(kRegionBytes % kHugePageBytes == 0 && kHugePageBytes % kChunkBytes == 0);

// The memory of the chunks: regions aligned to a huge page and advised to
// take huge pages. The process's end gives a big scene's memory back page
// by page: for 60,000 animated lanterns (176 MiB of chunks) that took about
// 35 ms on small pages and 11 ms on huge ones. Each chunk is also exactly
// its own size, where the heap had to find an aligned place for each
// (22 MiB more for those lanterns). Only what is touched takes memory: at
// most one huge page more than the chunks handed out.
class CChunkSource {
public:
    char* Take() {
        if (m_next == m_end) TakeRegion();
        char* chunk = m_next;
        m_next += kChunkBytes;
        return chunk;
    }

private:
    void TakeRegion() {
        m_next = static_cast<char*>(::operator new(kRegionBytes, std::align_val_t(kHugePageBytes)));
        m_end = m_next + kRegionBytes;
        // Advice only: where huge pages are off, the region keeps small ones.
        madvise(m_next, kRegionBytes, MADV_HUGEPAGE);
    }

    char* m_next = nullptr;
    char* m_end = nullptr;
};

// Blocks of one size in chunks of their own. A block goes back onto its
// chunk's free list, touching nothing but the block and the chunk's
// header; blocks are handed out from one chunk until it is used up, so
// that what is read together lies together, in a chunk that earlier
// scenes let go of as in a new one. (The standard library's pools search
// for a block's chunk and keep a bitmap beside it: letting go of a big
// scene spent a fifth of its time there.)
class CPools {
public:
    void* Allocate(std::size_t bytes) {
        CheckThread();
        const std::size_t blockBytes = BlockBytes(bytes);
        CSize& size = m_sizes[blockBytes / kStep];
        for (;;) {
            if (CChunk* chunk = size.current) {
                if (CFree* block = chunk->free) {
                    chunk->free = block->next;
                    return block;
                }
                if (std::size_t(chunk->end - chunk->next) >= blockBytes) {
                    void* block = chunk->next;
                    chunk->next += blockBytes;
                    return block;
                }
            }
            size.current = size.withFree ? TakeListed(size) : NewChunk();
        }
    }
    void Deallocate(void* block, std::size_t bytes) {
        CheckThread();
        CSize& size = m_sizes[BlockBytes(bytes) / kStep];
        CChunk* chunk = ChunkOf(block);
        chunk->free = new (block) CFree{chunk->free};
        if (chunk != size.current && !chunk->listed) {
            chunk->listed = true;
            chunk->nextWithFree = size.withFree;
            size.withFree = chunk;
        }
    }

private:
    struct CFree {
        CFree* next;
    };
    // On one of the first lines of each chunk.
    struct CChunk {
        CFree* free = nullptr;  // blocks given back, the last first
        char* next;             // what was never handed out
        char* end;
        CChunk* nextWithFree = nullptr;
        bool listed = false;  // in its size's list of chunks with blocks given back
    };
    struct CSize {
        CChunk* current = nullptr;   // where blocks come from
        CChunk* withFree = nullptr;  // other chunks that blocks came back to
    };
    // Sizes in steps of 8 bytes: a block size that is a multiple of an
    // alignment (Rounded) keeps every block of its chunk at that alignment.
    static constexpr std::size_t kStep = 8;
    static_assert(sizeof(CChunk) <= kCacheLineBytes);

    // A free block holds its list's link: none is smaller than one step.
    static std::size_t BlockBytes(std::size_t bytes) { return bytes ? (bytes + kStep - 1) / kStep * kStep : kStep; }
    static CChunk* HeaderOf(std::uintptr_t chunk) {
        return reinterpret_cast<CChunk*>(chunk + (chunk / kChunkBytes) % kHeaderLines * kCacheLineBytes);
    }
    static CChunk* ChunkOf(void* block) {
        return HeaderOf(reinterpret_cast<std::uintptr_t>(block) & ~(kChunkBytes - 1));
    }
    static CChunk* TakeListed(CSize& size) {
        CChunk* chunk = size.withFree;
        size.withFree = chunk->nextWithFree;
        chunk->listed = false;
        return chunk;
    }
    CChunk* NewChunk() {
        char* memory = m_source.Take();
        CChunk* chunk = new (HeaderOf(reinterpret_cast<std::uintptr_t>(memory))) CChunk;
        chunk->next = memory + kHeaderLines * kCacheLineBytes;
        chunk->end = memory + kChunkBytes;
        return chunk;
    }

    // Scene objects live on one thread, the main one (their counts are not
    // atomic either), so the pools take no lock.
    void CheckThread() {
#ifndef NDEBUG
        if (m_owner == std::thread::id()) m_owner = std::this_thread::get_id();
        assert(m_owner == std::this_thread::get_id() && "scene objects belong to one thread");
#endif
    }

    CSize m_sizes[kLargestPooledBlock / kStep + 1];
    CChunkSource m_source;
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

bool IsPooled(std::size_t bytes, std::size_t alignment) {
    return kPooled && bytes <= kLargestPooledBlock && alignment <= kLargestPooledAlignment;
}

} // namespace

bool CScenePool::FromHeap() { return !kPooled; }

void* CScenePool::Allocate(std::size_t bytes, std::size_t alignment) {
    if (!IsPooled(bytes, alignment)) return ::operator new(bytes, std::align_val_t(alignment));
    return Pools().Allocate(Rounded(bytes, alignment));
}

void CScenePool::Deallocate(void* block, std::size_t bytes, std::size_t alignment) noexcept {
    if (!IsPooled(bytes, alignment)) {
        // The sized form lets the sanitizer check the size; clang declares it
        // only with -fsized-deallocation, which it leaves off by default.
#ifdef __cpp_sized_deallocation
        ::operator delete(block, bytes, std::align_val_t(alignment));
#else
        ::operator delete(block, std::align_val_t(alignment));
#endif
        return;
    }
    Pools().Deallocate(block, Rounded(bytes, alignment));
}

} // namespace Engine::Scene
