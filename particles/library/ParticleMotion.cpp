#include "particles/library/ParticleMotion.h"

#include <algorithm>
#include <cmath>

#include "app/Noise.h"
#include "particles/library/ParticlePool.h"
#include "particles/library/VexaCollider.h"
#include "particles/library/VexaParticleEmitter.h"

namespace VexaParticles {
namespace {

using Engine::Geometry::CVector3;
using CMatrix33 = CVexaParticleType::CMatrix33;

// Colliders that keep hitting at once must not hold the step forever.
constexpr int kMaxCollisions = 64;

CMatrix33 Multiply(const CMatrix33& a, const CMatrix33& b) {
    CMatrix33 product{};
    for (size_t i = 0; i < 3; ++i)
        for (size_t j = 0; j < 3; ++j) product[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return product;
}

struct CCollisionState {
    float position[3];
    float velocity[3];
    float direction[3];
};

// Moves the particle through the colliders' deflections over dt; returns
// the new position and leaves the last deflected direction in the particle.
CVector3 MoveWithColliders(const CVexaParticleEmitter& emitter, CParticle& particle, const CVector3& velocity,
                           float time, float dt, int32_t index) {
    CCollisionState state{{particle.position.x, particle.position.y, particle.position.z},
                          {velocity.x, velocity.y, velocity.z},
                          {particle.direction.x, particle.direction.y, particle.direction.z}};
    float timeLeft = dt;
    const IVexaCollider* lastHit = nullptr;
    for (int round = 0; round < kMaxCollisions; ++round) {
        bool hit = false;
        float hitTime = 0.0f;
        CCollisionState kept = state;
        const IVexaCollider* hitter = nullptr;
        auto ask = [&](const std::vector<uintptr_t>& colliders) {
            for (uintptr_t value : colliders) {
                auto* collider = reinterpret_cast<IVexaCollider*>(value);
                if (!collider || collider == lastHit) continue;
                CCollisionState asked = state;
                float h = 0.0f;
                if (!collider->Collide(time, asked.position, asked.velocity, asked.direction, timeLeft, particle.size,
                                       particle.colliderValue, index, &h, 0))
                    continue;
                kept = asked;
                hitTime = hit ? std::min(hitTime, h) : h;
                hit = true;
                hitter = collider;
            }
        };
        ask(emitter.GetValues());
        if (emitter.IsCopy() && !emitter.UsesPrototypeValues() && emitter.GetPrototype())
            ask(emitter.GetPrototype()->GetValues());
        if (!hit) break;
        state = kept;
        time += hitTime;
        timeLeft -= hitTime;
        lastHit = hitter;
        if (!(timeLeft > 0.0f)) break;
    }
    if (timeLeft > 0.0f)
        for (int i = 0; i < 3; ++i) state.position[i] += timeLeft * state.velocity[i];
    particle.direction = {state.direction[0], state.direction[1], state.direction[2]};
    return {state.position[0], state.position[1], state.position[2]};
}

} // namespace

namespace {

// What the motion of one type's particles shares.
struct CTypeMotion {
    explicit CTypeMotion(CVexaParticleType& type)
        : emitter(*type.emitter), k(emitter.GetTimeScale()), axis3D(emitter.GetAxisFlag() != 0),
          colliders(!emitter.GetValues().empty()), pull(emitter.GetDirectionVector()),
          orbitTurnsAngle(type.words.orientationMode != 1) {}
    CVexaParticleEmitter& emitter;
    float k;
    bool axis3D, colliders;
    CVector3 pull;
    bool orbitTurnsAngle;
};

// Moves the particle over dt from time; its sub-emitters are the caller's.
// Always inline: a call per particle costs the motion loop about a tenth.
[[gnu::always_inline]] inline void MoveOne(const CTypeMotion& motion, CParticle* p, float time, float dt,
                                           int32_t index) {
    const float T = motion.k * time;
    const float D = motion.k * dt;
    float nx = 0.0f, ny = 0.0f, nz = 0.0f;
    if (p->turbulence != 0.0f) {
        const float a = p->turbulence * 0.1f;
        const float x = T * 0.05f + p->noisePhase;
        const float w = D * 0.05f;
        const float from[3] = {x, x + 450.0f, x + 940.0f};
        const float to[3] = {x + w, from[1] + w, from[2] + w};
        float integrals[3];
        GradientNoiseIntegrals1D(from, to, integrals, motion.axis3D ? 3 : 2);
        nx = integrals[0] * a;
        ny = integrals[1] * a;
        if (motion.axis3D) nz = integrals[2] * a;
    }
    const CVector3& pull = motion.pull;
    const CVector3 v{pull.x * p->directionFactor + p->speed * p->direction.x,
                     pull.y * p->directionFactor + p->speed * p->direction.y,
                     pull.z * p->directionFactor + p->speed * p->direction.z};
    CVector3 position;
    if (!motion.colliders) {
        const float step = dt * p->motionFactor;
        position = {p->position.x + step * v.x * (nx + 1.0f), p->position.y + step * v.y * (ny + 1.0f),
                    p->position.z + step * v.z * (nz + 1.0f)};
    } else {
        const float m = p->motionFactor;
        position = MoveWithColliders(motion.emitter, *p, {m * v.x, m * v.y, m * v.z}, time, dt, index);
    }
    if (p->orbitSpeed != 0.0f || p->orbitContraction != 0.0f) {
        float dx = position.x - p->emitterPosition.x;
        float dy = position.y - p->emitterPosition.y;
        if (p->orbitSpeed != 0.0f) {
            const float b = dt * p->orbitSpeed;
            const float c = std::cos(b), s = std::sin(b);
            const float turnedX = dx * c - dy * s;
            dy = dx * s + dy * c;
            dx = turnedX;
            if (motion.orbitTurnsAngle) p->angle += b;
        }
        if (p->orbitContraction != 0.0f) {
            const float keep = 1.0f - p->orbitContraction * dt;
            dx *= keep;
            dy *= keep;
        }
        position.x = p->emitterPosition.x + dx;
        position.y = p->emitterPosition.y + dy;
    }
    p->position = position;
    p->angle += dt * p->spinSpeed;
    p->meshAngle += dt * p->meshSpinSpeed;
}

} // namespace

void MoveParticles(CVexaParticleType& type, float time, float dt) {
    const CTypeMotion motion(type);
    CParticleWorkBudget* budget = type.GetWorkBudget();
    if (CParticleWorkBudget* own = type.GetOwnWorkBudget(); own && own->Spend(CParticleWorkBudget::kTypePassVisits))
        return;
    int32_t index = 0;
    for (CParticle* p = type.head; p; p = p->next, ++index) {
        if (budget && budget->Spend(ParticleVisits(*p))) return;
        MoveOne(motion, p, time, dt, index);
        for (CSubEmitterEntry& sub : p->subEmitters)
            if (sub.emitter) sub.emitter->Move(time - sub.startTime, dt);
    }
}

void MoveBorn(CVexaParticleType& type, int32_t count, float time) {
    const CTypeMotion motion(type);
    const CParticleWorkBudget* budget = type.GetWorkBudget();
    const float T = motion.k * time;
    int32_t index = 0;
    for (CParticle* p = type.head; p && index < count; p = p->next, ++index) {
        const float age = (T - p->birthTime) / motion.k;
        if (!(age > 0.0f)) continue;
        // Counted with the particle's emission: only a pending quit stops it.
        if (budget && budget->IsStopped()) return;
        MoveOne(motion, p, time - age, age, index);
    }
}

void BuildTypeRotation(CVexaParticleType& type) {
    const std::array<float, 3>& angles = type.words.eulerAngles;
    if (angles[0] == 0.0f && angles[1] == 0.0f && angles[2] == 0.0f) {
        type.eulerFlag = 0;
        return;
    }
    type.eulerFlag = 1;
    const float s1 = std::sin(angles[0]), s2 = std::sin(angles[1]), s3 = std::sin(angles[2]);
    const float k1 = std::cos(angles[0]), k2 = std::cos(angles[1]), k3 = std::cos(angles[2]);
    type.ownRotation = {{{k2 * k3, s1 * s2 * k3 - k1 * s3, k1 * s2 * k3 + s1 * s3},
                         {k2 * s3, s1 * s2 * s3 + k1 * k3, k1 * s2 * s3 - s1 * k3},
                         {-s2, s1 * k2, k1 * k2}}};
}

void BuildTypeFrame(CVexaParticleType& type) {
    const CVexaParticleEmitter* frameOwner = type.emitter;
    if (const CVexaParticleType* parent = frameOwner->GetParentType(); parent && parent->emitter)
        frameOwner = parent->emitter;
    if (!type.eulerFlag) {
        type.frame = frameOwner->GetRotation();
        return;
    }
    switch (type.words.orientationMode) {
    case 1: type.frame = Multiply(type.ownRotation, frameOwner->GetRotation()); break;
    case 2: type.frame = Multiply(type.ownRotation, frameOwner->GetOrientationMatrix()); break;
    default: type.frame = type.ownRotation; break;
    }
}

void CVexaParticleEmitter::Move(float time, float dt) {
    CParticleWorkBudget* budget = GetOwnWorkBudget();
    if (m_waitedSteps.Waits(budget, dt, m_nTypeCount)) return;
    for (int32_t i = 0; i < m_nTypeCount; ++i) {
        // A quit found by the last type's work ends the walk of the rest.
        if (budget && budget->IsStopped()) return;
        CVexaParticleType& type = m_types[size_t(i)];
        const CStepSpan span = type.waited.ForMotion(budget, time, dt, type.SamplesEmission());
        if (!span.taken) continue;
        MoveParticles(type, span.time, span.dt);
        type.waited.EndMotion(budget);
    }
}

} // namespace VexaParticles
