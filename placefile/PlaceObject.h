#pragma once
// The base of every object of a place file (sprite, spline, group, particle
// emitter), its common fields and readers, and the factories that create an
// object from its stored type code.

#include <cstdint>
#include <memory>

#include "app/Archive.h"
#include "app/Geometry.h"
#include "app/String.h"
#include "graphics/SpriteQueue.h"
#include "placefile/CustomProperties.h"

namespace Engine::Graphics::PlaceFile {

class CPlaceLayer;
class CPlaceGroupObject;

enum EPlaceObjectType : uint32_t {
    PLACE_SPRITE = 1,
    PLACE_SPLINE = 2,
    PLACE_SPRITE_UNLINKED = 3,  // read like a sprite, never linked nor drawn by its layer
    PLACE_GROUP = 4,
    PLACE_PARTICLES = 6,
};

// The flush record of every place drawing: no offset, no colour override.
using SpriteFlushParams = CSpriteQueue::CParams;

class CPlaceObject {
public:
    CPlaceObject(CPlaceLayer* layer, CPlaceGroupObject* parent);
    virtual ~CPlaceObject() = default;
    CPlaceObject(const CPlaceObject&) = delete;
    CPlaceObject& operator=(const CPlaceObject&) = delete;

    // The object itself when the ID matches, else null.
    virtual CPlaceObject* FindObjectByID(uint32_t id);
    // Queues the object, moved by (x, y); only sprites draw.
    virtual void Draw(const SpriteFlushParams& params, float x, float y, bool drawHidden, float opacity);
    // Draws the object alone and flushes.
    virtual void DrawAt(float x, float y, bool drawHidden, float opacity);
    virtual void SerializeLegacy(CArchive& ar);
    virtual void Serialize(CArchive& ar);

    float Angle = 0.0f;  // radians, about Position
    int32_t Width = 0;
    int32_t Height = 0;
    Engine::Geometry::CVector2 Position{0.0f, 0.0f};
    Engine::Geometry::CVector2 Zoom{1.0f, 1.0f};
    Engine::Geometry::CVector2 Pivot{0.0f, 0.0f};  // fractions of Width and Height
    CPlaceLayer* Layer;
    uint32_t Type = 0;
    CPlaceGroupObject* Parent;
    uint32_t ID = 0;
    CCustomPropertyValues Properties;
    CString Name;
    uint8_t Flag0 = 0;
    uint8_t Flag1 = 0;
    uint8_t QueueFlag1 = 0;
    uint8_t QueueFlag2 = 0;
    uint8_t UseOwnBlendMode = 0;
    uint32_t Color = 0xFFFFFFFFu;
    uint8_t Visible = 1;

private:
    void SetFlags(uint32_t flags);
};

// The current layout's factory: type code, then the object's chunks.
// Unknown codes throw "Unknown place object type %u".
std::unique_ptr<CPlaceObject> CreatePlaceObject(CArchive& ar, CPlaceLayer* layer, CPlaceGroupObject* parent);
// The older layout's: codes 1 to 4 only.
std::unique_ptr<CPlaceObject> CreatePlaceObjectLegacy(CArchive& ar, CPlaceLayer* layer, CPlaceGroupObject* parent);

} // namespace Engine::Graphics::PlaceFile
