#pragma once
// What callers see of an emitter: placement, tint, user words and the
// particle counts.

#include <cstdint>

#include "app/Geometry.h"

namespace VexaParticles {

// The values of one emission that a callback may change.
struct CEmissionRecord {
    float x = 0, y = 0, z = 0;
    float directionX = 0, directionY = 0, directionZ = 0;
    float angle = 0;
};
using EmissionCallback = void (*)(CEmissionRecord& record, uintptr_t user);

class IVexaParticleEmitter {
public:
    virtual ~IVexaParticleEmitter() = default;

    virtual void Reset() = 0;
    // Draws the particle types in order and returns the particles drawn. A
    // max count below 0 draws all, 0 none; mode 0 draws the first max
    // count, any other mode a random choice of them.
    virtual int32_t Render(int32_t maxCount, int32_t mode) = 0;
    virtual int32_t RenderAll() = 0;
    // One step of emission and life: time and dt in seconds, the emitter's
    // position, and whether new particles may be emitted.
    virtual void Update(float time, float dt, float x, float y, float z, uint32_t emitting) = 0;
    // Update at the stored position with the stored emission flag.
    virtual void UpdateAtPosition(float time, float dt) = 0;
    // Moves every particle by one step.
    virtual void Move(float time, float dt) = 0;
    virtual uint32_t GetAxisFlag() const = 0;
    virtual const char* GetName() const = 0;
    // Matrices are 4x4, rows of four floats.
    virtual void SetRotation(const float* matrix44) = 0;
    virtual void SetMatrix(const float* matrix44) = 0;
    virtual void SetDirection(float x, float y, float z) = 0;
    virtual void GetDirection(float& x, float& y, float& z) const = 0;
    virtual void SetTintColor(float r, float g, float b, float a) = 0;
    virtual void GetTintColor(float& r, float& g, float& b, float& a) const = 0;
    virtual uint32_t HasParticles() const = 0;
    virtual uint32_t GetParticleCount() const = 0;
    virtual void AddValue(uintptr_t value) = 0;
    virtual void SetOffset(float x, float y, float z) = 0;
    virtual void GetOffset(float& x, float& y, float& z) const = 0;
    virtual void SetScale(float scale) = 0;
    virtual float GetScale() const = 0;
    virtual void SetEmissionCallback(EmissionCallback callback, uintptr_t user) = 0;
    virtual void SetUserValue(int32_t value) = 0;
    virtual int32_t GetUserValue() const = 0;
    virtual float GetTuningValue() const = 0;
    virtual uint32_t IsParentFlagSet() const = 0;
};

} // namespace VexaParticles
