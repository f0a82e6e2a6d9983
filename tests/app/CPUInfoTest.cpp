#include <gtest/gtest.h>

#include <map>

#include "app/CPUInfo.h"

namespace {

// A processor made of CPUID leaves; leaves it lacks read as zeros.
class FakeCpu {
public:
    explicit FakeCpu(std::map<uint32_t, CCPUIDRegisters> leaves) : m_leaves(std::move(leaves)) {
        SetCPUIDSource([this](uint32_t leaf) {
            auto it = m_leaves.find(leaf);
            return it == m_leaves.end() ? CCPUIDRegisters{} : it->second;
        });
    }
    ~FakeCpu() { SetCPUIDSource(nullptr); }

private:
    std::map<uint32_t, CCPUIDRegisters> m_leaves;
};

// powerEdx is EDX of leaf 0x80000007.
struct CProbeCase { const char* name; uint32_t signature, highestExtendedLeaf, powerEdx; bool expected; };

class ProbeTest : public ::testing::TestWithParam<CProbeCase> {};

uint32_t Signature(uint32_t extendedFamily, uint32_t extendedModel, uint32_t family) {
    return (extendedFamily << 20) | (extendedModel << 16) | (family << 8);
}

} // namespace

TEST_P(ProbeTest, SetsThePowerStatesFlag) {
    const CProbeCase& c = GetParam();
    FakeCpu cpu({{0x80000000, {c.highestExtendedLeaf, 0, 0, 0}}, {0x80000007, {0, 0, 0, c.powerEdx}}});
    CCPUInfo info;
    info.dwSignature = c.signature;
    info.dwFeatures = CPU_FEATURE_MMX;
    ProbeCPUExtendedFeatures(info);
    EXPECT_EQ((info.dwFeatures & CPU_FEATURE_POWER_STATES) != 0, c.expected);
    EXPECT_TRUE(info.dwFeatures & CPU_FEATURE_MMX) << "other flags are kept";
}

INSTANTIATE_TEST_SUITE_P(Signatures, ProbeTest, ::testing::Values(
    CProbeCase{"NewFamilyWithHardwareStates", Signature(1, 0, 15), 0x80000008, 0x80, true},
    CProbeCase{"NewFamilyWithoutHardwareStates", Signature(1, 0, 15), 0x80000008, 0x06, false},
    CProbeCase{"EighthGenerationWithFrequencyAndVoltage", Signature(0, 6, 15), 0x80000008, 0x06, true},
    CProbeCase{"EighthGenerationFrequencyOnly", Signature(0, 6, 15), 0x80000008, 0x02, false},
    CProbeCase{"EighthGenerationLaterModel", Signature(0, 7, 15), 0x80000008, 0x06, false},
    CProbeCase{"OtherFamily", Signature(0, 0, 6), 0x80000008, 0xFF, false},
    CProbeCase{"LeafOutOfRange", Signature(1, 0, 15), 0x80000006, 0x80, false}),
    [](const ::testing::TestParamInfo<CProbeCase>& info) { return std::string(info.param.name); });

TEST(CPUInfoTest, ReadsOnlyLeavesTheProcessorHas) {
    {
        FakeCpu cpu({{0, {0, 0, 0, 0}}, {1, {0x00000F41, 0, 0, 0xFFFFFFFF}}});
        EXPECT_EQ(ReadCPUSignature(), 0u) << "highest basic leaf 0";
        EXPECT_EQ(ReadCPUID(1), 0u);
    }
    FakeCpu cpu({{0, {1, 0, 0, 0}}, {1, {0x00000F41, 0, 0, 0x1234}}, {0x80000000, {0x80000001, 0, 0, 0}},
                 {0x80000001, {0, 0, 0, 0x55}}});
    EXPECT_EQ(ReadCPUSignature(), 0x00000F41u);
    EXPECT_EQ(ReadCPUID(1), 0x1234u);
    EXPECT_EQ(ReadCPUID(0x80000001), 0x55u);
    EXPECT_EQ(ReadCPUID(0x80000002), 0u);
}

TEST(CPUInfoTest, DetectsVendorBrandAndFeatures) {
    // "GenuineIntel" is EBX "Genu", EDX "ineI", ECX "ntel".
    FakeCpu cpu({{0, {1, 0x756E6547, 0x6C65746E, 0x49656E69}},
                 {1, {0x000006F6, 0, 0, (1u << 4) | (1u << 23) | (1u << 26)}},
                 {0x80000000, {0x80000004, 0, 0, 0}},
                 {0x80000002, {0x74736554, 0x55504320, 0, 0}}});
    CCPUInfo info;
    DetectCPUFeatures(info);
    EXPECT_STREQ(info.szVendor, "GenuineIntel");
    EXPECT_STREQ(info.szBrand, "Test CPU");
    EXPECT_EQ(info.dwSignature, 0x000006F6u);
    EXPECT_EQ(info.dwFeatures, CPU_FEATURE_TSC | CPU_FEATURE_MMX | CPU_FEATURE_SSE2);
}
