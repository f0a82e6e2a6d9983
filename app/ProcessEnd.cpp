#include "app/ProcessEnd.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "app/MemoryKeeper.h"
#include "app/SanitizerBuild.h"

namespace Engine {

namespace {
std::atomic<bool> g_allowed{false};
std::atomic<bool> g_ending{false};
} // namespace

void CProcessEnd::Allow(bool allowed) {
    g_allowed = allowed && !kAddressSanitizerBuild;
    if (!g_allowed) g_ending = false;
}

void CProcessEnd::Begin() { g_ending = g_allowed.load(); }

bool CProcessEnd::IsLeavingMemory() { return g_ending.load(std::memory_order_relaxed); }

void CProcessEnd::Exit(int code) {
    // The standard streams only: a stream another thread is blocked writing
    // (an output that stopped taking samples) would hold a flush of all.
    std::fflush(stdout);
    std::fflush(stderr);
    if (IsLeavingMemory()) CMemoryKeeper::Start();
    std::_Exit(code);
}

} // namespace Engine
