#pragma once
// The controller interface as the scene model uses it: an animatable that
// yields a value of its value type at a time and can be made to yield one,
// with the time range its keys cover and what it yields outside that range.

#include <cstdint>

#include "scene/Reflectable.h"

namespace Engine::Reflection {
class CValue;
}

namespace Engine::Scene {

// What a controller yields before (side 1) and after (side 2) its range.
enum OutOfRangeType : int32_t {
    ORT_CONSTANT = 0,         // the value at the nearer end
    ORT_REPEAT = 1,           // the time wrapped into the range
    ORT_LOOP = 2,             // as ORT_REPEAT
    ORT_PING_PONG = 3,        // wrapped and mirrored every other length
    ORT_LINEAR = 4,           // the nearer end's value plus a slope
    ORT_RELATIVE_REPEAT = 5,  // repeated, each repetition raised by end - start
    ORT_IDENTITY = 6,         // the nearer end's value plus the distance from it
};
enum EOutOfRangeSide : int { ORT_BEFORE = 1, ORT_AFTER = 2 };

// Both ends at NO_RANGE: the controller is evaluated at every time directly.
constexpr double NO_RANGE = -2147483392.0;
constexpr double UNBOUNDED_RANGE_END = 2147483392.0;

struct CTimeRange {
    double start = NO_RANGE;
    double end = NO_RANGE;
    bool IsNone() const { return start == NO_RANGE && end == NO_RANGE; }
};

constexpr uint32_t CHUNK_CONTROLLER = 0x1080;

class CController : public CReflectable {
public:
    bool Serialize(CArchive& ar) override;

    virtual bool CanEase() const { return false; }
    virtual bool CanMultiply() const { return false; }
    virtual double MapTime(double time) const { return time; }
    virtual void AddEaseCurve(Engine::ref_ptr<CController> curve);
    virtual int GetEaseCurveCount() const { return 0; }
    virtual void DeleteEaseCurve(int) {}
    virtual double GetMultiplier(double) const { return 1.0; }
    virtual void AddMultCurve(Engine::ref_ptr<CController> curve);
    virtual int GetMultCurveCount() const { return 0; }
    virtual void DeleteMultCurve(int) {}
    // The type named by the IValueTypeAttribute of the controller's class or
    // its bases; Engine::CException when there is none or it is unregistered.
    virtual CTypePair GetValueType() const;
    virtual CTimeRange GetTimeRange(uint32_t flags) const;
    // Side 1 is before the range, side 2 after it; other sides are ignored.
    virtual void SetOutOfRangeType(int32_t type, int side);
    // -1 for any other side.
    virtual int32_t GetOutOfRangeType(int side) const;
    virtual void GetControllerValue(double time, Engine::Reflection::CValue& value) = 0;
    // Makes the controller yield the value at the time.
    virtual void SetControllerValue(double time, const Engine::Reflection::CValue& value, int flag) = 0;
    virtual void GetValue(double time, Engine::Reflection::CValue& value) = 0;
    virtual void SetValue(double time, const Engine::Reflection::CValue& value, int flag);

private:
    int32_t m_typeBefore = ORT_CONSTANT;
    int32_t m_typeAfter = ORT_CONSTANT;
};

// The sub-animatable as a controller; null for null, the integer 1 for an
// object of another class.
CController* ToController(CAnimatable* sub);

// How a missing value type names the controller class: GetValueType gives
// the full name, the archive reader the short one.
enum class EClassNameForm { Full, Short };

// The value type of a controller class (see CController::GetValueType).
const Engine::Reflection::CTypeInfo* GetControllerValueType(const Engine::Reflection::CTypeInfo* controllerClass,
                                                            EClassNameForm name = EClassNameForm::Full);

} // namespace Engine::Scene
