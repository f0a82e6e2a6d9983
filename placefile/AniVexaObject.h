#pragma once
// The animated side of a particle object: the place object's properties
// plus the emitter's own time, its emitting flag and its tint.

#include "placefile/AniPlaceObject.h"
#include "placefile/PlaceVexaObject.h"

namespace Engine::Graphics::PlaceFile {

class CAniVexaObject : public CAniPlaceObject {
public:
    explicit CAniVexaObject(Engine::Scene::CReflectionAniObject* pRefObject) : CAniPlaceObject(pRefObject) {}

    // After the place object's record, one chunk of any ID, skipped.
    void Serialize(CArchive& ar) override;

    // The getters are not const: they are reached from non-const objects
    // only.
    void SetTime(float value);
    float GetTime();
    void SetIsEmitting(bool value);
    bool GetIsEmitting();
    // Fractions, clamped to 0..1.
    void SetTintColor(Engine::Geometry::CVector4 value);
    Engine::Geometry::CVector4 GetTintColor();

private:
    // The bound object's emitter record when it is a particle object.
    CPlaceVexaObject::CVexaEmitter* Emitter() const;
};

} // namespace Engine::Graphics::PlaceFile
