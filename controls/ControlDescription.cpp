#include "controls/ControlDescription.h"

#include <cmath>

#include "app/Exception.h"
#include "placefile/PlaceSpriteObject.h"

namespace Engine::Controls {

Geometry::CRect CControlDescription::GetBounds() const {
    const int32_t left = int32_t(std::floor(x - hotSpotX * float(width) + 0.5f));
    const int32_t top = int32_t(std::floor(y - hotSpotY * float(height) + 0.5f));
    return {left, top, left + width, top + height};
}

bool CControlDescription::GetProperty(const char* name) const {
    const auto found = properties.find(name);
    if (found == properties.end()) throw CException::Format("Can't find custom property by name '%s'", name);
    return found->second;
}

CControlDescription DescribePlacement(Graphics::PlaceFile::CPlaceObject& object) {
    CControlDescription description;
    description.width = object.Width;
    description.height = object.Height;
    description.x = object.Position.x;
    description.y = object.Position.y;
    description.hotSpotX = object.Pivot.x;
    description.hotSpotY = object.Pivot.y;
    description.color = object.Color;
    description.placeObject = &object;
    return description;
}

CControlDescription ReadControlDescription(Graphics::PlaceFile::CPlaceSpriteObject& object) {
    CControlDescription description = DescribePlacement(object);
    for (const auto& [id, value] : object.Properties.GetValues())
        if (value.desc && value.desc->type == Graphics::PlaceFile::PROPERTY_BOOLEAN)
            description.properties.emplace(value.desc->name.str(), value.flag != 0);
    description.sprite = object.Sprite.get();
    return description;
}

} // namespace Engine::Controls
