// Sprite-file reading: any input either loads or throws the engine's
// exception; the skipped images are then decoded as the delayed loader does.

#include <cstddef>
#include <cstdint>

#include "app/Archive.h"
#include "app/Exception.h"
#include "graphics/SprFile.h"
#include "FuzzTarget.h"
#include "tools/ImageWriter.h"
#include "tools/SprWriter.h"

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

std::vector<CFuzzSeed> FuzzSeeds() {
    Tools::CPngImage png;
    png.width = 8;
    png.height = 8;
    png.colour = Tools::EPngColour::RGBA;
    png.samples.assign(8 * 8 * 4, 200);
    Tools::CSprDocument document;
    document.images.push_back({0, Tools::WritePng(png), {}, 0xFFFFFFFFu});
    Tools::CSprSprite sprite;
    sprite.name = "square";
    sprite.frames = {Tools::MakeSprFrame(0, 0, 0, 8, 8), Tools::MakeSprFrame(0, 2, 2, 6, 6)};
    document.sprites.push_back(sprite);
    return {{"square.spr", Tools::WriteSpr(document)}};
}
