#include "app/MemoryKeeper.h"

#if defined(__linux__)
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#endif

namespace Engine {

#if defined(__linux__)
namespace {

// The child runs on the parent's memory with the parent's thread pointer, so
// it calls the kernel directly: the C library's wrappers write errno, which
// is the parent's. Nor may a sanitizer's or coverage's instrumentation run
// there: it writes shadow memory, counters and thread-local state that are
// the parent's too.
#if defined(__clang__)
#define MOSARK_UNINSTRUMENTED __attribute__((no_sanitize("all", "coverage"), disable_sanitizer_instrumentation))
#else
#define MOSARK_UNINSTRUMENTED __attribute__((no_sanitize("all"), no_sanitize_coverage))
#endif
#define MOSARK_KEEPER MOSARK_UNINSTRUMENTED inline

#if defined(__x86_64__)
MOSARK_KEEPER long RawCall(long number, long a = 0, long b = 0, long c = 0, long d = 0, long e = 0) {
    register long r10 asm("r10") = d;
    register long r8 asm("r8") = e;
    long result;
    asm volatile("syscall"
                 : "=a"(result)
                 : "a"(number), "D"(a), "S"(b), "d"(c), "r"(r10), "r"(r8)
                 : "rcx", "r11", "memory");
    return result;
}
#elif defined(__aarch64__)
MOSARK_KEEPER long RawCall(long number, long a = 0, long b = 0, long c = 0, long d = 0, long e = 0) {
    register long x8 asm("x8") = number;
    register long x0 asm("x0") = a;
    register long x1 asm("x1") = b;
    register long x2 asm("x2") = c;
    register long x3 asm("x3") = d;
    register long x4 asm("x4") = e;
    asm volatile("svc 0" : "+r"(x0) : "r"(x8), "r"(x1), "r"(x2), "r"(x3), "r"(x4) : "memory");
    return x0;
}
#else
#error "the memory keeper calls the kernel directly; add this architecture's system call"
#endif

struct CDirEntry {
    uint64_t inode;
    int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

MOSARK_KEEPER long ParseDescriptor(const char* name) {
    long value = 0;
    if (!*name) return -1;
    for (; *name; ++name) {
        if (*name < '0' || *name > '9') return -1;
        value = value * 10 + (*name - '0');
    }
    return value;
}

// Closes what /proc lists, passing over the listing's own descriptor, until
// a pass finds nothing else; false when the list cannot be read.
MOSARK_KEEPER bool CloseListed() {
    const long listing = RawCall(SYS_openat, AT_FDCWD, long("/proc/self/fd"), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) return false;
    alignas(8) char buffer[2048];
    bool closedAny = true;
    bool readable = true;
    while (closedAny && readable) {
        closedAny = false;
        RawCall(SYS_lseek, listing, 0, SEEK_SET);
        for (;;) {
            const long got = RawCall(SYS_getdents64, listing, long(buffer), sizeof buffer);
            if (got < 0) readable = false;
            if (got <= 0) break;
            for (long at = 0; at < got;) {
                const auto* entry = reinterpret_cast<const CDirEntry*>(buffer + at);
                const long descriptor = ParseDescriptor(entry->name);
                if (descriptor >= 0 && descriptor != listing) {
                    RawCall(SYS_close, descriptor);
                    closedAny = true;
                }
                at += entry->length;
            }
        }
    }
    RawCall(SYS_close, listing);
    return readable;
}

// Without /proc: one by one, every descriptor below the hard limit. The soft
// limit does not bound them: it may have been lowered under descriptors
// opened before. Where the limit cannot be read, the kernel's default
// ceiling of every process's limit stands for it.
MOSARK_KEEPER void CloseUpToLimit() {
    constexpr rlim_t kDefaultCeiling = rlim_t(1) << 20;
    constexpr rlim_t kMostDescriptors = rlim_t(1) << 31;
    struct rlimit limit {0, kDefaultCeiling};
    RawCall(SYS_prlimit64, 0, RLIMIT_NOFILE, 0, long(&limit));
    const long bound = long(limit.rlim_max < kMostDescriptors ? limit.rlim_max : kMostDescriptors);
    for (long descriptor = 0; descriptor < bound; ++descriptor) RawCall(SYS_close, descriptor);
}

MOSARK_KEEPER void CloseEveryDescriptor() {
    if (RawCall(SYS_close_range, 0, long(~0u), 0) == 0) return;
    if (!CloseListed()) CloseUpToLimit();
}

pid_t g_keeperParent = 0;

// Stays until every thread of the parent has ended, not only the one that
// made it (a parent-death signal would come with that one): the parent's
// last thread to end would otherwise take the memory back itself. While a
// thread of the parent lives, this child's parent is that process.
MOSARK_UNINSTRUMENTED int KeepMemory(void*) {
    CloseEveryDescriptor();
    struct timespec pause {0, 1'000'000};
    while (RawCall(SYS_getppid) == g_keeperParent) RawCall(SYS_nanosleep, long(&pause), 0);
    RawCall(SYS_exit, 0);
    return 0;
}

} // namespace

pid_t CMemoryKeeper::Start() {
    alignas(64) static char s_stack[16 * 1024];
    g_keeperParent = getpid();
    return clone(&KeepMemory, s_stack + sizeof s_stack, CLONE_VM | SIGCHLD, nullptr);
}
#else
pid_t CMemoryKeeper::Start() { return -1; }
#endif

} // namespace Engine
