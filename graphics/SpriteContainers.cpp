// The driver base's buffered drawing: the per-frame containers, their
// rotation, and the entries that buffer instead of drawing while they exist.

#include <algorithm>

#include "app/Math.h"
#include "graphics/Graphics.h"
#include "graphics/SpriteQueue.h"

namespace Engine::Graphics {

void SetBlendFactors(CGraphics& driver, int source, int destination) {
    if (driver.GetSpritesContainer()) {
        driver.m_nRecordedBlendSrc = source;
        driver.m_nRecordedBlendDst = destination;
    } else {
        driver.gSetBlendFunc(source, destination);
    }
}

void CGraphics::CreateSpriteContainers() {
    m_pDirtyRects = new CDirtyRects(this);
    m_pCurrentSprites = new CBufferedSpritesContainer();
    m_pNextSprites = new CBufferedSpritesContainer();
    m_pThirdSprites = new CBufferedSpritesContainer();
}

void CGraphics::DestroySpriteContainers() {
    m_pDirtyRects = nullptr;
    m_pCurrentSprites = nullptr;
    m_pNextSprites = nullptr;
    m_pThirdSprites = nullptr;
}

void CGraphics::ClearSpriteContainers() {
    if (!m_pDirtyRects) return;
    for (CBufferedSpritesContainer* container : {m_pCurrentSprites.get(), m_pNextSprites.get(), m_pThirdSprites.get()})
        if (container) container->Clear();
}

void CGraphics::SwapSpriteContainers() {
    if (!m_bThreeContainers) {
        std::swap(m_pCurrentSprites, m_pNextSprites);
        return;
    }
    ref_ptr<CBufferedSpritesContainer> oldCurrent = std::move(m_pCurrentSprites);
    m_pCurrentSprites = std::move(m_pNextSprites);
    m_pNextSprites = std::move(m_pThirdSprites);
    m_pThirdSprites = std::move(oldCurrent);
}

ref_ptr<CBufferedSpritesContainer> CGraphics::GetSpritesContainer() const { return m_pCurrentSprites; }
ref_ptr<CDirtyRects> CGraphics::GetDirtyRects() const { return m_pDirtyRects; }

CBufferedDrawState CGraphics::GetRecordedDrawState() const {
    return {m_nRecordedBlendSrc, m_nRecordedBlendDst, uint32_t(m_bRecordedAlphaBlend ? 1 : 0)};
}

void CGraphics::FinishBufferedFrame() {
    if (!m_pCurrentSprites || !m_pNextSprites) return;
    UpdateDirtyRects(*m_pCurrentSprites, *m_pNextSprites);
    m_pNextSprites->Clear();
    SwapSpriteContainers();
}

void CGraphics::BufferParticleQuads(int32_t firstQuad, ref_ptr<CVertexBuffer> vertices, int32_t count,
                                    ref_ptr<CTexture> texture) {
    if (!m_pDirtyRects) {
        DrawQuadsWatched(vertices, firstQuad, count);
        return;
    }
    // Only sprite vertices can be buffered, and only quads the buffer holds.
    if (!m_pCurrentSprites || !vertices || vertices->GetVertexSize() != int32_t(sizeof(SpriteVertex))) return;
    const int32_t quads = vertices->GetCount() / 4;
    if (count <= 0 || firstQuad < 0 || firstQuad >= quads) return;
    count = std::min(count, quads - firstQuad);
    void* memory = vertices->Lock();
    if (!memory) return;
    const SpriteVertex* start = static_cast<const SpriteVertex*>(memory) + 4 * firstQuad;
    const CBufferedDrawState state = GetRecordedDrawState();
    // Counted as drawn quads are: a quit found drops the rest.
    TakeQuadsWatched(count, [&](int32_t first, int32_t piece) {
        m_pCurrentSprites->AddQuads(state, start + 4 * first, piece, texture);
    });
    vertices->Unlock();
}

void CGraphics::ClearColorAsQuad(uint32_t& flags) {
    if (!m_pDirtyRects || !(flags & CLEAR_COLOR)) return;
    const CSpriteQueue::CParams params;
    const uint32_t color = PackColorRGBA(m_clearColor[0], m_clearColor[1], m_clearColor[2], m_clearColor[3]);
    if (CSpriteQueueItem* item = CSpriteQueue::Append(params, CSpriteQueue::GetEmptySprite(), color)) {
        // The empty sprite is one texel: its scale is its size.
        item->scaleX = float(m_params.width);
        item->scaleY = float(m_params.height);
        // A clear replaces what is there: a blend state left over from
        // earlier drawing must not apply to it.
        item->flags = SPRITE_BLEND_OFF;
        CSpriteQueue::CommitLast(params);
    }
    flags &= ~uint32_t(CLEAR_COLOR);
    CSpriteQueue::FlushIfPending(params);
}

} // namespace Engine::Graphics
