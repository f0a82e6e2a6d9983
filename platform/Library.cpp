#include "platform/Library.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <set>

#include "platform/Detail.h"
#include "platform/DirectInput.h"
#include "platform/DirectSound.h"
#include "platform/Testing.h"

namespace {

struct CLibrary {
    uintptr_t handle = 0;
    std::vector<Platform::CLibraryEntry> entries;
    int loads = 0;
};

struct CLibraryTable {
    std::mutex mutex;
    std::map<std::string, CLibrary> libraries;  // by lower-case name
    std::set<std::string> failing;
    uintptr_t nextHandle = 0x400000;
};

std::string Key(const char* name) { return Platform::Detail::LowerCase(name); }

void Register(CLibraryTable& table, const char* name, std::vector<Platform::CLibraryEntry> entries) {
    CLibrary& library = table.libraries[Key(name)];
    if (!library.handle) {
        library.handle = table.nextHandle;
        table.nextHandle += 0x10000;
    }
    library.entries = std::move(entries);
}

// The stand-ins linked into every program.
void RegisterBuiltIns(CLibraryTable& table) {
    Register(table, "dinput.dll", {{"DirectInputCreateA", Platform::ToProc(&DirectInputCreateA)}});
    Register(table, "dsound.dll", {{"DirectSoundCreate", Platform::ToProc(&DirectSoundCreate)}});
    Register(table, "d3d8.dll", Platform::Detail::Direct3D8LibraryEntries());
    Register(table, "ddraw.dll", Platform::Detail::DirectDrawLibraryEntries());
}

// Never destroyed: the DirectX loader, itself a function-local static, may
// free its libraries at exit after this table would otherwise be gone.
CLibraryTable& Table() {
    static CLibraryTable& table = *new CLibraryTable;
    static const bool registered = (RegisterBuiltIns(table), true);
    (void)registered;
    return table;
}

CLibrary* FindLoaded(CLibraryTable& table, HMODULE module) {
    for (auto& [name, library] : table.libraries)
        if (library.handle == reinterpret_cast<uintptr_t>(module) && library.loads > 0) return &library;
    return nullptr;
}

} // namespace

HMODULE LoadLibrary(const char* name) {
    CLibraryTable& table = Table();
    std::lock_guard lock(table.mutex);
    const std::string key = Key(name);
    auto it = table.libraries.find(key);
    if (it == table.libraries.end() || table.failing.count(key)) return nullptr;
    ++it->second.loads;
    return reinterpret_cast<HMODULE>(it->second.handle);
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    if (!name) return nullptr;
    CLibraryTable& table = Table();
    std::lock_guard lock(table.mutex);
    CLibrary* library = FindLoaded(table, module);
    if (!library) return nullptr;
    for (const Platform::CLibraryEntry& entry : library->entries)
        if (entry.name == name) return entry.proc;
    return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
    CLibraryTable& table = Table();
    std::lock_guard lock(table.mutex);
    CLibrary* library = FindLoaded(table, module);
    if (!library) return FALSE;
    --library->loads;
    return TRUE;
}

namespace Platform {

void RegisterLibrary(const char* name, std::vector<CLibraryEntry> entries) {
    CLibraryTable& table = Table();
    std::lock_guard lock(table.mutex);
    Register(table, name, std::move(entries));
}

void UnregisterLibrary(const char* name) {
    CLibraryTable& table = Table();
    std::lock_guard lock(table.mutex);
    table.libraries.erase(Key(name));
}

} // namespace Platform

namespace Platform::Detail {

void ResetLibraries() {
    CLibraryTable& table = Table();
    std::lock_guard lock(table.mutex);
    table.libraries.clear();
    table.failing.clear();
    RegisterBuiltIns(table);
}

} // namespace Platform::Detail

namespace Platform::Testing {

int GetLibraryLoadCount(const char* name) {
    CLibraryTable& table = Table();
    std::lock_guard lock(table.mutex);
    auto it = table.libraries.find(Key(name));
    return it == table.libraries.end() ? 0 : it->second.loads;
}

void SetLibraryLoadFails(const char* name, bool fails) {
    CLibraryTable& table = Table();
    std::lock_guard lock(table.mutex);
    if (fails)
        table.failing.insert(Key(name));
    else
        table.failing.erase(Key(name));
}

} // namespace Platform::Testing
