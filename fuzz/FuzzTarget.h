#pragma once
// Every fuzz target, fuzz/fuzz_<name>.cpp, defines the libFuzzer entry point
// and the seeds its corpus starts from. The seeds come from the tools'
// writers, so they follow the formats as the engine writes them. The build
// writes them to disk; an ordinary test replays them through the same entry
// point together with the stored inputs under fuzz/corpus/<name>/ (inputs that
// once crashed the target or found a fault), so every CI run checks them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct CFuzzSeed {
    std::string name;           // file name of the seed, unique within the target
    std::vector<uint8_t> bytes; // its contents
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// The target's seeds. Defined once in each fuzz_<name>.cpp.
std::vector<CFuzzSeed> FuzzSeeds();
