#pragma once
// Damaged versions of the demo's effect file "fx/scenes.vexa": its emitter
// "sparkle" asking, as a damaged file may, for far more and far larger
// particles than any scene uses. Tests and benchmarks check that a frame of
// each stays within its particle limits.

#include <cstdint>
#include <string>
#include <vector>

namespace Tools {

enum class EHeavyEffect {
    HugeSizeFactor,     // C2 and C11 at 1e9: a thousand million particles, each 1e9 times its size
    HugeSizeCurve,      // C2 at 1e9 and the size curve Q2 at 1e6
    EightTypes,         // eight types, each at 1e9 particles a second, sized 1e4
    NestedSubEmitters,  // sub-emitters nested 16 deep, each at 1e9 a second, sized 1e4
    EndlessLives,       // C2 at 1e9, lives of 1e30 seconds, sized 1e4
    AllAtOnce,          // eight types, each with the nested sub-emitters, lives of 1e30, C2 and C11 at 1e9
    EightSmallTypes,    // eight types at 1e9 a second of 16 px particles living 1e6 s: a full pool of small quads
    ZeroSize,           // C2 at 1e9, particles of size 0 living 1e6 s: a full pool that covers nothing
};

inline constexpr EHeavyEffect kHeavyEffects[] = {EHeavyEffect::HugeSizeFactor, EHeavyEffect::HugeSizeCurve,
                                                 EHeavyEffect::EightTypes,     EHeavyEffect::NestedSubEmitters,
                                                 EHeavyEffect::EndlessLives,   EHeavyEffect::AllAtOnce,
                                                 EHeavyEffect::EightSmallTypes, EHeavyEffect::ZeroSize};

const char* HeavyEffectName(EHeavyEffect effect);
// The effect named so, or false.
bool FindHeavyEffect(const std::string& name, EHeavyEffect& effect);
std::vector<uint8_t> WriteHeavyEffect(EHeavyEffect effect);

} // namespace Tools
