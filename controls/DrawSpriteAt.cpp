#include "controls/DrawSpriteAt.h"

#include <algorithm>

#include "controls/RenderContext.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteRef.h"

namespace Engine::Controls {

// Draws the description's sprite here until the place-file library provides
// the place object's own drawing; then this forwards to it with the same
// offset (x - left, y - top), forced visible.
void DrawSpriteAt(const CControlDescription& description, CRenderContext& context, float x, float y, float factor) {
    Graphics::SprFile::CSpriteRef* sprite = description.sprite;
    if (!sprite) return;
    const int32_t frameWidth = sprite->GetSpriteFrameWidth(), frameHeight = sprite->GetSpriteFrameHeight();
    if (frameWidth <= 0 || frameHeight <= 0) return;
    const float alpha = float(description.color >> 24) * std::clamp(factor, 0.0f, 1.0f);
    const uint32_t color = (description.color & 0x00FFFFFFu) | (uint32_t(alpha) << 24);
    Graphics::CSpriteQueue::QueueSpriteAtSizeF(context.GetParams(), *sprite, x, y,
                                               float(description.width) / float(frameWidth),
                                               float(description.height) / float(frameHeight), color);
}

} // namespace Engine::Controls
