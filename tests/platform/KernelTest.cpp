#include <gtest/gtest.h>

#include <atomic>

#include "platform/Kernel.h"

namespace {

struct CHandles {
    HANDLE h[3];
    CHandles(BOOL manual0, BOOL manual1, BOOL manual2) {
        h[0] = CreateEvent(nullptr, manual0, FALSE, nullptr);
        h[1] = CreateEvent(nullptr, manual1, FALSE, nullptr);
        h[2] = CreateEvent(nullptr, manual2, FALSE, nullptr);
    }
    ~CHandles() {
        for (HANDLE handle : h) CloseHandle(handle);
    }
};

DWORD WaitOnGate(void* gate) { return WaitForSingleObject(static_cast<HANDLE>(gate), INFINITE); }

} // namespace

TEST(KernelTest, AutoResetEventsReleaseOneWaitAndTheLowestIndexWins) {
    CHandles e(FALSE, TRUE, FALSE);
    EXPECT_EQ(WaitForMultipleObjects(3, e.h, FALSE, 0), WAIT_TIMEOUT);
    SetEvent(e.h[2]);
    SetEvent(e.h[1]);
    EXPECT_EQ(WaitForMultipleObjects(3, e.h, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(3, e.h, FALSE, 0), WAIT_OBJECT_0 + 1) << "manual reset stays set";
    ResetEvent(e.h[1]);
    EXPECT_EQ(WaitForMultipleObjects(3, e.h, FALSE, 10'000), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForSingleObject(e.h[2], 0), WAIT_TIMEOUT) << "auto reset cleared by the wait";

    SetEvent(e.h[0]);
    EXPECT_EQ(WaitForMultipleObjects(3, e.h, TRUE, 0), WAIT_TIMEOUT) << "wait-all needs every one";
    SetEvent(e.h[1]);
    SetEvent(e.h[2]);
    EXPECT_EQ(WaitForMultipleObjects(3, e.h, TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(e.h[0], 0), WAIT_TIMEOUT);
}

TEST(KernelTest, BadHandlesFail) {
    HANDLE bogus = reinterpret_cast<HANDLE>(uintptr_t(0x77));
    EXPECT_EQ(WaitForSingleObject(bogus, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects(0, &bogus, FALSE, 0), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(bogus));
    EXPECT_FALSE(CloseHandle(bogus));
    EXPECT_EQ(CreateEvent(nullptr, FALSE, FALSE, "named"), nullptr);
    HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    EXPECT_TRUE(CloseHandle(event));
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_EQ(GetThreadPriority(event), THREAD_PRIORITY_ERROR_RETURN);
}

TEST(KernelTest, ThreadHandleIsSignalledWhenTheThreadEnds) {
    HANDLE gate = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, WaitOnGate, gate, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL));
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
    SetEvent(gate);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "stays signalled";
    EXPECT_TRUE(CloseHandle(thread));
    CloseHandle(gate);
}
