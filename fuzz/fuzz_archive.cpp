// Archive reads: the first byte of each step picks what to read next from
// the rest of the input; reads may throw the archive's error, nothing else.

#include <cstddef>
#include <cstdint>

#include "app/Archive.h"
#include "app/Exception.h"
#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Engine::CMemoryFile file(data, size);
    CArchive ar(&file, false);
    try {
        for (;;) {
            uint8_t op = 0;
            ar.ReadByte(op);
            uint32_t dword;
            float real;
            CString text;
            CChunkHeader header;
            switch (op % 5) {
            case 0: ar.ReadDWord(dword); break;
            case 1: ar.ReadFloat(real); break;
            case 2: ar.ReadString(text); break;
            case 3: ar.ReadChunkHeader(header); file.Skip(header.length); break;
            default: Engine::CMemoryFile part(file, op); break;
            }
        }
    } catch (const Engine::CException&) {
    }
    return 0;
}

std::vector<CFuzzSeed> FuzzSeeds() {
    // One of each step, in the op-code form the entry point reads.
    Engine::CMemoryFile file;
    CArchive ar(&file, true);
    ar.WriteByte(0);
    ar.WriteDWord(0x12345678);
    ar.WriteByte(1);
    ar.WriteFloat(1.5f);
    ar.WriteByte(2);
    ar.WriteString("text");
    ar.WriteByte(3);
    ar.BeginChunk(0x1010, 2);
    ar.WriteDWord(7);
    ar.EndChunk();
    ar.WriteByte(4);
    return {{"steps.bin", file.Detach()}};
}
