#include "gameui/MosarkPlaceDisplay.h"

#include <algorithm>

#include "app/Exception.h"
#include "app/Math.h"
#include "controls/ControlDescription.h"
#include "controls/RenderContext.h"
#include "gameui/ControlSounds.h"
#include "placefile/PlaceFile.h"
#include "placefile/PlaceSpriteObject.h"

using namespace Engine::Controls;
using Engine::Graphics::PlaceFile::CPlaceObject;
using Engine::Graphics::PlaceFile::CPlaceSpriteObject;

namespace {

// Blending off again however Draw ends.
class CBlendingScope {
public:
    explicit CBlendingScope(CRenderContext& context) : m_context(context) {
        m_context.EnableRenderSwitch3();
        m_context.SetBlendFunc5(6);
    }
    ~CBlendingScope() { m_context.DisableRenderSwitch3(); }
    CBlendingScope(const CBlendingScope&) = delete;
    CBlendingScope& operator=(const CBlendingScope&) = delete;

private:
    CRenderContext& m_context;
};

} // namespace

CMosarkPlaceDisplay::CMosarkPlaceDisplay() = default;
CMosarkPlaceDisplay::~CMosarkPlaceDisplay() noexcept(false) = default;

void CMosarkPlaceDisplay::Update(double /*time*/, double step) {
    if (!m_bFadeRunning) return;
    const float old = m_fFadeLevel;
    m_fFadeLevel = old + GameUi::GetGameGlobalFloat(*this, "MOSARK_ARTIFACT_FADE_FPS") * float(step);
    if (m_bRingPending && old < 0.0f && m_fFadeLevel >= 0.0f) {
        m_bRingPending = false;
        GameUi::PlayControlSound(*this, GameUi::kRingSound);
    }
    if (m_fFadeLevel > 1.0f) {
        m_fFadeLevel = 1.0f;
        m_bRingPending = false;
    }
}

Engine::Geometry::CVector2 CMosarkPlaceDisplay::GetObjectPosition(const CPlaceObject& object) const {
    const CRect placed = DescribePlacement(const_cast<CPlaceObject&>(object)).GetBounds();
    return {m_fOffsetX + float(placed.left) * m_fScale, m_fOffsetY + float(placed.top) * m_fScale};
}

void CMosarkPlaceDisplay::DrawSpriteObject(CRenderContext& context, CPlaceObject& object, uint32_t color) const {
    if (object.Type != Engine::Graphics::PlaceFile::PLACE_SPRITE)
        throw Engine::CException::Format("Incompatible region type in '%s', SpriteObject requested", object.Name.c_str());
    const auto* sprite = dynamic_cast<CPlaceSpriteObject&>(object).Sprite.get();
    if (!sprite) return;
    const Engine::Geometry::CVector2 at = GetObjectPosition(object);
    Engine::Graphics::CSpriteQueue::QueueSpriteAtSizeF(context.GetParams(), *sprite, at.x, at.y, m_fScale, m_fScale,
                                                      color);
    context.FlushIfPending();
}

void CMosarkPlaceDisplay::Draw(CRenderContext& context) {
    if (!m_pPlaceFile) return;
    const float f = std::clamp(m_fFadeLevel, 0.0f, 1.0f);
    const CBlendingScope blending(context);
    const auto& layers = m_pPlaceFile->Layers;
    // A layer without a flag is hidden: only the flagged ones are looked at.
    const size_t flagged = std::min(layers.size(), m_layerFlags.size());
    for (size_t i = 0; i < flagged; ++i) {
        if (!m_layerFlags[i]) continue;
        // Layer 0 stays opaque; the others fade out as 1 - F^2.
        const float opacity = EaseInOut(i == 0 ? 1.0f : 1.0f - f, 0.0f, 1.0f);
        const uint32_t color = WithAlpha(0xFFFFFFu, GetAlpha(opacity));
        for (const auto& object : layers[i]->Objects) DrawSpriteObject(context, *object, color);
    }
    if (m_bHighlight && !layers.empty() && !layers.back()->Objects.empty())
        DrawSpriteObject(context, *layers.back()->Objects.front(), WithAlpha(0xFFFFFFu, GetAlpha(f)));
}

bool CMosarkPlaceDisplay::OnLButtonDown(int32_t x, int32_t y, uint32_t /*flags*/, uint32_t /*hit*/) {
    if (!m_bClickEffects) return false;
    GameUi::PlayControlSound(*this, GameUi::kClickSound);
    const CRect screen = ClientToScreen();
    GameUi::PlayClickEffect(GameUi::FindGameData(*this), float(x + screen.left), float(y + screen.top));
    return true;
}
