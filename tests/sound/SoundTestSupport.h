#pragma once
// Shared by the sound tests: Ogg files made with the encoder in a scratch
// folder that the file layer reads from, vorbisfile's own decode of them as
// the reference, and a driver on the manual output without a worker thread.

#include <vorbis/vorbisfile.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/TestFiles.h"
#include "platform/DirectSound.h"
#include "platform/Testing.h"
#include "platform/Time.h"
#include "sound/SoundManager.h"
#include "sound/dsound/Sample_DSound.h"
#include "tools/OggWriter.h"

namespace SoundTest {

using namespace Engine::Sound;
using Engine::ref_ptr;
using CBuffer_DSound = CSoundDriver_DSound::CBuffer_DSound;

constexpr uint32_t kQuarter = CBuffer_DSound::kQuarterFrames;

// Writes the sound as name under the folder and returns its bytes.
inline std::string WriteOgg(const TestFiles::CScratchFolder& folder, const std::string& name,
                            const Tools::CPcmSound& sound) {
    const std::vector<uint8_t> bytes = Tools::EncodeOggVorbis(sound);
    const std::string text(bytes.begin(), bytes.end());
    folder.Write(name, text);
    return text;
}

// vorbisfile's decode of a whole file, as 16-bit samples.
inline std::vector<int16_t> ReferenceDecode(const std::string& path) {
    OggVorbis_File file;
    std::vector<int16_t> samples;
    if (ov_fopen(path.c_str(), &file) != 0) return samples;
    char buffer[4096];
    int section = 0;
    for (long got; (got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section)) > 0;) {
        const auto* words = reinterpret_cast<const int16_t*>(buffer);
        samples.insert(samples.end(), words, words + got / 2);
    }
    ov_clear(&file);
    return samples;
}

// Plays the sample with the given parameters (all defaults: once, full level).
inline bool Play(const ref_ptr<CSampleBase>& sample, const CPlayParams& params = {}) { return sample->Play(&params); }

inline std::vector<int16_t> Slice(const std::vector<int16_t>& v, size_t from, size_t count) {
    return {v.begin() + ptrdiff_t(from), v.begin() + ptrdiff_t(from + count)};
}

inline std::vector<int16_t> ToSamples(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return samples;
}

// A sound manager and a DirectSound driver on the manual output, driven
// pass by pass on the test clock. Files are read from the scratch folder.
class DriverFixture : public ::testing::Test {
protected:
    ~DriverFixture() noexcept override {}
    void SetUp() override {
        Engine::CFile::SetDiskRoot(m_folder.Path().string().c_str());
        Platform::Testing::UseManualSound(true);
        Platform::Testing::UseTestClock(1'000'000);
    }
    void TearDown() override {
        m_samples.clear();
        m_manager.Done();
        if (m_driver) m_driver->Done();
        m_driver.reset();
        Platform::Testing::UseRealClock();
        Platform::Testing::UseManualSound(false);
        Engine::CFile::SetDiskRoot("");
    }

    // flags: bit 0 mono, bit 1 16-bit output.
    void StartDriver(uint32_t flags) {
        m_driver = std::make_unique<CSoundDriver_DSound>(&m_manager);
        CSoundDriver_DSound::CParams params;
        params.bWorkerThread = false;
        ASSERT_TRUE(m_driver->Init(&params, 44100, flags));
        m_manager.SetDriver(m_driver.get());
        m_manager.Init();
    }
    ref_ptr<CSampleBase> Load(const std::string& name, int32_t voices, int32_t group = 1) {
        ref_ptr<CSampleBase> sample = m_manager.CreateSample(m_manager.GetSampleManager(), name.c_str(), voices, group);
        m_samples.push_back(sample);
        return sample;
    }
    // Runs the passes the worker would run until nothing is signalled.
    void DrainPasses() {
        while (m_driver->RunPass(0) != WAIT_TIMEOUT) {}
    }
    // Renders quarters of output, taking the notifications after each.
    std::vector<int16_t> RenderQuarters(int quarters) {
        std::vector<int16_t> out;
        for (int q = 0; q < quarters; ++q) {
            const std::vector<int16_t> part = ToSamples(Platform::Testing::RenderSound(int(kQuarter)));
            out.insert(out.end(), part.begin(), part.end());
            DrainPasses();
        }
        return out;
    }
    void AdvanceClockMs(int ms) {
        Platform::Testing::AdvanceTestClock(int64_t(ms) * 1000);
        DrainPasses();
    }

    TestFiles::CScratchFolder m_folder;
    CSoundManager m_manager;
    std::unique_ptr<CSoundDriver_DSound> m_driver;
    std::vector<ref_ptr<CSampleBase>> m_samples;
};

} // namespace SoundTest
