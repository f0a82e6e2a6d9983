#pragma once
// The way through the game's chapters as a path on a map: nodes joined by
// line sprites. In progress mode the line to the current node reveals
// itself from one edge, the node and its caption fade in as it arrives and
// a "map_line" sparkle sweeps along the caption. In choice mode the player
// points at reached nodes (which lights the path up to them) and clicks one
// to make it the current node. The owner fills the fields after creation.

#include <array>
#include <vector>

#include "app/Geometry.h"
#include "app/Referenced.h"
#include "controls/Static.h"
#include "gameui/MosarkBaseControl.h"
#include "placefile/PlaceSplineObject.h"

namespace Engine::Graphics::SprFile {
class CSpriteRef;
}
namespace Engine::Graphics::PlaceFile {
class CPlaceLayer;
}
namespace Engine::Particles {
class CVexaParticleEmitter;
}

class CMosarkPath : public Engine::Controls::CStatic, public CMosarkBaseControl {
public:
    static constexpr int32_t kMaxNodes = 6;
    enum Mode : int32_t { MODE_PROGRESS = 0, MODE_CHOICE = 1 };
    enum Direction : int32_t { FROM_LEFT = 0, FROM_TOP = 1, FROM_RIGHT = 2, FROM_BOTTOM = 3 };

    CMosarkPath();
    ~CMosarkPath() noexcept(false) override;

    // Both always leave the event to the default processing.
    bool OnLButtonDown(int32_t x, int32_t y, uint32_t flags, uint32_t hit) override;
    bool OnMouseMove(int32_t x, int32_t y, uint32_t flags, uint32_t hit) override;
    void Update(double time, double step) override;
    void Draw(Engine::Controls::CRenderContext& context) override;

    // The nearest node strictly within the radius, other than the excluded
    // one; of equally near nodes the lower index; else -1.
    int32_t FindNodeAt(float x, float y, float radius, int32_t excluded) const;
    // The segment the node lies in: 0..5, or 6 beyond every segment.
    static int32_t FindSegmentIndex(int32_t node);

    // Not owned; Draw does nothing while it is null.
    Engine::Graphics::SprFile::CSpriteRef* m_pNodeSprite = nullptr;
    // Node positions (x, y of each point) in client coordinates.
    std::vector<Engine::Graphics::PlaceFile::CSplinePoint> m_nodes;
    std::vector<float> m_lineProgress;
    std::vector<float> m_captionFade;
    // Entries past the per-node tables, or past any list, are left out.
    int32_t m_nNodeCount = 57;
    int32_t m_nCurrentNode = 5;
    int32_t m_nReachedNode = 10;
    int32_t m_nMode = MODE_PROGRESS;
    bool m_bLongCaptions = false;
    Engine::Geometry::CPoint m_ptCaptionScreenPos{0, 0};
    // Not owned; holds the line sprites "line0", "line1", ... in screen
    // coordinates.
    Engine::Graphics::PlaceFile::CPlaceLayer* m_pLineLayer = nullptr;
    bool m_bRunning = false;
    bool m_bInputEnabled = false;
    std::array<float, kMaxNodes> m_lineSpeed{1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    std::array<int32_t, kMaxNodes> m_lineDirection{};
    // 0: caption right of the node; else left of it.
    std::array<int32_t, kMaxNodes> m_captionSide{};
    std::array<bool, kMaxNodes> m_emitterPending{};
    float m_fChoiceSpeed = 2.0f;
    bool m_bEmitterStarted = false;
    // The sparkle last started; the effect file keeps drawing it.
    Engine::ref_ptr<Engine::Particles::CVexaParticleEmitter> m_pCaptionEmitter;
    int32_t m_nHoverNode = -1;
    int32_t m_nChosenNode = -1;

private:
    // The nodes every list and table holds.
    int32_t Count() const;
    bool IsNode(int32_t index) const { return index >= 0 && index < Count(); }
    int32_t FindNodeUnderPointer(int32_t x, int32_t y, float radius) const;
    // Returns the progress of the current line (0 when it is not drawn).
    float DrawLines(Engine::Controls::CRenderContext& context, uint32_t a0);
    void DrawMarkers(Engine::Controls::CRenderContext& context, uint32_t a0, float t);
    void DrawCaption(Engine::Controls::CRenderContext& context, uint32_t a0, float t);
    void MoveEmitter(int32_t node, float x, float y);
};
