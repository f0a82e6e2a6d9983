// Sprite-file reading: any input either loads or throws the engine's
// exception; the skipped images are then decoded as the delayed loader does.

#include <cstddef>
#include <cstdint>

#include "app/Archive.h"
#include "app/Exception.h"
#include "graphics/SprFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Engine::CMemoryFile stream(data, size);
    CArchive archive(&stream, false);
    Engine::ref_ptr<Engine::Graphics::SprFile::CSprFile> file(
        new Engine::Graphics::SprFile::CSprFile("fuzz.spr", nullptr));
    try {
        file->Load(archive, true);
        for (size_t i = 0; i < file->GetBitmapCount(); ++i) file->ReadBitmapImages(archive, i);
    } catch (const Engine::CException&) {
    }
    return 0;
}
