// Samples and their managers destroyed while still referenced throw the
// integer 1, as every counted engine object does, after their own clean-up.

#include <gtest/gtest.h>

#include <functional>

#include "SoundTestSupport.h"
#include "sound/SampleLocalManager.h"
#include "sound/SampleManager.h"
#include "tests/app/DeleteThrows.h"

namespace {

using namespace SoundTest;

struct CStillReferencedCase {
    const char* name;
    std::function<Engine::CReferenced*(CSoundManager&, CSoundDriver_DSound*)> make;
};

class StillReferencedTest : public DriverFixture, public ::testing::WithParamInterface<CStillReferencedCase> {};

TEST_P(StillReferencedTest, DestroyingThrowsTheIntegerOne) {
    StartDriver(2);
    WriteOgg(m_folder, "a.ogg", Tools::MakeTone(4000, 2, 44100, 440.0));
    Engine::CReferenced* object = GetParam().make(m_manager, m_driver.get());
    object->AddRef();
    EXPECT_EQ(TestReferenced::DeleteAndCatch(object), 1);
    EXPECT_EQ(m_driver->GetBufferCount(), 0u) << "the voices are gone";
    EXPECT_TRUE(m_manager.GetSampleManager()->GetSamples().empty()) << "the uses are handed back";
}

INSTANTIATE_TEST_SUITE_P(
    Classes, StillReferencedTest,
    ::testing::Values(
        CStillReferencedCase{"Sample",
                             [](CSoundManager& manager, CSoundDriver_DSound* driver) -> Engine::CReferenced* {
                                 auto* sample = new CSoundDriver_DSound::CSample_DSound("a.ogg", driver,
                                                                                        manager.GetDecoder());
                                 sample->Create(2, 1);
                                 return sample;
                             }},
        CStillReferencedCase{"SampleQueue",
                             [](CSoundManager& manager, CSoundDriver_DSound* driver) -> Engine::CReferenced* {
                                 auto* queue = new CSoundDriver_DSound::CSampleQueue_DSound("queue", driver,
                                                                                            manager.GetDecoder());
                                 queue->Create(0, 1);
                                 queue->Enqueue("a.ogg");
                                 queue->CreateBuffers();
                                 return queue;
                             }},
        CStillReferencedCase{"SampleManager",
                             [](CSoundManager& manager, CSoundDriver_DSound*) -> Engine::CReferenced* {
                                 return new CSampleManager(&manager);
                             }},
        CStillReferencedCase{"SampleLocalManager",
                             [](CSoundManager& manager, CSoundDriver_DSound*) -> Engine::CReferenced* {
                                 auto* local = new CSampleLocalManager(manager);
                                 local->GetSample("a.ogg");
                                 return local;
                             }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
