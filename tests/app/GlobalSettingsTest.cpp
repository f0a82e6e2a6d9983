// Global values ("xml/global.xml") and graphics settings ("Settings.xml").

#include <gtest/gtest.h>

#include <bit>

#include "app/Global.h"
#include "app/Settings.h"
#include "app/TestFiles.h"
#include "app/Xml.h"

using namespace Engine;
using TestFiles::CLogCapture;

namespace {

std::unique_ptr<CXMLNode> Parse(const std::string& text) {
    CMemoryFile file(text.data(), text.size());
    return ParseXML(file, "test.xml");
}

struct ValueCase { const char* text; std::optional<uint32_t> word; };
class GlobalValueTest : public ::testing::TestWithParam<ValueCase> {};

} // namespace

TEST_P(GlobalValueTest, HexIntegerOrFloatBits) { EXPECT_EQ(ParseGlobalValue(GetParam().text), GetParam().word); }

INSTANTIATE_TEST_SUITE_P(Cases, GlobalValueTest, ::testing::Values(
    ValueCase{"0xFF0000FF", 0xFF0000FFu}, ValueCase{"0x1e", 0x1Eu}, ValueCase{"42", 42u}, ValueCase{"-7", 0xFFFFFFF9u},
    ValueCase{"1.5", std::bit_cast<uint32_t>(1.5f)}, ValueCase{"2e3", std::bit_cast<uint32_t>(2000.0f)},
    ValueCase{" -0.25 ", std::bit_cast<uint32_t>(-0.25f)}, ValueCase{"abc", std::nullopt}, ValueCase{"1.5.2", std::nullopt},
    ValueCase{"4294967296", std::nullopt}, ValueCase{"0x100000000", std::nullopt}, ValueCase{"", std::nullopt}));

TEST(GlobalValuesTest, LookupsAddAbsentNamesAsZero) {
    CLogCapture log;
    CGlobalValueTable table;
    ReadGlobalValues(*Parse(R"(<global>
        <value name="MOSARK_LIST_TEXT_COLOR" value="0xFF0000FF"/>
        <value name="MOSARK_ARTIFACT_FADE_FPS" value="1.5"/>
        <value name="SPEED2" value="0.75"/>
        <value name="SPEED2" value="9.0"/>
        <value name="BROKEN" value="fast"/>
        <value value="1"/>
    </global>)"), table);
    EXPECT_EQ(GetGlobalColor(table, "MOSARK_LIST_TEXT_COLOR"), 0xFF0000FFu);
    EXPECT_EQ(GetGlobalFloat("MOSARK_ARTIFACT_FADE_FPS", table), 1.5f);
    EXPECT_EQ(GetGlobalFloat("SPEED", table, 2), 0.75f) << "index appended, first definition kept";
    EXPECT_EQ(GetGlobalFloat("BROKEN", table), 0.0f);
    EXPECT_TRUE(log.Contains("global.xml : invalid value 'fast' for 'BROKEN', using 0"));
    EXPECT_TRUE(log.Contains("global.xml : duplicate value 'SPEED2' skipped"));
    EXPECT_TRUE(log.Contains("global.xml : <value> without a name skipped"));

    const size_t before = table.size();
    EXPECT_EQ(GetGlobalFloat("ABSENT", table, -1), 0.0f);
    EXPECT_EQ(GetGlobalColor(table, "ABSENT_COLOR"), 0u);
    EXPECT_EQ(table.size(), before + 2);
    EXPECT_EQ(table.count(CString("ABSENT")), 1u);
}

namespace {
struct SettingsCase {
    const char* name;
    const char* attributes;
    std::optional<const char*> driver;
    std::optional<bool> fullscreen, bpp32;
    const char* logged;
};
class SettingsXmlTest : public ::testing::TestWithParam<SettingsCase> {};

const SettingsCase kSettingsCases[] = {
    {"AllSet", R"(driver="OpenGL" fullscreen="On" bpp32="Off")", "OpenGL", true, false, nullptr},
    {"AnyCase", R"(driver="sftw" fullscreen="off" bpp32="ON")", "SFTW", false, true, nullptr},
    {"AllAbsent", "", std::nullopt, std::nullopt, std::nullopt, nullptr},
    {"OnlyBpp", R"(bpp32="On")", std::nullopt, std::nullopt, true, nullptr},
    {"InvalidSwitch", R"(driver="D3D7" fullscreen="yes")", "D3D7", std::nullopt, std::nullopt,
     "Settings.xml : invalid value 'yes' for 'fullscreen'"},
    {"UnknownDriver", R"(driver="Glide" bpp32="Off")", std::nullopt, std::nullopt, false,
     "Settings.xml : invalid value 'Glide' for 'driver', using 'OpenGL'"},
};
} // namespace

TEST_P(SettingsXmlTest, EachAttributeOnOffOrUnset) {
    const SettingsCase& c = GetParam();
    CLogCapture log;
    const auto root = Parse(std::string("<settings><other/><graphics ") + c.attributes + "/></settings>");
    const CGraphicsSettings settings = ReadGraphicsSettings(*root);
    EXPECT_EQ(settings.driver, c.driver ? std::optional<CString>(*c.driver) : std::nullopt);
    EXPECT_EQ(settings.fullscreen, c.fullscreen);
    EXPECT_EQ(settings.bpp32, c.bpp32);
    if (c.logged) { EXPECT_TRUE(log.Contains(c.logged)) << log.Text(); }
}

INSTANTIATE_TEST_SUITE_P(Cases, SettingsXmlTest, ::testing::ValuesIn(kSettingsCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsXmlFileTest, MissingOrBrokenFileLeavesEverythingUnset) {
    TestFiles::CScratchFolder dir;
    CLogCapture log;
    for (const CString& path : {CString(dir / "Settings.xml"), CString(dir.Write("bad.xml", "<graphics driver="))}) {
        const CGraphicsSettings settings = ReadGraphicsSettings(path);
        EXPECT_FALSE(settings.driver || settings.fullscreen || settings.bpp32);
    }
    EXPECT_EQ(ReadGraphicsSettings(CString(dir.Write("ok.xml", R"(<graphics driver="d3d8"/>)"))).driver, CString("D3D8"));
}

namespace {
class SettingsXmlSizeTest : public ::testing::TestWithParam<size_t> {};
} // namespace

// A settings file no real one comes near in size is refused whole, logged,
// and left as it is; one at the limit is read.
TEST_P(SettingsXmlSizeTest, FileOverTheLimitLeavesEverythingUnset) {
    const size_t size = GetParam();
    const std::string head = R"(<settings><graphics driver="D3D8"/><!--)", tail = "--></settings>";
    const std::string text = head + std::string(size - head.size() - tail.size(), ' ') + tail;
    TestFiles::CScratchFolder dir;
    const std::string path = dir.Write("Settings.xml", text);
    CLogCapture log;
    const CGraphicsSettings settings = ReadGraphicsSettings(CString(path));
    const bool over = size > kMaxSettingsXmlBytes;
    EXPECT_EQ(settings.driver, over ? std::nullopt : std::optional<CString>("D3D8"));
    EXPECT_EQ(log.Contains("Settings.xml : '" + path + "' is larger than 1048576 bytes, using the defaults\n"), over)
        << log.Text();
    EXPECT_EQ(std::filesystem::file_size(path), size);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SettingsXmlSizeTest,
                         ::testing::Values(kMaxSettingsXmlBytes, kMaxSettingsXmlBytes + 1));
