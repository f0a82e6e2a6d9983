#pragma once
// Many emitters of many particle types under the turns, one step a frame,
// counted from their first frame: types that are each a burst of one
// never-dying particle, or that make 0.1 a second that never die; with churn,
// every 5th frame one emitter at a random place is let go, one added at the
// end, one reset and one stopped or restarted, and every 7th frame, inside
// the step, one emitter already stepped and one not yet stepped are let go
// and one added. Each type's waits are kept by emitter and type (CTypeWaits).
// Shared by the tests and the benchmark of the turns.

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "ParticleTestSupport.h"
#include "TypeWaits.h"
#include "particles/engine/ParticleSystem.h"
#include "support/RecordingGraphics.h"

namespace VexaTest {

struct CChurnCase {
    int emitters, types;
    int64_t visits;
    bool bursts;  // each type a burst of one; else 0.1 a second
    bool churn;
};

class CChurnFrames {
public:
    // Waits from frame `settled` on are held to their frame's bound.
    CChurnFrames(const CChurnCase& c, int64_t settled)
        : m_case(c), m_system(&m_graphics), m_waits(c.visits, settled) {
        m_system.GetLibrary().Init(&m_system.GetGraphicsBinding());
        m_system.SetFrameLimits(c.visits, INT64_MAX, 1e9);
        Tools::CVexaEmitter emitter = QuietEmitter("Types");
        Tools::CVexaParticleType& type = emitter.types[0];
        type.flags = CVexaParticleType::kNeverDie | (c.bursts ? CVexaParticleType::kOneShotBurst : 0);
        type.burstCount = 1;
        SetQ(type, 5, 0.1f);
        SetQ(type, 4, 10.0f);
        emitter.types.assign(size_t(c.types), type);
        Tools::CVexaDocument document;
        document.emitters = {emitter};
        const std::vector<uint8_t> bytes = Tools::WriteVexa(document);
        Engine::CMemoryFile file(bytes.data(), bytes.size());
        m_file = m_system.GetLibrary().Read(file, "");
        SeedParticleRandom(13);
        for (int i = 0; i < c.emitters; ++i) Add();
    }
    void Frame() {
        Step();
        Count();
    }
    // The frame's step, with the churn inside it.
    void Step() {
        m_system.StartFrame();
        m_system.StartStep();
        const bool inside = m_case.churn && m_frame % 7 == 6 && m_emitters.size() > 2;
        size_t at = inside ? 1 + Pick(m_emitters.size() - 1) : SIZE_MAX;
        for (size_t i = 0; i < m_emitters.size(); ++i) {
            if (i == at) {
                // The emitter at `at` is the first not yet stepped.
                LetGo(at + Pick(m_emitters.size() - at));
                LetGo(Pick(at));
                Add();
                i = at - 1;
                at = SIZE_MAX;
            }
            m_emitters[i].emitter->Move(m_time, kChurnStep);
            m_emitters[i].emitter->Update(m_time, kChurnStep, 400, 300, 0, 1);
        }
        m_time += kChurnStep;
    }
    // The frame's waits counted, then the churn between frames.
    void Count() {
        m_visits = m_system.GetLibrary().GetWorkBudget().GetFrameVisits();
        CTypeWaits::CKeyedTypes types;
        for (const CRunning& running : m_emitters)
            for (int32_t t = 0; t < running.emitter->GetParticleTypeCount(); ++t)
                types.emplace_back(running.key + size_t(t), &running.emitter->GetParticleType(t));
        m_waits.Frame(types);
        if (m_case.churn && m_frame % 5 == 4) {
            LetGo(Pick(m_emitters.size()));
            Add();
            m_emitters[Pick(m_emitters.size())].emitter->Reset();
            CVexaParticleEmitter& toggled = *m_emitters[Pick(m_emitters.size())].emitter;
            toggled.SetEmitting(toggled.IsEmitting() ? 0 : 1);
        }
        ++m_frame;
    }
    int64_t GetFrame() const { return m_frame; }
    // The last frame's visits.
    int64_t GetVisits() const { return m_visits; }
    const CTypeWaits& Waits() const { return m_waits; }

private:
    static constexpr float kChurnStep = 1.0f / 30.0f;
    struct CRunning {
        std::unique_ptr<CVexaParticleEmitter> emitter;
        size_t key;
    };

    size_t Pick(size_t count) { return std::uniform_int_distribution<size_t>(0, count - 1)(m_random); }
    void Add() {
        m_emitters.push_back({m_file->CreateEmitter("Types"), m_nextKey});
        m_nextKey += size_t(m_case.types);
    }
    void LetGo(size_t i) { m_emitters.erase(m_emitters.begin() + ptrdiff_t(i)); }

    CChurnCase m_case;
    Engine::Graphics::Testing::CRecordingGraphics m_graphics;
    Engine::Particles::CParticleSystem m_system;
    std::unique_ptr<CVexaFile> m_file;
    // Let go before their file.
    std::vector<CRunning> m_emitters;
    CTypeWaits m_waits;
    std::mt19937 m_random{5};
    size_t m_nextKey = 0;
    int64_t m_frame = 0;
    int64_t m_visits = 0;
    float m_time = 0.0f;
};

} // namespace VexaTest
