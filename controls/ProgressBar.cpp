#include "controls/ProgressBar.h"

#include "controls/ControlDescription.h"
#include "controls/RenderContext.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteRef.h"

namespace Engine::Controls {

namespace {

// The top-left width x height part of the sprite's current frame at (x, 0).
void QueueProgressPiece(CRenderContext& context, Graphics::SprFile::CSpriteRef& sprite, int32_t x, int32_t width,
                        int32_t height, uint32_t flags) {
    using Graphics::CSpriteQueue;
    Graphics::CSpriteQueueItem* item =
        CSpriteQueue::Append(context.GetParams(), sprite, sprite.GetTemplate().colors[Graphics::CORNER_TOP_LEFT]);
    if (!item) return;
    item->flags = flags;
    item->x = float(x);
    item->y = 0.0f;
    item->sourceX = 0.0f;
    item->sourceY = 0.0f;
    item->sourceWidth = float(width);
    item->sourceHeight = float(height);
    CSpriteQueue::CommitLast(context.GetParams());
}

} // namespace

int32_t GetProgressFillWidth(const CProgressBar& bar, int32_t width) {
    if (bar.m_minimum == bar.m_maximum || width == 0) return width;
    // 64-bit, so a wide range times a wide bar cannot overflow.
    return int32_t(int64_t(bar.m_value - int64_t(bar.m_minimum)) * width /
                   (int64_t(bar.m_maximum) - bar.m_minimum));
}

void CProgressBar::Draw(CRenderContext& context) {
    const int32_t w = m_clientRect.Width(), h = m_clientRect.Height();
    if (m_pDescription && m_pDescription->sprite) {
        Graphics::SprFile::CSpriteRef& sprite = *m_pDescription->sprite;
        const int32_t frames = sprite.GetSpriteFrameCount();
        const int32_t fill = GetProgressFillWidth(*this, w);
        if (frames == 2) {
            sprite.SetFrame(0);
            QueueProgressPiece(context, sprite, 0, fill, h, Graphics::SPRITE_TILE);
            context.FlushIfPending();
            sprite.SetFrame(1);
            QueueProgressPiece(context, sprite, fill, w - fill, h, Graphics::SPRITE_TILE);
            context.FlushIfPending();
        } else if (frames == 1) {
            sprite.SetFrame(0);
            QueueProgressPiece(context, sprite, 0, fill, h, Graphics::SPRITE_BLEND_ALPHA);
            context.FlushIfPending();
        }
    }
    DrawChildren(context);
}

} // namespace Engine::Controls
