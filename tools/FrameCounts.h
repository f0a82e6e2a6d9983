#pragma once
// Data whose frames would grow with a count the files hold, each case with
// a twin of the same scene at a small count: a frame of the case should
// cost about what a frame of its twin does (many particle types: what one
// type filling the pool as they do costs). Beside them, counts that only
// loading and letting go see: many ambient tracks, many emitters.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/PakWriter.h"

namespace Tools {

enum class EFrameCount {
    LinearKeys,       // bg7 (bg1 to bg6 empty): bg6's scene with the keyed lantern of tools/LargeCounts.h, driven by no class
    EffectCurveKeys,  // bg6 with every curve and the gradient of the sparkle emitter and its particle type at `count` keys
    EmptyLayers,      // bg6 with `count` empty layers after its own
    AmbientTracks,    // bg6 with `count` ambient tracks of 0.1 s in place of the demo's
    Emitters,         // bg6 with `count` copies of the sparkle emitter in its effect file
    ParticleTypes,    // bg6 with the sparkle's particle type repeated `count` times in its one emitter
    ParticlePool,     // bg6 with `count` sparkle types, each at 100,000 / `count` times its rate: the pool full
    CopyTypes,        // bg6 with the sparkle at 40 times its rate, each particle carrying from its birth a copy of
                      // `count` one-shot burst sparkle types of one particle each
    BurstTypes,       // bg6 with `count` sparkle types, each a one-shot burst of kBurstParticles (living 1.2 s)
};

struct CFrameCount {
    const char* name;
    EFrameCount kind;
    int count;
};

inline constexpr CFrameCount kFrameCounts[] = {
    {"LinearKeys10M", EFrameCount::LinearKeys, 10'000'000},
    {"LinearKeys10", EFrameCount::LinearKeys, 10},
    {"EffectCurveKeys100k", EFrameCount::EffectCurveKeys, 100'000},
    {"EffectCurveKeys10", EFrameCount::EffectCurveKeys, 10},
    {"EmptyLayers1M", EFrameCount::EmptyLayers, 1'000'000},
    {"EmptyLayers1", EFrameCount::EmptyLayers, 1},
    {"AmbientTracks10k", EFrameCount::AmbientTracks, 10'000},
    {"AmbientTracks1", EFrameCount::AmbientTracks, 1},
    {"Emitters100k", EFrameCount::Emitters, 100'000},
    {"ParticleTypes100k", EFrameCount::ParticleTypes, 100'000},
    {"ParticleTypes30k", EFrameCount::ParticleTypes, 30'000},
    {"ParticleTypes1", EFrameCount::ParticleTypes, 1},
    {"ParticlePool1", EFrameCount::ParticlePool, 1},
    {"BurstTypes100k", EFrameCount::BurstTypes, 100'000},
    {"BurstTypes10k", EFrameCount::BurstTypes, 10'000},
};

// The particles of each BurstTypes type's burst.
inline constexpr uint32_t kBurstParticles = 2;

// ParticleTypes' many types emit as many particles a second in all as
// ParticlePool's one type.
inline constexpr int kParticlePoolRateFactor = 100'000;
// CopyTypes' sparkle rate over the demo's.
inline constexpr int kCopyTypesRateFactor = 40;

// The ambient tracks' names and length.
inline constexpr const char* kAmbientTrackPattern = "ogg/tracks/ambient%d.ogg";
inline constexpr double kShortTrackSeconds = 0.1;

const char* FrameCountName(CFrameCount frame);
// The case named so, or false.
bool FindFrameCount(const std::string& name, CFrameCount& frame);

// The scene a case shows: "place/bg<number>.place" and the effect file
// "fx/scenes.vexa" beside it.
struct CFrameCountScene {
    int number = 0;
    std::string path;
    std::vector<uint8_t> place;
    std::vector<uint8_t> effects;
};
CFrameCountScene WriteFrameCountScene(EFrameCount kind, int count);

// The demo pack's scene data for the case (the numbers before its scene
// empty), with the scenes' pictures; the tracks replace the pack's own.
void AddFrameCount(CPakWriter& pack, EFrameCount kind, int count);

} // namespace Tools
