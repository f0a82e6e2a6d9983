#pragma once
// What a control is laid out from: a sprite object of a scene layout, as far
// as the controls read it. The control keeps a plain pointer to its
// description, which must outlive it.

#include <cstdint>
#include <map>
#include <string>

#include "app/Geometry.h"

namespace Engine::Graphics::SprFile {
class CSpriteRef;
}
namespace Engine::Graphics::PlaceFile {
class CPlaceObject;
class CPlaceSpriteObject;
}

namespace Engine::Controls {

struct CControlDescription {
    int32_t width = 0;
    int32_t height = 0;
    float x = 0.0f;  // position of the hot spot
    float y = 0.0f;
    float hotSpotX = 0.0f;  // fraction of the size at which the position lies
    float hotSpotY = 0.0f;
    // The boolean custom properties by name; properties of other types
    // never enter, so a style word stored as a number changes nothing.
    std::map<std::string, bool> properties;
    // The object's sprite (not owned); null for an object without one.
    Graphics::SprFile::CSpriteRef* sprite = nullptr;
    uint32_t color = 0xFFFFFFFFu;
    // The sprite object it was read from (not owned); null for a
    // description made by hand, which draws nothing of its own.
    Graphics::PlaceFile::CPlaceObject* placeObject = nullptr;

    // The placed rectangle: left = floor(x - hot spot x * width + 0.5), top
    // likewise, then the size as it stands.
    Geometry::CRect GetBounds() const;
    bool FindProperty(const char* name) const { return properties.count(name) != 0; }
    // Throws Engine::CException "Can't find custom property by name '%s'".
    bool GetProperty(const char* name) const;
};

// The placement, colour and object of any place object: no properties and
// no sprite, so it draws nothing of its own.
CControlDescription DescribePlacement(Graphics::PlaceFile::CPlaceObject& object);
// The description of a sprite object of a place file: its size, position,
// pivot as hot spot, boolean custom properties, sprite and colour. The
// object must outlive the description.
CControlDescription ReadControlDescription(Graphics::PlaceFile::CPlaceSpriteObject& object);

} // namespace Engine::Controls
