#include "gameui/SpritePieces.h"

#include <algorithm>

#include "controls/RenderContext.h"
#include "graphics/SpriteRef.h"
#include "graphics/Text.h"

namespace GameUi {

using Engine::Graphics::CSpriteQueue;

namespace {

// A rectangle within a sprite's current frame, in texels.
struct CSourceRect {
    float x;
    float y;
    float width;
    float height;
};

// The body of every piece entry.
void QueuePiece(const CSpriteQueue::CParams& params, const Engine::Graphics::SprFile::CSpriteRef& sprite, float x,
                float y, const CSourceRect& source, uint32_t color, float scaleX = 1.0f, float scaleY = 1.0f,
                bool centred = false) {
    Engine::Graphics::CSpriteQueueItem* item = CSpriteQueue::Append(params, sprite, color);
    if (!item) return;
    if (centred) item->centred = 1;
    item->x = x;
    item->y = y;
    item->sourceX = source.x;
    item->sourceY = source.y;
    item->sourceWidth = source.width;
    item->sourceHeight = source.height;
    item->scaleX = scaleX;
    item->scaleY = scaleY;
    CSpriteQueue::CommitLast(params);
}

} // namespace

void QueueSpritePiece(const CSpriteQueue::CParams& params, const Engine::Graphics::SprFile::CSpriteRef& sprite,
                      float x, float y, int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight,
                      uint32_t color) {
    QueuePiece(params, sprite, x, y, {float(sourceX), float(sourceY), float(sourceWidth), float(sourceHeight)},
               color);
}

void QueueSpriteAtPieceF(const CSpriteQueue::CParams& params, const Engine::Graphics::SprFile::CSpriteRef& sprite,
                         float x, float y, float sourceX, float sourceY, int32_t sourceWidth, int32_t sourceHeight,
                         uint32_t color) {
    QueuePiece(params, sprite, x, y, {sourceX, sourceY, float(sourceWidth), float(sourceHeight)}, color);
}

void QueueSpritePieceScaled(const CSpriteQueue::CParams& params, const Engine::Graphics::SprFile::CSpriteRef& sprite,
                            float x, float y, float scaleX, float scaleY, float sourceX, float sourceY,
                            int32_t sourceWidth, int32_t sourceHeight, uint32_t color) {
    QueuePiece(params, sprite, x, y, {sourceX, sourceY, float(sourceWidth), float(sourceHeight)}, color, scaleX,
               scaleY);
}

void QueueSpriteSrcF(const CSpriteQueue::CParams& params, const Engine::Graphics::SprFile::CSpriteRef& sprite,
                     int32_t x, int32_t y, float sourceX, float sourceY, float sourceWidth, float sourceHeight,
                     uint32_t color) {
    QueuePiece(params, sprite, float(x), float(y), {sourceX, sourceY, sourceWidth, sourceHeight}, color);
}

void QueueSpritePieceF(const CSpriteQueue::CParams& params, const Engine::Graphics::SprFile::CSpriteRef& sprite,
                       uint32_t color, float x, float y, float sourceX, float sourceY, float sourceWidth,
                       float sourceHeight) {
    QueuePiece(params, sprite, x, y, {sourceX, sourceY, sourceWidth, sourceHeight}, color);
}

void QueueSpritePieceCentredF(const CSpriteQueue::CParams& params,
                              const Engine::Graphics::SprFile::CSpriteRef& sprite, uint32_t color, float x, float y,
                              float sourceX, float sourceY, float sourceWidth, float sourceHeight) {
    QueuePiece(params, sprite, x, y, {sourceX, sourceY, sourceWidth, sourceHeight}, color, 1.0f, 1.0f, true);
}

void QueueSpriteAtF(const CSpriteQueue::CParams& params, const Engine::Graphics::SprFile::CSpriteRef& sprite, float x,
                    float y, uint32_t color) {
    Engine::Graphics::CSpriteQueueItem* item = CSpriteQueue::Append(params, sprite, color);
    if (!item) return;
    item->x = x;
    item->y = y;
    CSpriteQueue::CommitLast(params);
}

void SetFrameWithin(Engine::Graphics::SprFile::CSpriteRef& sprite, int32_t frame) {
    sprite.SetFrame(std::min(frame, std::max(sprite.GetSpriteFrameCount(), 1) - 1));
}

CCaptionState::CCaptionState(Engine::Controls::CRenderContext& context, Engine::ref_ptr<Engine::Graphics::CFont> font,
                             uint32_t color)
    : m_context(context), m_text(context.GetText()), m_pSavedFont(m_text.m_pFont), m_savedColor(m_text.m_textColor),
      m_savedFontHeight(m_text.m_fontHeight), m_savedLineSpacing(m_text.m_lineSpacing) {
    Engine::Graphics::CTextLayout::SetFont(m_text, std::move(font));
    m_text.m_textColor = color;
}

CCaptionState::~CCaptionState() {
    m_context.FlushIfPending();
    m_text.m_pFont = std::move(m_pSavedFont);
    m_text.m_textColor = m_savedColor;
    m_text.m_fontHeight = m_savedFontHeight;
    m_text.m_lineSpacing = m_savedLineSpacing;
}

} // namespace GameUi
