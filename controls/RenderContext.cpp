#include "controls/RenderContext.h"

#include <algorithm>

#include "controls/BaseControl.h"
#include "graphics/Graphics.h"
#include "graphics/SpriteQueue.h"

namespace Engine::Controls {

using Graphics::CSpriteQueue;

namespace {

constexpr int kRenderSwitchBlend = 3;
constexpr int kBlendFuncSlot = 5;

} // namespace

Geometry::CRect IntersectRect(const Geometry::CRect& a, const Geometry::CRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

CRenderContext::CRenderContext(Graphics::CGraphics* graphics, const Geometry::CRect& clip)
    : m_pGraphics(graphics), m_clip(clip), m_bClipActive(true) {
    ApplyOrigin();
}

void CRenderContext::ApplyOrigin() {
    CSpriteQueue::CParams& params = m_text.m_params;
    params.offsetX = float(m_origin.x);
    params.offsetY = float(m_origin.y);
    params.clipLeft = float(m_clip.left - m_origin.x);
    params.clipTop = float(m_clip.top - m_origin.y);
    params.clipWidth = float(m_clip.Width());
    params.clipHeight = float(m_clip.Height());
    params.clipOverride = m_bClipActive ? 1 : 0;
}

void CRenderContext::PushClipRect(int32_t dx, int32_t dy, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    m_stack.push_back({m_origin, m_clip, m_bClipActive});
    m_origin = {m_origin.x + dx, m_origin.y + dy};
    const Geometry::CRect wanted{left + m_origin.x, top + m_origin.y, right + m_origin.x, bottom + m_origin.y};
    m_clip = m_bClipActive ? IntersectRect(m_clip, wanted) : wanted;
    m_bClipActive = true;
    ApplyOrigin();
}

bool CRenderContext::PopClipRect() {
    if (m_stack.empty()) return false;
    const CSaved saved = m_stack.back();
    m_stack.pop_back();
    m_origin = saved.origin;
    m_clip = saved.clip;
    m_bClipActive = saved.clipActive;
    ApplyOrigin();
    return true;
}

void CRenderContext::FillRect(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t color) {
    // The empty sprite's quad is one pixel: the scales are the size.
    CSpriteQueue::QueueSpriteAtSize(GetParams(), CSpriteQueue::GetEmptySprite(), x, y, width, height, color);
}

void CRenderContext::Flush() { CSpriteQueue::Flush(GetParams()); }

void CRenderContext::FlushIfPending() { CSpriteQueue::FlushIfPending(GetParams()); }

void CRenderContext::EnableRenderSwitch3() {
    if (m_pGraphics) m_pGraphics->gSwitch(kRenderSwitchBlend, true);
}

void CRenderContext::DisableRenderSwitch3() {
    if (m_pGraphics) m_pGraphics->gSwitch(kRenderSwitchBlend, false);
}

void CRenderContext::SetBlendFunc5(int value) {
    if (m_pGraphics) m_pGraphics->gSetBlendFunc(kBlendFuncSlot, value);
}

void QueueCaptionQuad(CRenderContext& context, int32_t x, int32_t y, int32_t width, int32_t height) {
    constexpr uint32_t kDark = 0xFF6A240Au, kLight = 0xFFEFC9A5u;
    Graphics::CSpriteQueueItem* item = CSpriteQueue::Append(context.GetParams(), CSpriteQueue::GetEmptySprite(), kDark);
    if (!item) return;
    item->x = float(x);
    item->y = float(y);
    item->scaleX = float(width);
    item->scaleY = float(height);
    item->colors[Graphics::CORNER_TOP_LEFT] = kDark;
    item->colors[Graphics::CORNER_TOP_RIGHT] = kLight;
    item->colors[Graphics::CORNER_BOTTOM_LEFT] = kDark;
    item->colors[Graphics::CORNER_BOTTOM_RIGHT] = kLight;
    CSpriteQueue::CommitLast(context.GetParams());
}

} // namespace Engine::Controls
