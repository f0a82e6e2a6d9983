#pragma once
// Writes Ogg Vorbis files with libvorbisenc, and makes the tones the tests,
// the benchmarks and the demo data encode.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Tools {

struct CPcmSound {
    int channels = 2;
    int rate = 44100;
    std::vector<int16_t> samples;  // interleaved

    size_t Frames() const { return channels > 0 ? samples.size() / size_t(channels) : 0; }
};

// Encodes at a variable bit rate of the given quality (-0.1 .. 1.0).
// Empty when the encoder refuses the format.
std::vector<uint8_t> EncodeOggVorbis(const CPcmSound& sound, float quality = 0.4f);

// A sine of the given frequency and peak amplitude (0..1). The channels
// differ (the second plays a fifth above) so swapped channels show.
CPcmSound MakeTone(size_t frames, int channels, int rate, double frequency, double amplitude = 0.5);

// A soft ambient pad that loops without a click: a few detuned sines whose
// periods fit the length, under a slow swell. pitch scales every sine.
CPcmSound MakeAmbientPad(double seconds, int rate = 44100, double pitch = 1.0);

} // namespace Tools
