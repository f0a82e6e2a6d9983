// Pack index reader: any bytes either refuse the pack or give entries whose
// windows stay inside the data.

#include <cstddef>
#include <cstdint>

#include "app/Log.h"
#include "app/Pack.h"
#include "FuzzTarget.h"
#include "tools/PakWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GetLog().SetEnabled(false);
    auto pack = Engine::CDataPack::Open("fuzz.pak", [=] { return std::make_unique<Engine::CMemoryFile>(data, size); });
    if (!pack) return 0;
    char buffer[256];
    for (const Engine::CPackEntry& entry : pack->GetEntries()) {
        auto stream = pack->OpenEntry(entry);
        stream->Seek(-int64_t(sizeof buffer), Engine::SEEK_FROM_END);
        while (stream->Read(buffer, sizeof buffer) > 0) {}
        pack->Find(entry.name);
    }
    return 0;
}

std::vector<CFuzzSeed> FuzzSeeds() {
    std::vector<CFuzzSeed> seeds;
    for (bool scrambled : {false, true}) {
        Tools::CPakWriter pack;
        pack.Add("xml/a.xml", {'<', 'a', '/', '>'}, scrambled);
        pack.Add("b.bin", std::vector<uint8_t>(300, 7), false);
        pack.SetIndexScrambled(scrambled);
        seeds.push_back({scrambled ? "scrambled.pak" : "plain.pak", pack.Build()});
    }
    return seeds;
}
