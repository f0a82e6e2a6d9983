#pragma once
// A vertical level bar: a frame sprite over a level sprite cut at the
// height of the shown value and a texture flowing inside, with a glowing
// warning pass while the value is below a tenth of the maximum. The shown
// value eases toward the set value. The owner assigns the fields.

#include "app/Geometry.h"
#include "controls/Static.h"
#include "gameui/MosarkBaseControl.h"

namespace Engine::Graphics::SprFile {
class CSpriteRef;
}

class CMosarkBar : public Engine::Controls::CStatic, public CMosarkBaseControl {
public:
    void Update(double time, double step) override;
    void Draw(Engine::Controls::CRenderContext& context) override;

    // Not owned. Nothing is drawn without a frame sprite.
    Engine::Graphics::SprFile::CSpriteRef* m_pFrameSprite = nullptr;
    // Frames 2i (empty look) and 2i + 1 (full look) of pass i.
    Engine::Graphics::SprFile::CSpriteRef* m_pLevelSprite = nullptr;
    // Frame i of pass i; half of its height shows, scrolling.
    Engine::Graphics::SprFile::CSpriteRef* m_pFlowSprite = nullptr;
    float m_fMaximum = 1.0f;
    bool m_bReserved = false;
    float m_fValue = 0.0f;
    float m_fShownValue = 0.0f;
    // Left and bottom place the full piece.
    Engine::Geometry::CRect m_rcFull;
    // Left, top and right place the flow texture; left and bottom the
    // empty piece.
    Engine::Geometry::CRect m_rcEmpty;
    // Only the frame sprite, in frame 1.
    bool m_bAltFrame = false;
    float m_fClock = 0.0f;

private:
    void DrawFlow(Engine::Controls::CRenderContext& context, int pass, uint32_t color);
    void DrawLevel(Engine::Controls::CRenderContext& context, int pass, uint32_t color);
    // The part of a height that the shown value fills; all of it when the
    // maximum is too small to divide by.
    float Filled(int32_t height) const;
};
