#pragma once
// The processor record: feature flags read with CPUID, the signature, the
// vendor and brand texts and the clock rate. On processors without CPUID
// every field is 0.

#include <cstdint>
#include <functional>

// Feature flags of CCPUInfo::dwFeatures.
constexpr uint32_t CPU_FEATURE_TSC = 0x1;
constexpr uint32_t CPU_FEATURE_MMX = 0x2;
constexpr uint32_t CPU_FEATURE_SSE = 0x4;
constexpr uint32_t CPU_FEATURE_SSE2 = 0x8;
// Frequency and voltage control: the clock rate may change while running.
constexpr uint32_t CPU_FEATURE_POWER_STATES = 0x800;

struct CCPUInfo {
    uint32_t dwFeatures = 0;
    uint32_t dwSignature = 0;  // leaf 1 EAX: stepping, model, family, extended model and family
    uint32_t dwSpeedMHz = 0;
    char szVendor[13] = {};
    char szBrand[49] = {};
};

// The process-wide record, measured on first use (the clock rate may take a
// few tens of milliseconds to measure).
const CCPUInfo& GetCPUInfo();

// The leaf 1 signature, or 0 when the processor has no leaf 1.
uint32_t ReadCPUSignature();
// EDX of the leaf, or 0 when its range (the leaf with the low 16 bits
// cleared) does not reach it.
uint32_t ReadCPUID(uint32_t leaf);
// Sets CPU_FEATURE_POWER_STATES from the signature and leaf 0x80000007.
void ProbeCPUExtendedFeatures(CCPUInfo& info);
// Everything but the clock rate: features, signature, vendor and brand.
void DetectCPUFeatures(CCPUInfo& info);

struct CCPUIDRegisters {
    uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};
// Replaces the CPUID instruction (tests); an empty function restores it.
void SetCPUIDSource(std::function<CCPUIDRegisters(uint32_t leaf)> source);
