// Memory is left to the process's end only once the program allows it and
// its last run is ending, and never in sanitizer builds; the process then
// ends with its code, its memory handed to a child that ends with it.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "app/ProcessEnd.h"
#include "app/SanitizerBuild.h"

using Engine::CProcessEnd;

namespace {

struct CCounted {
    explicit CCounted(int* gone) : m_gone(gone) {}
    CCounted(CCounted&& other) noexcept : m_gone(std::exchange(other.m_gone, nullptr)) {}
    ~CCounted() {
        if (m_gone) ++*m_gone;
    }
    int* m_gone;
};

struct CLeaveCase {
    const char* name;
    bool allowed, begun;
};

class ProcessEndTest : public ::testing::TestWithParam<CLeaveCase> {
protected:
    void TearDown() override { CProcessEnd::Allow(false); }
};

TEST_P(ProcessEndTest, LeavesOnlyWhenAllowedAndEnding) {
    CProcessEnd::Allow(GetParam().allowed);
    if (GetParam().begun) CProcessEnd::Begin();
    const bool leaves = GetParam().allowed && GetParam().begun && !Engine::kAddressSanitizerBuild;
    EXPECT_EQ(CProcessEnd::IsLeavingMemory(), leaves);
    int gone = 0;
    CProcessEnd::Leave(CCounted(&gone));
    EXPECT_EQ(gone, leaves ? 0 : 1) << "let go of at once unless left";
}

INSTANTIATE_TEST_SUITE_P(Cases, ProcessEndTest,
                         ::testing::Values(CLeaveCase{"NotAllowed", false, true}, CLeaveCase{"NotEnding", true, false},
                                           CLeaveCase{"Ending", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProcessEndExitTest, EndsWithItsCodeWhetherOrNotMemoryIsLeft) {
    for (const bool leaving : {false, true}) {
        const pid_t child = ::fork();
        if (child == 0) {
            CProcessEnd::Allow(leaving);
            CProcessEnd::Begin();
            CProcessEnd::Exit(leaving ? 7 : 8);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), leaving ? 7 : 8);
    }
}

} // namespace
