// Sound on 44.1 kHz stereo tracks encoded at Vorbis quality 0.4: decoding
// through the stream list and mixing in the DirectSound stand-in, measured
// apart, each per second of audio. "realtime_x" is seconds of audio per
// second of CPU; "core_fraction" is CPU seconds per second of audio.
// Targets: decoding at least 100x real time per voice; mixing 32 voices
// under 0.05 of one core.

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/File.h"
#include "platform/DirectSound.h"
#include "sound/SampleDecoder.h"
#include "tools/OggWriter.h"

namespace {

using namespace Engine::Sound;

constexpr int kRate = 44100;
constexpr float kQuality = 0.4f;
constexpr uint32_t kQuarterBytes = 8820 * 4;
constexpr int kCallbackFrames = 1024;

// A 10 s track, written once.
const std::string& TrackPath() {
    static const std::string path = [] {
        char folder[] = "/tmp/mosark_sound_bench_XXXXXX";
        const std::string file = std::string(mkdtemp(folder) ? folder : "/tmp") + "/track.ogg";
        const std::vector<uint8_t> bytes = Tools::EncodeOggVorbis(Tools::MakeAmbientPad(10.0, kRate), kQuality);
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return file;
    }();
    return path;
}

// The track as a one-stream list, opened.
bool OpenTrack(CSampleDecoder& decoder, CStreamList& list, benchmark::State& state) {
    list.streams.emplace_back(new CSampleDecoder::CContext(TrackPath().c_str()));
    if (OpenStreams(list, decoder)) return true;
    state.SkipWithError("cannot open the track");
    return false;
}

void SetCounters(benchmark::State& state) {
    const double seconds = double(state.iterations());
    state.counters["realtime_x"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
    state.counters["core_fraction"] =
        benchmark::Counter(seconds, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// One iteration decodes one second of one voice, in the quarters a
// streamed voice refills.
void BM_Decode(benchmark::State& state) {
    CSampleDecoder decoder;
    CStreamList list;
    if (!OpenTrack(decoder, list, state)) return;
    std::vector<uint8_t> quarter(kQuarterBytes);
    for (auto _ : state) {
        for (uint32_t done = 0; done < uint32_t(kRate) * 4; done += kQuarterBytes) {
            uint32_t size = kQuarterBytes;
            ReadStreams(list, quarter.data(), size, true);
        }
        benchmark::DoNotOptimize(quarter.data());
    }
    SetCounters(state);
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

// One iteration mixes one second of output from n looping voices of the
// decoded track, each with its own volume and pan, in callback-sized blocks.
void BM_Mix(benchmark::State& state) {
    CSampleDecoder decoder;
    CStreamList list;
    if (!OpenTrack(decoder, list, state)) return;
    const std::vector<uint8_t> pcm = DecodeStreams(list);
    Platform::Testing::UseManualSound(true);
    IDirectSound* ds = nullptr;
    DirectSoundCreate(nullptr, &ds, nullptr);
    ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY);
    IDirectSoundBuffer* primary = nullptr;
    DSBUFFERDESC desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    ds->CreateSoundBuffer(&desc, &primary, nullptr);
    const WAVEFORMATEX format = MakePcmFormat(2, 16, kRate);
    primary->SetFormat(&format);
    desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
    desc.dwBufferBytes = DWORD(pcm.size());
    desc.lpwfxFormat = &format;
    std::vector<IDirectSoundBuffer*> voices(size_t(state.range(0)));
    for (size_t i = 0; i < voices.size(); ++i) {
        ds->CreateSoundBuffer(&desc, &voices[i], nullptr);
        void* p1 = nullptr;
        DWORD n1 = 0;
        voices[i]->Lock(0, desc.dwBufferBytes, &p1, &n1, nullptr, nullptr, 0);
        std::memcpy(p1, pcm.data(), n1);
        voices[i]->Unlock(p1, n1, nullptr, 0);
        voices[i]->SetVolume(-LONG(i % 7) * 300);
        voices[i]->SetPan(LONG(i % 5) * 1000 - 2000);
        voices[i]->SetCurrentPosition(DWORD(i * 4410 * 4 % pcm.size()));
        voices[i]->Play(0, 0, DSBPLAY_LOOPING);
    }
    for (auto _ : state)
        for (int done = 0; done < kRate; done += kCallbackFrames)
            benchmark::DoNotOptimize(Platform::Testing::RenderSound(kCallbackFrames).data());
    SetCounters(state);
    for (IDirectSoundBuffer* voice : voices) voice->Release();
    primary->Release();
    ds->Release();
    Platform::Testing::UseManualSound(false);
}
BENCHMARK(BM_Mix)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMillisecond);

} // namespace
