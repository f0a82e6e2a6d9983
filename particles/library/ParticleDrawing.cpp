#include "particles/library/ParticleDrawing.h"

#include <algorithm>
#include <cmath>

#include "app/Math.h"
#include "particles/library/EndedWhileWaiting.h"
#include "particles/library/ParticleRandom.h"
#include "particles/library/VexaGraphicsException.h"
#include "particles/library/VexaParticleEmitter.h"
#include "particles/library/VexaParticleLibrary.h"
#include "particles/library/VexaShape.h"

namespace VexaParticles {
namespace {

using Engine::Geometry::CVector3;

// Device blend factor codes.
constexpr int32_t kBlendOne = 1;
constexpr int32_t kBlendSourceAlpha = 4;
constexpr int32_t kBlendInverseSourceAlpha = 5;
// An alpha factor at or below this is not drawn.
constexpr float kVisibleAlpha = 0.01f;

CVector3 operator+(const CVector3& a, const CVector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
CVector3 operator-(const CVector3& a, const CVector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
CVector3 operator*(const CVector3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }

uint32_t PackColour(const CParticle& particle, bool rgba) {
    const float m = particle.colourMix;
    const CColour& c1 = particle.colour1;
    const CColour& c2 = particle.colour2;
    CColour c = m == 0.0f ? c1 : c2;
    if (m != 0.0f && m != 1.0f) {
        auto mix = [m](float a, float b) { return (1.0f - m) * a + m * b; };
        c = {mix(c1.red, c2.red), mix(c1.green, c2.green), mix(c1.blue, c2.blue), mix(c1.alpha, c2.alpha)};
    }
    const uint32_t argb = PackColorARGB(c.red, c.green, c.blue, c.alpha * particle.alphaFactor);
    return rgba ? SwapColorRedBlue(argb) : argb;
}

// The vector turned as a row vector by the rotation of angle about axis.
CVector3 TurnAbout(const CVector3& v, const std::array<float, 3>& axis, float angle) {
    const float half = angle * 0.5f;
    const float w = std::cos(half), s = std::sin(half);
    const float x = axis[0] * s, y = axis[1] * s, z = axis[2] * s;
    return {v.x * (1 - 2 * (y * y + z * z)) + v.y * 2 * (x * y + w * z) + v.z * 2 * (x * z - w * y),
            v.x * 2 * (x * y - w * z) + v.y * (1 - 2 * (x * x + z * z)) + v.z * 2 * (y * z + w * x),
            v.x * 2 * (x * z + w * y) + v.y * 2 * (y * z - w * x) + v.z * (1 - 2 * (x * x + y * y))};
}

void PassMeshTransform(const CVexaParticleType& type, const CParticle& particle, const CVector3& base, float z) {
    VexaGraphics::IDevice* device = type.library ? type.library->GetDevice() : nullptr;
    if (!device) return;
    using Engine::Geometry::CMatrix34;
    CMatrix34 mesh = QuaternionToMatrix34(QuaternionFromAngleAxis(
        {particle.meshAngle, particle.meshAxis.x, particle.meshAxis.y, particle.meshAxis.z}));
    const CVector3& scale = particle.mesh->scale;
    ScaleMatrix34(mesh, scale.x * particle.meshScale, scale.y * particle.meshScale, scale.z * particle.meshScale, 1.0f);
    CMatrix34 placement = CMatrix34::Identity();
    placement.m[0][3] = base.x;
    placement.m[1][3] = base.y;
    placement.m[2][3] = z;
    CMatrix34 world;
    MultiplyMatrix34(mesh, placement, world);
    device->SetMeshTransform(world.data());
    const CMatrix34 zero{};
    device->SetMeshTransform(zero.data());
}

void SetUpDrawState(CVexaParticleType& type) {
    CVexaParticleType::CDrawState& draw = type.draw;
    const bool flipU = type.IsFlipU();
    draw.uStart = flipU ? 1.0f : 0.0f;
    draw.uEnd = flipU ? 0.0f : 1.0f;
    const uint32_t axis3D = type.emitter->GetAxisFlag();
    const bool vDown = axis3D == type.words.vOrientation;
    draw.vStart = vDown ? 0.0f : 1.0f;
    draw.vEnd = vDown ? 1.0f : 0.0f;
    draw.extentX = type.shape ? type.shape->width : 64.0f;
    draw.extentY = type.shape ? type.shape->height : 64.0f;
    draw.pivotX = type.GetPivotX();
    draw.pivotY = type.GetPivotY();
    draw.oriented = axis3D != 0 && (type.words.orientationMode == 1 || type.eulerFlag != 0);
    draw.colourRGBA = type.library->GetDevice()->IsColorRGBA();
}

void Check(int32_t result, const char* message) {
    if (result < 0) throw VexaGraphics::CVexaGraphicsException(message, result);
}

} // namespace

void FillParticleQuad(const CVexaParticleType& type, const CParticle& particle, CParticleVertex* vertices) {
    const CVexaParticleType::CDrawState& draw = type.draw;
    const CVexaParticleEmitter& emitter = *type.emitter;
    const uint32_t colour = PackColour(particle, draw.colourRGBA);

    const float follow = type.GetFollowFactor();
    CVector3 centre = particle.position;
    if (follow != 0.0f) {
        const CVector3 attached = emitter.GetPosition() + particle.offset;
        centre = follow == 1.0f ? attached : particle.position + (attached - particle.position) * follow;
    }
    // Each half-axis is (direction * extent) * size, in that order: the
    // other grouping differs in the last bits.
    const float c = std::cos(particle.angle), s = std::sin(particle.angle);
    const float ex = draw.extentX, ey = draw.extentY, size = particle.size;
    CVector3 u{c * ex * size, s * ex * size, 0.0f};
    CVector3 v{-s * ey * size, c * ey * size, 0.0f};
    const CVector3 base = centre - u * draw.pivotX - v * draw.pivotY;
    CVector3 origin = base;
    if (draw.oriented) {
        CVector3 right{type.frame[0][0], type.frame[0][1], type.frame[0][2]};
        CVector3 up{type.frame[1][0], type.frame[1][1], type.frame[1][2]};
        if (particle.angle != 0.0f) {
            right = TurnAbout(right, type.frame[2], particle.angle);
            up = TurnAbout(up, type.frame[2], particle.angle);
        }
        u = right * ex * size;
        v = up * ey * size;
        origin = base - u * draw.pivotX - v * draw.pivotY;
    }
    const CVector3 corners[4] = {origin - u - v, origin + u - v, origin + u + v, origin - u + v};
    const float us[4] = {draw.uStart, draw.uEnd, draw.uEnd, draw.uStart};
    const float vs[4] = {draw.vStart, draw.vStart, draw.vEnd, draw.vEnd};
    const CVector3 offset = emitter.GetOffsetVector();
    const float scale = emitter.GetScale();
    const bool transform = !emitter.IsDrawMatrixIdentity();
    for (int i = 0; i < 4; ++i) {
        CVector3 p = offset + corners[i] * scale;
        if (transform) p = TransformPoint(emitter.GetDrawMatrix(), p);
        vertices[i] = {p.x, p.y, p.z, 1.0f, colour, us[i], vs[i]};
    }
    if (draw.oriented && particle.mesh) PassMeshTransform(type, particle, base, centre.z);
}

int32_t RenderType(CVexaParticleType& type, int32_t maxCount, int32_t mode) {
    if (!type.head || maxCount == 0) return 0;
    CVexaParticleLibrary* library = type.library;
    VexaGraphics::IDevice* device = library ? library->GetDevice() : nullptr;
    VexaGraphics::IVertexBuffer* buffer = library ? library->GetVertexBuffer() : nullptr;
    if (!device || !buffer) return 0;
    const int32_t live = type.liveCount;
    int64_t total = 0;
    if (maxCount > 0) {
        total = live;
        if (type.HasSubEmitters())
            for (const CParticle* p = type.head; p; p = p->next)
                for (const CSubEmitterEntry& sub : p->subEmitters)
                    if (sub.emitter) total += sub.emitter->GetParticleCount();
    }
    int32_t drawn = 0;
    if (type.HasSubEmitters()) {
        for (const CParticle* p = type.head; p; p = p->next) {
            for (const CSubEmitterEntry& sub : p->subEmitters) {
                if (!sub.emitter) continue;
                const int32_t n = maxCount < 0  ? -1
                                  : total > 0 ? int32_t(int64_t(sub.emitter->GetParticleCount()) * maxCount / total)
                                              : 0;
                if (n != 0) drawn += sub.emitter->Render(n, mode);
            }
        }
    }
    SetUpDrawState(type);
    device->SetRenderState(0, 1);
    device->SetBlendFunc(type.IsAlphaSource() ? kBlendSourceAlpha : kBlendOne,
                         type.IsAdditive() ? kBlendOne : kBlendInverseSourceAlpha);
    device->SetTexture(0, type.shape ? type.shape->GetTexture() : nullptr);

    const bool forward = !type.IsAdditive() && type.IsFirstInOrder();
    CParticle* particle = type.tail;
    if (forward) {
        particle = type.head;
    } else if (maxCount > 0 && mode == 0) {
        particle = type.head;
        for (int32_t step = 0, steps = std::min(live, maxCount); step < steps && particle->next; ++step)
            particle = particle->next;
    }
    const bool randomChoice = maxCount > 0 && mode != 0 && live > maxCount;
    const CEndedWhileWaiting ended(type);
    ParticleRandomGenerator& random = GetParticleRandomGenerator();
    const int32_t capacity = library->GetCapacity();
    int32_t considered = 0;
    int32_t batch = 0;
    CParticleVertex* out = nullptr;
    for (; particle; particle = forward ? particle->next : particle->prev) {
        if (randomChoice && int64_t(ParticleRandomNext(random) % uint32_t(live)) >= maxCount) continue;
        if (maxCount > 0 && mode == 0 && considered >= maxCount) break;
        ++considered;
        if (!(particle->alphaFactor > kVisibleAlpha) || !particle->deathPending || ended.Ended(*particle)) continue;
        if (batch == 0) {
            Check(buffer->Lock(), "Can't lock particles vertex buffer");
            out = static_cast<CParticleVertex*>(buffer->GetData());
        }
        FillParticleQuad(type, *particle, out);
        out += 4;
        ++batch;
        ++drawn;
        if (batch == capacity) {
            Check(buffer->Unlock(), "Can't unlock particles vertex buffer");
            device->Draw(buffer, 0, batch, 0);
            batch = 0;
        }
    }
    if (batch > 0) {
        Check(buffer->Unlock(), "Can't unlock particles vertex buffer");
        device->Draw(buffer, 0, batch, 0);
    }
    return drawn;
}

int32_t CVexaParticleEmitter::Render(int32_t maxCount, int32_t mode) {
    int32_t drawn = 0;
    for (int32_t i = 0; i < m_nTypeCount; ++i) drawn += RenderType(m_types[size_t(i)], maxCount, mode);
    return drawn;
}

} // namespace VexaParticles
