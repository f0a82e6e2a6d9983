#include "gameui/MosarkPicButton.h"

#include "controls/RenderContext.h"
#include "gameui/GameButtonFeedback.h"
#include "gameui/SpritePieces.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteRef.h"
#include "graphics/Text.h"

using namespace Engine::Controls;

bool CMosarkPicButton::OnSetCursor() { return GameUi::SetGameButtonCursor(*this); }

// Unlike the game button, the picture button does not test its visible flag
// in its input handlers.
bool CMosarkPicButton::OnLButtonDown(int32_t x, int32_t y, uint32_t flags, uint32_t hit) {
    if (!GameUi::GiveClickFeedback(*this, x, y)) return false;
    return CButton::OnLButtonDown(x, y, flags, hit);
}

bool CMosarkPicButton::OnKeyDown(uint32_t key, uint32_t /*flags*/) {
    GameUi::GiveKeyFeedback(*this, key);
    return false;
}

void CMosarkPicButton::Update(double /*time*/, double /*step*/) { GameUi::GiveHoverFeedback(*this, m_bWasHovered); }

int32_t CMosarkPicButton::GetPictureFrame() const {
    if (m_nSkinFlags & SKIN_TWO_STATE) return HasStyle(CS_DISABLED) ? 1 : 0;
    return IsPressed() ? 2 : IsHovered() ? 1 : 0;
}

void CMosarkPicButton::Draw(CRenderContext& context) {
    if (!m_pPicture) return;
    context.EnableRenderSwitch3();
    context.SetBlendFunc5(6);
    GameUi::SetFrameWithin(*m_pPicture, GetPictureFrame());
    Engine::Graphics::CSpriteQueue::QueueSpriteAtSizeF(context.GetParams(), *m_pPicture, 0.0f, 0.0f, 1.0f, 1.0f,
                                                       GreyWithAlpha(GetAlpha()));
    context.FlushIfPending();
    if (m_nSkinFlags & SKIN_CAPTION) {
        // The caption does not fade.
        GameUi::CCaptionState caption(context, GetFont(), 0xFFFFFFFFu);
        const Engine::Geometry::CVector2& at = IsPressed() ? m_pressedCaptionOffset : m_captionOffset;
        Engine::Graphics::DrawText(caption.Text(), at.x, at.y, float(m_windowRect.Width()), 0.0f, 1.0f, 1.0f,
                                   Engine::Graphics::TEXT_ALIGN_CENTER, 0, m_text);
    }
    context.DisableRenderSwitch3();
}
