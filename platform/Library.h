#pragma once
// Run-time library loading over a table of linked-in libraries: the
// stand-ins register their entry points under the library file names the
// engine loads ("dinput.dll" and "dsound.dll" here; "d3d8.dll" and "ddraw.dll"
// come with their stand-ins). Tests register libraries of their own, for
// instance with a missing entry, or make a load fail (platform/Testing.h).

#include <string>
#include <vector>

#include "platform/WinTypes.h"

// Null for a library the table does not hold. Names compare without case.
// Each load must be matched by one FreeLibrary.
HMODULE LoadLibrary(const char* name);
// Null for an unknown entry or a module that is not loaded.
FARPROC GetProcAddress(HMODULE module, const char* name);
BOOL FreeLibrary(HMODULE module);

namespace Platform {

struct CLibraryEntry {
    std::string name;
    FARPROC proc = nullptr;
};

// Adds a library, or replaces the entries of one already known.
void RegisterLibrary(const char* name, std::vector<CLibraryEntry> entries);
void UnregisterLibrary(const char* name);

// Casts a library entry to its real function type.
template <class Function>
FARPROC ToProc(Function* function) {
    return reinterpret_cast<FARPROC>(function);
}

} // namespace Platform
