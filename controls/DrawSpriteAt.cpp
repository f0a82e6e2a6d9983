#include "controls/DrawSpriteAt.h"

#include "controls/RenderContext.h"
#include "placefile/PlaceObject.h"

namespace Engine::Controls {

void DrawSpriteAt(const CControlDescription& description, CRenderContext& context, float x, float y, float factor) {
    if (!description.placeObject) return;
    const Geometry::CRect bounds = description.GetBounds();
    // A hidden description still shows on its control.
    description.placeObject->Draw(context.GetParams(), x - float(bounds.left), y - float(bounds.top), true, factor);
}

} // namespace Engine::Controls
