#pragma once
// A float controller without keys: smooth gradient noise of the time,
// scaled by a strength, shifted by a base value and faded in over an
// optional ramp time.

#include "scene/controllers/ControllerInterfaces.h"
#include "scene/controllers/StdController.h"

namespace Engine::Scene {

constexpr uint32_t CHUNK_NOISE_FLOAT_CONTROL = 0x1CE;
constexpr uint32_t NOISE_CHUNK_VERSION = 0x102;

class CNoiseFloatControl : public CStdController, public IFloatController {
public:
    // Binds its own registered type and builds the noise tables.
    CNoiseFloatControl();

    // The controller record and the noise chunk; the curve lists are not
    // saved.
    bool Serialize(CArchive& ar) override;
    bool IsConstant() const override { return false; }
    // Unbounded above, so every finite time is evaluated directly.
    CTimeRange GetTimeRange(uint32_t flags) const override;
    void GetValue(double time, Engine::Reflection::CValue& value) override;

    float GetNoiseValue(double time) const;

    // The property "Strenght" (so spelled).
    float GetStrenght() const { return m_strength; }
    void SetStrenght(float strength) { m_strength = strength; }

    float m_phase = 1000.0f;
    float m_frequency = 1.0f;
    float m_strength = 10.0f;
    float m_rampTime = 0.0f;
    float m_secondTime = 0.0f;  // stored and saved only
    float m_baseValue = 0.0f;
    bool m_positive = false;  // adds 0.5 to the noise before scaling
};

} // namespace Engine::Scene
