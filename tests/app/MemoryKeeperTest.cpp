// The child that keeps the memory closes every descriptor it was given,
// whether the system allows close_range, refuses it, or refuses the listing
// of /proc too, so that nobody waiting on this process's pipes waits for it.
// It stays until every thread of the process has ended, not only the one
// that made it.

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/MemoryKeeper.h"

namespace {

std::set<int> OpenDescriptors(const std::string& folder) {
    std::set<int> found;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') found.insert(std::stoi(entry->d_name));
        const int own = dirfd(dir);
        closedir(dir);
        if (folder == "/proc/self/fd") found.erase(own);
    }
    return found;
}

// Refuses the calls named with EPERM, as a sandbox without them does.
bool RefuseCalls(const std::vector<int>& calls) {
    std::vector<sock_filter> program{
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
    };
    for (int call : calls) {
        program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, unsigned(call), 0, 1));
        program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM));
    }
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    const sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

struct CRefusal {
    const char* name;
    std::vector<int> calls;
};

class MemoryKeeperTest : public ::testing::TestWithParam<CRefusal> {};

// The sentinel's copies are the highest descriptors, so every way of closing
// reaches them last: its end of file tells that the child has closed all it
// was given. Two of them are opened before the soft limit is lowered under
// them, as a program may do after it has opened its files.
constexpr int kSentinels[] = {900, 1024, 5000};
constexpr rlim_t kSoftLimit = 1024;
constexpr rlim_t kHardLimit = 8192;

TEST_P(MemoryKeeperTest, ClosesEveryDescriptorOfTheParent) {
#if !defined(__x86_64__)
    GTEST_SKIP() << "the refusing filter is written for x86-64";
#endif
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    if (limit.rlim_max <= rlim_t(kSentinels[2])) GTEST_SKIP() << "the hard descriptor limit is " << limit.rlim_max;
    limit = {kSoftLimit, std::min(limit.rlim_max, kHardLimit)};
    int report[2], sentinel[2], hold[2];
    ASSERT_EQ(pipe(report), 0);
    ASSERT_EQ(pipe(sentinel), 0);
    ASSERT_EQ(pipe(hold), 0);
    const pid_t parent = fork();
    ASSERT_GE(parent, 0);
    if (parent == 0) {
        close(report[0]);
        close(sentinel[0]);
        close(hold[1]);
        for (int copy : kSentinels)
            if (dup2(sentinel[1], copy) != copy) _exit(2);
        if (setrlimit(RLIMIT_NOFILE, &limit) != 0) _exit(2);
        close(sentinel[1]);
        for (int i = 0; i < 3; ++i) open("/dev/null", O_RDONLY);
        const std::set<int> held = OpenDescriptors("/proc/self/fd");
        if (!RefuseCalls(GetParam().calls)) _exit(3);
        std::vector<int> message{int(Engine::CMemoryKeeper::Start())};
        message.insert(message.end(), held.begin(), held.end());
        message.insert(message.begin(), int(message.size()));
        if (write(report[1], message.data(), message.size() * sizeof(int)) < 0) _exit(4);
        for (int copy : kSentinels) close(copy);
        close(report[1]);
        char ignored;
        while (read(hold[0], &ignored, 1) < 0) {}
        _exit(0);
    }
    close(report[1]);
    close(sentinel[1]);
    close(hold[0]);

    int count = 0;
    ASSERT_EQ(read(report[0], &count, sizeof count), ssize_t(sizeof count));
    ASSERT_TRUE(count > 1 && count < 4096);
    std::vector<int> message(static_cast<size_t>(count));
    ASSERT_EQ(read(report[0], message.data(), message.size() * sizeof(int)), ssize_t(message.size() * sizeof(int)));
    const pid_t keeper = message.front();
    const std::set<int> held(message.begin() + 1, message.end());
    ASSERT_GT(keeper, 0);
    for (int copy : kSentinels) ASSERT_TRUE(held.count(copy)) << copy;

    pollfd closed{sentinel[0], POLLIN, 0};
    const bool sawEnd = poll(&closed, 1, 20'000) == 1;
    EXPECT_TRUE(sawEnd) << "the child still holds the parent's descriptors";
    if (sawEnd) {
        EXPECT_EQ(kill(keeper, 0), 0) << "the child closed them by ending, not by closing them";
        for (int descriptor : OpenDescriptors("/proc/" + std::to_string(keeper) + "/fd"))
            EXPECT_FALSE(held.count(descriptor)) << "descriptor " << descriptor << " is still open in the child";
    }
    close(hold[1]);
    int status = 0;
    ASSERT_EQ(waitpid(parent, &status, 0), parent);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    close(report[0]);
    close(sentinel[0]);
}

INSTANTIATE_TEST_SUITE_P(Refusals, MemoryKeeperTest,
                         ::testing::Values(CRefusal{"Nothing", {}}, CRefusal{"CloseRange", {SYS_close_range}},
                                           CRefusal{"CloseRangeAndTheListing", {SYS_close_range, SYS_openat}}),
                         [](const auto& info) { return std::string(info.param.name); });

// The state letter of a task, or 0 once it is gone.
char TaskState(pid_t process, pid_t task) {
    std::ifstream stat("/proc/" + std::to_string(process) + "/task/" + std::to_string(task) + "/stat");
    std::string line;
    if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) return 0;
    return line[line.rfind(')') + 2];
}

// The process's first thread makes the child and ends while another thread
// still runs: the child stays while that thread runs, and ends by itself
// once it has ended (a signal at the first thread's end would leave the
// memory to the process's last thread to take back).
TEST(MemoryKeeperEndTest, StaysUntilTheLastThreadOfTheProcessHasEnded) {
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    int report[2], hold[2];
    ASSERT_EQ(pipe(report), 0);
    ASSERT_EQ(pipe(hold), 0);
    const pid_t parent = fork();
    ASSERT_GE(parent, 0);
    if (parent == 0) {
        close(report[0]);
        close(hold[1]);
        std::thread([fd = hold[0]] {
            char ignored;
            while (read(fd, &ignored, 1) < 0) {}
        }).detach();
        const pid_t keeper = Engine::CMemoryKeeper::Start();
        if (write(report[1], &keeper, sizeof keeper) != ssize_t(sizeof keeper)) _exit(4);
        syscall(SYS_exit, 0);  // this thread only
    }
    close(report[1]);
    close(hold[0]);
    pid_t keeper = -1;
    ASSERT_EQ(read(report[0], &keeper, sizeof keeper), ssize_t(sizeof keeper));
    ASSERT_GT(keeper, 0);
    // The first thread has ended once it is a zombie.
    for (long look = 0; TaskState(parent, parent) != 'Z'; ++look) {
        ASSERT_LT(look, 100'000'000) << "the first thread never ended";
        sched_yield();
    }
    const char whileRunning = TaskState(keeper, keeper);
    EXPECT_TRUE(whileRunning != 0 && whileRunning != 'Z') << "state " << whileRunning;
    close(hold[1]);
    int status = 0;
    ASSERT_EQ(waitpid(parent, &status, 0), parent);
    ASSERT_EQ(waitpid(keeper, &status, 0), keeper);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    close(report[0]);
}

} // namespace
