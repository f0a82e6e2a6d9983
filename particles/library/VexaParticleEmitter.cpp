#include "particles/library/VexaParticleEmitter.h"

#include <utility>

#include "app/LoadingQuitCheck.h"
#include "app/ProcessEnd.h"
#include "particles/library/VexaParticleLibrary.h"

namespace VexaParticles {

// A running emitter's types are only memory (100,000 types hold over 100 MB,
// whose pages the system takes back one by one): at the process's end they
// are left to it, their particles with them. Otherwise the types' turns
// lose them first; at the end no frame follows to read the turns, which
// would otherwise walk every place once more for a scene of many types.
CVexaParticleEmitter::~CVexaParticleEmitter() {
    if (!Engine::CProcessEnd::IsLeavingMemory()) m_waitedSteps.Leave(GetOwnWorkBudget(), m_nTypeCount);
    if (m_bJoinedShares) GetOwnWorkBudget()->GetRecordShares().Leave(m_recordTally, m_nTypeCount);
    Engine::CProcessEnd::Leave(std::move(m_types));
}

std::unique_ptr<CVexaParticleEmitter> CVexaParticleEmitter::CreateFromPrototype(const CVexaParticleEmitter& prototype) {
    auto copy = std::make_unique<CVexaParticleEmitter>();
    CVexaParticleEmitter& e = *copy;
    e.m_curves = prototype.m_curves;
    for (CParameterCurve& curve : e.m_curves) curve.SetBorrowed();
    e.m_fScale = prototype.m_fScale;
    e.m_offset = prototype.m_offset;
    e.m_work = prototype.m_work;
    e.m_orientation = prototype.m_orientation;
    e.m_position = prototype.m_position;
    e.m_library = prototype.m_library;
    e.m_parentType = prototype.m_parentType;
    e.m_file = prototype.m_file;
    e.m_settings = prototype.m_settings;
    e.m_bCopy = true;
    e.m_tint = prototype.m_tint;
    e.m_direction = prototype.m_direction;
    e.m_rotation = prototype.m_rotation;
    // The copy reads its prototype's values until it adds one of its own.
    e.m_values = prototype.m_values;
    e.m_bValuesFromPrototype = true;
    e.m_prototype = &prototype;
    e.m_emissionCallback = prototype.m_emissionCallback;
    e.m_emissionUser = prototype.m_emissionUser;
    e.m_nUserValue = prototype.m_nUserValue;
    e.m_fTuningValue = prototype.m_fTuningValue;
    e.m_drawMatrix = prototype.m_drawMatrix;
    e.m_bDrawMatrixIdentity = prototype.m_bDrawMatrixIdentity;
    if (prototype.m_nTypeCount > 0) {
        // A file's emitter is made under loading's quit look, type by type,
        // so that a cut copy lets go of exactly the types made. A
        // sub-emitter's copy is made inside a step, which must not throw:
        // the pool's units it took bound its types.
        const bool counted = !prototype.m_parentType;
        e.m_types = Engine::CFixedCapacityArray<CVexaParticleType>(size_t(prototype.m_nTypeCount));
        for (const CVexaParticleType& source : prototype.m_types) {
            if (counted) Engine::CLoadingQuitCheck::Count();
            CVexaParticleType& type = e.m_types.Add();
            e.m_nTypeCount = int32_t(e.m_types.size());
            type.CopyFromPrototype(source, &e);
            type.waited.Follow(&e.m_waitedSteps);
        }
    }
    e.m_bFirstStep = 1;
    e.m_bEmitting = 1;
    e.m_nState = 0;
    return copy;
}

CParticleWorkBudget* CVexaParticleEmitter::GetOwnWorkBudget() const {
    return m_parentType || !m_library ? nullptr : &m_library->GetWorkBudget();
}

void CVexaParticleEmitter::WantRecords(CVexaParticleType& type, float wanted) {
    CParticleWorkBudget* budget = GetOwnWorkBudget();
    if (!budget) return;
    CRecordShares& shares = budget->GetRecordShares();
    if (!std::exchange(m_bJoinedShares, true)) shares.Join(m_nTypeCount);
    shares.Want(type.recordsWanted, wanted, m_recordTally);
}

void CVexaParticleEmitter::Reset() {
    m_fFirstStepTime = NAN;
    m_burstStep = {};
    // The live count goes to 0 with the particles and their sub-emitters are
    // deleted: a stale count would skew the counts and the drawing budget.
    for (int32_t i = 0; i < m_nTypeCount; ++i) {
        CVexaParticleType& type = m_types[size_t(i)];
        type.emissionCounter = 0;
        type.ClearParticles();
        type.emissionRemainder = 0.0f;
        type.waited.Clear();
    }
}

uint32_t CVexaParticleEmitter::GetAxisFlag() const {
    const CVexaParticleEmitter* top = this;
    while (top->m_parentType && top->m_parentType->emitter) top = top->m_parentType->emitter;
    return top->m_settings.axis3D;
}

void CVexaParticleEmitter::SetRotation(const float* matrix44) {
    for (size_t row = 0; row < 3; ++row)
        for (size_t column = 0; column < 3; ++column) m_rotation[row][column] = matrix44[row * 4 + column];
    for (int32_t i = 0; i < m_nTypeCount; ++i)
        for (CParticle* particle = m_types[size_t(i)].head; particle; particle = particle->next)
            for (const CSubEmitterEntry& sub : particle->subEmitters)
                if (sub.emitter) sub.emitter->SetRotation(matrix44);
}

void CVexaParticleEmitter::SetMatrix(const float* matrix44) {
    const Engine::Geometry::CMatrix34 identity = Engine::Geometry::CMatrix34::Identity();
    bool isIdentity = true;
    for (size_t row = 0; row < 3; ++row) {
        for (size_t column = 0; column < 4; ++column) {
            m_drawMatrix.m[row][column] = matrix44[row * 4 + column];
            isIdentity = isIdentity && m_drawMatrix.m[row][column] == identity.m[row][column];
        }
    }
    m_bDrawMatrixIdentity = isIdentity;
}

void CVexaParticleEmitter::GetDirection(float& x, float& y, float& z) const {
    x = m_direction.x;
    y = m_direction.y;
    z = m_direction.z;
}

void CVexaParticleEmitter::GetTintColor(float& r, float& g, float& b, float& a) const {
    r = m_tint[0];
    g = m_tint[1];
    b = m_tint[2];
    a = m_tint[3];
}

uint32_t CVexaParticleEmitter::HasParticles() const {
    for (int32_t i = 0; i < m_nTypeCount; ++i)
        if (m_types[size_t(i)].head) return 1;
    return 0;
}

uint32_t CVexaParticleEmitter::GetParticleCount() const {
    uint32_t count = 0;
    for (int32_t i = 0; i < m_nTypeCount; ++i) {
        const CVexaParticleType& type = m_types[size_t(i)];
        count += uint32_t(type.liveCount);
        if (!type.HasSubEmitters()) continue;
        for (const CParticle* particle = type.head; particle; particle = particle->next)
            for (const CSubEmitterEntry& sub : particle->subEmitters)
                if (sub.emitter) count += sub.emitter->GetParticleCount();
    }
    return count;
}

void CVexaParticleEmitter::AddValue(uintptr_t value) {
    if (m_bValuesFromPrototype) {
        m_values = {};
        m_bValuesFromPrototype = false;
    }
    if (m_values.size() == m_values.capacity()) m_values.reserve(m_values.capacity() == 0 ? 8 : m_values.capacity() * 2);
    m_values.push_back(value);
}

void CVexaParticleEmitter::GetOffset(float& x, float& y, float& z) const {
    x = m_offset.x;
    y = m_offset.y;
    z = m_offset.z;
}

void CVexaParticleEmitter::SetEmissionCallback(EmissionCallback callback, uintptr_t user) {
    m_emissionCallback = callback;
    m_emissionUser = user;
}

uint32_t CVexaParticleEmitter::IsParentFlagSet() const {
    return m_nTypeCount > 0 && m_parentType && m_parentType->IsNeverDie() ? 1 : 0;
}

} // namespace VexaParticles
