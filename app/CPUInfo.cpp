#include "app/CPUInfo.h"

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define ENGINE_HAS_CPUID 1
#else
#define ENGINE_HAS_CPUID 0
#endif

namespace {

std::mutex g_sourceMutex;
std::function<CCPUIDRegisters(uint32_t)> g_source;

CCPUIDRegisters Cpuid(uint32_t leaf) {
    {
        std::lock_guard lock(g_sourceMutex);
        if (g_source) return g_source(leaf);
    }
    CCPUIDRegisters r;
#if ENGINE_HAS_CPUID
    __cpuid_count(leaf, 0, r.eax, r.ebx, r.ecx, r.edx);
#else
    (void)leaf;
#endif
    return r;
}

void CopyRegisters(char* out, std::initializer_list<uint32_t> words) {
    for (uint32_t word : words) {
        std::memcpy(out, &word, 4);
        out += 4;
    }
}

uint32_t MeasureSpeedMHz(uint32_t features) {
    const uint32_t maxLeaf = Cpuid(0).eax;
    if (maxLeaf >= 0x16) {
        const uint32_t base = Cpuid(0x16).eax & 0xFFFF;
        if (base) return base;
    }
#if ENGINE_HAS_CPUID
    if (!(features & CPU_FEATURE_TSC)) return 0;
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const uint64_t ticks = __rdtsc();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const uint64_t elapsedTicks = __rdtsc() - ticks;
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    return us > 0 ? uint32_t(elapsedTicks / uint64_t(us)) : 0;
#else
    (void)features;
    return 0;
#endif
}

} // namespace

uint32_t ReadCPUSignature() {
    if (Cpuid(0).eax < 1) return 0;
    return Cpuid(1).eax;
}

uint32_t ReadCPUID(uint32_t leaf) {
    if (Cpuid(leaf & 0xFFFF0000u).eax < leaf) return 0;
    return Cpuid(leaf).edx;
}

void ProbeCPUExtendedFeatures(CCPUInfo& info) {
    const uint32_t extendedFamily = (info.dwSignature >> 20) & 0xFF;
    const uint32_t family = (info.dwSignature >> 8) & 0xF;
    const uint32_t extendedModel = (info.dwSignature >> 16) & 0xF;
    const uint32_t power = ReadCPUID(0x80000007);
    const bool newer = extendedFamily != 0 && (power & 0x80);
    const bool eighthGeneration = extendedFamily == 0 && family == 15 && extendedModel <= 6 && (power & 0x6) == 0x6;
    if (newer || eighthGeneration) info.dwFeatures |= CPU_FEATURE_POWER_STATES;
}

void DetectCPUFeatures(CCPUInfo& info) {
    info = CCPUInfo{};
    const CCPUIDRegisters leaf0 = Cpuid(0);
    CopyRegisters(info.szVendor, {leaf0.ebx, leaf0.edx, leaf0.ecx});
    info.dwSignature = ReadCPUSignature();
    if (leaf0.eax >= 1) {
        const uint32_t edx = Cpuid(1).edx;
        if (edx & (1u << 4)) info.dwFeatures |= CPU_FEATURE_TSC;
        if (edx & (1u << 23)) info.dwFeatures |= CPU_FEATURE_MMX;
        if (edx & (1u << 25)) info.dwFeatures |= CPU_FEATURE_SSE;
        if (edx & (1u << 26)) info.dwFeatures |= CPU_FEATURE_SSE2;
    }
    if (Cpuid(0x80000000).eax >= 0x80000004) {
        for (uint32_t i = 0; i < 3; ++i) {
            const CCPUIDRegisters r = Cpuid(0x80000002 + i);
            CopyRegisters(info.szBrand + 16 * i, {r.eax, r.ebx, r.ecx, r.edx});
        }
    }
    ProbeCPUExtendedFeatures(info);
}

const CCPUInfo& GetCPUInfo() {
    static const CCPUInfo info = [] {
        CCPUInfo measured;
        DetectCPUFeatures(measured);
        measured.dwSpeedMHz = MeasureSpeedMHz(measured.dwFeatures);
        return measured;
    }();
    return info;
}

void SetCPUIDSource(std::function<CCPUIDRegisters(uint32_t leaf)> source) {
    std::lock_guard lock(g_sourceMutex);
    g_source = std::move(source);
}
