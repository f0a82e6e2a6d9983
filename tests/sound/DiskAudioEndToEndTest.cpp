// The one real-time test: the driver with its worker thread plays a looping
// track through SDL's "disk" audio driver, and the stream written to the
// file is compared with the decoded track. Skipped when SDL audio cannot
// start on that driver.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "SoundTestSupport.h"
#include "sound/SampleLocalManager.h"

namespace {

using namespace SoundTest;

constexpr double kPlaySeconds = 2.5;
constexpr auto kGenerousBound = std::chrono::seconds(30);

// Normalised correlation of out (from frame lag) with the looping track.
double Correlation(const std::vector<int16_t>& out, const std::vector<int16_t>& track, size_t lag, size_t from,
                   size_t frames) {
    double xy = 0, xx = 0, yy = 0;
    const size_t trackFrames = track.size() / 2;
    for (size_t i = from; i < from + frames; ++i)
        for (size_t c = 0; c < 2; ++c) {
            const double x = out[(lag + i) * 2 + c], y = track[(i % trackFrames) * 2 + c];
            xy += x * y;
            xx += x * x;
            yy += y * y;
        }
    return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0.0;
}

TEST(DiskAudioEndToEndTest, LoopingTrackReachesTheWrittenStream) {
    TestFiles::CScratchFolder folder;
    const std::string output = folder / "out.raw";
    TestFiles::CScopedEnvironment driverName("SDL_AUDIODRIVER", "disk");
    TestFiles::CScopedEnvironment file("SDL_DISKAUDIOFILE", output.c_str());
    Engine::CFile::SetDiskRoot(folder.Path().string().c_str());
    WriteOgg(folder, "ogg/tracks/ambient1.ogg", Tools::MakeTone(44100, 2, 44100, 330.0, 0.5));
    const std::vector<int16_t> track = ReferenceDecode(folder / "ogg/tracks/ambient1.ogg");

    CSoundManager manager;
    CSoundDriver_DSound driver(&manager);
    CSoundDriver_DSound::CParams params;
    if (!driver.Init(&params, 44100, 2) || Platform::GetSoundOutputInfo().driver != "disk") {
        driver.Done();
        Engine::CFile::SetDiskRoot("");
        GTEST_SKIP() << "SDL's disk audio driver is not available";
    }
    manager.SetDriver(&driver);
    manager.Init();
    {
        auto local = ref_ptr<CSampleLocalManager>(new CSampleLocalManager(manager));
        ref_ptr<CSampleBase> sample = local->GetSample("ogg/tracks/ambient1.ogg");
        ASSERT_TRUE(Play(sample, {.loop = true, .fadeLevel = 0.0f}));
        sample->GetBuffer(0).FadeIn(1.0f);
        const auto wanted = std::uintmax_t(kPlaySeconds * 44100 * 4);
        const auto deadline = std::chrono::steady_clock::now() + kGenerousBound;
        std::error_code error;
        while (std::filesystem::file_size(output, error) < wanted && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    manager.Done();
    driver.Done();
    Engine::CFile::SetDiskRoot("");

    const std::string bytes = TestFiles::ReadFileBytes(output);
    const std::vector<int16_t> out = ToSamples(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    ASSERT_GE(out.size(), size_t(kPlaySeconds * 44100 * 2)) << "the output did not grow in time";
    size_t first = 0;
    while (first < out.size() && out[first] == 0) ++first;
    ASSERT_LT(first, out.size()) << "nothing but silence was written";
    // The track starts at a zero crossing: its first sound is a frame or two in.
    const size_t from = 22050, frames = 4096;
    double best = 0.0;
    for (size_t lag = first / 2 >= 8 ? first / 2 - 8 : 0; lag <= first / 2 + 8; ++lag)
        if ((lag + from + frames) * 2 <= out.size()) best = std::max(best, Correlation(out, track, lag, from, frames));
    EXPECT_GT(best, 0.95);
}

} // namespace
