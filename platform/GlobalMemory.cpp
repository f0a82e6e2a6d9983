#include "platform/GlobalMemory.h"

#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

// Blocks are looked up by handle, so a freed or foreign handle is refused.
struct CBlocks {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::unique_ptr<std::vector<BYTE>>> blocks;
    uintptr_t next = 0x20000;
};

CBlocks& Blocks() {
    static CBlocks blocks;
    return blocks;
}

std::vector<BYTE>* Find(CBlocks& b, HGLOBAL block) {
    auto it = b.blocks.find(reinterpret_cast<uintptr_t>(block));
    return it == b.blocks.end() ? nullptr : it->second.get();
}

} // namespace

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
    if (bytes == 0) return nullptr;
    std::unique_ptr<std::vector<BYTE>> data;
    try {
        data = std::make_unique<std::vector<BYTE>>(bytes, BYTE(0));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    CBlocks& b = Blocks();
    std::lock_guard lock(b.mutex);
    const uintptr_t id = b.next;
    b.next += 8;
    b.blocks.emplace(id, std::move(data));
    return reinterpret_cast<HGLOBAL>(id);
}

void* GlobalLock(HGLOBAL block) {
    CBlocks& b = Blocks();
    std::lock_guard lock(b.mutex);
    std::vector<BYTE>* data = Find(b, block);
    return data ? data->data() : nullptr;
}

BOOL GlobalUnlock(HGLOBAL block) {
    CBlocks& b = Blocks();
    std::lock_guard lock(b.mutex);
    return Find(b, block) ? TRUE : FALSE;
}

size_t GlobalSize(HGLOBAL block) {
    CBlocks& b = Blocks();
    std::lock_guard lock(b.mutex);
    std::vector<BYTE>* data = Find(b, block);
    return data ? data->size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    CBlocks& b = Blocks();
    std::lock_guard lock(b.mutex);
    return b.blocks.erase(reinterpret_cast<uintptr_t>(block)) ? nullptr : block;
}
