#pragma once
// A particle type of an emitter: its shape, its words and flags, its colour
// gradient, 38 parameter curves, its mesh references and its sub-emitter
// prototypes, plus the live particles it has emitted. A type copied from a
// prototype's type shares the prototype's keys, entries and sub-emitters.

#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

#include "particles/library/ColourGradient.h"
#include "particles/library/MeshReferenceList.h"
#include "particles/library/ParameterCurve.h"
#include "particles/library/Particle.h"
#include "particles/library/SubEmitterPrototypes.h"
#include "particles/library/WaitedTime.h"

namespace VexaParticles {

class CVexaParticleEmitter;
class CVexaParticleLibrary;
class CVexaShape;
class IVexaFile;

class CVexaParticleType {
public:
    static constexpr size_t kCurveCount = 38;

    // Life flags.
    static constexpr uint32_t kOneShotBurst = 0x1;
    static constexpr uint32_t kNeverDie = 0x2;
    static constexpr uint32_t kRandomSignQ3 = 0x4;

    // Drawing flags (word P4).
    static constexpr uint32_t kAdditive = 0x1;
    static constexpr uint32_t kAlphaSource = 0x2;
    static constexpr uint32_t kFirstInOrder = 0x4;
    static constexpr uint32_t kFlipU = 0x8;

    CVexaParticleType();
    ~CVexaParticleType();
    CVexaParticleType(const CVexaParticleType&) = delete;
    CVexaParticleType& operator=(const CVexaParticleType&) = delete;

    // Takes over the prototype's settings for a running copy: its curves,
    // gradient, mesh references and sub-emitter prototypes become borrowed;
    // the copy starts without live particles.
    void CopyFromPrototype(const CVexaParticleType& prototype, CVexaParticleEmitter* owner);

    // Types in existence, prototypes and copies, on every thread: what a
    // load cut partway made and let go of shows here.
    static int64_t GetLiveCount();

    // Drops every live particle and the sub-emitters they carry; their
    // records go back to the free list and the live count becomes 0.
    void ClearParticles();
    // Puts a particle at the head of the live list and counts it, as its
    // library's holding does (CPoolHolding).
    void LinkParticle(CParticle* particle);
    // Takes a particle out of the live list and uncounts it.
    void UnlinkParticle(CParticle* particle);
    // Takes a particle out of the live list and gives its record back with
    // the sub-emitters it carries.
    void FreeParticle(CParticle* particle);

    bool IsAdditive() const { return words.drawFlags & kAdditive; }
    bool IsAlphaSource() const { return words.drawFlags & kAlphaSource; }
    bool IsFirstInOrder() const { return words.drawFlags & kFirstInOrder; }
    bool IsFlipU() const { return words.drawFlags & kFlipU; }
    float GetFollowFactor() const { return words.drawValue1; }
    float GetPivotX() const { return words.drawValue2; }
    float GetPivotY() const { return std::bit_cast<float>(words.word12); }
    bool IsNeverDie() const { return words.flags & kNeverDie; }
    bool IsOneShot() const { return words.flags & kOneShotBurst; }
    bool HasRandomSignQ3() const { return words.flags & kRandomSignQ3; }
    // Whether its next emission samples its curves: its burst, if it has
    // one, is not spent, and its emitter emits or emitted once since its
    // start (a burst its type waited for is still made).
    bool SamplesEmission() const;
    // Particles carry sub-emitters only when their type has prototypes of them.
    bool HasSubEmitters() const { return subEmitters && !subEmitters->empty(); }
    // The library's frame budget (ParticleWorkBudget.h); null for a type
    // read without a library, which has no limit.
    CParticleWorkBudget* GetWorkBudget() const;
    // The budget the type's own work and its turns are counted on: null as
    // above, and for a sub-emitter copy's type, whose whole step its parent
    // particle's copy units stand for and whose turn is its parent's.
    CParticleWorkBudget* GetOwnWorkBudget() const;

    using CMatrix33 = std::array<std::array<float, 3>, 3>;

    bool isCopy = false;
    uint32_t emissionCounter = 0;  // the burst-done flag of a one-shot type
    float emissionRemainder = 0;   // the fraction of a particle carried over
    CWaitedTime waited;            // steps the frame's budget held back
    float recordsWanted = -1;      // living particles last asked for (CRecordShares); negative before

    // The scalar words of the file record, as read.
    struct CWords {
        uint32_t word1 = 0;            // P1
        uint32_t rotationMode = 0;     // P2
        int32_t rotationAngle = 0;     // P3, whole degrees
        uint32_t drawFlags = 0;        // P4
        uint32_t orientationMode = 0;  // P5
        uint32_t flags = 0;
        uint32_t word6 = 0;            // P6
        uint32_t word7 = 0;            // P7
        uint32_t vOrientation = 0;     // P8
        std::array<float, 3> eulerAngles{};  // P9-P11
        uint32_t word12 = 0;           // P12: pivot y as f32 bits
        uint32_t burstCount = 0;
        float drawValue1 = 0;          // T1: follow factor
        float drawValue2 = 0;          // T2: pivot x
        friend bool operator==(const CWords&, const CWords&) = default;
    };

    const CVexaShape* shape = nullptr;
    CWords words;
    CColourGradient gradient;
    std::array<CParameterCurve, kCurveCount> curves;
    CMeshReferenceList meshes;
    std::shared_ptr<const CSubEmitterPrototypes> subEmitters;

    CVexaParticleEmitter* emitter = nullptr;
    CVexaParticleLibrary* library = nullptr;
    IVexaFile* file = nullptr;

    // Orientation: the own rotation from the Euler angles and the frame
    // (rows right, up, spin axis) oriented quads are drawn in.
    uint32_t eulerFlag = 0;
    CMatrix33 ownRotation{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    CMatrix33 frame{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

    // Drawing state, set up by each draw of the type.
    struct CDrawState {
        float uStart = 0, vStart = 0, uEnd = 1, vEnd = 1;
        float extentX = 64, extentY = 64;
        float pivotX = 0, pivotY = 0;
        bool oriented = false;    // quads in the orientation frame
        bool colourRGBA = false;  // the device's vertex colour byte order
    };
    CDrawState draw;

    // The live list: newest at the head.
    CParticle* head = nullptr;
    CParticle* tail = nullptr;
    int32_t liveCount = 0;
};

} // namespace VexaParticles
