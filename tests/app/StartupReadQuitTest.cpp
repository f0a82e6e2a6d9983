// The locale and the global values are read under the loading quit look:
// the bytes parsed and each element parsed, taken and let go of count, and a
// quit found in any of the three leaves nothing of the file behind. Work is
// counted, not time.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/Global.h"
#include "app/Locale.h"
#include "app/TestFiles.h"
#include "app/Xml.h"
#include "tests/app/QuitLook.h"

using namespace Engine;

namespace {

// Far more elements than an interval of work: each phase takes several looks.
constexpr int kElements = 3 * int(CFrameQuitWatch::kCheckInterval);

enum class EPhase { Parse, Take, Release };

struct CReadCase {
    const char* name;
    EPhase phase;
    bool locale;  // else the global values
};

std::string LocaleXml() {
    std::string xml = "<locales><locale name=\"big\">\n";
    for (int i = 1; i <= kElements; ++i)
        xml += "<string key=\"HINT_" + std::to_string(i) + "\">Hint " + std::to_string(i) + ".</string>\n";
    return xml + "</locale></locales>\n";
}

std::string GlobalXml() {
    std::string xml = "<values>\n";
    for (int i = 1; i <= kElements; ++i) xml += "<value name=\"v" + std::to_string(i) + "\" value=\"1\"/>\n";
    return xml + "</values>\n";
}

class StartupReadFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir.Write("data/xml/Locale.xml", LocaleXml());
        m_dir.Write("data/xml/global.xml", GlobalXml());
        CFile::SetDiskRoot(CString(m_dir / "data"));
    }
    void TearDown() override { CFile::SetDiskRoot(CString()); }

    // Reads the file under the look and expects the quit to leave nothing
    // of it: the locale empty, the global values as they were.
    void ReadCut(bool locale, TestFiles::CQuitLook& look, const std::function<bool()>& reached) {
        if (locale) {
            CLocaleManager manager;
            ASSERT_TRUE(manager.Load("xml/Locale.xml"));
            ASSERT_TRUE(manager.HasString("HINT_1"));
            look.Run(reached, [&] { manager.Load("xml/Locale.xml"); });
            EXPECT_FALSE(manager.HasString("HINT_1"));
            EXPECT_FALSE(manager.HasString("HINT_" + std::to_string(kElements)));
            EXPECT_EQ(manager.GetActiveLocale(), CString());
        } else {
            CGlobalValueTable table{{"kept", {7}}};
            const CGlobalValueTable before = table;
            look.Run(reached, [&] { LoadGlobalValues("xml/global.xml", table); });
            ASSERT_EQ(table.size(), before.size());
            EXPECT_EQ(table.begin()->first, CString("kept"));
            EXPECT_EQ(table.begin()->second.word, 7u);
        }
        EXPECT_FALSE(m_log.Contains("FAILED")) << m_log.Text();
        EXPECT_FALSE(m_log.Contains("parse error")) << m_log.Text();
    }

    static void ReadWhole(bool locale) {
        CLocaleManager manager;
        CGlobalValueTable table;
        ASSERT_TRUE(locale ? manager.Load("xml/Locale.xml") : LoadGlobalValues("xml/global.xml", table));
    }

    // Where each phase of a whole read begins, in units counted, measured:
    // the parse alone, the letting go of its tree, the taking the rest.
    static std::array<int64_t, 4> PhaseStarts(bool locale) {
        CFrameQuitWatch watch;
        const CLoadingQuitCheck check(watch);
        std::unique_ptr<CXMLNode> root = ParseXMLFile(locale ? "xml/Locale.xml" : "xml/global.xml");
        const int64_t parse = check.GetUnits();
        ReleaseXML(std::move(root));
        const int64_t release = check.GetUnits() - parse;
        ReadWhole(locale);
        const int64_t whole = check.GetUnits() - parse - release;
        return {0, parse, whole - release, whole};
    }

    TestFiles::CScratchFolder m_dir;
    TestFiles::CLogCapture m_log;
};

class StartupReadQuitTest : public StartupReadFiles, public ::testing::WithParamInterface<CReadCase> {};

TEST_P(StartupReadQuitTest, AQuitLeavesNothingOfTheFile) {
    // The quit is posted at the first look past a third of the phase's units,
    // and found at the look after, still within the phase.
    const std::array<int64_t, 4> starts = PhaseStarts(GetParam().locale);
    const int64_t phaseStart = starts[size_t(GetParam().phase)];
    const int64_t phaseEnd = starts[size_t(GetParam().phase) + 1];
    TestFiles::CQuitLook look;
    ReadCut(GetParam().locale, look, [&] {
        return CLoadingQuitCheck::GetCurrent()->GetUnits() >= phaseStart + (phaseEnd - phaseStart) / 3;
    });
    look.ExpectFoundWithin(CFrameQuitWatch::kCheckInterval);
    EXPECT_GE(look.stoppedAt, phaseStart) << "found in the phase";
    EXPECT_LT(look.stoppedAt, phaseEnd + 2) << "found in the phase";
}

class StartupReadCutTest : public StartupReadFiles, public ::testing::WithParamInterface<bool> {};

// The quit posted at every look of a whole read in turn, read, taking and
// letting go alike, and found at the look after.
TEST_P(StartupReadCutTest, NoCutKeepsAnything) {
    CFrameQuitWatch counting;
    counting.SetTimeGate(false);
    counting.SetProbe([] { return false; });
    CLoadingQuitCheck::Run(counting, [&] { ReadWhole(GetParam()); });
    const int64_t looks = counting.GetProbes();
    ASSERT_GT(looks, 8);
    for (int64_t cut = 0; cut + 1 < looks; ++cut) {
        SCOPED_TRACE("posted at look " + std::to_string(cut));
        TestFiles::CQuitLook look;
        int64_t seen = 0;
        ReadCut(GetParam(), look, [&] { return seen++ == cut; });
        look.ExpectFoundWithin(CFrameQuitWatch::kCheckInterval);
    }
}

TEST(StartupReadCountTest, EachElementCountsWhenParsedTakenAndLetGoOf) {
    TestFiles::CScratchFolder dir;
    dir.Write("data/xml/Locale.xml", "<locales><locale name=\"a\"><string key=\"K\">v</string></locale></locales><!--" +
                                         std::string(3 * 4096, 'c') + "-->");
    dir.Write("data/xml/global.xml", "<values><value name=\"n\" value=\"1\"/><other/></values>");
    CFile::SetDiskRoot(CString(dir / "data"));
    CFrameQuitWatch watch;
    {
        const CLoadingQuitCheck check(watch);
        CLocaleManager locale;
        ASSERT_TRUE(locale.Load("xml/Locale.xml"));
        // Three elements and one piece of text parsed, and three units for
        // the 12 kB of the document handed to the parser; two elements below
        // the root taken; three let go of.
        EXPECT_EQ(check.GetUnits(), (3 + 1 + 3) + 2 + 3);
    }
    {
        const CLoadingQuitCheck check(watch);
        CGlobalValueTable table;
        ASSERT_TRUE(LoadGlobalValues("xml/global.xml", table));
        EXPECT_EQ(check.GetUnits(), 3 + 2 + 3);
        EXPECT_EQ(table.size(), 1u);
    }
    CFile::SetDiskRoot(CString());
}

INSTANTIATE_TEST_SUITE_P(Reads, StartupReadQuitTest,
                         ::testing::Values(CReadCase{"LocaleParse", EPhase::Parse, true},
                                           CReadCase{"LocaleTake", EPhase::Take, true},
                                           CReadCase{"LocaleRelease", EPhase::Release, true},
                                           CReadCase{"GlobalParse", EPhase::Parse, false},
                                           CReadCase{"GlobalTake", EPhase::Take, false},
                                           CReadCase{"GlobalRelease", EPhase::Release, false}),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Files, StartupReadCutTest, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "Locale" : "Global"); });

} // namespace
