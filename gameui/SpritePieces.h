#pragma once
// Sprite-queue producers of the game controls: one piece of a sprite's
// current frame, and the control's own text state for a caption.

#include <cstdint>

#include "app/Referenced.h"
#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/SpriteQueue.h"

namespace Engine::Controls {
class CRenderContext;
}

namespace GameUi {

// Pieces of a sprite's current frame at (x, y) in one colour, a full queue
// flushed first; the source rectangle is in texels of that frame.
void QueueSpritePiece(const Engine::Graphics::CSpriteQueue::CParams& params,
                      const Engine::Graphics::SprFile::CSpriteRef& sprite, float x, float y, int32_t sourceX,
                      int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight, uint32_t color);
void QueueSpriteAtPieceF(const Engine::Graphics::CSpriteQueue::CParams& params,
                         const Engine::Graphics::SprFile::CSpriteRef& sprite, float x, float y, float sourceX,
                         float sourceY, int32_t sourceWidth, int32_t sourceHeight, uint32_t color);
// Stretched by the two scale factors.
void QueueSpritePieceScaled(const Engine::Graphics::CSpriteQueue::CParams& params,
                            const Engine::Graphics::SprFile::CSpriteRef& sprite, float x, float y, float scaleX,
                            float scaleY, float sourceX, float sourceY, int32_t sourceWidth, int32_t sourceHeight,
                            uint32_t color);
void QueueSpriteSrcF(const Engine::Graphics::CSpriteQueue::CParams& params,
                     const Engine::Graphics::SprFile::CSpriteRef& sprite, int32_t x, int32_t y, float sourceX,
                     float sourceY, float sourceWidth, float sourceHeight, uint32_t color);
void QueueSpritePieceF(const Engine::Graphics::CSpriteQueue::CParams& params,
                       const Engine::Graphics::SprFile::CSpriteRef& sprite, uint32_t color, float x, float y,
                       float sourceX, float sourceY, float sourceWidth, float sourceHeight);
// The same with the piece's vertical centre, not its top, at y.
void QueueSpritePieceCentredF(const Engine::Graphics::CSpriteQueue::CParams& params,
                              const Engine::Graphics::SprFile::CSpriteRef& sprite, uint32_t color, float x, float y,
                              float sourceX, float sourceY, float sourceWidth, float sourceHeight);

// The whole current frame placed by its hot spot at (x, y), in one colour.
void QueueSpriteAtF(const Engine::Graphics::CSpriteQueue::CParams& params,
                    const Engine::Graphics::SprFile::CSpriteRef& sprite, float x, float y, uint32_t color);

// Sets the current frame, held within the sprite's frames: a sprite with
// fewer frames than its user expects shows its last one.
void SetFrameWithin(Engine::Graphics::SprFile::CSpriteRef& sprite, int32_t frame);

// The context's text state set to a font and a colour for one Draw; the
// previous font, colour and spacings come back at the end, after what was
// queued has been flushed.
class CCaptionState {
public:
    CCaptionState(Engine::Controls::CRenderContext& context, Engine::ref_ptr<Engine::Graphics::CFont> font,
                  uint32_t color);
    ~CCaptionState();
    CCaptionState(const CCaptionState&) = delete;
    CCaptionState& operator=(const CCaptionState&) = delete;

    Engine::Graphics::CDrawContext& Text() { return m_text; }

private:
    Engine::Controls::CRenderContext& m_context;
    Engine::Graphics::CDrawContext& m_text;
    Engine::ref_ptr<Engine::Graphics::CFont> m_pSavedFont;
    uint32_t m_savedColor;
    float m_savedFontHeight;
    float m_savedLineSpacing;
};

} // namespace GameUi
