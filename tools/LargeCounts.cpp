#include "tools/LargeCounts.h"

#include <algorithm>

#include "app/Exception.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/HeavySprites.h"
#include "tools/ImageWriter.h"
#include "tools/NamedCase.h"
#include "tools/SprWriter.h"

namespace Tools {
namespace {

constexpr const char* kScenePath = "place/bg6.place";
constexpr int kSceneNumber = 6;
constexpr uint32_t kLanternId = 100;
constexpr uint32_t kIntegerType = 1;
constexpr size_t kPackEntryBytes = 16;
// The sprite files' pictures, laid side by side over the 800 x 600 window.
constexpr uint32_t kTileSize = 16;
constexpr int kTilesAcross = 800 / int(kTileSize), kTilesDown = 600 / int(kTileSize);

CPlaceObjectDoc& FindObject(CPlaceDocument& place, uint32_t id) {
    std::vector<CPlaceObjectDoc>& objects = place.layers.at(0).objects;
    const auto found = std::find_if(objects.begin(), objects.end(), [id](const CPlaceObjectDoc& o) { return o.id == id; });
    if (found == objects.end()) throw Engine::CException::Format("No object %u in '%s'", id, kScenePath);
    return *found;
}

void AddPropertyValues(CPlaceDocument& place, int count) {
    std::vector<CPlacePropertyValue>& values = place.layers.at(0).objects.at(0).properties;
    for (int i = 0; i < count; ++i) {
        const uint32_t id = kFirstLargeCountId + uint32_t(i);
        place.descs.push_back({id, "value" + std::to_string(i), kIntegerType});
        CPlacePropertyValue value;
        value.id = id;
        value.type = kIntegerType;
        value.word = uint32_t(i);
        values.push_back(value);
    }
}

std::vector<uint8_t> OneImageSprites(int i) {
    CPngImage tile{kTileSize, kTileSize, EPngColour::RGB, 8, false, {}, {}, {}};
    const uint16_t red = uint16_t(i % 256), green = uint16_t(i / 256 % 256);
    for (uint32_t pixel = 0; pixel < kTileSize * kTileSize; ++pixel) tile.samples.insert(tile.samples.end(), {red, green, 128});
    CSprDocument document;
    document.images.push_back({0, WritePng(tile), {}, 0});
    document.sprites.push_back({"tile", 0, 0, false, false, {MakeSprFrame(0, 0, 0, int32_t(kTileSize), int32_t(kTileSize))}});
    return WriteSpr(document);
}

void AddSpriteFiles(CPakWriter& pack, CPlaceDocument& place, int count) {
    for (int i = 0; i < count; ++i) {
        const uint32_t id = kFirstLargeCountId + uint32_t(i);
        const CString file = FormatString("spr/tiles/tile%05d.spr", i);
        pack.Add(file, OneImageSprites(i));
        place.spriteFiles.push_back({file.c_str(), {{id, "tile"}}});
        CPlaceObjectDoc object;
        object.id = id;
        object.name = "tile" + std::to_string(i);
        object.spriteId = int32_t(id);
        object.width = object.height = int32_t(kTileSize);
        object.x = float(i % kTilesAcross * int(kTileSize));
        object.y = float(i / kTilesAcross % kTilesDown * int(kTileSize));
        place.layers.at(0).objects.push_back(object);
    }
}

} // namespace

const char* LargeCountName(CLargeCount large) { return large.name; }

bool FindLargeCount(const std::string& name, CLargeCount& large) {
    return FindNamedCase(name, kLargeCounts, &LargeCountName, large);
}

void AddKeyedLantern(CGeneratedScene& scene, int count) {
    CPlaceObjectDoc copy = FindObject(scene.place, kLanternId);
    copy.id = kFirstLargeCountId;
    copy.name = "keyed lantern";
    scene.place.layers.at(0).objects.push_back(copy);
    std::vector<CSceneKey> keys;
    keys.reserve(size_t(count));
    const double span = scene.scene.spanEnd - scene.scene.spanStart;
    for (int i = 0; i < count; ++i)
        keys.push_back({scene.scene.spanStart + span * i / count, 100.0f + 100.0f * float(i) / float(count)});
    const CSceneCurve zoom = LinearCurve(std::move(keys));
    CSceneObject& animated = scene.scene.objects.emplace_back();
    animated.placeId = copy.id;
    animated.properties = {{kZoomProperty, {zoom, zoom}}};
}

void AddLargeCount(CPakWriter& pack, ELargeCount kind, int count) {
    CGeneratedScene scene = GeneratedScene(kScenePath);
    switch (kind) {
    case ELargeCount::PropertyValues: AddPropertyValues(scene.place, count); break;
    case ELargeCount::PackEntries:
        for (int i = 0; i < count; ++i)
            pack.Add(FormatString("filler/entry%06d.bin", i), std::vector<uint8_t>(kPackEntryBytes, uint8_t(i)));
        break;
    case ELargeCount::SpriteFiles: AddSpriteFiles(pack, scene.place, count); break;
    case ELargeCount::Keys: AddKeyedLantern(scene, count); break;
    }
    AddDemoScenePlace(pack, kSceneNumber, WriteGeneratedScene(scene));
}

} // namespace Tools
