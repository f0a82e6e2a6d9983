#include "platform/Resources.h"

#include <algorithm>
#include <deque>
#include <mutex>

namespace {

// The program's module handle: a token, never dereferenced, below the
// handles the library table gives its libraries.
HMODULE ProgramModule() { return reinterpret_cast<HMODULE>(uintptr_t(0x300000)); }

struct CIconGroup {
    int id = 0;
    std::vector<Platform::CIconImage> images;
};

// Groups never move or go away, so a handle (the group's address) stays
// valid for the life of the process.
struct CResourceTable {
    std::mutex mutex;
    std::deque<CIconGroup> icons;
};

CResourceTable& Table() {
    static CResourceTable table;
    return table;
}

bool ImageIsWhole(const Platform::CIconImage& image) {
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() == size_t(image.width) * size_t(image.height);
}

} // namespace

HMODULE GetModuleHandle(const char* name) { return name ? nullptr : ProgramModule(); }

HICON LoadIcon(HINSTANCE instance, int id) {
    if (instance != ProgramModule()) return nullptr;
    CResourceTable& table = Table();
    std::lock_guard lock(table.mutex);
    for (CIconGroup& group : table.icons)
        if (group.id == id) return reinterpret_cast<HICON>(&group);
    return nullptr;
}

namespace Platform {

bool RegisterIconGroup(HMODULE module, int id, std::vector<CIconImage> images) {
    if (module != ProgramModule() || images.empty() || !std::all_of(images.begin(), images.end(), ImageIsWhole))
        return false;
    std::stable_sort(images.begin(), images.end(), [](const CIconImage& a, const CIconImage& b) {
        return int64_t(a.width) * a.height > int64_t(b.width) * b.height;
    });
    CResourceTable& table = Table();
    std::lock_guard lock(table.mutex);
    for (CIconGroup& group : table.icons)
        if (group.id == id) {
            group.images = std::move(images);
            return true;
        }
    table.icons.push_back(CIconGroup{id, std::move(images)});
    return true;
}

const std::vector<CIconImage>* GetIconImages(HICON icon) {
    if (!icon) return nullptr;
    CResourceTable& table = Table();
    std::lock_guard lock(table.mutex);
    for (CIconGroup& group : table.icons)
        if (reinterpret_cast<HICON>(&group) == icon) return &group.images;
    return nullptr;
}

} // namespace Platform
