#pragma once
// An object that deflects particle paths. An emitter's value list (AddValue)
// holds pointers to colliders, which every motion step asks in turn.

#include <cstdint>

namespace VexaParticles {

class IVexaCollider {
public:
    // Whether the particle hits within timeLeft seconds of time. On a hit the
    // collider may change position, velocity and direction (three floats
    // each) and sets hitTime, the seconds until the hit.
    virtual uint32_t Collide(float time, float* position, float* velocity, float* direction, float timeLeft,
                             float size, float colliderValue, int32_t index, float* hitTime, uint32_t reserved) = 0;

protected:
    ~IVexaCollider() = default;
};

} // namespace VexaParticles
