#include "graphics/DrawContext.h"

namespace Engine::Graphics {

CDrawContext::~CDrawContext() { CSpriteQueue::FlushIfPending(m_params); }

void CDrawContext::ResetText() {
    m_bCollectGlyphs = 0;
    m_pFont = nullptr;
    m_textColor = 0xFFFFFFFFu;
    m_penX = 0.0f;
    m_penY = 0.0f;
    m_bSnapToPixels = 1;
    m_tabWidth = 16.0f;
    m_fontHeight = 0.0f;
    m_letterSpacing = 0.0f;
    m_lineSpacing = 0.0f;
}

void CDrawContext::SetSecondValue(float value) {
    if (m_values.empty()) m_values.push_back(-1.0f);
    if (m_values.size() < 2)
        m_values.push_back(value);
    else
        m_values[1] = value;
}

} // namespace Engine::Graphics
