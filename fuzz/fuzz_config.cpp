// Configuration reader: any bytes give either the stored settings or the
// defaults, and always valid values.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/Config.h"
#include "app/File.h"
#include "app/Log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GetLog().SetEnabled(false);
    Engine::CMemoryFile file(data, size);
    Engine::CConfig config;
    config.Load(file, "fuzz.cfg");
    if (!config.IsValid()) std::abort();
    return 0;
}
