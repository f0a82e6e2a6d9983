// A sound start whose command event or worker thread cannot be made: Init
// throws, everything it took is handed back, and the process still ends
// cleanly whichever of the DirectX loader and the library table goes first.

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/DirectXDrivers.h"
#include "app/Exception.h"
#include "platform/Testing.h"
#include "sound/SoundManager.h"
#include "sound/dsound/SoundDriver_DSound.h"

namespace {

using Engine::Sound::CSoundDriver_DSound;
using Platform::Testing::Failure;

struct CStartFailure {
    const char* name;
    Failure failure;
    const char* message;
};

constexpr CStartFailure kFailures[] = {
    {"Event", Failure::EventCreation, "Engine::CEvent::CEvent() : FAILED"},
    {"Thread", Failure::ThreadCreation, "Engine::CThread::Create(...) : FAILED"},
};

// Inits a driver with the worker thread while the failure is armed; the
// message Init threw, empty when it did not throw.
std::string FailedStart(CSoundDriver_DSound& driver, Failure failure) {
    Platform::Testing::FailNext(failure);
    CSoundDriver_DSound::CParams params;
    try {
        driver.Init(&params, 44100, 0);
    } catch (const Engine::CException& e) {
        return e.what();
    }
    return {};
}

class FailedStartTest : public ::testing::TestWithParam<CStartFailure> {
protected:
    void SetUp() override { Platform::Testing::UseManualSound(true); }
    void TearDown() override { Platform::Testing::Reset(); }
};

TEST_P(FailedStartTest, InitHandsEverythingBackAndCanBeRetried) {
    Engine::Sound::CSoundManager manager;
    CSoundDriver_DSound driver(&manager);
    EXPECT_EQ(FailedStart(driver, GetParam().failure), GetParam().message);
    EXPECT_FALSE(driver.IsInitialised());
    EXPECT_EQ(driver.GetPrimaryBuffer(), nullptr);
    EXPECT_EQ(driver.GetDirectSound(), nullptr);
    EXPECT_EQ(Engine::GetDirectXDrivers().GetDirectSound(), nullptr) << "the shared object is released";
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("dsound.dll"), 0);
    driver.Done();

    CSoundDriver_DSound::CParams params;
    params.bWorkerThread = false;
    ASSERT_TRUE(driver.Init(&params, 44100, 0));
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("dsound.dll"), 1);
    driver.Done();
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("dsound.dll"), 0);
}

// In a fresh process: the object constructed first is destroyed last, so
// touching one before the other fixes the order of their ends.
TEST_P(FailedStartTest, ProcessEndsCleanlyAfterwardsInEitherOrder) {
    const std::string saved = ::testing::FLAGS_gtest_death_test_style;
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    for (const bool loaderFirst : {true, false}) {
        SCOPED_TRACE(loaderFirst ? "loader made first" : "library table made first");
        EXPECT_EXIT(
            {
                if (loaderFirst)
                    Engine::GetDirectXDrivers();
                else
                    Platform::Testing::GetLibraryLoadCount("dsound.dll");
                Engine::Sound::CSoundManager manager;
                CSoundDriver_DSound driver(&manager);
                const bool threw = !FailedStart(driver, GetParam().failure).empty();
                std::exit(threw ? 0 : 2);
            },
            ::testing::ExitedWithCode(0), "");
    }
    ::testing::FLAGS_gtest_death_test_style = saved;
}

INSTANTIATE_TEST_SUITE_P(Failures, FailedStartTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
