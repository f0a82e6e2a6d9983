#pragma once
// The animated side of a place object: created by class name while a place
// file's scene archive is read, bound by ID to a place object of that file,
// it turns the animation's values (degrees, percent) into the object's
// fields (radians, fractions, packed colours).

#include <cstdint>

#include "app/Geometry.h"
#include "app/Referenced.h"
#include "scene/ReflectionAniObject.h"
#include "scene/ReflectionAnimObject.h"

namespace Engine::Graphics::PlaceFile {

class CPlaceFile;
class CPlaceObject;

class CAniPlaceObject : public Engine::Scene::IReflectionAnimObject {
public:
    // Holds a counted reference to its wrapper until it is unbound.
    explicit CAniPlaceObject(Engine::Scene::CReflectionAniObject* pRefObject);

    // The bound object's name, "No Object!" before binding.
    CString GetName() const override;
    // Reads the chunk with the place-object ID and binds to that object of
    // the place file being read. Writes nothing.
    void Serialize(CArchive& ar) override;
    // Lets go of the wrapper, which is letting go of this object.
    void Unbind() override;

    // The object with the ID; throws "Can't find object '%d' in place file
    // '%s'", with the name the file was loaded under, when there is none (or
    // no place file is being read).
    static CPlaceObject* BindObject(const CPlaceFile* placeFile, uint32_t id);

    // Degrees.
    void SetAngle(float value);
    float GetAngle() const;
    void SetPosition(Engine::Geometry::CVector2 value);
    Engine::Geometry::CVector2 GetPosition() const;
    // Whole pixels, truncated toward zero.
    void SetSize(Engine::Geometry::CVector2 value);
    Engine::Geometry::CVector2 GetSize() const;
    // Percent.
    void SetZoom(Engine::Geometry::CVector2 value);
    Engine::Geometry::CVector2 GetZoom() const;
    // Percent per channel, clamped to 0..100 and packed.
    void SetColor(Engine::Geometry::CVector4 value);
    Engine::Geometry::CVector4 GetColor() const;

    CPlaceObject* GetObject() const { return m_object; }

protected:
    // Accessors on an unbound object do nothing and read as zero.
    CPlaceObject* m_object = nullptr;

private:
    ref_ptr<Engine::Scene::CReflectionAniObject> m_refObject;
};

// The single-precision conversion factors of the animated properties.
inline constexpr float kPercent = 0.01f;
inline constexpr float kDegreesToRadians = 0.01745329f;
inline constexpr float kRadiansToDegrees = 57.29578f;

// A float truncated toward zero into the int32 range; NaN gives 0.
int32_t TruncateToInt32(double value);
// A colour byte (0..255) as percent.
float ByteToPercent(uint32_t byte);

} // namespace Engine::Graphics::PlaceFile
