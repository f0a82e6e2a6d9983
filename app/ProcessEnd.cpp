#include "app/ProcessEnd.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "app/SanitizerBuild.h"

#if defined(__linux__)
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace Engine {

namespace {
std::atomic<bool> g_allowed{false};
std::atomic<bool> g_ending{false};

#if defined(__linux__)
pid_t g_ender = 0;

// The child keeps the memory until this process has ended, then ends too.
// It shares the memory, not the files: it closes its copies at once, and
// calls nothing that could touch what the parent left.
int KeepMemory(void*) {
    syscall(SYS_close_range, 0u, ~0u, 0u);
    syscall(SYS_prctl, PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0);
    if (syscall(SYS_getppid) == g_ender)
        for (;;) syscall(SYS_pause);
    syscall(SYS_exit, 0);
    return 0;
}

void HandOverMemory() {
    alignas(64) static char s_stack[16 * 1024];
    g_ender = getpid();
    clone(&KeepMemory, s_stack + sizeof s_stack, CLONE_VM | SIGCHLD, nullptr);
}
#else
void HandOverMemory() {}
#endif
} // namespace

void CProcessEnd::Allow(bool allowed) {
    g_allowed = allowed && !kAddressSanitizerBuild;
    if (!g_allowed) g_ending = false;
}

void CProcessEnd::Begin() { g_ending = g_allowed.load(); }

bool CProcessEnd::IsLeavingMemory() { return g_ending.load(std::memory_order_relaxed); }

void CProcessEnd::Exit(int code) {
    std::fflush(nullptr);
    if (IsLeavingMemory()) HandOverMemory();
    std::_Exit(code);
}

} // namespace Engine
