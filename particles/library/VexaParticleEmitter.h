#pragma once
// An emitter of an effect file. The file reader fills prototypes; running
// emitters are copies that share their prototype's curves, gradients, mesh
// references, sub-emitter prototypes and name, and must not outlive it.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/FixedCapacityArray.h"
#include "app/Geometry.h"
#include "app/Math.h"
#include "particles/library/IVexaParticleEmitter.h"
#include "particles/library/ParameterCurve.h"
#include "particles/library/RecordShares.h"
#include "particles/library/VexaParticleType.h"
#include "particles/library/WaitedSteps.h"

namespace VexaParticles {

class CVexaEmitterReader;

class CVexaParticleEmitter : public IVexaParticleEmitter {
public:
    static constexpr size_t kCurveCount = 19;
    // The seconds-to-curve-time factor.
    static constexpr float kTimeScale = 50.0f;
    // Where emitter curve Ci (C1 to C19) stands among the curves, which are
    // kept in file order: kCurveSlot[i - 1].
    static constexpr std::array<uint8_t, kCurveCount> kCurveSlot{0, 2, 5, 3, 18, 4, 9, 15, 10, 13,
                                                                  1, 6, 7, 8, 11, 12, 14, 16, 17};

    // Settings read from the file.
    struct CSettings {
        uint32_t orderedPlacement = 0;
        uint32_t placementCount = 0;
        uint32_t twoSidedA = 0;
        uint32_t twoSidedB = 0;
        uint32_t shape = 0;  // 0 point, 1 line, else circle
        uint32_t axis3D = 0;
        uint32_t subEmitterStart = 0;  // 0 with the parent particle, 1 at its death
        friend bool operator==(const CSettings&, const CSettings&) = default;
    };

    CVexaParticleEmitter() = default;
    ~CVexaParticleEmitter() override;
    CVexaParticleEmitter(const CVexaParticleEmitter&) = delete;
    CVexaParticleEmitter& operator=(const CVexaParticleEmitter&) = delete;

    // A running emitter made from a prototype.
    static std::unique_ptr<CVexaParticleEmitter> CreateFromPrototype(const CVexaParticleEmitter& prototype);

    void Reset() override;
    int32_t Render(int32_t maxCount, int32_t mode) override;
    int32_t RenderAll() override { return Render(-1, 0); }
    void Update(float time, float dt, float x, float y, float z, uint32_t emitting) override;
    void UpdateAtPosition(float time, float dt) override {
        Update(time, dt, m_position.x, m_position.y, m_position.z, m_bEmitting);
    }
    void Move(float time, float dt) override;
    uint32_t GetAxisFlag() const override;
    // Null on a copy: the name stays with the prototype.
    const char* GetName() const override { return m_name.get(); }
    void SetRotation(const float* matrix44) override;
    void SetMatrix(const float* matrix44) override;
    void SetDirection(float x, float y, float z) override { m_direction = {x, y, z}; }
    void GetDirection(float& x, float& y, float& z) const override;
    void SetTintColor(float r, float g, float b, float a) override { m_tint = {r, g, b, a}; }
    void GetTintColor(float& r, float& g, float& b, float& a) const override;
    uint32_t HasParticles() const override;
    uint32_t GetParticleCount() const override;
    void AddValue(uintptr_t value) override;
    void SetOffset(float x, float y, float z) override { m_offset = {x, y, z}; }
    void GetOffset(float& x, float& y, float& z) const override;
    void SetScale(float scale) override { m_fScale = scale; }
    float GetScale() const override { return m_fScale; }
    void SetEmissionCallback(EmissionCallback callback, uintptr_t user) override;
    void SetUserValue(int32_t value) override { m_nUserValue = value; }
    int32_t GetUserValue() const override { return m_nUserValue; }
    float GetTuningValue() const override { return m_fTuningValue; }
    uint32_t IsParentFlagSet() const override;

    Engine::Geometry::CVector3 GetOffsetVector() const { return m_offset; }
    float GetTimeScale() const { return kTimeScale; }

    // Curves in file order.
    const std::array<CParameterCurve, kCurveCount>& GetCurves() const { return m_curves; }
    const CSettings& GetSettings() const { return m_settings; }
    int32_t GetParticleTypeCount() const { return m_nTypeCount; }
    CVexaParticleType& GetParticleType(int32_t index) { return m_types[size_t(index)]; }
    const CVexaParticleType& GetParticleType(int32_t index) const { return m_types[size_t(index)]; }
    const CVexaParticleType* GetParentType() const { return m_parentType; }
    const CVexaParticleEmitter* GetPrototype() const { return m_prototype; }
    bool IsCopy() const { return m_bCopy; }
    const Engine::Geometry::CMatrix34& GetDrawMatrix() const { return m_drawMatrix; }
    bool IsDrawMatrixIdentity() const { return m_bDrawMatrixIdentity; }
    const std::array<std::array<float, 3>, 3>& GetRotation() const { return m_rotation; }
    const std::vector<uintptr_t>& GetValues() const { return m_values; }
    Engine::Geometry::CVector3 GetPosition() const { return m_position; }
    uint32_t IsEmitting() const { return m_bEmitting; }
    void SetEmitting(uint32_t emitting) { m_bEmitting = emitting; }
    CVexaParticleLibrary* GetLibrary() const { return m_library; }
    // A running sub-emitter belongs to the live particle type that spawned it.
    void SetParentType(CVexaParticleType* type) { m_parentType = type; }
    Engine::Geometry::CVector3 GetDirectionVector() const { return m_direction; }
    Engine::Geometry::CVector3 GetOrientationVector() const { return m_orientation; }
    EmissionCallback GetEmissionCallback() const { return m_emissionCallback; }
    uintptr_t GetEmissionUser() const { return m_emissionUser; }
    // A copy reads its prototype's value list until it adds one of its own.
    bool UsesPrototypeValues() const { return m_bValuesFromPrototype; }
    // Vi, the value of emitter curve Ci (1..19) cached by the last Update.
    float GetCurveValue(int i) const { return m_work[size_t(i - 1)]; }
    // The orientation matrix Update builds from the orientation vector.
    std::array<std::array<float, 3>, 3> GetOrientationMatrix() const;
    uint32_t IsFirstStep() const { return m_bFirstStep; }
    // The budget this emitter's own work and its types' turns are counted on
    // (CVexaParticleType::GetOwnWorkBudget).
    CParticleWorkBudget* GetOwnWorkBudget() const;
    // One of its types now keeps `wanted` living particles (CRecordShares);
    // nothing for an emitter without its own budget.
    void WantRecords(CVexaParticleType& type, float wanted);
    // Seconds since its first step (or its reset), the step of `dt` at
    // `time` included.
    float GetEmittedTime(float time, float dt) const { return std::max(0.0f, time - m_fFirstStepTime) + dt; }
    // Its first update since its start (or its reset) with emission on, the
    // one that makes a one-shot burst, and whether that update let it emit.
    struct CBurstStep {
        float time = NAN;
        bool emitting = false;
    };
    const CBurstStep& GetBurstStep() const { return m_burstStep; }
    // The time of its last update, taken by its types or waited.
    float GetStepTime() const { return m_fStepTime; }

private:
    friend class CVexaEmitterReader;

    // Working values: V1 to V19, then the orientation matrix row by row.
    static constexpr size_t kOrientationAt = kCurveCount;

    void BuildOrientationMatrix();
    // The curves' values at the time, and the orientation matrix.
    void SampleCurves(float time);

    std::array<CParameterCurve, kCurveCount> m_curves;
    float m_fScale = 1.0f;
    Engine::Geometry::CVector3 m_offset;
    std::array<float, 28> m_work{};  // the simulation's cached values
    Engine::Geometry::CVector3 m_orientation;
    Engine::Geometry::CVector3 m_position;
    uint32_t m_bEmitting = 1;
    CVexaParticleLibrary* m_library = nullptr;
    CVexaParticleType* m_parentType = nullptr;
    IVexaFile* m_file = nullptr;
    std::unique_ptr<char[]> m_name;
    CSettings m_settings;
    int32_t m_nTypeCount = 0;
    Engine::CFixedCapacityArray<CVexaParticleType> m_types;
    bool m_bCopy = false;
    uint32_t m_bFirstStep = 1;
    uint32_t m_nState = 0;
    std::array<float, 4> m_tint{};
    Engine::Geometry::CVector3 m_direction;
    std::array<std::array<float, 3>, 3> m_rotation{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    std::vector<uintptr_t> m_values;
    bool m_bValuesFromPrototype = false;
    const CVexaParticleEmitter* m_prototype = nullptr;
    CWaitedSteps m_waitedSteps;
    // What the types said to the budget's record shares, once they joined them.
    CRecordShares::CTally m_recordTally;
    bool m_bJoinedShares = false;
    float m_fFirstStepTime = NAN;
    CBurstStep m_burstStep;
    float m_fStepTime = 0;
    EmissionCallback m_emissionCallback = nullptr;
    uintptr_t m_emissionUser = 0;
    int32_t m_nUserValue = 0;
    float m_fTuningValue = 100.0f;
    Engine::Geometry::CMatrix34 m_drawMatrix = Engine::Geometry::CMatrix34::Identity();
    bool m_bDrawMatrixIdentity = true;
};

} // namespace VexaParticles
