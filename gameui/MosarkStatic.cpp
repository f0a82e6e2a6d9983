#include "gameui/MosarkStatic.h"

#include <algorithm>

#include "controls/RenderContext.h"
#include "gameui/SpritePieces.h"
#include "graphics/Text.h"

using namespace Engine::Graphics;

void CMosarkStatic::Update(double /*time*/, double step) {
    if (!m_bFading) return;
    m_fFadeAlpha = std::clamp(float(double(m_fFadeAlpha) + double(m_fFadeSpeed) * step), 0.0f, 1.0f);
}

uint32_t CMosarkStatic::GetPlacementFlags() const {
    const bool top = HasStyle(SS_TOP), bottom = HasStyle(SS_BOTTOM);
    const bool left = HasStyle(SS_LEFT), right = HasStyle(SS_RIGHT);
    uint32_t flags = TEXT_WORD_WRAP;
    if (!top && !bottom) flags |= TEXT_VALIGN_CENTER;
    else if (bottom && !top) flags |= TEXT_VALIGN_BOTTOM;
    if (!left && !right) flags |= TEXT_ALIGN_CENTER;
    else if (right && !left) flags |= TEXT_ALIGN_RIGHT;
    return flags;
}

void CMosarkStatic::Draw(Engine::Controls::CRenderContext& context) {
    const auto font = GetFont();
    const uint32_t alpha = GetAlpha(m_bFading ? m_fFadeAlpha : 1.0f);
    GameUi::CCaptionState caption(context, font, WithAlpha(m_nColor, alpha));
    context.EnableRenderSwitch3();
    context.SetBlendFunc5(6);
    // Without a font there is no height to add to.
    if (m_bLineHeight && font) caption.Text().m_fontHeight = float(font->GetHeight()) + m_fLineHeightAdd;
    if (m_bLineGap) caption.Text().m_lineSpacing = float(m_nLineGap);
    const float left = float(m_ptTextOffset.x), top = float(m_ptTextOffset.y);
    DrawTextInRect(caption.Text(), m_text, GetPlacementFlags(), 0, left, top, left + float(m_windowRect.Width()),
                   top + float(m_windowRect.Height()));
    context.FlushIfPending();
    context.DisableRenderSwitch3();
}
