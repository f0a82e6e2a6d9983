#include "gameui/MosarkButton.h"

#include "controls/ControlsManager.h"
#include "controls/RenderContext.h"
#include "gameui/ControlSounds.h"
#include "gameui/GameButtonFeedback.h"
#include "gameui/SpritePieces.h"
#include "graphics/SpriteRef.h"
#include "graphics/Text.h"

using namespace Engine::Controls;
using Engine::Graphics::SprFile::CSpriteRef;

namespace {

constexpr uint32_t kCaptionColor = 0xFF8CDFFFu;
constexpr uint32_t kCaptionHighlight = 0xFFFFFFFFu;

} // namespace

bool CMosarkButton::OnSetCursor() { return GameUi::SetGameButtonCursor(*this); }

bool CMosarkButton::OnLButtonDown(int32_t x, int32_t y, uint32_t flags, uint32_t hit) {
    if (!HasStyle(CS_VISIBLE) || !GameUi::GiveClickFeedback(*this, x, y)) return false;
    return CButton::OnLButtonDown(x, y, flags, hit);
}

bool CMosarkButton::OnKeyDown(uint32_t key, uint32_t /*flags*/) {
    // Unhandled either way: the widget activates on the release.
    if (HasStyle(CS_VISIBLE)) GameUi::GiveKeyFeedback(*this, key);
    return false;
}

void CMosarkButton::Update(double /*time*/, double /*step*/) {
    if (HasStyle(CS_VISIBLE)) GameUi::GiveHoverFeedback(*this, m_bWasHovered);
}

float CMosarkButton::Scale() const { return (m_nSkinFlags & SKIN_SMALL) ? 0.3f : 1.0f; }

int32_t CMosarkButton::Cell() const { return (m_nSkinFlags & SKIN_SMALL) ? 30 : 60; }

void CMosarkButton::Draw(CRenderContext& context) {
    if (!HasStyle(CS_VISIBLE)) return;
    // Without game data there is no sprite; the caption still shows.
    CSpriteRef* sprite = GameUi::FindControlSprite(*this, (m_nSkinFlags & SKIN_SMALL) ? "button-mini" : "button");
    context.EnableRenderSwitch3();
    context.SetBlendFunc5(6);
    const uint32_t alpha = GetAlpha();
    int32_t state = HasStyle(CS_DISABLED) ? STATE_DISABLED
                    : IsPressed()         ? STATE_PRESSED
                    : IsHovered()         ? STATE_HOVERED
                                          : STATE_NORMAL;
    if (sprite && sprite->GetSpriteFrameCount() <= state) state = STATE_NORMAL;
    const bool shifted = (m_nSkinFlags & SKIN_PRESS_SHIFT) && (state == STATE_HOVERED || state == STATE_PRESSED);
    const float shift = shifted ? 2.0f * Scale() : 0.0f;
    // A frame without width has no caps to stretch between.
    const float piece = sprite ? float(sprite->GetSpriteFrameWidth(0)) / 3.0f : 0.0f;
    if (piece > 0.0f && !IsCheckable() && !(m_nSkinFlags & SKIN_NO_FRAME)) {
        const int32_t n = Cell();
        const float width = float(m_windowRect.Width());
        const uint32_t color = GreyWithAlpha(alpha);
        const auto& params = context.GetParams();
        sprite->SetFrame(state);
        GameUi::QueueSpritePiece(params, *sprite, 0.0f, shift, 0, 0, n, n, color);
        GameUi::QueueSpriteAtPieceF(params, *sprite, width - piece, shift, float(2 * n), 0.0f, n, n, color);
        GameUi::QueueSpritePieceScaled(params, *sprite, piece, shift, (width - 2.0f * piece) / piece, 1.0f, float(n),
                                       0.0f, n, n, color);
        context.FlushIfPending();
    }
    DrawCaption(context, state, shift, alpha);
    if (sprite && IsCheckable()) DrawGlyph(context, *sprite, alpha);
    context.FlushIfPending();
    context.DisableRenderSwitch3();
}

void CMosarkButton::DrawCaption(CRenderContext& context, int32_t state, float shift, uint32_t alpha) {
    const float s = Scale();
    const bool small = (m_nSkinFlags & SKIN_SMALL) != 0;
    uint32_t color = (IsPressed() || IsHovered()) ? kCaptionHighlight : kCaptionColor;
    if (state == STATE_DISABLED) color = kCaptionColor;
    float x = 0.0f, y = shift, width = float(m_windowRect.Width()), lift = -3.0f;
    if (IsCheckable()) {
        if (m_pManager) width -= float(m_pManager->GetMetric(METRIC_CHECK_WIDTH) + m_pManager->GetMetric(METRIC_CHECK_GAP));
        x = 55.0f * s;
        y = 7.0f * s;
        lift = 0.0f;
    } else {
        if (IsPressed()) y += s;
        y += 12.0f * s;
    }
    if (small) {
        y += 3.0f;
        if (IsCheckable()) x += 10.0f;
        lift = -6.0f;
    }
    GameUi::CCaptionState caption(context, GetFont(), WithAlpha(color, alpha));
    Engine::Graphics::DrawText(caption.Text(), float(int32_t(x)), float(int32_t(y + lift)), width, 0.0f, 1.0f, 1.0f,
                               IsCheckable() ? 0u : uint32_t(Engine::Graphics::TEXT_ALIGN_CENTER), 0, m_text);
}

void CMosarkButton::DrawGlyph(CRenderContext& context, CSpriteRef& sprite, uint32_t alpha) {
    const int32_t n = Cell();
    const uint32_t color = (alpha << 24) | (HasStyle(CS_DISABLED) ? 0x808080u : 0xFFFFFFu);
    sprite.SetLastFrame();
    // A radio button always shows the empty box.
    const bool checked = HasStyle(BS_CHECK) && IsChecked();
    GameUi::QueueSpritePiece(context.GetParams(), sprite, 0.0f, 0.0f, checked ? n : 0, 0, n, n, color);
}
