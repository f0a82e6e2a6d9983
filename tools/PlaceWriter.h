#pragma once
// Writes ".place" scene layouts in the current chunked layout (0x1010) and
// the older one (0x1007) from a plain description. The embedded scene
// archive is written here too: an empty scene unless the document gives
// the archive's bytes. Fault hooks let tests break one thing at a time.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Tools {

struct CPlacePropertyDesc {
    uint32_t id = 0;
    std::string name;
    uint32_t type = 0;
};

// Encoded by type: 0 text, 1 integer, 2 number (word), 3 boolean (byte),
// 4 pair, 5 list (head, items); any other type writes no data.
struct CPlacePropertyValue {
    uint32_t id = 0;
    uint32_t type = 0;
    std::string text;
    uint32_t word = 0;
    uint8_t byte = 0;
    uint32_t pair[2] = {0, 0};
    uint32_t listHead = 0;
    std::vector<uint32_t> list;
};

struct CPlaceSplinePoint {
    float controlA[2] = {0, 0};
    float controlB[2] = {0, 0};
    float point[2] = {0, 0};
    uint32_t tag0 = 0;
    uint32_t tag1 = 0;
};

struct CPlaceObjectDoc {
    uint32_t type = 1;  // 1, 3 sprite; 2 spline; 4 group; 6 particles; others write the common part only
    std::string name;
    uint32_t id = 0;
    int32_t width = 0, height = 0;
    float x = 0, y = 0, pivotX = 0, pivotY = 0, angle = 0;
    uint32_t flags = 0;
    uint32_t color = 0xFFFFFFFFu;
    std::vector<uint8_t> nestedJunk;  // the skipped chunk of the common part
    std::vector<CPlacePropertyValue> properties;
    // The older layout's placement: rectangle and offset (x, y, pivot,
    // width and height are not written there).
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    float dx = 0, dy = 0;
    // Sprite.
    int32_t spriteId = -1;
    float offsetX = 0, offsetY = 0;
    uint32_t tileX = 0, tileY = 0;
    float tileScaleX = 1, tileScaleY = 1;
    uint32_t frame = 0;
    uint32_t spriteFlags = 0;  // bit 0, bit 1, blend mode in bits 8-11
    // Group.
    uint32_t groupWord0 = 0, groupWord1 = 0;
    std::vector<uint8_t> groupJunk;
    std::vector<CPlaceObjectDoc> children;
    // Spline (the older layout writes the coordinates as integers).
    uint32_t closed = 0;
    std::vector<CPlaceSplinePoint> points;
    // Particle emitter.
    uint32_t emitterId = 0;
    uint8_t emitting = 1;
    float emitterValue = 1.0f;
    uint32_t tint = 0xFFFFFFFFu;
};

struct CPlaceLayerDoc {
    std::string name;
    uint32_t flag = 0;
    uint32_t flags = 0;  // bit 1 FlagBit1, bit 2 BatchSprites (older layout: bit 1 only)
    std::vector<CPlacePropertyValue> properties;
    std::vector<CPlaceObjectDoc> objects;
};

struct CPlaceSpriteDoc {
    uint32_t id = 0;
    std::string name;
};

struct CPlaceSpriteFileDoc {
    std::string name;
    std::vector<CPlaceSpriteDoc> sprites;
};

struct CPlaceEmitterDoc {
    uint32_t id = 0;
    std::string file;
    std::string emitter;
};

// Replaces the ID of the occurrence-th chunk (from 0) written with id.
struct CPlaceChunkFault {
    uint32_t id = 0;
    int occurrence = 0;
    uint32_t replacement = 0;
};

struct CPlaceFaults {
    std::optional<uint32_t> fileId;
    std::optional<uint32_t> propertyVersion;  // the older layout's 0x1002
    std::optional<uint32_t> layerCount;
    std::optional<uint32_t> spriteFileCount;
    std::vector<CPlaceChunkFault> chunks;
    std::vector<uint8_t> trailing;  // appended after the scene
};

struct CPlaceDocument {
    uint32_t version = 0x1010;  // 0x1007 writes the older layout; others the current one
    std::vector<uint8_t> spriteViewJunk, viewJunk, libraryJunk, snapJunk;
    uint32_t nextEmitterId = 0;
    std::vector<CPlaceEmitterDoc> emitters;
    std::vector<std::string> effectFiles;
    std::vector<CPlacePropertyDesc> descs;
    std::vector<CPlacePropertyValue> properties;
    std::vector<CPlaceSpriteFileDoc> spriteFiles;
    std::vector<CPlaceLayerDoc> layers;
    std::vector<uint8_t> scene;  // a whole scene archive; empty: an empty scene
    CPlaceFaults faults;
};

std::vector<uint8_t> WritePlace(const CPlaceDocument& document);
// The archive of an empty scene named name, with the default time record.
std::vector<uint8_t> WriteEmptyScene(const std::string& name = "");

} // namespace Tools
