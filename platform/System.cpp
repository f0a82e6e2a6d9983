#include "platform/System.h"

#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "platform/Detail.h"
#include "platform/Testing.h"

namespace {

std::atomic<DWORD> g_major{6};
std::atomic<DWORD> g_minor{1};

} // namespace

void GetSystemInfo(SYSTEM_INFO* info) {
    if (!info) return;
    const long pageSize = sysconf(_SC_PAGESIZE);
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    info->dwPageSize = pageSize > 0 ? DWORD(pageSize) : 4096;
    info->dwNumberOfProcessors = processors > 0 ? DWORD(processors) : 1;
    info->dwAllocationGranularity = info->dwPageSize;
}

void GlobalMemoryStatus(MEMORYSTATUS* status) {
    if (!status) return;
    struct sysinfo facts {};
    if (sysinfo(&facts) != 0) return;
    const uint64_t unit = facts.mem_unit ? facts.mem_unit : 1;
    status->dwTotalPhys = uint64_t(facts.totalram) * unit;
    status->dwAvailPhys = (uint64_t(facts.freeram) + uint64_t(facts.bufferram)) * unit;
    status->dwTotalPageFile = uint64_t(facts.totalswap) * unit + status->dwTotalPhys;
    status->dwAvailPageFile = uint64_t(facts.freeswap) * unit + status->dwAvailPhys;
    status->dwTotalVirtual = status->dwTotalPageFile;
    status->dwAvailVirtual = status->dwAvailPageFile;
    status->dwMemoryLoad =
        status->dwTotalPhys ? DWORD(100 - status->dwAvailPhys * 100 / status->dwTotalPhys) : 0;
}

BOOL GetVersionEx(OSVERSIONINFO* info) {
    if (!info) return FALSE;
    info->dwMajorVersion = g_major;
    info->dwMinorVersion = g_minor;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    info->dwBuildNumber = 0;
    info->szCSDVersion[0] = 0;
    struct utsname name {};
    if (uname(&name) == 0)
        std::snprintf(info->szCSDVersion, sizeof info->szCSDVersion, "%.60s %.60s", name.sysname, name.release);
    return TRUE;
}

namespace Platform::Detail {

void ResetSystem() {
    g_major = 6;
    g_minor = 1;
}

} // namespace Platform::Detail

namespace Platform::Testing {

void SetReportedVersion(DWORD major, DWORD minor) {
    g_major = major;
    g_minor = minor;
}

} // namespace Platform::Testing
