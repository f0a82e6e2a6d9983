#include <gtest/gtest.h>

#include "app/Locale.h"
#include "app/TestFiles.h"
#include "app/Xml.h"

using namespace Engine;
using TestFiles::CLogCapture;

namespace {

const char kLocaleXml[] = R"(<locales default="de">
  <locale name="en">
    <string key="HELLO">Hello</string>
    <string key="ONLY_EN">English only</string>
    <string key="HELLO">ignored second</string>
    <font name="main" sprite="font_main" ascent="14">
      <texture_padding left="1" top="2" right="3" bottom="4"/>
      <letter_padding b="5" a="6"/>
      <char code="65"/><char code="0x42"/><char code="32"/>
      <kern_pair first="65" second="66" amount="-2"/>
      <kern_pair first="65" amount="1"/>
    </font>
    <font name="broken" sprite="s"><char code="70000"/></font>
  </locale>
  <locale name="de">
    <string key="HELLO">Hallo</string>
    <string key="EMPTY"></string>
  </locale>
</locales>)";

class LocaleTest : public ::testing::Test {
protected:
    void SetUp() override { Load(kLocaleXml); }
    void Load(const std::string& text) {
        CMemoryFile file(text.data(), text.size());
        auto root = ParseXML(file, "Locale.xml");
        ASSERT_NE(root, nullptr);
        m_locale.Load(*root);
    }
    CLogCapture m_log;
    CLocaleManager m_locale;
};

} // namespace

TEST_F(LocaleTest, StringsComeFromTheActiveLocaleThenTheFirst) {
    EXPECT_EQ(m_locale.GetActiveLocale(), CString("de"));
    EXPECT_EQ(m_locale.FindString("HELLO"), CString("Hallo"));
    EXPECT_EQ(m_locale.FindString("ONLY_EN"), CString("English only"));
    EXPECT_TRUE(m_locale.HasString("EMPTY"));
    EXPECT_EQ(m_locale.FindString("EMPTY"), CString());
    EXPECT_TRUE(m_log.Contains("duplicate string 'HELLO' skipped"));
}

TEST_F(LocaleTest, MissingKeyLogsAndGivesTheKey) {
    EXPECT_FALSE(m_locale.HasString("HINT_9"));
    EXPECT_FALSE(m_log.Contains("HINT_9")) << "HasString does not log";
    EXPECT_EQ(m_locale.FindString("HINT_9"), CString("HINT_9"));
    EXPECT_TRUE(m_log.Contains("Engine::CLocaleManager::FindString(...) : FAILED: Can't find string for 'HINT_9'\n"));
}

TEST_F(LocaleTest, FontRecordKeepsElementAndAttributeOrder) {
    const CLocaleFont* font = m_locale.FindFont("main");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->sprite, CString("font_main"));
    EXPECT_EQ(font->ascent, 14);
    EXPECT_EQ(font->characters, (std::vector<uint16_t>{65, 0x42, 32}));
    ASSERT_EQ(font->kernPairs.size(), 1u);
    const CKernPair& kern = font->kernPairs[0];
    EXPECT_EQ((std::array<int, 3>{kern.first, kern.second, kern.amount}), (std::array<int, 3>{65, 66, -2}));
    EXPECT_TRUE(m_log.Contains("font 'main' : incomplete kern_pair skipped"));
    EXPECT_EQ(std::vector<int>(font->texturePadding, font->texturePadding + 4), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(std::vector<int>(font->letterPadding, font->letterPadding + 4), (std::vector<int>{5, 6, 0, 0}))
        << "attribute order, names ignored, missing values 0";
}

TEST_F(LocaleTest, UnreadableAndMissingFontsAreNull) {
    EXPECT_EQ(m_locale.FindFont("broken"), nullptr);
    EXPECT_TRUE(m_log.Contains("font 'broken' skipped : a character has no valid code"));
    EXPECT_EQ(m_locale.FindFont("nope"), nullptr);
    EXPECT_TRUE(m_log.Contains("Engine::CLocaleManager::FindFont(...) : FAILED: Can't find font 'nope'\n"));
}

TEST_F(LocaleTest, WithoutAKnownDefaultTheFirstLocaleIsActive) {
    Load(R"(<locales default="fr"><locale name="en"><string key="K">en</string></locale>
            <locale name="fr-CA"><string key="K">fr</string></locale></locales>)");
    EXPECT_EQ(m_locale.GetActiveLocale(), CString("en"));
    EXPECT_EQ(m_locale.FindString("K"), CString("en"));

    Load("<locales/>");
    EXPECT_EQ(m_locale.GetActiveLocale(), CString());
    EXPECT_FALSE(m_locale.HasString("K"));
    EXPECT_FALSE(m_locale.Load("xml/NoSuchLocale.xml"));
}
