// The DirectSound stand-in on the manual output.

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

#include "SoundTestSupport.h"
#include "platform/Kernel.h"

namespace {

using SoundTest::ToSamples;

class DirectSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        Platform::Testing::UseManualSound(true);
        ASSERT_EQ(DirectSoundCreate(nullptr, &m_ds, nullptr), DS_OK);
        ASSERT_EQ(m_ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
        DSBUFFERDESC desc;
        desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
        ASSERT_EQ(m_ds->CreateSoundBuffer(&desc, &m_primary, nullptr), DS_OK);
        SetOutput(2, 16);
    }
    void TearDown() override {
        for (IDirectSoundBuffer* buffer : m_buffers) buffer->Release();
        if (m_primary) m_primary->Release();
        m_ds->Release();
        Platform::Testing::UseManualSound(false);
    }
    void SetOutput(WORD channels, WORD bits, DWORD rate = 44100) {
        const WAVEFORMATEX format = MakePcmFormat(channels, bits, rate);
        ASSERT_EQ(m_primary->SetFormat(&format), DS_OK);
    }
    // A 16-bit buffer holding the samples, with every control; released at the end.
    IDirectSoundBuffer* MakeBuffer(const std::vector<int16_t>& samples, WORD channels, DWORD rate = 44100) {
        const WAVEFORMATEX format = MakePcmFormat(channels, 16, rate);
        DSBUFFERDESC desc;
        desc.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPOSITIONNOTIFY;
        desc.dwBufferBytes = DWORD(samples.size() * 2);
        desc.lpwfxFormat = &format;
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        void* p1 = nullptr;
        DWORD n1 = 0;
        EXPECT_EQ(buffer->Lock(0, desc.dwBufferBytes, &p1, &n1, nullptr, nullptr, 0), DS_OK);
        std::memcpy(p1, samples.data(), n1);
        buffer->Unlock(p1, n1, nullptr, 0);
        m_buffers.push_back(buffer);
        return buffer;
    }
    static std::vector<int16_t> Render(int frames) { return ToSamples(Platform::Testing::RenderSound(frames)); }

    IDirectSound* m_ds = nullptr;
    IDirectSoundBuffer* m_primary = nullptr;
    std::vector<IDirectSoundBuffer*> m_buffers;
};

TEST_F(DirectSoundTest, StereoRampPassesThroughAndLoopingWraps) {
    std::vector<int16_t> ramp(200);  // 100 stereo frames
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = int16_t(i * 37 % 20000 - 10000);
    IDirectSoundBuffer* buffer = MakeBuffer(ramp, 2);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    const std::vector<int16_t> out = Render(150);
    for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], ramp[i % ramp.size()]) << i;
    DWORD play = 0, status = 0;
    buffer->GetCurrentPosition(&play, nullptr);
    buffer->GetStatus(&status);
    EXPECT_EQ(play, 50u * 4);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
}

// The lead is 1,024 output frames, counted at the buffer's own rate and
// wrapped round its end; whatever the output asks of the mix at a time.
TEST_F(DirectSoundTest, WriteCursorLeadsByAThousandAndTwentyFourOutputFrames) {
    const struct {
        DWORD rate;
        DWORD leadFrames;
    } cases[] = {{44100, 1024}, {22050, 512}, {11025, 256}};
    for (const auto& c : cases) {
        IDirectSoundBuffer* buffer = MakeBuffer(std::vector<int16_t>(1500), 1, c.rate);
        DWORD play = 0, write = 0;
        buffer->GetCurrentPosition(&play, &write);
        EXPECT_EQ(write, play) << "stopped, rate " << c.rate;
        buffer->Play(0, 0, DSBPLAY_LOOPING);
        for (int i = 0; i < 4; ++i) {
            Render(700);
            buffer->GetCurrentPosition(&play, &write);
            EXPECT_EQ(write, (play / 2 + c.leadFrames) % 1500 * 2) << "rate " << c.rate << ", step " << i;
        }
    }
}

TEST_F(DirectSoundTest, VolumeAndPanAttenuate) {
    IDirectSoundBuffer* buffer = MakeBuffer(std::vector<int16_t>(200, 20000), 2);
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    buffer->SetVolume(-602);
    const std::vector<int16_t> half = Render(1);
    EXPECT_NEAR(half[0], 10000, 1);
    EXPECT_NEAR(half[1], 10000, 1);
    buffer->SetVolume(0);
    buffer->SetPan(DSBPAN_RIGHT);
    EXPECT_EQ(Render(1), (std::vector<int16_t>{0, 20000}));
    buffer->SetPan(DSBPAN_LEFT);
    EXPECT_EQ(Render(1), (std::vector<int16_t>{20000, 0}));
    EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
}

// Also: mono fills both sides, and a one-shot buffer stops at its end.
TEST_F(DirectSoundTest, HalfTheFrequencyDoublesTheDuration) {
    IDirectSoundBuffer* buffer = MakeBuffer({1000, 2000, 3000, 4000}, 1);
    buffer->SetFrequency(22050);
    buffer->Play(0, 0, 0);
    const std::vector<int16_t> out = Render(10);
    EXPECT_EQ(out, (std::vector<int16_t>{1000, 1000, 1000, 1000, 2000, 2000, 2000, 2000, 3000, 3000, 3000, 3000,
                                         4000, 4000, 4000, 4000, 0, 0, 0, 0}));
    DWORD status = 1;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, 0u);
}

TEST_F(DirectSoundTest, EachNotificationFiresOncePerCrossing) {
    IDirectSoundBuffer* buffer = MakeBuffer(std::vector<int16_t>(100), 1);  // 200 bytes
    HANDLE events[2] = {CreateEvent(nullptr, FALSE, FALSE, nullptr), CreateEvent(nullptr, FALSE, FALSE, nullptr)};
    IDirectSoundNotify* notify = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), DS_OK);
    const DSBPOSITIONNOTIFY positions[2] = {{0, events[0]}, {100, events[1]}};
    ASSERT_EQ(notify->SetNotificationPositions(2, positions), DS_OK);
    notify->Release();
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    const auto fired = [&] {
        std::vector<int> which;
        for (DWORD r; (r = WaitForMultipleObjects(2, events, FALSE, 0)) != WAIT_TIMEOUT;) which.push_back(int(r));
        return which;
    };
    Render(49);
    EXPECT_EQ(fired(), std::vector<int>{});
    Render(1);  // the cursor reaches byte 100
    EXPECT_EQ(fired(), std::vector<int>{1});
    Render(50);  // and comes round to 0
    EXPECT_EQ(fired(), std::vector<int>{0});
    for (HANDLE event : events) CloseHandle(event);
}

TEST_F(DirectSoundTest, DuplicatesShareDataAndLockSplitsAtTheEnd) {
    IDirectSoundBuffer* buffer = MakeBuffer(std::vector<int16_t>(8), 1);  // 16 bytes
    IDirectSoundBuffer* copy = nullptr;
    ASSERT_EQ(m_ds->DuplicateSoundBuffer(buffer, &copy), DS_OK);
    m_buffers.push_back(copy);
    void *p1 = nullptr, *p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(buffer->Lock(12, 8, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(n1, 4u);
    EXPECT_EQ(n2, 4u);
    static const int16_t kWords[4] = {1, 2, 3, 4};
    std::memcpy(p1, kWords, 4);
    std::memcpy(p2, kWords + 2, 4);
    buffer->Unlock(p1, n1, p2, n2);
    EXPECT_EQ(buffer->Lock(16, 4, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    copy->Play(0, 0, 0);
    EXPECT_EQ(Render(8), (std::vector<int16_t>{3, 3, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 2, 2}));
}

TEST_F(DirectSoundTest, EightBitMonoOutputOfTheMix) {
    SetOutput(1, 8, 22050);
    IDirectSoundBuffer* buffer = MakeBuffer({-32768, -32768, 512, 512}, 2, 22050);
    buffer->Play(0, 0, 0);
    EXPECT_EQ(Platform::Testing::RenderSound(3), (std::vector<uint8_t>{0, 130, 128}));
}

} // namespace
