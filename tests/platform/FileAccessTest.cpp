#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/TestFiles.h"
#include "platform/FileAccess.h"
#include "platform/Registry.h"
#include "platform/Testing.h"

using TestFiles::CScopedEnvironment;
using TestFiles::CScratchFolder;

namespace {

// What sits at the path: made in the scratch folder, or a device.
enum class EKind { Regular, Folder, Fifo, DevZero, Missing };

std::string Make(const CScratchFolder& dir, EKind kind, const std::string& name, const std::string& bytes = "x") {
    const std::string path = dir / name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    switch (kind) {
    case EKind::Regular: dir.Write(name, bytes); break;
    case EKind::Folder: std::filesystem::create_directory(path); break;
    case EKind::Fifo: EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0); break;
    case EKind::DevZero: std::filesystem::create_symlink("/dev/zero", path); break;
    case EKind::Missing: break;
    }
    return path;
}

struct COpenCase {
    const char* name;
    EKind kind;
    int flags;
    int error;  // 0: opens
};

class OpenRegularFileTest : public testing::TestWithParam<COpenCase> {};

// Nothing but a regular file opens, and a FIFO without a peer never blocks
// the open (a blocking open would hang this test).
TEST_P(OpenRegularFileTest, OnlyARegularFileOpens) {
    CScratchFolder dir;
    const std::string path = Make(dir, GetParam().kind, "target");
    errno = 0;
    const int fd = Platform::OpenRegularFile(path, GetParam().flags);
    if (GetParam().error == 0) {
        ASSERT_GE(fd, 0);
        EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0) << "blocking again once accepted";
        ::close(fd);
        return;
    }
    EXPECT_EQ(fd, -1);
    EXPECT_EQ(errno, GetParam().error) << Platform::DescribeFileError(errno);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, OpenRegularFileTest,
    testing::Values(COpenCase{"Regular", EKind::Regular, O_RDONLY, 0},
                    COpenCase{"CreatedForAppending", EKind::Missing, O_WRONLY | O_APPEND | O_CREAT, 0},
                    COpenCase{"Missing", EKind::Missing, O_RDONLY, ENOENT},
                    COpenCase{"FolderRead", EKind::Folder, O_RDONLY, EISDIR},
                    COpenCase{"FolderAppend", EKind::Folder, O_WRONLY | O_APPEND | O_CREAT, EISDIR},
                    COpenCase{"FifoRead", EKind::Fifo, O_RDONLY, Platform::kNotRegularFile},
                    COpenCase{"FifoAppendWithoutReader", EKind::Fifo, O_WRONLY | O_APPEND | O_CREAT, Platform::kNotRegularFile},
                    COpenCase{"LinkToDevZero", EKind::DevZero, O_RDONLY, Platform::kNotRegularFile}),
    [](const testing::TestParamInfo<COpenCase>& info) { return std::string(info.param.name); });

TEST(FileAccessTest, InjectedErrorAnswersForThatPathOnly) {
    CScratchFolder dir;
    const std::string path = dir.Write("screensaver.cfg", "kept");
    const std::string other = dir.Write("other", "x");
    Platform::Testing::SetFileError(path, EIO);
    EXPECT_EQ(Platform::QueryFileStatus(path).error, EIO);
    EXPECT_FALSE(Platform::QueryFileStatus(path).IsAbsent());
    EXPECT_EQ(Platform::OpenRegularFile(path, O_RDONLY), -1);
    EXPECT_EQ(errno, EIO);
    EXPECT_TRUE(Platform::QueryFileStatus(other).IsRegular());
    Platform::Testing::Reset();
    EXPECT_TRUE(Platform::QueryFileStatus(path).IsRegular());
    EXPECT_EQ(Platform::QueryFileStatus(path).size, 4);
    EXPECT_TRUE(Platform::QueryFileStatus(dir / "missing").IsAbsent());
    EXPECT_EQ(Platform::DescribeFileError(Platform::kNotRegularFile), "not a regular file");
}

struct CValueCase {
    const char* name;
    EKind kind;
    std::string bytes;
    std::optional<std::string> value;
    std::string problem;
};

class StartupPathValueTest : public testing::TestWithParam<CValueCase> {};

// The value file is read bounded, and only when it is a regular file: a link
// to /dev/zero or a FIFO is refused at once, with the reason.
TEST_P(StartupPathValueTest, ReadBoundedFromARegularFileOnly) {
    CScratchFolder dir;
    CScopedEnvironment config("XDG_CONFIG_HOME", dir.Path().c_str());
    Make(dir, GetParam().kind, "Talvorn/Mosark/StartupPath", GetParam().bytes);
    std::string problem = "unchanged";
    EXPECT_EQ(Platform::RegQueryStringValue("Software\\Talvorn\\Mosark", "StartupPath", &problem), GetParam().value);
    EXPECT_EQ(problem, GetParam().problem);
}

const std::string kLongest(Platform::kMaxRegistryValueBytes, 'a');

INSTANTIATE_TEST_SUITE_P(
    Values, StartupPathValueTest,
    testing::Values(CValueCase{"Absent", EKind::Missing, "", std::nullopt, ""},
                    CValueCase{"Empty", EKind::Regular, "", std::nullopt, ""},
                    CValueCase{"FirstLine", EKind::Regular, "/opt/m\r\nnext\n", "/opt/m", ""},
                    CValueCase{"Longest", EKind::Regular, kLongest, kLongest, ""},
                    CValueCase{"LongestThenMore", EKind::Regular, kLongest + "\n" + kLongest, kLongest, ""},
                    CValueCase{"OneByteTooLong", EKind::Regular, kLongest + "a", std::nullopt, "longer than 4096 bytes"},
                    CValueCase{"NulByte", EKind::Regular, std::string("/opt\0x", 6), std::nullopt, "holds a NUL byte"},
                    CValueCase{"Folder", EKind::Folder, "", std::nullopt, "Is a directory"},
                    CValueCase{"Fifo", EKind::Fifo, "", std::nullopt, "not a regular file"},
                    CValueCase{"LinkToDevZero", EKind::DevZero, "", std::nullopt, "not a regular file"}),
    [](const testing::TestParamInfo<CValueCase>& info) { return std::string(info.param.name); });

} // namespace
