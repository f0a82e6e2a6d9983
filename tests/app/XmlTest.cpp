#include <gtest/gtest.h>

#include <cstring>

#include "app/Pack.h"
#include "app/TestFiles.h"
#include "app/Xml.h"
#include "tests/app/QuitLook.h"
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

constexpr size_t kTokenBytes = 4 << 20;
constexpr size_t kUsualPass = 64 * 1024;

// Remembers where each read handed to the parser begins and ends.
class CPassRecordingFile : public CMemoryFile {
public:
    using CMemoryFile::CMemoryFile;
    size_t Read(void* buffer, size_t count) override {
        const size_t begin = size_t(Tell());
        const size_t got = CMemoryFile::Read(buffer, count);
        passes.emplace_back(begin, begin + got);
        return got;
    }
    std::vector<std::pair<size_t, size_t>> passes;
};

struct CLongTokenCase {
    const char* name;
    const char* before;  // the long token's bytes go between these
    const char* after;
    // The parser scans this token again from its start at every pass that
    // begins inside it; text is handed on as it comes.
    bool rescanned;
    bool kept;  // the tree holds the token: <t>'s last attribute or its text
};

class XmlLongTokenTest : public ::testing::TestWithParam<CLongTokenCase> {};

} // namespace

TEST_P(XmlLongTokenTest, IsScannedABoundedNumberOfTimes) {
    const CLongTokenCase& token = GetParam();
    const std::string head = std::string("<root><a/>\n") + token.before;
    const std::string text = head + std::string(kTokenBytes, 'x') + token.after + "<b/></root>";
    CPassRecordingFile file(text.data(), text.size());
    const auto root = ParseXML(file, "long.xml");
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->GetChildren().size(), 3u);
    const CXMLNode& holder = *root->GetChildren()[1];
    const size_t kept = holder.GetAttributes().empty() ? holder.GetValue().GetLength()
                                                       : holder.GetAttributes().back().second.GetLength();
    EXPECT_EQ(kept, token.kept ? kTokenBytes : 0u);

    // Bytes the parser reads: a pass starting inside a rescanned token reads
    // it again from its start.
    const size_t tokenBegin = head.size() - std::strlen(token.before);
    const size_t tokenEnd = head.size() + kTokenBytes;
    size_t scanned = 0;
    for (const auto& [begin, end] : file.passes) {
        const bool inside = token.rescanned && begin > tokenBegin && begin < tokenEnd;
        scanned += end - (inside ? tokenBegin : begin);
    }
    EXPECT_LE(scanned, 3 * text.size() + 2 * kUsualPass) << file.passes.size() << " passes";
    EXPECT_EQ(file.passes.back().second, text.size());
}

INSTANTIATE_TEST_SUITE_P(Tokens, XmlLongTokenTest,
                         ::testing::Values(CLongTokenCase{"Attribute", "<t k=\"v\" long=\"", "\"/>", true, true},
                                           CLongTokenCase{"Text", "<t>", "</t>", false, true},
                                           CLongTokenCase{"Comment", "<!--", "--><t/>", true, false},
                                           CLongTokenCase{"Instruction", "<?pi ", "?><t/>", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

class XmlTakeQuitTest : public ::testing::TestWithParam<bool> {};

} // namespace

// A quit found while the document is taken from or let go of unwinds with
// what was taken handed over, and nothing counted after it.
TEST_P(XmlTakeQuitTest, WhatWasTakenGoesWithTheDocument) {
    const int64_t children = 3 * CFrameQuitWatch::kCheckInterval;
    std::string text = "<root>";
    for (int64_t i = 0; i < children; ++i) text += "<c/>";
    std::unique_ptr<CXMLNode> root = Parse(text + "</root>");
    ASSERT_NE(root, nullptr);
    const bool inRelease = GetParam();
    const int64_t cutAt = (inRelease ? children : 0) + children / 3;
    std::vector<int64_t> taken;
    TestFiles::CQuitLook look;
    look.Run([&] { return CLoadingQuitCheck::GetCurrent()->GetUnits() >= cutAt; },
             [&] {
                 TakeFromXML(std::move(root), taken, [&](const CXMLNode& document) {
                     for (const auto& child : document.GetChildren()) {
                         CLoadingQuitCheck::Count();
                         taken.push_back(int64_t(child->GetChildren().size()));
                     }
                 });
             });
    look.ExpectFoundWithin(CFrameQuitWatch::kCheckInterval);
    EXPECT_TRUE(taken.empty()) << "handed over with the document";
    EXPECT_EQ(look.stoppedAt >= children, inRelease) << look.stoppedAt;
}

INSTANTIATE_TEST_SUITE_P(Phases, XmlTakeQuitTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Release" : "Take"); });

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
