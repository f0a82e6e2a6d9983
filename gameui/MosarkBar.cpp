#include "gameui/MosarkBar.h"

#include <algorithm>
#include <cmath>

#include "controls/RenderContext.h"
#include "gameui/SpritePieces.h"
#include "graphics/SpriteQueue.h"
#include "graphics/SpriteRef.h"

using Engine::Graphics::CSpriteQueue;

namespace {

constexpr float kEaseRate = 0.9f;
constexpr double kFlowSpeed = 3.0;  // pixels per second
constexpr float kWarningRatio = 0.1f;
constexpr float kSmallest = 0.0001f;

} // namespace

void CMosarkBar::Update(double /*time*/, double step) {
    m_fShownValue = float(double(m_fShownValue) + double(m_fValue - m_fShownValue) * step * double(kEaseRate));
    m_fClock = float(double(m_fClock) + step);
}

void CMosarkBar::Draw(Engine::Controls::CRenderContext& context) {
    if (!m_pFrameSprite) return;
    // The ratio and the fill read 1 for a maximum too small to divide by.
    const bool divisible = m_fMaximum > kSmallest;
    const float ratio = divisible ? m_fValue / m_fMaximum : 1.0f;
    const float warning = ratio < kWarningRatio ? 0.5f * std::sin(m_fValue * 3.1415f) + 0.5f : 0.0f;
    context.EnableRenderSwitch3();
    context.SetBlendFunc5(6);
    m_fShownValue = std::clamp(m_fShownValue, 0.0f, std::max(m_fMaximum, 0.0f));
    const int passes = warning < kSmallest ? 1 : 2;
    if (!m_bAltFrame) {
        if (m_pFlowSprite)
            for (int pass = 0; pass < passes; ++pass)
                DrawFlow(context, pass, GreyWithAlpha(GetAlpha(pass == 0 ? 1.0f : warning)));
        if (m_pLevelSprite)
            for (int pass = 0; pass < passes; ++pass)
                DrawLevel(context, pass, GreyWithAlpha(GetAlpha(pass == 0 ? 1.0f : warning)));
    }
    GameUi::SetFrameWithin(*m_pFrameSprite, m_bAltFrame ? 1 : 0);
    CSpriteQueue::QueueSpriteAtSizeF(context.GetParams(), *m_pFrameSprite, 0.0f, 0.0f, 1.0f, 1.0f,
                                     GreyWithAlpha(GetAlpha()));
    context.FlushIfPending();
    context.DisableRenderSwitch3();
}

void CMosarkBar::DrawFlow(Engine::Controls::CRenderContext& context, int pass, uint32_t color) {
    GameUi::SetFrameWithin(*m_pFlowSprite, pass);
    const int32_t height = m_pFlowSprite->GetSpriteFrameHeight();
    const int32_t half = height / 2;
    // The product in double: in float a long-running clock would round the
    // scroll to whole steps.
    const float scroll = half > 0 ? float(std::fmod(double(m_fClock) * kFlowSpeed, double(half))) : 0.0f;
    const int32_t x = m_rcEmpty.left + (m_rcEmpty.right - m_rcEmpty.left) / 2;
    GameUi::QueueSpriteSrcF(context.GetParams(), *m_pFlowSprite, x, m_rcEmpty.top, 0.0f, scroll,
                            float(m_pFlowSprite->GetSpriteFrameWidth()), float(height) * 0.5f, color);
    context.FlushIfPending();
}

float CMosarkBar::Filled(int32_t height) const {
    return m_fMaximum > kSmallest ? float(height) * m_fShownValue / m_fMaximum : float(height);
}

void CMosarkBar::DrawLevel(Engine::Controls::CRenderContext& context, int pass, uint32_t color) {
    // The empty piece is measured before its frame is chosen: in pass 0 the
    // frame the last Draw left, in pass 1 the full look of pass 0.
    const int32_t emptyHeight = m_pLevelSprite->GetSpriteFrameHeight();
    const int32_t width = m_pLevelSprite->GetSpriteFrameWidth();
    const int32_t empty = int32_t(float(emptyHeight) - Filled(emptyHeight));
    GameUi::SetFrameWithin(*m_pLevelSprite, 2 * pass);
    CSpriteQueue::QueueSprite(context.GetParams(), *m_pLevelSprite, m_rcEmpty.left, m_rcEmpty.bottom - empty, 0, 0,
                              width, empty, color);
    GameUi::SetFrameWithin(*m_pLevelSprite, 2 * pass + 1);
    const int32_t fullHeight = m_pLevelSprite->GetSpriteFrameHeight();
    const int32_t full = int32_t(Filled(fullHeight));
    CSpriteQueue::QueueSprite(context.GetParams(), *m_pLevelSprite, m_rcFull.left, m_rcFull.bottom - full, 0,
                              fullHeight - full, width, full, color);
    context.FlushIfPending();
}
