#pragma once
// The sprites of chosen layers of a place file, placed by an offset and a
// uniform scale. The upper layers cross-fade against a highlighted sprite
// (the first of the last layer) at the rate "MOSARK_ARTIFACT_FADE_FPS";
// when the fade passes zero a ring sound plays once. With click effects on,
// a left click plays the click sound and effect. The owner attaches the
// place file and sets the fields.

#include <vector>

#include "app/Geometry.h"
#include "app/Referenced.h"
#include "controls/Static.h"
#include "gameui/MosarkBaseControl.h"

namespace Engine::Graphics::PlaceFile {
class CPlaceFile;
class CPlaceObject;
} // namespace Engine::Graphics::PlaceFile

class CMosarkPlaceDisplay : public Engine::Controls::CStatic, public CMosarkBaseControl {
public:
    CMosarkPlaceDisplay();
    ~CMosarkPlaceDisplay() noexcept(false) override;

    bool OnLButtonDown(int32_t x, int32_t y, uint32_t flags, uint32_t hit) override;
    void Update(double time, double step) override;
    // Throws Engine::CException when a drawn object is not a sprite object.
    void Draw(Engine::Controls::CRenderContext& context) override;

    // Display position of the object's placed top-left corner.
    Engine::Geometry::CVector2 GetObjectPosition(const Engine::Graphics::PlaceFile::CPlaceObject& object) const;

    Engine::ref_ptr<Engine::Graphics::PlaceFile::CPlaceFile> m_pPlaceFile;
    float m_fOffsetX = 0.0f;
    float m_fOffsetY = 0.0f;
    float m_fScale = 0.0f;
    bool m_bFadeRunning = false;
    // May start below 0; Update holds it at 1.
    float m_fFadeLevel = 0.0f;
    bool m_bHighlight = false;
    bool m_bClickEffects = false;
    bool m_bRingPending = false;
    // Layer i is drawn only when flag i is set; a missing flag hides it.
    std::vector<bool> m_layerFlags;

private:
    void DrawSpriteObject(Engine::Controls::CRenderContext& context, Engine::Graphics::PlaceFile::CPlaceObject& object,
                          uint32_t color) const;
};
