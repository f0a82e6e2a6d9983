#include "gameui/MosarkMaxiDlg.h"

#include <algorithm>
#include <cmath>

#include "app/Math.h"
#include "controls/RenderContext.h"
#include "gameui/ControlSounds.h"
#include "gameui/SpritePieces.h"
#include "graphics/SpriteRef.h"
#include "placefile/PlaceObject.h"

using namespace Engine::Controls;

namespace {

struct CPhase {
    int32_t phase;
    float progress;
};

// Which phase t lies in and how far into it; a phase without length is
// already over.
CPhase FindPhase(float t, const Engine::CDialogTimings& timings) {
    const float fadeIn = std::max(timings.frameFadeIn, 0.0f), unrolling = std::max(timings.unrolling, 0.0f);
    if (fadeIn > 0.0f && t < fadeIn) return {1, t / fadeIn};
    if (unrolling > 0.0f && t < fadeIn + unrolling) return {2, (t - fadeIn) / unrolling};
    if (timings.childrenReveal <= 0.0f) return {3, 1.0f};
    return {3, (t - fadeIn - unrolling) / timings.childrenReveal};
}

float Unit(float value) { return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f); }

CPoint Centre(const CRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

} // namespace

float CMosarkMaxiDlg::ChildOpacity(const CBaseControl& child, float p, float v, float q) const {
    if (m_nPhase == 1) return 0.0f;
    const float reach = float(m_windowRect.Height()) * 0.5f - float(m_nBandHeight);
    const CPoint a = Centre(child.ClientToScreen()), b = Centre(ClientToScreen());
    const float dx = float(a.x - b.x), dy = float(a.y - b.y);
    // A dialog no taller than two bands has no reach: distance plays no part.
    const float distance = reach > 0.0f ? std::sqrt(dx * dx + dy * dy) / reach : 0.0f;
    const float k = 2.0f * (1.0f - q);
    float g = 0.0f;
    if (m_nPhase == 2 && p > 1.0f - q) g = (p - (1.0f - q)) * k - distance;
    if (m_nPhase == 3) g = k * (q + v) - distance;
    return Unit(g);
}

void CMosarkMaxiDlg::SetFade(float t) {
    m_fFadePosition = t;
    const Engine::IGameData* game = GameUi::FindGameData(*this);
    const Engine::CDialogTimings timings = game ? game->GetDialogTimings() : Engine::CDialogTimings{};
    const CPhase phase = game ? FindPhase(t, timings) : CPhase{3, 1.0f};
    m_nPhase = phase.phase;
    float v = Unit(phase.progress);
    if (m_nPhase == 3) {
        m_fOpacity = 1.0f;
    } else {
        m_fOpacity = Unit(EaseInOut(phase.progress, 1.0f, 1.0f));
        v = m_fOpacity;
    }
    for (int32_t i = 0; i < GetChildCount(); ++i) {
        const Ref child = GetChild(i);
        if (auto* mixin = dynamic_cast<CMosarkBaseControl*>(child.get()))
            mixin->m_fOpacity = ChildOpacity(*child, phase.progress, v, timings.overlap);
    }
}

void CMosarkMaxiDlg::Draw(CRenderContext& context) {
    Engine::Graphics::PlaceFile::CPlaceObject* frame = m_pDescription ? m_pDescription->placeObject : nullptr;
    if (frame && frame->Type == Engine::Graphics::PlaceFile::PLACE_SPRITE) {
        const uint32_t color = m_nPhase == 1 ? WithAlpha(0xFFFFFFFFu, GetAlpha()) : 0xFFFFFFFFu;
        context.EnableRenderSwitch3();
        context.SetBlendFunc5(6);
        frame->Color = color;
        if (Engine::Graphics::SprFile::CSpriteRef* sprite = m_pDescription->sprite) {
            const CRect placed = m_bUseWindowRect ? m_windowRect : m_pDescription->GetBounds();
            const float w = float(placed.Width()), h = float(placed.Height()), d = float(m_nBandHeight);
            const float e = EaseInOut(m_nPhase == 1 ? 0.0f : m_fOpacity, 1.0f, 1.0f);
            const float bandCentre = h / 2 - d / 2 - e * (h / 2 - d), bandBottom = bandCentre + d / 2;
            const float body = d + e * (h - 2 * d);
            const auto& params = context.GetParams();
            if (sprite->GetSpriteFrameCount() == 2) {
                // Frame 1 the body, frame 0 the band drawn over its top.
                const float half = float(m_nBandHeight / 2);
                sprite->SetFrame(1);
                const float frameHeight = float(sprite->GetSpriteFrameHeight(1));
                GameUi::QueueSpritePieceF(params, *sprite, color, 0.0f, bandBottom - half, 0.0f,
                                          frameHeight - (body + half), w, body + half);
                context.FlushIfPending();
                sprite->SetFrame(0);
                GameUi::QueueSpritePieceCentredF(params, *sprite, color, w / 2, bandCentre, 0.0f, 0.0f, w, d);
            } else {
                // The band, then the lowest rows of the image as the body.
                GameUi::QueueSpritePieceCentredF(params, *sprite, color, w / 2, bandCentre, 0.0f, 0.0f, w, d);
                GameUi::QueueSpritePieceF(params, *sprite, color, 0.0f, bandBottom, 0.0f, h - body, w, body);
            }
            context.FlushIfPending();
        }
        context.DisableRenderSwitch3();
    }
    DrawChildren(context);
}
