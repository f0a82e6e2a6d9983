// The DirectSound driver, voices and samples on the manual output, without
// a worker thread: the test takes the notifications and moves the clock.

#include <gtest/gtest.h>

#include "SoundTestSupport.h"
#include "sound/SampleLocalManager.h"
#include "sound/SampleManager.h"

namespace {

using namespace SoundTest;

constexpr size_t kLatency = 5 * kQuarter;  // frames before the first decoded audio is heard

IDirectSoundBuffer* OutputOf(const ref_ptr<CSampleBase>& sample) {
    return static_cast<CBuffer_DSound&>(sample->GetBuffer(0)).GetDirectSoundBuffer();
}
LONG VolumeOf(const ref_ptr<CSampleBase>& sample) {
    LONG volume = 1;
    OutputOf(sample)->GetVolume(&volume);
    return volume;
}

// Whether the last quarter of a streamed voice's ring holds anything but
// silence: the second refill after Play writes there.
bool LastQuarterHasSound(const ref_ptr<CSampleBase>& sample) {
    void* p1 = nullptr;
    DWORD n1 = 0;
    IDirectSoundBuffer* ds = OutputOf(sample);
    ds->Lock(3 * kQuarter * 4, kQuarter * 4, &p1, &n1, nullptr, nullptr, 0);
    const auto* bytes = static_cast<const uint8_t*>(p1);
    const bool sound = std::any_of(bytes, bytes + n1, [](uint8_t b) { return b != 0; });
    ds->Unlock(p1, n1, nullptr, 0);
    return sound;
}

struct CFormatCase {
    uint32_t flags;
    WORD channels, bits, align;
};

class DriverFormatTest : public DriverFixture, public ::testing::WithParamInterface<CFormatCase> {};

TEST_P(DriverFormatTest, InitSetsThePrimaryFormatFromTheFlags) {
    StartDriver(GetParam().flags);
    WAVEFORMATEX format;
    ASSERT_EQ(m_driver->GetPrimaryBuffer()->GetFormat(&format), DS_OK);
    EXPECT_EQ(format.nChannels, GetParam().channels);
    EXPECT_EQ(format.wBitsPerSample, GetParam().bits);
    EXPECT_EQ(format.nBlockAlign, GetParam().align);
    EXPECT_EQ(format.nAvgBytesPerSec, 88200u);
}

INSTANTIATE_TEST_SUITE_P(Flags, DriverFormatTest,
                         ::testing::Values(CFormatCase{0, 2, 8, 2}, CFormatCase{3, 1, 16, 2}));

// 16-bit stereo output, with a short stereo tone in "a.ogg".
class SoundDriverTest : public DriverFixture {
protected:
    void SetUp() override {
        DriverFixture::SetUp();
        StartDriver(2);
        WriteOgg(m_folder, "a.ogg", Tools::MakeTone(4000, 2, 44100, 440.0));
    }
};

TEST_F(SoundDriverTest, DoneIsHarmlessTwiceAndSamplesMayOutliveIt) {
    CSoundDriver_DSound idle(&m_manager);
    idle.Done();
    Load("a.ogg", 0);
    m_driver->PostCommand(7);
    DrainPasses();
    EXPECT_EQ(m_driver->GetCommand(), 0u);
    EXPECT_FALSE(m_driver->IsQuitting());
    m_driver->Done();
    m_driver->Done();
    EXPECT_FALSE(m_driver->IsInitialised());
    m_samples.clear();
    m_manager.Done();  // the sample's voice leaves without a worker to tell
    EXPECT_EQ(m_driver->GetBufferCount(), 0u);
}

TEST_F(SoundDriverTest, Formulas) {
    EXPECT_EQ(CBuffer_DSound::VolumeToAttenuation(1.0f), 0);
    EXPECT_EQ(CBuffer_DSound::VolumeToAttenuation(0.5f * 0.5f), -1204);
    EXPECT_EQ(CBuffer_DSound::VolumeToAttenuation(0.0001f), -8000);
    EXPECT_EQ(CBuffer_DSound::VolumeToAttenuation(0.00009f), -10000);
    EXPECT_EQ(CBuffer_DSound::PanToDirectSound(0.5f), 5000);
    EXPECT_EQ(CBuffer_DSound::PanToDirectSound(2.0f), 10000);
    EXPECT_EQ(CBuffer_DSound::PanToDirectSound(-1.0f), -10000);
    EXPECT_EQ(CBuffer_DSound::PitchToFrequency(1.0f, 44100), 44100u);
    EXPECT_EQ(CBuffer_DSound::PitchToFrequency(0.5f, 44100), 22050u);
    EXPECT_EQ(CBuffer_DSound::QuarterToWrite(0, kQuarter * 4), 3u);
    EXPECT_EQ(CBuffer_DSound::QuarterToWrite(2 * kQuarter * 4 + 5, kQuarter * 4), 1u);
}

struct CStreamCase {
    uint32_t flags;
    int channels;
};

class StreamedVoiceTest : public DriverFixture, public ::testing::WithParamInterface<CStreamCase> {
protected:
    void SetUp() override {
        DriverFixture::SetUp();
        StartDriver(GetParam().flags);
    }
    std::vector<int16_t> MakeTrack(const char* name, size_t frames) {
        WriteOgg(m_folder, name, Tools::MakeTone(frames, m_channels, 44100, 330.0, 0.6));
        return ReferenceDecode(m_folder / name);
    }
    // Silence for the ring's latency, then the track.
    void ExpectLatencyThenTrack(const std::vector<int16_t>& out, const std::vector<int16_t>& pcm) {
        EXPECT_EQ(Slice(out, 0, kLatency * m_channels), std::vector<int16_t>(kLatency * m_channels, 0));
        EXPECT_EQ(Slice(out, kLatency * m_channels, pcm.size()), pcm);
    }
    const size_t m_channels = size_t(GetParam().channels);
};

// 16-bit output in the track's own channel count passes the decoded PCM
// through bit for bit once the ring's latency has passed.
TEST_P(StreamedVoiceTest, LoopingTrackIsHeardBitForBitAndContinuesFromItsStart) {
    const std::vector<int16_t> pcm = MakeTrack("loop.ogg", 3 * kQuarter + 1000);
    const size_t frames = pcm.size() / m_channels;
    ASSERT_TRUE(Play(Load("loop.ogg", 0), {.loop = true}));
    const std::vector<int16_t> out = RenderQuarters(14);
    ExpectLatencyThenTrack(out, pcm);
    EXPECT_EQ(Slice(out, (kLatency + frames) * m_channels, pcm.size()), pcm);
}

TEST_P(StreamedVoiceTest, NonLoopingTrackIsHeardToItsEndAndReplaysClean) {
    const std::vector<int16_t> pcm = MakeTrack("once.ogg", 2 * kQuarter + 500);
    ref_ptr<CSampleBase> sample = Load("once.ogg", 0);
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(Play(sample));
        ExpectLatencyThenTrack(RenderQuarters(12), pcm);
        EXPECT_EQ(sample->GetBuffer(0).GetState(), 1) << run;
    }
}

TEST_P(StreamedVoiceTest, QueuePlaysItsFilesAsOneStream) {
    std::vector<int16_t> pcm = MakeTrack("a.ogg", kQuarter + 300);
    const std::vector<int16_t> second = MakeTrack("b.ogg", kQuarter / 2);
    pcm.insert(pcm.end(), second.begin(), second.end());
    ref_ptr<CSampleBase> queue = m_driver->CreateSampleQueue("queue", m_manager.GetDecoder());
    queue->Create(0, 1);
    auto& files = static_cast<CSampleQueue&>(*queue);
    for (const char* name : {"a.ogg", "b.ogg"}) files.Enqueue(name);
    files.CreateBuffers();
    Play(queue);
    ExpectLatencyThenTrack(RenderQuarters(10), pcm);
}

TEST_P(StreamedVoiceTest, GroupVolumeHalvesTheAmplitude) {
    const std::vector<int16_t> pcm = MakeTrack("loop.ogg", 2 * kQuarter);
    Play(Load("loop.ogg", 0, 1), {.loop = true});
    m_manager.SetGroupVolume(1, 0.5f);
    m_manager.ApplyVolume(1);
    const std::vector<int16_t> out = RenderQuarters(8);
    for (size_t i = 0; i < pcm.size(); ++i)
        ASSERT_NEAR(out[kLatency * m_channels + i], pcm[i] / 2.0, 1.0) << i;
}

INSTANTIATE_TEST_SUITE_P(Output, StreamedVoiceTest,
                         ::testing::Values(CStreamCase{2, 2}, CStreamCase{3, 1}),
                         [](const auto& info) { return info.param.channels == 2 ? "Stereo" : "Mono"; });

TEST_F(SoundDriverTest, FadesFollowTheClock) {
    ref_ptr<CSampleBase> sample = Load("a.ogg", 0);
    Play(sample, {.loop = true, .fadeLevel = 0.0f});
    auto& voice = static_cast<CBuffer_DSound&>(sample->GetBuffer(0));
    EXPECT_EQ(VolumeOf(sample), DSBVOLUME_MIN);
    voice.FadeIn(1.0f);
    AdvanceClockMs(0);
    EXPECT_EQ(voice.GetFadeLevel(), 0.0f);  // no time passed, no step
    for (int step = 0; step < 9; ++step) AdvanceClockMs(100);
    EXPECT_FALSE(voice.IsFadeDone());
    EXPECT_EQ(VolumeOf(sample), CBuffer_DSound::VolumeToAttenuation(voice.GetFadeLevel()));
    AdvanceClockMs(100);
    EXPECT_TRUE(voice.IsFadeDone());
    EXPECT_EQ(voice.GetFadeLevel(), 1.0f);

    voice.FadeOut(1.0f, true);
    for (int step = 0; step < 9; ++step) AdvanceClockMs(100);
    EXPECT_EQ(voice.GetState(), 0);
    for (int step = 0; step < 2; ++step) AdvanceClockMs(100);
    EXPECT_EQ(voice.GetState(), 1);
    EXPECT_TRUE(voice.IsFadeDone());
    EXPECT_EQ(voice.GetFadeLevel(), 0.0f);
}

TEST_F(SoundDriverTest, NotificationRefillsTheKthStreamedVoice) {
    ref_ptr<CSampleBase> still = Load("a.ogg", 1);
    ref_ptr<CSampleBase> first = Load("a.ogg", 0);
    ref_ptr<CSampleBase> second = Load("a.ogg", 0);
    Play(first), Play(second);
    const DWORD now = timeGetTime();
    m_driver->ProcessPass(2, now);  // decodes the first chunk
    m_driver->ProcessPass(2, now);  // writes it into the quarter before the cursor
    EXPECT_FALSE(LastQuarterHasSound(first));
    EXPECT_TRUE(LastQuarterHasSound(second));
}

// The wait result that means a time-out (258) is also the index a wait
// list of more than 258 entries would give its 258th streamed voice: a
// time-out must refill nothing, and each voice's notification only it.
class ManyStreamedVoices : public SoundDriverTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(ManyStreamedVoices, TimeOutRefillsNothingAndEachNotificationItsOwnVoice) {
    constexpr size_t kVoices = 300;
    std::vector<ref_ptr<CSampleBase>> voices;
    for (size_t i = 0; i < kVoices; ++i) voices.push_back(Load("a.ogg", 0));
    DrainPasses();
    const std::vector<size_t> played = {0, 256, 257, 258, 299};
    for (size_t i : played) Play(voices[i]);
    const DWORD now = timeGetTime();
    for (int pass = 0; pass < 3; ++pass) {
        m_driver->ProcessPass(WAIT_TIMEOUT, now);
        EXPECT_EQ(m_driver->RunPass(0), WAIT_TIMEOUT);
    }
    for (size_t i : played) EXPECT_FALSE(LastQuarterHasSound(voices[i])) << i;

    const size_t target = played[GetParam()];
    auto& voice = static_cast<CBuffer_DSound&>(voices[target]->GetBuffer(0));
    for (int notification = 0; notification < 2; ++notification) {  // decode, then write
        SetEvent(voice.GetNotificationEvent());
        EXPECT_NE(m_driver->RunPass(0), WAIT_TIMEOUT);
    }
    for (size_t i : played) EXPECT_EQ(LastQuarterHasSound(voices[i]), i == target) << i;
}

INSTANTIATE_TEST_SUITE_P(Voice, ManyStreamedVoices, ::testing::Range<size_t>(0, 5));

TEST_F(SoundDriverTest, StaticVoicesAreChosenFreeFirstThenFurthestAlong) {
    WriteOgg(m_folder, "click.ogg", Tools::MakeTone(20000, 1, 44100, 880.0));
    ref_ptr<CSampleBase> sample = Load("click.ogg", 3, 0);
    ASSERT_EQ(sample->GetBufferCount(), 3);
    EXPECT_EQ(m_driver->GetBufferCount(), 3u);
    const auto positions = [&] {
        std::vector<uint32_t> p;
        for (int i = 0; i < 3; ++i) p.push_back(sample->GetBuffer(i).GetPosition());
        return p;
    };
    Play(sample);
    Platform::Testing::RenderSound(400);
    Play(sample), Play(sample);
    Platform::Testing::RenderSound(500);
    EXPECT_EQ(positions(), (std::vector<uint32_t>{900, 500, 500}));
    Play(sample);  // restarts the furthest
    EXPECT_EQ(positions(), (std::vector<uint32_t>{0, 500, 500}));
    Play(sample);  // equal positions: the earlier voice
    EXPECT_EQ(positions(), (std::vector<uint32_t>{0, 0, 500}));
    m_samples.clear();
    sample = nullptr;
    m_manager.Done();
    EXPECT_EQ(m_driver->GetBufferCount(), 0u);
}

TEST_F(SoundDriverTest, ManagerAppliesGroupVolumesAndKeepsSamplesByName) {
    WriteOgg(m_folder, "ogg/click.ogg", Tools::MakeTone(3000, 1, 44100, 880.0));
    ref_ptr<CSampleBase> effect = Load("ogg\\click.ogg", 1, 0);
    EXPECT_EQ(effect->GetName(), "ogg/click.ogg");
    auto local = ref_ptr<CSampleLocalManager>(new CSampleLocalManager(m_manager));
    ref_ptr<CSampleBase> a = local->GetSample("ogg/click.ogg");
    ref_ptr<CSampleBase> b = local->GetSample("ogg/click.ogg");
    EXPECT_NE(a, b);
    CSampleManager& samples = *m_manager.GetSampleManager();
    EXPECT_EQ(samples.FindSample("ogg/click.ogg"), b);
    EXPECT_EQ(samples.GetUseCount("ogg/click.ogg"), 3);
    EXPECT_THROW(samples.FindSample("ogg/none.ogg"), Engine::CException);

    m_manager.SetGroupVolume(1, 0.5f);
    m_manager.ApplyVolume(1);
    EXPECT_EQ(VolumeOf(b), -602);
    EXPECT_EQ(VolumeOf(effect), 0);
    local = nullptr;  // hands back both uses, the replaced sample's too
    EXPECT_EQ(samples.GetUseCount("ogg/click.ogg"), 1);

    CSoundManager silent;
    silent.Init();
    EXPECT_EQ(silent.CreateSample(silent.GetSampleManager(), "ogg/click.ogg", 0, 1), nullptr);
}

TEST_F(SoundDriverTest, UnreadableFilesGiveSilentSamples) {
    m_folder.Write("bad.ogg", std::string(3000, '\x4f'));
    TestFiles::CLogCapture log;
    for (const char* name : {"bad.ogg", "missing.ogg"}) {
        ref_ptr<CSampleBase> sample = Load(name, 0);
        EXPECT_FALSE(sample->GetBuffer(0).IsCreated());
        EXPECT_TRUE(Play(sample));
        EXPECT_EQ(sample->GetBuffer(0).GetState(), 1);
    }
    EXPECT_TRUE(log.Contains("Unable to open file 'missing.ogg'"));
    EXPECT_TRUE(log.Contains("'bad.ogg' is not an Ogg Vorbis stream"));
    EXPECT_EQ(m_driver->GetBufferCount(), 0u);
}

} // namespace
