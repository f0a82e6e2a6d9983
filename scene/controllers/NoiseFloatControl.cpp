#include "scene/controllers/NoiseFloatControl.h"

#include "app/Noise.h"
#include "reflection/Value.h"
#include "scene/SceneArchive.h"

namespace Engine::Scene {

CNoiseFloatControl::CNoiseFloatControl() {
    SetReflectedType(Engine::Reflection::TypeOf<CNoiseFloatControl>());
    (void)GetNoiseValue(0.0);
}

bool CNoiseFloatControl::Serialize(CArchive& ar) {
    if (!CController::Serialize(ar)) return false;
    if (ar.IsStoring()) {
        ar.BeginChunk(CHUNK_NOISE_FLOAT_CONTROL, NOISE_CHUNK_VERSION);
        ar.WriteFloat(m_phase);
        ar.WriteFloat(m_frequency);
        ar.WriteFloat(m_strength);
        ar.WriteFloat(m_rampTime);
        ar.WriteFloat(m_secondTime);
        ar.WriteByte(m_positive ? 1 : 0);
        ar.WriteFloat(m_baseValue);
        ar.EndChunk();
        return true;
    }
    uint32_t version = 0;
    const int64_t end = ReadObjectChunk(ar, CHUNK_NOISE_FLOAT_CONTROL, "CNoiseFloatControl", &version);
    float fields[5];
    for (float& field : fields) ar.ReadFloat(field);
    uint8_t positive = 0;
    ar.ReadByte(positive);
    float base = m_baseValue;
    // Older chunks end after the flag.
    if (version > 0x101) ar.ReadFloat(base);
    CheckChunkEnd(ar, end, "CNoiseFloatControl");
    m_phase = fields[0];
    m_frequency = fields[1];
    m_strength = fields[2];
    m_rampTime = fields[3];
    m_secondTime = fields[4];
    m_positive = positive != 0;
    m_baseValue = base;
    return true;
}

CTimeRange CNoiseFloatControl::GetTimeRange(uint32_t) const {
    return {NO_RANGE, UNBOUNDED_RANGE_END};
}

void CNoiseFloatControl::GetValue(double time, Engine::Reflection::CValue& value) {
    value = Engine::Reflection::CValue(GetNoiseValue(time));
}

float CNoiseFloatControl::GetNoiseValue(double time) const {
    float noise = GradientNoise1D(m_frequency * float(time) + m_phase);
    if (m_positive) noise += 0.5f;
    noise = m_strength * noise;
    if (m_rampTime != 0.0f && time >= 0.0 && time < double(m_rampTime)) {
        const float r = float(time) / m_rampTime;
        noise = (3.0f - 2.0f * r) * r * r * noise;
    }
    return m_baseValue + noise;
}

} // namespace Engine::Scene
