#pragma once
// One layer of a place file: its top-level objects in drawing order, its
// flags and its custom properties.

#include <cstdint>
#include <memory>
#include <vector>

#include "app/Archive.h"
#include "app/String.h"
#include "placefile/CustomProperties.h"
#include "placefile/PlaceObject.h"

namespace Engine::Graphics::PlaceFile {

class CPlaceFile;

class CPlaceLayer {
public:
    CPlaceLayer(CPlaceFile* placeFile, const CCustomPropertyDescs* descs) : PlaceFile(placeFile), Properties(descs) {}
    CPlaceLayer(const CPlaceLayer&) = delete;
    CPlaceLayer& operator=(const CPlaceLayer&) = delete;

    // Chunk 0x2222 and the layer's fields, then its objects.
    void Serialize(CArchive& ar);
    void SerializeLegacy(CArchive& ar);
    // Queues the layer's sprites and renders its particle objects, moved by
    // (x, y); the queue is empty afterwards.
    void Draw(float x, float y, float opacity);

    CString Name;
    std::vector<std::unique_ptr<CPlaceObject>> Objects;
    uint8_t Flag = 0;
    uint8_t FlagBit1 = 0;
    // The older layout stores no bit for it: its layers batch.
    uint8_t BatchSprites = 1;
    CPlaceFile* PlaceFile;
    CCustomPropertyValues Properties;

private:
    void ReadObjects(CArchive& ar, bool legacy);
};

// Flushes the sprite queue when it holds items.
void FlushSpriteQueue(const SpriteFlushParams& params);

} // namespace Engine::Graphics::PlaceFile
