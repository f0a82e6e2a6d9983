#include <gtest/gtest.h>

#include "app/Exception.h"
#include "app/Thread.h"
#include "platform/Testing.h"

namespace {

// A worker in the manner of the sound driver's: it waits on its event,
// reads the command under the lock and acknowledges it.
struct CWorker {
    Engine::CCriticalSection lock;
    Engine::CEvent wake, done;
    int command = 0, worked = 0;  // command 1 quits, 2 works

    static DWORD Run(void* argument) {
        auto* self = static_cast<CWorker*>(argument);
        for (;;) {
            HANDLE handles[] = {self->wake.GetHandle()};
            if (WaitForMultipleObjects(1, handles, FALSE, 100) == WAIT_TIMEOUT) continue;
            Engine::CCriticalSectionLock hold(self->lock);
            Engine::CCriticalSectionLock again(self->lock);  // re-entered, as fade steps do
            const int command = self->command;
            self->command = 0;
            if (command == 1) return 0;
            ++self->worked;
            self->done.Set();
        }
    }

    void Post(int value) {
        {
            Engine::CCriticalSectionLock hold(lock);
            command = value;
        }
        wake.Set();
    }
};

} // namespace

TEST(ThreadTest, WorkerIsSignalledStoppedAndJoined) {
    CWorker worker;
    HANDLE thread = nullptr;
    Engine::CThread::Create(&CWorker::Run, &worker, &thread);
    ASSERT_NE(thread, nullptr);

    for (int i = 0; i < 3; ++i) {
        worker.Post(2);
        ASSERT_TRUE(worker.done.Wait());
    }
    worker.Post(1);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(thread));
    Engine::CCriticalSectionLock hold(worker.lock);
    EXPECT_EQ(worker.worked, 3);
    EXPECT_EQ(worker.command, 0);
}

TEST(ThreadTest, CreateFailureThrows) {
    Platform::Testing::FailNext(Platform::Testing::Failure::ThreadCreation);
    HANDLE thread = nullptr;
    try {
        Engine::CThread::Create(&CWorker::Run, nullptr, &thread);
        FAIL() << "no exception";
    } catch (const Engine::CException& e) {
        EXPECT_STREQ(e.what(), "Engine::CThread::Create(...) : FAILED");
    }
    EXPECT_EQ(thread, nullptr);
}

TEST(ThreadTest, EventsWaitWithTimeOuts) {
    Engine::CEvent autoReset, manual(true, true);
    EXPECT_FALSE(autoReset.Wait(0));
    autoReset.Set();
    EXPECT_TRUE(autoReset.Wait(0));
    EXPECT_FALSE(autoReset.Wait(0));
    EXPECT_TRUE(manual.Wait(0));
    EXPECT_TRUE(manual.Wait(0));
    manual.Reset();
    EXPECT_FALSE(manual.Wait(1));
}
