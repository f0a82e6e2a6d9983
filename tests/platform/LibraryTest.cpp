#include <gtest/gtest.h>

#include "platform/Library.h"
#include "platform/Testing.h"

namespace {

int Answer() { return 42; }

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override { Platform::Testing::Reset(); }
    void TearDown() override { Platform::Testing::Reset(); }
};

} // namespace

TEST_F(LibraryTest, BuiltInDirectInputLoadsByAnyCase) {
    HMODULE module = LoadLibrary("DINPUT.DLL");
    ASSERT_NE(module, nullptr);
    EXPECT_NE(GetProcAddress(module, "DirectInputCreateA"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "DirectInputCreateW"), nullptr);
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("dinput.dll"), 1);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(FreeLibrary(module)) << "already freed";
    EXPECT_EQ(GetProcAddress(module, "DirectInputCreateA"), nullptr) << "not loaded any more";
    EXPECT_EQ(LoadLibrary("d3d9.dll"), nullptr);
}

TEST_F(LibraryTest, RegisteredLibrariesCountLoadsAndCanBeMadeToFail) {
    Platform::RegisterLibrary("test.dll", {{"Answer", Platform::ToProc(&Answer)}});
    HMODULE first = LoadLibrary("test.dll");
    HMODULE second = LoadLibrary("test.dll");
    EXPECT_EQ(first, second);
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("test.dll"), 2);
    auto answer = reinterpret_cast<int (*)()>(GetProcAddress(first, "Answer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    FreeLibrary(first);
    EXPECT_NE(GetProcAddress(second, "Answer"), nullptr) << "one load is still held";

    Platform::Testing::SetLibraryLoadFails("test.dll", true);
    EXPECT_EQ(LoadLibrary("test.dll"), nullptr);
    Platform::Testing::SetLibraryLoadFails("test.dll", false);
    Platform::UnregisterLibrary("test.dll");
    EXPECT_EQ(LoadLibrary("test.dll"), nullptr);
}
