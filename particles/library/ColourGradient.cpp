#include "particles/library/ColourGradient.h"

#include <memory>

#include "app/LoadingQuitCheck.h"
#include "particles/library/KeyStore.h"
#include "particles/library/VexaInput.h"

namespace VexaParticles {

CColourGradient::CColourGradient(std::vector<CColourKey> keys, int32_t repeatCount, bool randomStart)
    : CColourGradient(OwnKeyTable<CColourKey>(keys), repeatCount, randomStart) {}

void ReadColourGradient(CVexaInput& input, CColourGradient& gradient) {
    const std::span<CColourKey> keys = input.GetKeyStore().Room<CColourKey>(input.Count(20, "colour keys"));
    for (size_t i = 0; i < keys.size(); ++i) {
        Engine::CLoadingQuitCheck::Count();
        CColourKey& key = *std::construct_at(&keys[i]);
        key.time = input.F32();
        key.red = input.F32();
        key.green = input.F32();
        key.blue = input.F32();
        key.alpha = input.F32();
    }
    const int32_t repeatCount = input.I32();
    const bool randomStart = input.U32() != 0;
    gradient = CColourGradient(input.GetKeyStore().MakeTable<CColourKey>(keys), repeatCount, randomStart);
}

namespace {

// The colour at t between keys[first - 1] and keys[first]. Local, so that
// both samplers below take it inline.
CColour ColourBetween(std::span<const CColourKey> keys, float t, size_t first) {
    const size_t k = first - 1;
    const float u = (t - keys[k].time) / (keys[k + 1].time - keys[k].time);
    auto mix = [u](float a, float b) { return a + (b - a) * u; };
    return {mix(keys[k].red, keys[k + 1].red), mix(keys[k].green, keys[k + 1].green),
            mix(keys[k].blue, keys[k + 1].blue), mix(keys[k].alpha, keys[k + 1].alpha)};
}

} // namespace

CColour FinishGradientSample(const CColourGradient& gradient, const CGradientSample& sample, size_t first) {
    return sample.searched ? ColourBetween(gradient.GetKeys(), sample.t, first) : sample.colour;
}

CColour SampleColourGradient(const CColourGradient& gradient, float t) {
    const CGradientSample sample = StartGradientSample(gradient, t);
    if (!sample.searched) return sample.colour;
    // The segment ends at the last key at the latest.
    const std::span<const CColourKey> keys = gradient.GetKeys();
    return ColourBetween(keys, sample.t, gradient.GetTable()->FirstNotBefore(sample.t, keys.size() - 1));
}

} // namespace VexaParticles
