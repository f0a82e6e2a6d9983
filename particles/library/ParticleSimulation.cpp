#include "particles/library/ParticleSimulation.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <utility>

#include "app/Random.h"
#include "particles/library/LifeSampleBatch.h"
#include "particles/library/ParticleMotion.h"
#include "particles/library/ParticlePool.h"
#include "particles/library/ParticleRandom.h"
#include "particles/library/VexaParticleEmitter.h"
#include "particles/library/VexaParticleLibrary.h"

namespace VexaParticles {
namespace {

using Engine::Geometry::CVector3;

constexpr float kDegree = 0.0174533f;
constexpr float kQuarterTurn = 1.57075f;
constexpr float kCircleTurn = 6.283f;
constexpr float kFullTurn = 6.2831855f;
constexpr float kHalfTurn = 3.1415f;
constexpr float kNoisePhaseScale = 0.1432f;
// A dead particle waits this long (seconds) for a sub-emitter just started.
constexpr float kSubEmitterGrace = 0.1f;

// Q1 to Q38 at one time; q[0] is unused.
using CTypeValues = std::array<float, CVexaParticleType::kCurveCount + 1>;

bool RandomBit() { return (ParticleRandomNext(GetParticleRandomGenerator()) & 1) != 0; }

// The type's curves at T multiplied by the emitter's cached values, and
// the unscaled Q29 and Q30 that vary B8 and B9.
struct CEmissionValues {
    CTypeValues q{};
    float orbitSpread = 0;
    float contractionSpread = 0;
};

CEmissionValues EvaluateEmission(const CVexaParticleType& type, const CVexaParticleEmitter& emitter, float T) {
    CEmissionValues values;
    CTypeValues& q = values.q;
    for (size_t i = 1; i <= CVexaParticleType::kCurveCount; ++i) q[i] = SampleCurve(type.curves[i - 1], T);
    if (type.HasRandomSignQ3() && q[3] != 0.0f && RandomBit()) q[3] = -q[3];
    values.orbitSpread = q[29];
    values.contractionSpread = q[30];
    static constexpr std::array<std::array<int, 2>, 13> kPairs{
        {{1, 1}, {5, 2}, {6, 3}, {3, 4}, {36, 5}, {4, 6}, {2, 11}, {7, 12}, {17, 7}, {24, 8}, {20, 17}, {29, 18}, {30, 19}}};
    for (const auto& [curve, value] : kPairs) q[size_t(curve)] *= emitter.GetCurveValue(value);
    return values;
}

// The number of particles this step emits; the remainder carries the
// fraction, and advances whether or not the step may emit.
int64_t EmissionCount(CVexaParticleType& type, const CTypeValues& q, float dt) {
    if (type.IsOneShot()) {
        type.emissionCounter = 1;
        return std::min<int64_t>(type.words.burstCount, INT_MAX);
    }
    const float total = type.emissionRemainder + ParticleRandomVariation(q[5], q[10]) * dt;
    if (!std::isfinite(total)) {
        type.emissionRemainder = 0.0f;
        return 0;
    }
    const float whole = std::trunc(std::clamp(total, float(INT_MIN), float(INT_MAX)));
    type.emissionRemainder = total - whole;
    return int64_t(whole);
}

struct CPlacement {
    CVector3 start;
    CVector3 direction;
    float angle = 0;
};

// j is the particle's index in its emission: below twice the placement
// count, so below 2^32 once the reversal bit is taken off.
CPlacement Place(const CVexaParticleEmitter& emitter, const CVexaParticleType& type, const CTypeValues& q,
                 uint64_t j) {
    const CVexaParticleEmitter::CSettings& settings = emitter.GetSettings();
    const bool random = settings.orderedPlacement == 0;
    const uint32_t count = settings.placementCount;
    float a = emitter.GetCurveValue(13) + emitter.GetCurveValue(14) * (2.0f * ParticleRandomUnit() - 1.0f) * 0.5f;
    bool reversed = false;
    if (settings.twoSidedA && settings.twoSidedB) {
        if (random) {
            reversed = RandomBit();
        } else {
            reversed = (j & 1) != 0;
            j >>= 1;
        }
    }
    CPlacement placement;
    placement.start = emitter.GetPosition();
    const float shapeAngle = emitter.GetCurveValue(15);
    const float shapeSize = emitter.GetCurveValue(16);
    if (settings.shape == 1) {
        const float t = random ? ParticleRandomUnit() : count < 2 ? 0.0f : float(j) / float(count - 1);
        // Products and sums left to right: other groupings differ in the last bits.
        const float side = 2.0f * t - 1.0f;
        placement.start.x += std::cos(shapeAngle) * shapeSize * side;
        placement.start.y += std::sin(shapeAngle) * shapeSize * side;
        a = a + shapeAngle + kQuarterTurn;
    } else if (settings.shape != 0) {
        const float t = random ? ParticleRandomUnit() : count == 0 ? 0.0f : float(j) / float(count);
        const float pointAngle = t * kCircleTurn + shapeAngle;
        placement.start.x += std::cos(pointAngle) * shapeSize;
        placement.start.y += std::sin(pointAngle) * shapeSize;
        a += pointAngle;
    }
    const float turn = float(type.words.rotationAngle) * kDegree;
    switch (type.words.rotationMode) {
    case 2: placement.angle = turn; break;
    case 0: placement.angle = a + turn; break;
    default: placement.angle = ParticleRandomUnit() * kFullTurn; break;
    }
    if (!emitter.GetAxisFlag()) {
        placement.direction = {std::cos(a), std::sin(a), 0.0f};
    } else {
        const float lo = std::min(q[27], q[28]);
        const float hi = std::max(q[27], q[28]);
        const float e = kHalfTurn - (lo + (hi - lo) * ParticleRandomUnit());
        placement.direction = {std::cos(a) * std::sin(e), std::sin(a) * std::sin(e), -std::cos(e)};
    }
    if (reversed) placement.direction = {-placement.direction.x, -placement.direction.y, -placement.direction.z};
    return placement;
}

void PickMesh(const CVexaParticleType& type, CParticle& particle) {
    particle.mesh = nullptr;
    particle.meshAxis = {0, 0, 1};
    particle.meshAngle = 0.0f;
    particle.meshScale = 1.0f;
    const std::span<const CMeshReference> entries = type.meshes.GetEntries();
    if (entries.empty()) return;
    // One entry is taken without a draw.
    const size_t index =
        entries.size() == 1 ? 0 : type.meshes.PickIndex(ParticleRandomNext(GetParticleRandomGenerator()));
    const CMeshReference* pick = &entries[index];
    particle.mesh = pick->instance;
    particle.meshScale = pick->scale;
    if (!pick->randomRotation) return;
    CVector3 axis{2.0f * ParticleRandomUnit() - 1.0f, 2.0f * ParticleRandomUnit() - 1.0f, 2.0f * ParticleRandomUnit() - 1.0f};
    const float length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
    if (length > 0.0001f) particle.meshAxis = {axis.x / length, axis.y / length, axis.z / length};
    particle.meshAngle = ParticleRandomUnit() * kFullTurn;
}

// Attaches a new copy of every sub-emitter prototype that starts with the
// particle's birth (atDeath false) or with its death, while the record cap
// has the units for it.
void AttachSubEmitters(CVexaParticleType& type, CParticle& particle, float time, bool atDeath) {
    if (!type.subEmitters) return;
    for (const CVexaParticleEmitter* prototype : type.subEmitters->StartingAt(atDeath)) {
        CSubEmitterUnit unit = CSubEmitterUnit::Take(SubEmitterCopyUnits(prototype->GetParticleTypeCount()));
        if (!unit.IsHeld()) return;
        std::unique_ptr<CVexaParticleEmitter> copy = CVexaParticleEmitter::CreateFromPrototype(*prototype);
        copy->SetParentType(&type);
        particle.copyUnits += unit.GetUnits();
        if (type.library) type.library->GetPoolHolding().AddCopy(unit.GetUnits());
        particle.subEmitters.push_back({time, std::move(copy), std::move(unit)});
    }
}

float SignedVariation(float value, float spread, bool isSigned) {
    if (isSigned && value < 0.0f) return -ParticleRandomVariation(-value, spread);
    return ParticleRandomVariation(value, spread);
}

// False when the particle pool has no record left.
bool EmitOne(CVexaParticleType& type, const CEmissionValues& values, float time, float birth, uint64_t j) {
    CVexaParticleEmitter& emitter = *type.emitter;
    const CTypeValues& q = values.q;
    CParticle* taken = AcquireParticle();
    if (!taken) return false;
    CParticle& particle = *taken;
    type.LinkParticle(&particle);
    const CPlacement placement = Place(emitter, type, q, j);
    CEmissionRecord record{placement.start.x,     placement.start.y,     placement.start.z, placement.direction.x,
                           placement.direction.y, placement.direction.z, placement.angle};
    if (EmissionCallback callback = emitter.GetEmissionCallback()) callback(record, emitter.GetEmissionUser());
    const CVector3 centre = emitter.GetPosition();
    particle.position = {record.x, record.y, record.z};
    particle.offset = {record.x - centre.x, record.y - centre.y, record.z - centre.z};
    particle.emitterPosition = centre;
    particle.direction = {record.directionX, record.directionY, record.directionZ};
    particle.angle = record.angle;
    particle.noisePhase = float(CrtRand()) * kNoisePhaseScale;
    particle.colliderValue = 0.0f;
    particle.motionFactor = emitter.GetCurveValue(9);
    particle.colourMix = emitter.GetCurveValue(10);
    CColour& tint = particle.colour2;
    emitter.GetTintColor(tint.red, tint.green, tint.blue, tint.alpha);
    particle.birthTime = CVexaParticleEmitter::kTimeScale * birth;
    particle.deathPending = 1;
    particle.gradientStarted = 0;
    particle.lifeSpan = ParticleRandomVariation(q[1], q[8]);
    float* base = particle.base;
    base[1] = ParticleRandomVariation(q[4], q[12]);
    base[2] = SignedVariation(q[3], q[35], type.HasRandomSignQ3());
    base[3] = ParticleRandomVariation(q[36], q[37]);
    base[4] = ParticleRandomVariation(q[7], q[11]);
    base[5] = ParticleRandomVariation(q[2], q[9]);
    base[6] = ParticleRandomVariation(q[17], q[19]);
    base[7] = ParticleRandomVariation(q[20], q[21]);
    base[8] = ParticleRandomVariation(q[29], values.orbitSpread);
    base[9] = ParticleRandomVariation(q[30], values.contractionSpread);
    base[10] = ParticleRandomVariation(q[24], q[25]);
    base[11] = q[6];
    PickMesh(type, particle);
    AttachSubEmitters(type, particle, time, false);
    return true;
}

// q holds the particle's curves; colour its gradient colour when sampled
// already, else null. Inline: both of the life step's loops run it for
// every particle.
inline void UpdateParticle(CVexaParticleType& type, CParticle& p, const CLifeSampleBatch::CRow& q,
                           const CColour* colour, float lived, float age, float time, float dt, bool axis3D) {
    using C = CLifeSampleBatch;
    const float* base = p.base;
    p.speed = base[1] * q[C::kSpeed];
    p.spinSpeed = base[2] * q[C::kSpin];
    p.meshSpinSpeed = base[3] * q[C::kMeshSpin];
    p.turbulence = base[4] * q[C::kTurbulence];
    p.directionFactor = base[7] * q[C::kDirection];
    p.alphaFactor = base[11] * q[C::kAlpha];
    p.orbitSpeed = base[8] * q[C::kOrbit];
    p.orbitContraction = base[9] * q[C::kContraction];
    p.size = base[5] * q[C::kSize] * p.motionFactor;
    const float rate = base[6] * q[C::kRate];
    if (!type.gradient.IsRandomStart()) {
        p.colour1 = colour ? *colour : SampleColourGradient(type.gradient, lived);
    } else if (!p.gradientStarted) {
        p.colour1 = SampleColourGradient(type.gradient, ParticleRandomUnit());
        p.gradientStarted = 1;
    }
    if (axis3D) p.direction.z -= age * rate;
    else p.direction.y += age * rate;
    for (CSubEmitterEntry& sub : p.subEmitters)
        if (sub.emitter) sub.emitter->Update(time - sub.startTime, dt, p.position.x, p.position.y, p.position.z, 1);
}

bool KeptBySubEmitters(const CParticle& particle, float time) {
    return std::any_of(particle.subEmitters.begin(), particle.subEmitters.end(), [time](const CSubEmitterEntry& sub) {
        return sub.emitter && (time - sub.startTime < kSubEmitterGrace || sub.emitter->HasParticles());
    });
}

// When a particle of a step's emission is born. A type that waited emits at
// its next step for the whole time it missed: its particles are born spread
// evenly over that time, as its missed steps would have made them, and after
// their first life step are moved to their ages (MoveBorn), so that they show
// at once as those steps would have left them. Born all at the step, the
// particles of a type that waits about as long as they live would be drawn
// only as births (unseen in most effects) and then dead. Without missed time
// every particle is born at the step, and a one-shot burst's are all born at
// the step that made it, missed or not. The newest are made first: when the
// pool runs out, those it holds are the ones still living.
class CBirthSpread {
public:
    // `count` births at `newest`, or over the `span` seconds up to it, in a
    // step at `time`.
    CBirthSpread(float time, float newest, float span, uint64_t count)
        : m_newest(newest), m_span(span), m_count(float(count)), m_early(span > 0.0f || newest < time) {}
    // Born before the step, so maybe dead already.
    bool IsEarly() const { return m_early; }
    float GetSpan() const { return m_span; }
    float Birth(uint64_t slot) const {
        if (!(m_span > 0.0f)) return m_newest;
        return m_newest - m_span * ((float(slot) + 0.5f) / m_count);
    }

private:
    float m_newest, m_span, m_count;
    bool m_early;
};

// Seconds a type's particles live: on average, and at the longest. Lives
// that never end (negative, or not a number) are infinite.
struct CTypeLife {
    float mean = 0;
    float longest = 0;
};

CTypeLife TypeLife(const CTypeValues& q) {
    const float life = q[1], spread = q[8];
    if (life == 0.0f) return {};
    if (!(life > 0.0f) || !std::isfinite(life)) return {INFINITY, INFINITY};
    const float scale = 1.0f / CVexaParticleEmitter::kTimeScale;
    if (spread <= 1.0f) return {life * scale, life * (1.0f + std::fabs(spread)) * scale};
    return {life * spread * scale, 2.0f * life * spread * scale};
}

// The slots a step makes, newest first: without a wait all of them. Of
// births spread over `span`, those born within the longest life (older ones
// would be dead at birth); after a wait (`waited`: the type's own budget,
// else null), while the types want more records than the pool holds, the
// type's share (CRecordShares) taken evenly from among them, so that their
// placements and ages keep their spread.
class CStepSlots {
public:
    CStepSlots(uint64_t count, float span, float longest, CParticleWorkBudget* waited) : m_living(count) {
        if (span > 0.0f && longest < span)
            m_living = std::min(count, uint64_t(std::ceil(std::max(0.0, double(count) * longest / span - 0.5))));
        m_kept = m_living;
        if (!waited) return;
        const double part = waited->GetRecordShares().KeptPart(GetParticleRecordCap());
        if (part >= 1.0) return;
        m_kept = Share(m_living, part);
    }
    bool IsOver(uint64_t slot) const { return slot >= m_living || m_kept == 0; }
    bool IsKept(uint64_t slot) const {
        return m_kept == m_living || (slot + 1) * m_kept / m_living > slot * m_kept / m_living;
    }

private:
    static uint64_t Share(uint64_t living, double part) {
        const double expected = double(living) * part;
        const double granule = double(std::min(living, CRecordShares::kShareGranule));
        if (expected >= granule) return std::min(living, uint64_t(expected + double(ParticleRandomUnit())));
        return double(ParticleRandomUnit()) * granule < expected ? uint64_t(granule) : 0;
    }

    uint64_t m_living;
    uint64_t m_kept;
};

// A waited step's particle whose own life is already over when made. It is
// let go at once, unless sub-emitters may start with its birth or death.
bool BornDead(CVexaParticleType& type, CParticle* particle, float time) {
    if (type.IsNeverDie() || type.HasSubEmitters()) return false;
    if ((CVexaParticleEmitter::kTimeScale * time - particle->birthTime) / particle->lifeSpan < 1.0f) return false;
    type.FreeParticle(particle);
    return true;
}

// The particles a step of n emissions of k placements each asks for, up to
// the per-step cap.
uint64_t AskedCount(int64_t n, uint64_t k) {
    const uint64_t cap = kMaxParticlesPerStep;
    return uint64_t(n) >= cap || k >= cap ? cap : std::min(uint64_t(n) * k, cap);
}

// The slots of n emissions of k placements each, while the pool has
// records and no quit is pending; returns how many particles were made.
uint32_t EmitPlaced(CVexaParticleType& type, const CEmissionValues& values, float time, const CBirthSpread& births,
                    const CStepSlots& slots, int64_t n, uint64_t k) {
    CParticleWorkBudget* budget = type.GetWorkBudget();
    uint32_t made = 0;
    uint64_t slot = 0;
    for (int64_t i = 0; i < n; ++i)
        for (uint64_t j = 0; j < k; ++j, ++slot) {
            if (slots.IsOver(slot)) return made;
            if (!slots.IsKept(slot)) continue;
            if ((budget && budget->Spend(1)) || !EmitOne(type, values, time, births.Birth(slot), j)) return made;
            if (births.IsEarly() && BornDead(type, type.head, time)) continue;
            ++made;
        }
    return made;
}

// How many living particles the type keeps (CRecordShares): its mean rate
// times its mean life, or times the time it has emitted while that is
// shorter; for a type that emits once or never lets its particles die,
// those it has.
float LivingWanted(const CVexaParticleType& type, const CTypeValues& q, const CTypeLife& life, uint64_t k,
                   float emitted) {
    if (type.IsOneShot() || type.IsNeverDie()) return float(type.liveCount);
    const float wanted = std::max(0.0f, q[5]) * float(k) * std::min(life.mean, emitted);
    return std::isnan(wanted) ? 0.0f : std::min(wanted, float(kMaxParticleRecords));
}

} // namespace

uint32_t EmitParticles(CVexaParticleType& type, float time, float dt, float missed, bool emitting) {
    CVexaParticleEmitter& emitter = *type.emitter;
    if (emitter.GetAxisFlag()) {
        BuildTypeRotation(type);
        BuildTypeFrame(type);
    }
    // A burst is one emission, never spread: one its type waited for is made
    // at the first missed step its emitter emitted in, as that step would
    // have made it.
    const CVexaParticleEmitter::CBurstStep& burst = emitter.GetBurstStep();
    const bool burstMissed = type.IsOneShot() && burst.time < time;
    const float at = burstMissed ? burst.time : time;
    if (burstMissed) emitting = burst.emitting;
    if (!(burstMissed || emitter.IsEmitting()) || (type.IsOneShot() && type.emissionCounter)) {
        emitter.WantRecords(type, float(type.liveCount));
        return 0;
    }
    CParticleWorkBudget* own = type.GetOwnWorkBudget();
    if (own && own->Spend(CParticleWorkBudget::kEmissionCurveVisits)) return 0;
    const CEmissionValues values = EvaluateEmission(type, emitter, CVexaParticleEmitter::kTimeScale * at);
    const int64_t n = EmissionCount(type, values.q, dt);
    const CVexaParticleEmitter::CSettings& settings = emitter.GetSettings();
    uint64_t k = 1;
    if (settings.shape != 0 && settings.orderedPlacement != 0)
        k = uint64_t(settings.placementCount) * (settings.twoSidedA && settings.twoSidedB ? 2 : 1);
    const CTypeLife life = TypeLife(values.q);
    const float emitted = emitter.GetEmittedTime(time, dt - missed);
    emitter.WantRecords(type, emitting ? LivingWanted(type, values.q, life, k, emitted) : float(type.liveCount));
    if (!emitting || n <= 0 || k == 0) return 0;
    const uint64_t count = AskedCount(n, k);
    const CBirthSpread births(time, at, type.IsOneShot() ? 0.0f : missed, count);
    const CStepSlots slots(count, births.GetSpan(), life.longest, missed > 0.0f ? own : nullptr);
    return EmitPlaced(type, values, time, births, slots, n, k);
}

namespace {

// A particle at life fraction f whose life is over (f not below 1, or not a
// number) is let go unless sub-emitters keep it; true when it was let go.
// It is drawn once more at its life's end first, except in a step after a
// wait when its type has no sub-emitters: it would hold its record through
// the type's next wait, and the pool is shared among the waiting types.
// Inline: most particles take only its first test.
inline bool EndLife(CVexaParticleType& type, CParticle* particle, float f, float time, bool waited) {
    if (f < 1.0f) return false;
    if (particle->deathPending && !(waited && !type.HasSubEmitters())) {
        for (CSubEmitterEntry& sub : particle->subEmitters)
            if (sub.emitter && sub.emitter->GetSettings().subEmitterStart == 0) sub.emitter->SetEmitting(0);
        AttachSubEmitters(type, *particle, time, true);
        particle->deathPending = 0;
        return false;
    }
    if (KeptBySubEmitters(*particle, time)) return false;
    type.FreeParticle(particle);
    return true;
}

// What a life step shares among a type's particles.
struct CLifeStep {
    CVexaParticleType& type;
    float time, dt;
    float T;  // time on the curves' scale
    bool axis3D, neverDie, waited;
    CParticleWorkBudget* budget;
};

// Short tables: each particle is sampled as it is updated, in row 0. Its
// samples read a few lines in the cache already, which costs less than
// gathering it into a batch.
void AgeEach(const CLifeStep& step, CLifeSampleBatch& samples) {
    for (CParticle* particle = step.type.head; particle;) {
        if (step.budget && step.budget->Spend(ParticleVisits(*particle))) return;
        CParticle* next = particle->next;
        const float age = step.T - particle->birthTime;
        const float lived = age / particle->lifeSpan;
        const float f = step.neverDie ? 0.0f : lived;
        if (!EndLife(step.type, particle, f, step.time, step.waited)) {
            samples.SampleOne(f);
            UpdateParticle(step.type, *particle, samples.Curves(0), nullptr, lived, age, step.time, step.dt,
                           step.axis3D);
        }
        particle = next;
    }
}

// Long tables: a batch at a time, sampled ahead of the updates so that the
// searches' misses overlap.
void AgeInBatches(const CLifeStep& step, CLifeSampleBatch& samples) {
    // The life fractions and lives of up to kBatch particles from `from`;
    // the particle after them in `after`.
    struct CLives {
        float fs[CLifeSampleBatch::kBatch], lived[CLifeSampleBatch::kBatch];
        size_t count;
        const CParticle* after;
    };
    const auto gather = [&step](const CParticle* from, CLives& lives) {
        for (lives.count = 0; from && lives.count < CLifeSampleBatch::kBatch; from = from->next, ++lives.count) {
            lives.lived[lives.count] = (step.T - from->birthTime) / from->lifeSpan;
            lives.fs[lives.count] = step.neverDie ? 0.0f : lives.lived[lives.count];
        }
        lives.after = from;
    };
    CLives now, ahead;
    CParticle* particle = step.type.head;
    while (particle) {
        // Only the particle being aged can leave the list, so the ones ahead
        // stay as they are while the batch is aged.
        gather(particle, now);
        samples.Sample({now.fs, now.count}, {now.lived, now.count});
        // The next batch's lines are asked for now, to arrive while this one
        // is applied. Its lives are gathered again when its turn comes.
        gather(now.after, ahead);
        samples.Prefetch({ahead.fs, ahead.count}, {ahead.lived, ahead.count});
        for (size_t i = 0; i < now.count; ++i) {
            if (step.budget && step.budget->Spend(ParticleVisits(*particle))) return;
            CParticle* next = particle->next;
            if (!EndLife(step.type, particle, now.fs[i], step.time, step.waited)) {
                const CColour colour = samples.Colour(i);
                UpdateParticle(step.type, *particle, samples.Curves(i), &colour, now.lived[i],
                               step.T - particle->birthTime, step.time, step.dt, step.axis3D);
            }
            particle = next;
        }
    }
}

} // namespace

void AgeParticles(CVexaParticleType& type, float time, float dt, bool waited) {
    if (!type.head) return;
    const CLifeStep step{type,
                         time,
                         dt,
                         CVexaParticleEmitter::kTimeScale * time,
                         type.emitter->GetAxisFlag() != 0,
                         type.IsNeverDie(),
                         waited,
                         type.GetWorkBudget()};
    CLifeSampleBatch samples(type);
    if (samples.HasSearchedTables()) AgeInBatches(step, samples);
    else AgeEach(step, samples);
}

void CVexaParticleEmitter::BuildOrientationMatrix() {
    float length = std::sqrt(m_orientation.x * m_orientation.x + m_orientation.y * m_orientation.y +
                             m_orientation.z * m_orientation.z);
    if (length < 0.0001f) {
        m_orientation = {1.0f, 0.0f, 0.0f};
        length = 1.0f;
    }
    const float yaw = std::atan2(m_orientation.y, m_orientation.x);
    const float pitch = std::asin(std::clamp(m_orientation.z / length, -1.0f, 1.0f));
    const float cy = std::cos(yaw), sy = std::sin(yaw), cp = std::cos(pitch), sp = std::sin(pitch);
    const float rows[9] = {cp * cy, cp * sy, sp, -sy, cy, 0.0f, -sp * cy, -sp * sy, cp};
    std::copy(std::begin(rows), std::end(rows), m_work.begin() + kOrientationAt);
}

std::array<std::array<float, 3>, 3> CVexaParticleEmitter::GetOrientationMatrix() const {
    std::array<std::array<float, 3>, 3> matrix;
    for (size_t i = 0; i < 9; ++i) matrix[i / 3][i % 3] = m_work[kOrientationAt + i];
    return matrix;
}

void CVexaParticleEmitter::SampleCurves(float time) {
    BuildOrientationMatrix();
    const float T = kTimeScale * time;
    for (size_t i = 0; i < kCurveCount; ++i) m_work[i] = SampleCurve(m_curves[kCurveSlot[i]], T);
}

void CVexaParticleEmitter::Update(float time, float dt, float x, float y, float z, uint32_t emitting) {
    m_position = {x, y, z};
    m_fStepTime = time;
    if (std::isnan(m_fFirstStepTime)) m_fFirstStepTime = time;
    if (std::isnan(m_burstStep.time) && m_bEmitting) m_burstStep = {time, emitting != 0};
    // Only the types' emission reads the curves' values: while every type
    // waits they are not sampled, and their visits go to the first type taken.
    CParticleWorkBudget* budget = GetOwnWorkBudget();
    if (m_waitedSteps.Waits(budget, dt, m_nTypeCount)) return;
    bool sampled = false;
    for (int32_t i = 0; i < m_nTypeCount; ++i) {
        if (budget && budget->IsStopped()) return;
        CVexaParticleType& type = m_types[size_t(i)];
        const CStepSpan span = type.waited.ForLife(budget, time, dt, type.SamplesEmission());
        if (!span.taken) continue;
        if (budget && budget->Spend((sampled ? 0 : CParticleWorkBudget::kEmitterCurveVisits) +
                                    CParticleWorkBudget::kTypePassVisits))
            return;
        if (!std::exchange(sampled, true)) SampleCurves(time);
        const float missed = span.dt - dt;
        const uint32_t born = EmitParticles(type, span.time, span.dt, missed, emitting != 0);
        AgeParticles(type, span.time, span.dt, missed > 0.0f);
        if (missed > 0.0f) MoveBorn(type, int32_t(born), span.time);
        type.waited.EndLife(budget);
    }
}

} // namespace VexaParticles
