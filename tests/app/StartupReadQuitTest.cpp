// The locale and the global values are read under the loading quit look:
// each element parsed, taken and let go of counts, and a quit found in any
// of the three leaves nothing of the file behind. Work is counted, not time.

#include <gtest/gtest.h>

#include <string>

#include "app/Global.h"
#include "app/Locale.h"
#include "app/TestFiles.h"
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

class StartupReadQuitTest : public ::testing::TestWithParam<CReadCase> {
protected:
    void SetUp() override {
        m_dir.Write("data/xml/Locale.xml", LocaleXml());
        m_dir.Write("data/xml/global.xml", GlobalXml());
        CFile::SetDiskRoot(CString(m_dir / "data"));
    }
    void TearDown() override { CFile::SetDiskRoot(CString()); }

    // The quit is posted at the first look past a third of the phase's units,
    // and found at the look after, still within the phase.
    bool Reached(int64_t units) const {
        return units >= int64_t(GetParam().phase) * kElements + kElements / 3;
    }

    TestFiles::CScratchFolder m_dir;
    TestFiles::CLogCapture m_log;
};

TEST_P(StartupReadQuitTest, AQuitLeavesNothingOfTheFile) {
    TestFiles::CQuitLook look;
    if (GetParam().locale) {
        CLocaleManager locale;
        ASSERT_TRUE(locale.Load("xml/Locale.xml"));
        ASSERT_TRUE(locale.HasString("HINT_1"));
        look.Run([&] { return Reached(CLoadingQuitCheck::GetCurrent()->GetUnits()); },
                 [&] { locale.Load("xml/Locale.xml"); });
        EXPECT_FALSE(locale.HasString("HINT_1"));
        EXPECT_FALSE(locale.HasString("HINT_" + std::to_string(kElements)));
        EXPECT_EQ(locale.GetActiveLocale(), CString());
    } else {
        CGlobalValueTable table{{"kept", {7}}};
        const CGlobalValueTable before = table;
        look.Run([&] { return Reached(CLoadingQuitCheck::GetCurrent()->GetUnits()); },
                 [&] { LoadGlobalValues("xml/global.xml", table); });
        ASSERT_EQ(table.size(), before.size());
        EXPECT_EQ(table.begin()->first, CString("kept"));
        EXPECT_EQ(table.begin()->second.word, 7u);
    }
    look.ExpectFoundWithin(CFrameQuitWatch::kCheckInterval);
    const int64_t phaseStart = int64_t(GetParam().phase) * kElements;
    EXPECT_GE(look.stoppedAt, phaseStart) << "found in the phase";
    EXPECT_LT(look.stoppedAt, phaseStart + kElements + 2) << "found in the phase";
    EXPECT_FALSE(m_log.Contains("FAILED")) << m_log.Text();
    EXPECT_FALSE(m_log.Contains("parse error")) << m_log.Text();
}

TEST(StartupReadCountTest, EachElementCountsWhenParsedTakenAndLetGoOf) {
    TestFiles::CScratchFolder dir;
    dir.Write("data/xml/Locale.xml", "<locales><locale name=\"a\"><string key=\"K\">v</string></locale></locales>");
    dir.Write("data/xml/global.xml", "<values><value name=\"n\" value=\"1\"/><other/></values>");
    CFile::SetDiskRoot(CString(dir / "data"));
    CFrameQuitWatch watch;
    {
        const CLoadingQuitCheck check(watch);
        CLocaleManager locale;
        ASSERT_TRUE(locale.Load("xml/Locale.xml"));
        // Three elements parsed and let go of; two below the root taken.
        EXPECT_EQ(check.GetUnits(), 3 + 2 + 3);
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

} // namespace
