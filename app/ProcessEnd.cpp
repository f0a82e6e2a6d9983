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
    std::fflush(nullptr);
    if (IsLeavingMemory()) CMemoryKeeper::Start();
    std::_Exit(code);
}

} // namespace Engine
