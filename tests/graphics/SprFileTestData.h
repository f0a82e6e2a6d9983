#pragma once
// Sprite files built in memory for the sprite-file, manager and font tests.

#include <cstring>
#include <vector>

#include "app/Archive.h"
#include "graphics/SprFile.h"
#include "tools/ImageWriter.h"
#include "tools/SprWriter.h"

namespace SprTestData {

// A solid RGB PNG.
inline std::vector<uint8_t> SolidPng(uint32_t width, uint32_t height, uint16_t red = 200) {
    Tools::CPngImage image;
    image.width = width;
    image.height = height;
    image.colour = Tools::EPngColour::RGB;
    for (uint32_t i = 0; i < width * height; ++i) image.samples.insert(image.samples.end(), {red, 100, 50});
    return Tools::WritePng(image);
}

// A solid greyscale PNG, used as an alpha image.
inline std::vector<uint8_t> GreyPng(uint32_t width, uint32_t height, uint16_t grey) {
    Tools::CPngImage image;
    image.width = width;
    image.height = height;
    image.colour = Tools::EPngColour::Grey;
    image.samples.assign(size_t(width) * height, grey);
    return Tools::WritePng(image);
}

// One image, one sprite per entry of widths: frame i is widths[i] by height.
inline Tools::CSprDocument StripDocument(const std::string& sprite, const std::vector<int32_t>& widths, int32_t height) {
    Tools::CSprDocument document;
    int32_t total = 0;
    for (int32_t width : widths) total += width;
    document.images.push_back({0, SolidPng(uint32_t(std::max(total, 1)), uint32_t(height)), {}, 0});
    Tools::CSprSprite strip{sprite, 0, 0, false, false, {}};
    int32_t left = 0;
    for (int32_t width : widths) {
        strip.frames.push_back(Tools::MakeSprFrame(0, left, 0, left + width, height));
        left += width;
    }
    document.sprites.push_back(strip);
    return document;
}

// Reads a file image as the sprite file name; images are decoded unless
// skipImages. endPosition receives the stream position after reading.
inline Engine::ref_ptr<Engine::Graphics::SprFile::CSprFile> ReadSprFile(const std::vector<uint8_t>& bytes,
                                                                       const char* name, bool skipImages = false,
                                                                       int64_t* endPosition = nullptr,
                                                                       Engine::Graphics::CGraphics* graphics = nullptr) {
    Engine::CMemoryFile stream(bytes.data(), bytes.size());
    CArchive archive(&stream, false);
    Engine::ref_ptr<Engine::Graphics::SprFile::CSprFile> file(new Engine::Graphics::SprFile::CSprFile(name, graphics));
    file->Load(archive, skipImages);
    if (endPosition) *endPosition = stream.Tell();
    return file;
}

inline void PatchU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, 4);
}

} // namespace SprTestData
