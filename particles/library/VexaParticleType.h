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

    CVexaParticleType() = default;
    ~CVexaParticleType();
    CVexaParticleType(const CVexaParticleType&) = delete;
    CVexaParticleType& operator=(const CVexaParticleType&) = delete;

    // Takes over the prototype's settings for a running copy: its curves,
    // gradient, mesh references and sub-emitter prototypes become borrowed;
    // the copy starts without live particles.
    void CopyFromPrototype(const CVexaParticleType& prototype, CVexaParticleEmitter* owner);

    // Drops every live particle and the sub-emitters they carry.
    void ClearParticles();

    bool IsAdditive() const { return words.drawFlags & kAdditive; }
    bool IsAlphaSource() const { return words.drawFlags & kAlphaSource; }
    bool IsFirstInOrder() const { return words.drawFlags & kFirstInOrder; }
    bool IsFlipU() const { return words.drawFlags & kFlipU; }
    float GetFollowFactor() const { return words.drawValue1; }
    float GetPivotX() const { return words.drawValue2; }
    float GetPivotY() const { return std::bit_cast<float>(words.word12); }
    bool IsNeverDie() const { return words.flags & kNeverDie; }

    bool isCopy = false;
    uint32_t emissionCounter = 0;
    float emissionRemainder = 0;

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
    std::shared_ptr<const std::vector<std::unique_ptr<CVexaParticleEmitter>>> subEmitters;

    CVexaParticleEmitter* emitter = nullptr;
    CVexaParticleLibrary* library = nullptr;
    IVexaFile* file = nullptr;

    CParticle* head = nullptr;
    int32_t liveCount = 0;
};

} // namespace VexaParticles
