#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>

#include "app/Config.h"
#include "app/TestFiles.h"
#include "platform/Testing.h"
#include "tools/BinaryWriter.h"

using namespace Engine;
using TestFiles::CLogCapture;
using TestFiles::CScratchFolder;

namespace {

struct Fields {
    uint32_t id = CConfig::kFileId;
    uint32_t version = 1;
    uint32_t length = 13;
    float volumes[2] = {0.25f, 0.5f};
    uint8_t ambient = 0;
    uint32_t changeTime = 180;
};

// A configuration image with a correct checksum over whatever it holds.
std::string Image(const Fields& f) {
    Tools::CBinaryWriter w;
    w.U32(f.id).U32(f.version).U32(f.length).F32(f.volumes[0]).F32(f.volumes[1]).U8(f.ambient).U32(f.changeTime);
    w.U32(uint32_t(crc32(0, w.Data(), uInt(w.Size()))));
    return std::string(w.Data(), w.Data() + w.Size());
}

// The settings Fields() describes, none of them a default.
CConfig Custom() {
    CConfig config;
    config.soundVolumes[0] = 0.25f, config.soundVolumes[1] = 0.5f;
    config.playAmbientSounds = false, config.backgroundChangeSeconds = 180;
    return config;
}

} // namespace

TEST(ConfigTest, SaveAndLoadRoundTripWithTheDocumentedLayout) {
    CScratchFolder dir;
    const CString path(dir / "screensaver.cfg");
    ASSERT_TRUE(Custom().Save(path));
    EXPECT_EQ(TestFiles::ReadFileBytes(path.str()), Image(Fields()));
    CConfig loaded;
    EXPECT_TRUE(loaded.Load(path));
    EXPECT_EQ(loaded, Custom());
}

namespace {
struct Corruption {
    const char* name;
    std::function<std::optional<std::string>()> image;  // none: no file at all
    const char* reason;
};
class ConfigCorruptionTest : public ::testing::TestWithParam<Corruption> {};

std::string With(const std::function<void(Fields&)>& change) {
    Fields f;
    change(f);
    return Image(f);
}

const Corruption kCorruptions[] = {
    {"Missing", [] { return std::nullopt; }, "no configuration file"},
    {"Empty", [] { return std::string(); }, "Cannot read 4 bytes, 0 readed"},
    {"Truncated", [] { return Image(Fields()).substr(0, 20); }, "wrong size"},
    {"HeaderOnly", [] { return Image(Fields()).substr(0, 6); }, "Cannot read 4 bytes, 2 readed"},
    {"TrailingByte", [] { return Image(Fields()) + "x"; }, "wrong size"},
    {"Foreign", [] { return std::string("<?xml version=\"1.0\"?><a/>"); }, "not a configuration file"},
    {"Newer", [] { return With([](Fields& f) { f.version = 2; }); }, "written by a newer version"},
    {"VersionZero", [] { return With([](Fields& f) { f.version = 0; }); }, "unknown version"},
    {"WrongLength", [] { return With([](Fields& f) { f.length = 12; }); }, "wrong size"},
    {"BadChecksum", [] { std::string s = Image(Fields()); s[14] ^= 1; return s; }, "checksum mismatch"},
    {"VolumeNaN", [] { return With([](Fields& f) { f.volumes[1] = std::nanf(""); }); }, "value out of range"},
    {"VolumeAboveOne", [] { return With([](Fields& f) { f.volumes[0] = 1.5f; }); }, "value out of range"},
    {"AmbientFlag", [] { return With([](Fields& f) { f.ambient = 2; }); }, "invalid flag 2"},
    {"ChangeTime", [] { return With([](Fields& f) { f.changeTime = 45; }); }, "value out of range"},
};
} // namespace

TEST_P(ConfigCorruptionTest, FallsBackToDefaultsWithALogLine) {
    CScratchFolder dir;
    const auto image = GetParam().image();
    const std::string path = image ? dir.Write("screensaver.cfg", *image) : dir / "screensaver.cfg";
    CLogCapture log;
    CConfig config = Custom();
    EXPECT_FALSE(config.Load(CString(path)));
    EXPECT_EQ(config, CConfig());
    EXPECT_TRUE(log.Contains("CConfig::Load('" + path + "') : ")) << log.Text();
    EXPECT_TRUE(log.Contains(std::string(GetParam().reason) + ", using defaults\n")) << log.Text();
}

INSTANTIATE_TEST_SUITE_P(Cases, ConfigCorruptionTest, ::testing::ValuesIn(kCorruptions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConfigTest, FailedSaveReportsWhyAndLeavesNoTemporary) {
    CScratchFolder dir;
    // A folder where the file belongs cannot be replaced by the new image.
    std::filesystem::create_directories(dir / "screensaver.cfg/inside");
    const CString path(dir / "screensaver.cfg");
    CLogCapture log;
    EXPECT_FALSE(CConfig().Save(path));
    EXPECT_TRUE(log.Contains("CConfig::Save('" + path.str() + "') : FAILED : cannot write the file : Is a directory"))
        << log.Text();
    EXPECT_FALSE(CConfig().Save(CString(dir / "no/such/folder.cfg")));
    EXPECT_TRUE(log.Contains("folder.cfg') : FAILED : cannot write the file : No such file or directory")) << log.Text();
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"screensaver.cfg"});
}

// Two programs may save the same file at once: a save never writes into a
// temporary file that another writer has open, and leaves none of its own.
TEST(ConfigTest, SaveLeavesAnotherWritersTemporaryAlone) {
    CScratchFolder dir;
    const CString path(dir / "screensaver.cfg");
    const std::string other = dir.Write("screensaver.cfg.tmp", "another writer's half-written image");
    ASSERT_TRUE(Custom().Save(path));
    ASSERT_TRUE(CConfig().Save(path));
    EXPECT_EQ(TestFiles::ReadFileBytes(other), "another writer's half-written image");
    CConfig loaded = Custom();
    EXPECT_TRUE(loaded.Load(path));
    EXPECT_EQ(loaded, CConfig());
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++files;
    EXPECT_EQ(files, 2u);
}

namespace {

mode_t PermissionsOf(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : mode_t(-1);
}

} // namespace

// A save replaces the file's contents, not its permissions: a private file
// stays private, and bits the umask would have cut stay too. A first save
// gets the default.
TEST(ConfigTest, SaveKeepsThePermissionsOfTheFileItReplaces) {
    CScratchFolder dir;
    const mode_t umaskBefore = ::umask(022);
    const std::string path = dir / "screensaver.cfg";
    ASSERT_TRUE(Custom().Save(CString(path)));
    EXPECT_EQ(PermissionsOf(path), 0644u);
    for (const mode_t kept : {0600u, 0664u, 0400u}) {
        ASSERT_EQ(::chmod(path.c_str(), kept), 0);
        EXPECT_TRUE(CConfig().Save(CString(path)));
        EXPECT_EQ(PermissionsOf(path), kept) << std::oct << kept;
    }
    ::umask(umaskBefore);
    CConfig loaded = Custom();
    EXPECT_TRUE(loaded.Load(CString(path)));
    EXPECT_EQ(loaded, CConfig());
}

namespace {

struct CUnreadable {
    const char* name;
    std::function<void(const std::string& path)> make;
    bool absent;
    const char* logged;
};

class ConfigUnreadableTest : public ::testing::TestWithParam<CUnreadable> {
protected:
    void TearDown() override { Platform::Testing::Reset(); }
};

void WriteGood(const std::string& path) { std::ofstream(path, std::ios::binary) << Image(Fields()); }

} // namespace

// Only a file known to be absent may be saved over without a load: a status
// that cannot be read, or a file that cannot be opened, is "exists, not
// readable", and the log line says so.
TEST_P(ConfigUnreadableTest, OnlyNoSuchFileCountsAsAbsent) {
    CScratchFolder dir;
    const std::string path = dir / "screensaver.cfg";
    GetParam().make(path);
    CLogCapture log;
    CConfig config = Custom();
    bool absent = !GetParam().absent;
    EXPECT_FALSE(config.Load(CString(path), &absent));
    EXPECT_EQ(absent, GetParam().absent);
    EXPECT_EQ(config, CConfig());
    EXPECT_TRUE(log.Contains("CConfig::Load('" + path + "') : " + GetParam().logged + ", using defaults\n")) << log.Text();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigUnreadableTest,
    ::testing::Values(
        CUnreadable{"Missing", [](const std::string&) {}, true, "no configuration file"},
        CUnreadable{"StatusEIO",
                    [](const std::string& path) {
                        WriteGood(path);
                        Platform::Testing::SetFileError(path, EIO);
                    },
                    false, "the file exists but could not be read : Input/output error"},
        CUnreadable{"StatusESTALE",
                    [](const std::string& path) {
                        WriteGood(path);
                        Platform::Testing::SetFileError(path, ESTALE);
                    },
                    false, "the file exists but could not be read : Stale file handle"},
        CUnreadable{"Folder", [](const std::string& path) { std::filesystem::create_directory(path); }, false,
                    "the file exists but could not be read : Is a directory"},
        CUnreadable{"Fifo", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }, false,
                    "the file exists but could not be read : not a regular file"}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

// The id of a process that has ended (and been reaped).
pid_t EndedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// A save killed between its write and its rename leaves its temporary file;
// the next save removes those of ended processes, and nothing else.
TEST(ConfigTest, SaveRemovesTemporariesOfEndedProcessesOnly) {
    CScratchFolder dir;
    const CString path(dir / "screensaver.cfg");
    const std::string ended = std::to_string(EndedProcess());
    const std::string running = std::to_string(::getppid());
    const std::string own = std::to_string(::getpid());
    const std::vector<std::string> kept = {
        "other.cfg." + ended + ".0.tmp",           // another file's
        "screensaver.cfg." + ended + ".x.tmp",     // not a save's name
        "screensaver.cfg." + own + ".900.tmp",     // this process's
        "screensaver.cfg." + running + ".0.tmp",   // another running instance's
        "screensaver.cfg.tmp",
    };
    for (const std::string& name : kept) dir.Write(name, "half-written");
    dir.Write("screensaver.cfg." + ended + ".3.tmp", "half-written");
    dir.Write("screensaver.cfg." + ended + ".4.tmp", "half-written");
    ASSERT_TRUE(Custom().Save(path));
    std::vector<std::string> expected = kept;
    expected.push_back("screensaver.cfg");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(dir.Path()), expected);
    CConfig loaded;
    EXPECT_TRUE(loaded.Load(path));
    EXPECT_EQ(loaded, Custom());
}

// A configuration that is a symbolic link (here, a link to a link) stays one:
// the save replaces the final target, through a temporary file beside it.
TEST(ConfigTest, SaveGoesThroughALinkToItsTarget) {
    CScratchFolder dir;
    const std::string target = dir.Write("real/target.cfg", Image(Fields()));
    const std::string ended = std::to_string(EndedProcess());
    dir.Write("real/target.cfg." + ended + ".0.tmp", "half-written");
    std::filesystem::create_symlink("real/target.cfg", dir / "middle.cfg");
    std::filesystem::create_symlink(dir / "middle.cfg", dir / "screensaver.cfg");
    ASSERT_TRUE(CConfig().Save(CString(dir / "screensaver.cfg")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "screensaver.cfg"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "middle.cfg"));
    CConfig loaded = Custom();
    EXPECT_TRUE(loaded.Load(CString(target)));
    EXPECT_EQ(loaded, CConfig());
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"middle.cfg", "real", "screensaver.cfg"}));
    EXPECT_EQ(Names(dir / "real"), std::vector<std::string>{"target.cfg"});
}
