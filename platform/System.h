#pragma once
// Processor, memory and operating-system facts for the start-up log and the
// drivers' version checks.

#include "platform/WinTypes.h"

struct SYSTEM_INFO {
    DWORD dwPageSize = 0;
    DWORD dwNumberOfProcessors = 0;
    DWORD dwAllocationGranularity = 0;
};
void GetSystemInfo(SYSTEM_INFO* info);

// Byte counts are 64-bit: machines have more than 4 GiB.
struct MEMORYSTATUS {
    DWORD dwLength = sizeof(MEMORYSTATUS);
    DWORD dwMemoryLoad = 0;  // percentage of physical memory in use
    uint64_t dwTotalPhys = 0;
    uint64_t dwAvailPhys = 0;
    uint64_t dwTotalPageFile = 0;
    uint64_t dwAvailPageFile = 0;
    uint64_t dwTotalVirtual = 0;
    uint64_t dwAvailVirtual = 0;
};
void GlobalMemoryStatus(MEMORYSTATUS* status);

constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFO {
    DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFO);
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformId = 0;
    char szCSDVersion[128] = {};  // the kernel's name and release
};
// Reports version 6.1 of the NT family (the modern code paths); tests may
// set another (platform/Testing.h).
BOOL GetVersionEx(OSVERSIONINFO* info);
