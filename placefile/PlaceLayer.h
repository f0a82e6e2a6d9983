#pragma once
// One layer of a place file: its top-level objects in drawing order, its
// flags and its custom properties.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/Archive.h"
#include "app/FirstMatchIndex.h"
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
    // (x, y); the queue is empty afterwards unless a quit stopped the frame.
    void Draw(float x, float y, float opacity);
    // Draw walks only the objects that can draw (sprites, particle objects,
    // the sprites of groups), listed when the objects are read. Whoever
    // changes Objects, a group's children, a Type or a top-level Name
    // afterwards calls InvalidateDrawSteps; the next Draw or look-up lists
    // them again.
    void InvalidateDrawSteps() {
        m_stepsListed = false;
        m_namesListed = false;
    }
    // The first top-level object whose Name, up to its first NUL, equals the
    // text, else null: what a strcmp walk of Objects finds, by a look-up in
    // names listed on the first call.
    CPlaceObject* FindObjectByName(const char* name);
    // True when the layer holds objects but none that can draw.
    bool DrawsNothing();

    CString Name;
    std::vector<std::unique_ptr<CPlaceObject>> Objects;
    uint8_t Flag = 0;
    uint8_t FlagBit1 = 0;
    // The older layout stores no bit for it: its layers batch.
    uint8_t BatchSprites = 1;
    CPlaceFile* PlaceFile;
    CCustomPropertyValues Properties;

private:
    enum EDrawStep : uint8_t { STEP_SPRITE, STEP_PARTICLES, STEP_CHILD };
    struct CDrawStep {
        CPlaceObject* object;
        EDrawStep kind;
        // A top-level object starts here: a quit that stopped the frame ends
        // the layer, as the walk of every object would have found it here.
        bool checksQuit;
    };

    void ReadObjects(CArchive& ar, bool legacy);
    void ListDrawSteps();

    std::vector<CDrawStep> m_steps;
    // Objects that draw nothing come last: the walk looked for a quit
    // before its closing flush.
    bool m_checksQuitAtEnd = false;
    bool m_stepsListed = false;
    Engine::CFirstMatchIndex<std::string, CPlaceObject*> m_byName;
    bool m_namesListed = false;
};

// Flushes the sprite queue when it holds items.
void FlushSpriteQueue(const SpriteFlushParams& params);

} // namespace Engine::Graphics::PlaceFile
