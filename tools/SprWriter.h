#pragma once
// Writes ".spr" sprite files from a plain description: images, then named
// sprites made of frames and pieces. The layout fields that the reader keeps
// but does not interpret are written as given, so tests can check them.

#include <cstdint>
#include <string>
#include <vector>

namespace Tools {

struct CSprPiece {
    int32_t bitmap = 0;
    int32_t top = 0;
    int32_t left = 0;
    int32_t bottom = 0;
    int32_t right = 0;
};

struct CSprFrame {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t x = 0;
    uint32_t y = 0;
    std::vector<CSprPiece> pieces;
};

struct CSprSprite {
    std::string name;
    uint32_t wordA = 0;
    uint32_t wordB = 0;
    bool flag1 = false;
    bool flag2 = false;
    std::vector<CSprFrame> frames;
};

struct CSprImage {
    uint32_t word = 0;
    std::vector<uint8_t> colour;  // a complete image file, empty for none
    std::vector<uint8_t> alpha;   // a complete image file, empty for none
    uint32_t textureFlags = 0xFFFFFFFFu;
};

struct CSprDocument {
    uint32_t fileWord = 1;
    std::vector<uint8_t> headerJunk;    // body of the first chunk (skipped by readers)
    std::vector<uint8_t> preludeJunk;   // body of the chunk before the images (skipped)
    uint32_t spriteChunkId = 0x00727073u;  // "spr\0"; anything else makes an empty file
    std::vector<CSprImage> images;
    std::vector<CSprSprite> sprites;
};

std::vector<uint8_t> WriteSpr(const CSprDocument& document);

// A frame of one piece covering the rectangle (left, top)-(right, bottom)
// of a bitmap.
CSprFrame MakeSprFrame(int32_t bitmap, int32_t left, int32_t top, int32_t right, int32_t bottom);

} // namespace Tools
