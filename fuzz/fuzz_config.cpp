// Configuration reader: any bytes give either the stored settings or the
// defaults, and always valid values.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/Config.h"
#include "app/File.h"
#include "app/Log.h"
#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GetLog().SetEnabled(false);
    Engine::CMemoryFile file(data, size);
    Engine::CConfig config;
    config.Load(file, "fuzz.cfg");
    if (!config.IsValid()) std::abort();
    return 0;
}

std::vector<CFuzzSeed> FuzzSeeds() {
    std::vector<CFuzzSeed> seeds;
    Engine::CConfig config;
    for (const char* name : {"default.cfg", "changed.cfg"}) {
        Engine::CMemoryFile file;
        config.Store(file);
        seeds.push_back({name, file.Detach()});
        config.playAmbientSounds = false;
        config.backgroundChangeSeconds = 300;
        config.soundVolumes[1] = 0.25f;
    }
    return seeds;
}
