#pragma once
// The keys of the float key tables: a time and flags, then the value (and
// for Bezier keys the tangents). Each key is owned by exactly one table.

#include <cstdint>

#include "app/Archive.h"
#include "scene/ScenePool.h"

namespace Engine::Scene {

// Key flag bits; other bits are carried unchanged.
enum EKeyFlags : uint32_t {
    KEY_SELECTED = 0x1,
    KEY_IN_HANDLE_SELECTED = 0x20,
    KEY_OUT_HANDLE_SELECTED = 0x40,
};

class IKey : public CScenePooled {
public:
    virtual ~IKey() = default;
    // Writes or reads the key's record (no chunk header of its own).
    virtual void Serialize(CArchive& ar) = 0;

    double time = 0.0;
    uint32_t flags = 0;

protected:
    void SerializeHead(CArchive& ar);
};

// A time and one float value: u32 flags, f64 time, f32 value.
class IFloatValueKey : public IKey {
public:
    static constexpr uint32_t RECORD_BYTES = 16;
    void Serialize(CArchive& ar) override;

    float value = 0.0f;
};

class ILinFloatKey final : public IFloatValueKey {};
// A bool stored as 0.0 or 1.0.
class IBoolFloatKey final : public IFloatValueKey {};

// What shapes one side of a Bezier segment.
enum TangentKind : uint32_t {
    TANGENT_CUSTOM = 0,  // the stored slope and length (also any unknown code)
    TANGENT_LINEAR = 1,  // the control value at a third of the value difference
    TANGENT_STEP = 2,    // out side only: the segment holds the key's value
};

constexpr float DEFAULT_TANGENT_LENGTH = 0.3333f;

// Record: u32 flags, f64 time, f32 value, in slope, in length, out slope,
// out length, u32 in kind, u32 out kind.
class IBezFloatKey final : public IKey {
public:
    static constexpr uint32_t RECORD_BYTES = 40;
    void Serialize(CArchive& ar) override;

    float inSlope = 0.0f;
    float outSlope = 0.0f;
    float value = 0.0f;
    float inLength = DEFAULT_TANGENT_LENGTH;
    float outLength = DEFAULT_TANGENT_LENGTH;
    uint32_t inKind = TANGENT_CUSTOM;
    uint32_t outKind = TANGENT_CUSTOM;
};

} // namespace Engine::Scene
