#pragma once
// The animated side of a sprite object: the place object's properties plus
// the frame (an index, or percent of the frame range), the shift inside the
// frame and the tiling of the sprite, and the opacity.

#include "placefile/AniPlaceObject.h"

namespace Engine::Graphics::PlaceFile {

class CPlaceSpriteObject;

class CAniSpriteObject : public CAniPlaceObject {
public:
    explicit CAniSpriteObject(Engine::Scene::CReflectionAniObject* pRefObject) : CAniPlaceObject(pRefObject) {}

    // After the place object's record, a chunk 0x5050 with the percent flag;
    // another chunk ID throws "CAniSpriteObject::Serialize(...) : FAILED :
    // Invalid chunk ID".
    void Serialize(CArchive& ar) override;

    // Sets the frame drawn (clamped to the sprite's frames); reads the
    // starting frame.
    void SetFrame(float value);
    float GetFrame() const;
    // Percent of the frame size.
    void SetSpriteOffset(Engine::Geometry::CVector2 value);
    Engine::Geometry::CVector2 GetSpriteOffset() const;
    void SetSpriteTile(Engine::Geometry::CVector2 value);
    Engine::Geometry::CVector2 GetSpriteTile() const;
    // Percent; the alpha byte of the colour.
    void SetOpacity(float value);
    float GetOpacity() const;

    bool IsFrameInPercent() const { return m_frameInPercent; }

private:
    // The bound object when it is a sprite object, else null.
    CPlaceSpriteObject* Sprite() const;
    // The sprite's number of frames: 1 without a definition.
    int32_t GetFrameCount() const;

    bool m_frameInPercent = false;
};

} // namespace Engine::Graphics::PlaceFile
