#include <gtest/gtest.h>

#include <zlib.h>

#include <cmath>

#include "app/Config.h"
#include "app/TestFiles.h"
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
