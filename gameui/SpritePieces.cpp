#include "gameui/SpritePieces.h"

#include <algorithm>

#include "controls/RenderContext.h"
#include "graphics/SpriteRef.h"
#include "graphics/Text.h"

namespace GameUi {

using Engine::Graphics::CSpriteQueue;

namespace {

void QueuePiece(const CSpriteQueue::CParams& params, const Engine::Graphics::SprFile::CSpriteRef& sprite, float x,
                float y, const CSourceRect& source, uint32_t color, float scaleX, float scaleY, bool centred) {
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
                      float x, float y, const CSourceRect& source, uint32_t color, float scaleX, float scaleY) {
    QueuePiece(params, sprite, x, y, source, color, scaleX, scaleY, false);
}

void QueueSpritePieceCentred(const CSpriteQueue::CParams& params, const Engine::Graphics::SprFile::CSpriteRef& sprite,
                             float x, float y, const CSourceRect& source, uint32_t color) {
    QueuePiece(params, sprite, x, y, source, color, 1.0f, 1.0f, true);
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
