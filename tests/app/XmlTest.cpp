#include <gtest/gtest.h>

#include "app/Pack.h"
#include "app/TestFiles.h"
#include "app/Xml.h"
#include "tools/PakWriter.h"

using namespace Engine;
using TestFiles::CLogCapture;
using TestFiles::CScratchFolder;

namespace {

std::unique_ptr<CXMLNode> Parse(const std::string& text, const char* name = "test.xml") {
    CMemoryFile file(text.data(), text.size());
    return ParseXML(file, name);
}

std::vector<std::string> AttributeNames(const CXMLNode& node) {
    std::vector<std::string> names;
    for (const auto& [name, value] : node.GetAttributes()) names.push_back(name.str());
    return names;
}

} // namespace

TEST(XmlTest, TreeShapeAttributeOrderAndRawValues) {
    const auto root = Parse(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<root b=\"2\" a=\"1\" c=\"3\">\n"
        "  text1\n"
        "  <child id=\"x\"/>\n"
        "  <child id=\"y\">inner<leaf/></child>\n"
        "  tail\n"
        "</root>\n");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName(), CString("root"));
    EXPECT_EQ(AttributeNames(*root), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(*root->FindAttribute("a"), CString("1"));
    EXPECT_EQ(root->FindAttribute("z"), nullptr);
    EXPECT_EQ(root->GetValue(), CString("\n  text1\n  \n  \n  tail\n")) << "only the root's own character data";
    ASSERT_EQ(root->GetChildren().size(), 2u);
    const CXMLNode& second = *root->GetChildren()[1];
    EXPECT_EQ(*second.FindAttribute("id"), CString("y"));
    EXPECT_EQ(second.GetValue(), CString("inner"));
    ASSERT_EQ(second.GetChildren().size(), 1u);
    EXPECT_EQ(root->FindFirst("leaf"), second.GetChildren()[0].get());
    EXPECT_EQ(root->GetChildren()[0]->GetValue(), CString());
}

TEST(XmlTest, CharacterDataSplitAcrossCallbacksIsJoined) {
    CXMLTreeBuilder builder;
    const char* attributes[] = {"k", "v", nullptr};
    ASSERT_TRUE(builder.StartElement("a", attributes));
    builder.CharacterData("he", 2);
    ASSERT_TRUE(builder.StartElement("b", nullptr));
    builder.CharacterData("inner", 5);
    builder.EndElement();
    builder.CharacterData("llo", 3);
    builder.EndElement();
    const auto root = builder.TakeRoot();
    EXPECT_EQ(root->GetValue(), CString("hello"));
    EXPECT_EQ(root->GetChildren()[0]->GetValue(), CString("inner"));

    // The reader reports entities and references as separate pieces.
    const auto parsed = Parse("<a>x&amp;y&#233;z&lt;</a>");
    ASSERT_NE(parsed, nullptr);
    EXPECT_EQ(parsed->GetValue(), CString("x&y\xC3\xA9z<"));
}

TEST(XmlTest, ParseErrorsLogFileLineAndReason) {
    CLogCapture log;
    EXPECT_EQ(Parse("<a>\n<b>\n</a>", "bad.xml"), nullptr);
    EXPECT_TRUE(log.Contains("XML parse error in 'bad.xml' at line 3: mismatched tag\n")) << log.Text();
    EXPECT_EQ(Parse("", "empty.xml"), nullptr);
    EXPECT_TRUE(log.Contains("XML parse error in 'empty.xml' at line 1: no element found\n")) << log.Text();

    std::string deep;
    for (int i = 0; i < 300; ++i) deep += "<a>";
    EXPECT_EQ(Parse(deep, "deep.xml"), nullptr);
    EXPECT_TRUE(log.Contains("XML parse error in 'deep.xml' at line 1: elements nested too deeply\n")) << log.Text();
}

TEST(XmlTest, FilesAreReadThroughPacksAndDisk) {
    CScratchFolder dir;
    Tools::CPakWriter writer;
    const std::string text = "<global><value name=\"x\"/></global>";
    writer.Add("xml/global.xml", {text.begin(), text.end()}, true);
    writer.Save(dir / "d.pak");
    GetDataPacks().Add(CDataPack::OpenFile(CString(dir / "d.pak")));
    const auto fromPack = ParseXMLFile("xml\\global.xml");
    GetDataPacks().CloseAll();
    ASSERT_NE(fromPack, nullptr);
    EXPECT_EQ(fromPack->GetChildren().size(), 1u);

    const auto fromDisk = ParseXMLFile(CString(dir.Write("s.xml", "<settings/>")));
    ASSERT_NE(fromDisk, nullptr);
    EXPECT_EQ(fromDisk->GetName(), CString("settings"));

    CLogCapture log;
    EXPECT_EQ(ParseXMLFile(CString(dir / "none.xml")), nullptr);
    EXPECT_TRUE(log.Contains("Unable to open file"));
}

namespace {
struct IntegerCase { const char* text; std::optional<int64_t> value; };
class XmlIntegerTest : public ::testing::TestWithParam<IntegerCase> {};
} // namespace

TEST_P(XmlIntegerTest, ParsesDecimalAndHex) { EXPECT_EQ(ParseXMLInteger(GetParam().text), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(Cases, XmlIntegerTest, ::testing::Values(
    IntegerCase{"12", 12}, IntegerCase{"-5", -5}, IntegerCase{"+3", 3}, IntegerCase{" 7\n", 7}, IntegerCase{"0x1F", 31},
    IntegerCase{"0XfF", 255}, IntegerCase{"0x", std::nullopt}, IntegerCase{"0x-1", std::nullopt},
    IntegerCase{"+-1", std::nullopt}, IntegerCase{"1.5", std::nullopt}, IntegerCase{"abc", std::nullopt},
    IntegerCase{"", std::nullopt}, IntegerCase{"99999999999999999999", std::nullopt}));
