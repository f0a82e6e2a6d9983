#include "gameui/MosarkPath.h"

#include <algorithm>
#include <cmath>

#include "app/Locale.h"
#include "app/Math.h"
#include "controls/ControlDescription.h"
#include "controls/RenderContext.h"
#include "gameui/ControlSounds.h"
#include "gameui/NamedLookup.h"
#include "gameui/SpritePieces.h"
#include "graphics/Text.h"
#include "particles/engine/VexaFile.h"
#include "placefile/PlaceLayer.h"
#include "placefile/PlaceSpriteObject.h"

using namespace Engine::Controls;
using Engine::Graphics::CSpriteQueue;
using Engine::Graphics::PlaceFile::CPlaceSpriteObject;

namespace {

constexpr float kClickRadius = 20.0f, kHoverRadius = 40.0f;
constexpr float kCaptionFadeSpeed = 2.0f;
constexpr float kCaptionWidth = 400.0f, kCaptionHeight = 50.0f;
constexpr const char* kSparkleFile = "vexa/map_line.vexa";
constexpr const char* kSparkleEmitter = "map_line";

// Per segment its node count; no segment is defined, so every node lies
// beyond them all.
constexpr int32_t kSegmentNodeCounts[CMosarkPath::kMaxNodes] = {-1, -1, -1, -1, -1, -1};

float Unit(float v) { return std::clamp(v, 0.0f, 1.0f); }
// A 0..1 value as a byte; NaN reads as 0.
uint32_t Byte(float v) { return ScaledToByte(v * 255.0f); }
// Alpha a over the control's grey.
uint32_t Tinted(uint32_t a, uint32_t a0) { return (a << 24) | (a0 * 0x010101u); }

CString Localised(const char* key, int32_t number) {
    CString name;
    name.Format(key, number);
    return Engine::GetLocaleManager().FindString(name);
}

} // namespace

CMosarkPath::CMosarkPath() = default;
CMosarkPath::~CMosarkPath() noexcept(false) = default;

int32_t CMosarkPath::Count() const {
    const size_t lists = std::min({m_nodes.size(), m_lineProgress.size(), m_captionFade.size(), size_t(kMaxNodes)});
    return std::clamp(m_nNodeCount, 0, int32_t(lists));
}

int32_t CMosarkPath::FindNodeAt(float x, float y, float radius, int32_t excluded) const {
    int32_t best = -1;
    float bestDistance = 1000000.0f;
    const float r2 = radius * radius;
    for (int32_t i = 0; i < Count(); ++i) {
        const float dx = x - m_nodes[size_t(i)].Point.x, dy = y - m_nodes[size_t(i)].Point.y;
        const float d = dx * dx + dy * dy;
        if (d < r2 && d < bestDistance && i != excluded) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

int32_t CMosarkPath::FindSegmentIndex(int32_t node) {
    for (int32_t s = 0; s < kMaxNodes; ++s)
        if ((node -= kSegmentNodeCounts[s]) < 0) return s;
    return kMaxNodes;
}

// A node that may be picked: reached, and not the last one.
int32_t CMosarkPath::FindNodeUnderPointer(int32_t x, int32_t y, float radius) const {
    if (m_nMode != MODE_CHOICE || !m_bInputEnabled) return -1;
    const int32_t last = Count() - 1;
    const int32_t i = FindNodeAt(float(x), float(y), radius, last);
    return i != -1 && i <= m_nReachedNode && i < last ? i : -1;
}

bool CMosarkPath::OnLButtonDown(int32_t x, int32_t y, uint32_t /*flags*/, uint32_t /*hit*/) {
    if (const int32_t i = FindNodeUnderPointer(x, y, kClickRadius); i != -1) m_nCurrentNode = m_nChosenNode = i;
    return false;
}

bool CMosarkPath::OnMouseMove(int32_t x, int32_t y, uint32_t /*flags*/, uint32_t /*hit*/) {
    if (const int32_t i = FindNodeUnderPointer(x, y, kHoverRadius); i != -1) m_nHoverNode = i;
    return false;
}

void CMosarkPath::Update(double /*time*/, double step) {
    if (!m_bRunning) return;
    const float dt = float(step);
    const bool hovering = m_nMode == MODE_CHOICE && m_nHoverNode != -1;
    const int32_t target = hovering ? m_nHoverNode : m_nCurrentNode;
    for (int32_t i = 0; i < Count(); ++i) {
        const float speed = m_nMode == MODE_CHOICE ? m_fChoiceSpeed : m_lineSpeed[size_t(i)];
        float& v = m_lineProgress[size_t(i)];
        v = Unit(i <= target ? v + speed * dt : v - speed * dt);
    }
    for (int32_t i = 0; i < Count(); ++i) {
        const size_t k = size_t(i);
        if (!hovering && !m_bEmitterStarted && !m_emitterPending[k] && i == m_nCurrentNode && dt > 0.0001f &&
            m_lineProgress[k] > 0.5f)
            m_emitterPending[k] = m_bEmitterStarted = true;
        const float delta = i == target ? kCaptionFadeSpeed * dt : -kCaptionFadeSpeed * dt;
        m_captionFade[k] = Unit(m_captionFade[k] + delta);
    }
}

float CMosarkPath::DrawLines(CRenderContext& context, uint32_t a0) {
    const CRect screen = ClientToScreen();
    const CPoint origin{screen.left + m_clientOrigin.x, screen.top + m_clientOrigin.y};
    float current = 0.0f;
    for (int32_t i = 0; i < Count(); ++i) {
        CString name;
        name.Format("line%i", i);
        auto* line =
            m_pLineLayer ? dynamic_cast<CPlaceSpriteObject*>(m_pLineLayer->FindObjectByName(name.c_str())) : nullptr;
        if (!line || !line->Sprite) continue;
        const auto& sprite = *line->Sprite;
        const CRect placed = DescribePlacement(*line).GetBounds();
        const int32_t x = placed.left - origin.x, y = placed.top - origin.y;
        const float p = m_lineProgress[size_t(i)];
        if (m_nMode == MODE_CHOICE) {
            CSpriteQueue::QueueSpriteAt(context.GetParams(), sprite, x, y, Tinted(Byte(p), a0));
            continue;
        }
        const int32_t w = sprite.GetSpriteFrameWidth(), h = sprite.GetSpriteFrameHeight();
        const uint32_t grey = GreyWithAlpha(a0);
        if (i < m_nCurrentNode) CSpriteQueue::QueueSprite(context.GetParams(), sprite, x, y, 0, 0, w, h, grey);
        if (i != m_nCurrentNode) continue;
        current = p;
        const int32_t wp = int32_t(float(w) * Unit(p)), hp = int32_t(float(h) * Unit(p));
        switch (m_lineDirection[size_t(i)]) {
        case FROM_LEFT: CSpriteQueue::QueueSprite(context.GetParams(), sprite, x, y, 0, 0, wp, h, grey); break;
        case FROM_TOP: CSpriteQueue::QueueSprite(context.GetParams(), sprite, x, y, 0, 0, w, hp, grey); break;
        case FROM_RIGHT:
            CSpriteQueue::QueueSprite(context.GetParams(), sprite, x + w - wp, y, w - wp, 0, wp, h, grey);
            break;
        case FROM_BOTTOM:
            CSpriteQueue::QueueSprite(context.GetParams(), sprite, x, y + h - hp, 0, h - hp, w, hp, grey);
            break;
        default: break;
        }
    }
    context.FlushIfPending();
    return current;
}

void CMosarkPath::DrawMarkers(CRenderContext& context, uint32_t a0, float t) {
    for (int32_t i = 0; i < Count(); ++i) {
        int32_t frame = 0;
        uint32_t alpha = a0;
        if (m_nMode == MODE_CHOICE) {
            frame = i == m_nHoverNode ? 2 : 1;
            if (i > m_nReachedNode) alpha = 0;
        } else {
            frame = i == m_nCurrentNode ? 2 : i <= m_nReachedNode ? 1 : 0;
            if (i > m_nCurrentNode) alpha = 0;
            if (i == m_nCurrentNode) alpha = Byte(t);
        }
        if (FindSegmentIndex(i + 1) != FindSegmentIndex(i)) frame += 3;
        GameUi::SetFrameWithin(*m_pNodeSprite, frame);
        const auto& node = m_nodes[size_t(i)].Point;
        GameUi::QueueSpriteAtF(context.GetParams(), *m_pNodeSprite, node.x, node.y, Tinted(alpha, a0));
    }
    context.FlushIfPending();
}

void CMosarkPath::DrawCaption(CRenderContext& context, uint32_t a0, float t) {
    const int32_t h = m_nHoverNode;
    const float x = m_nodes[size_t(h)].Point.x, y = m_nodes[size_t(h)].Point.y;
    const bool choice = m_nMode == MODE_CHOICE;
    const uint32_t color = Tinted(choice ? Byte(m_captionFade[size_t(h)]) : Byte(t), a0);
    if (choice) {
        m_pNodeSprite->SetFrame(0);
        GameUi::QueueSpriteAtF(context.GetParams(), *m_pNodeSprite, x, y, color);
        context.FlushIfPending();
    } else {
        m_bLongCaptions = false;
    }
    const bool longKeys = m_bLongCaptions && h == 2;
    const CString title = Localised(longKeys ? "CHAPTER_%i_LONG" : "CHAPTER_%i", h + 1);
    const CString text = Localised(longKeys ? "CHAPTER_TEXT_%i_LONG" : "CHAPTER_TEXT_%i", h + 1);
    const bool right = m_captionSide[size_t(h)] == 0;
    const float bx = right ? float(int32_t(x + 25.0f)) : float(int32_t(x - 25.0f)) - kCaptionWidth;
    const uint32_t align = right ? Engine::Graphics::TEXT_ALIGN_LEFT : Engine::Graphics::TEXT_ALIGN_RIGHT;
    const float by = y - 20.0f;
    float textWidth = 0.0f;
    if (const Engine::IGameData* game = GameUi::FindGameData(*this)) {
        GameUi::CCaptionState caption(context, game->GetHeadingFont(), color);
        auto& layout = caption.Text();
        Engine::Graphics::DrawText(layout, bx, by, kCaptionWidth, kCaptionHeight, 1.0f, 1.0f, align, 0, title);
        Engine::Graphics::CTextLayout::SetFont(layout, game->GetBodyFont());
        Engine::Graphics::DrawText(layout, bx, by + 25.0f, kCaptionWidth, kCaptionHeight, 1.0f, 1.0f, align, 0, text);
        layout.m_extentX = layout.m_extentY = 0.0f;
        Engine::Graphics::DrawText(layout, 0.0f, 0.0f, kCaptionWidth, 0.0f, 1.0f, 1.0f,
                                   Engine::Graphics::TEXT_MEASURE, 0, text);
        textWidth = layout.m_extentX;
    }
    // The sparkle runs along the text as the caption fades in.
    const float sweep = choice ? 0.0f : t;
    const float ex = right ? bx + textWidth * sweep : bx + kCaptionWidth - (1.0f - sweep) * textWidth;
    const CRect screen = ClientToScreen();
    const CPoint origin{screen.left + m_clientOrigin.x, screen.top + m_clientOrigin.y};
    MoveEmitter(h, float(origin.x) + ex, float(origin.y) + 25.0f + by);
    m_ptCaptionScreenPos = {int32_t(float(origin.x) + x), int32_t(float(origin.y) + y)};
}

void CMosarkPath::MoveEmitter(int32_t node, float x, float y) {
    if (m_emitterPending[size_t(node)]) {
        m_emitterPending[size_t(node)] = false;
        const Engine::IGameData* game = GameUi::FindGameData(*this);
        // Without the effect file loaded the caption just shows no sparkle.
        if (const auto file = game ? GameUi::FindDependentByName(game->GetParticleFiles(), kSparkleFile) : nullptr)
            m_pCaptionEmitter = file->CreateEmitter(kSparkleEmitter, game->GetEffectClock());
    }
    if (m_pCaptionEmitter) m_pCaptionEmitter->SetPosition({x, y, 0.0f});
}

void CMosarkPath::Draw(CRenderContext& context) {
    if (!m_pNodeSprite) return;
    const uint32_t a0 = GetAlpha();
    context.EnableRenderSwitch3();
    context.SetBlendFunc5(6);
    const float p = DrawLines(context, a0);
    const float t = std::min(1.0f, 2.0f * std::max(0.0f, p - 0.5f));
    DrawMarkers(context, a0, m_nMode == MODE_CHOICE ? 0.0f : t);
    if (m_nMode != MODE_CHOICE) m_nHoverNode = m_nCurrentNode;
    if (IsNode(m_nHoverNode)) DrawCaption(context, a0, m_nMode == MODE_CHOICE ? 0.0f : t);
    context.DisableRenderSwitch3();
}
