#include "gameui/MosarkSlider.h"

#include "controls/ControlsManager.h"
#include "controls/RenderContext.h"
#include "gameui/ControlSounds.h"
#include "gameui/SpritePieces.h"
#include "graphics/SpriteRef.h"

using namespace Engine::Controls;

namespace {

constexpr int32_t kSliderCursor = 12;
constexpr int32_t kCell = 35;

} // namespace

bool CMosarkSlider::OnSetCursor() {
    if (m_pManager) m_pManager->SetCursor(kSliderCursor);
    return true;
}

void CMosarkSlider::AdjustWindowRect(CRect& rect) {
    rect.right -= 10;
    rect.bottom -= 10;
}

bool CMosarkSlider::HandleEvent(ControlEvent& event) {
    return HasStyle(CS_DISABLED) ? CBaseControl::HandleEvent(event) : CSlider::HandleEvent(event);
}

void CMosarkSlider::Draw(CRenderContext& context) {
    context.EnableRenderSwitch3();
    context.SetBlendFunc5(6);
    const uint32_t color = WithAlpha(0xFFFFFFu, GetAlpha());
    if (auto* sprite = GameUi::FindControlSprite(*this, "slider")) {
        const float w = float(m_windowRect.Width());
        const bool focused = m_pManager && m_pManager->GetFocus().get() == this;
        GameUi::SetFrameWithin(*sprite, focused ? 1 : 0);
        const auto& params = context.GetParams();
        GameUi::QueueSpritePiece(params, *sprite, 5.0f, 0.0f, 0, 0, kCell, kCell, color);
        GameUi::QueueSpriteAtPieceF(params, *sprite, w - 30.0f, 0.0f, float(2 * kCell), 0.0f, kCell, kCell, color);
        GameUi::QueueSpritePieceScaled(params, *sprite, 40.0f, 0.0f, (w - 70.0f) / float(kCell), 1.0f, float(kCell),
                                       0.0f, kCell, kCell, color);
        context.FlushIfPending();
        // Flushed apart so that the thumb lies over the track.
        GameUi::QueueSpriteAtPieceF(params, *sprite, float(GetThumbOffset()) + 15.0f, 0.0f, float(3 * kCell), 0.0f,
                                    kCell, kCell, color);
        context.FlushIfPending();
    }
    context.DisableRenderSwitch3();
}
