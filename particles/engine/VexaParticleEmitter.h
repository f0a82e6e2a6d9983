#pragma once
// An engine emitter: a running library emitter made from an effect file,
// with the placement and emission flag its owner drives it with each frame.
// Its file may go before it: the library emitter is then deleted with the
// file and this emitter no longer moves, updates or draws.

#include <cstdint>
#include <memory>

#include "app/Geometry.h"
#include "app/Referenced.h"
#include "particles/library/IVexaParticleEmitter.h"

namespace Engine::Particles {

class CVexaParticleEmitter : public Engine::CReferenced {
public:
    CVexaParticleEmitter(std::unique_ptr<VexaParticles::IVexaParticleEmitter> emitter, float startTime)
        : m_fStartTime(startTime), m_fTime(startTime), m_emitter(std::move(emitter)) {}

    // Null once the file that made it is gone.
    VexaParticles::IVexaParticleEmitter* GetEmitter() const { return m_emitter.get(); }
    // The file deletes the library emitter before itself.
    void DestroyEmitter() { m_emitter.reset(); }

    void Move(float time, float dt) {
        if (m_emitter) m_emitter->Move(time, dt);
    }
    // Update at the stored position with the stored emission flag.
    void Update(float time, float dt) {
        if (m_emitter) m_emitter->Update(time, dt, m_position.x, m_position.y, m_position.z, m_bEmitting);
    }
    int32_t Render(int32_t maxCount, int32_t mode) { return m_emitter ? m_emitter->Render(maxCount, mode) : 0; }

    void SetPosition(const Engine::Geometry::CVector3& position) { m_position = position; }
    const Engine::Geometry::CVector3& GetPosition() const { return m_position; }
    void SetEmitting(bool emitting) { m_bEmitting = emitting ? 1 : 0; }
    bool IsEmitting() const { return m_bEmitting != 0; }

    // Left to the owners.
    uint8_t m_bFlag = 0;
    float m_fStartTime;
    float m_fTime;
    uint8_t m_bSecondFlag = 0;

private:
    std::unique_ptr<VexaParticles::IVexaParticleEmitter> m_emitter;
    Engine::Geometry::CVector3 m_position;
    uint8_t m_bEmitting = 1;
};

} // namespace Engine::Particles
