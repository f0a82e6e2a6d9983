#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <sstream>

#include "app/Global.h"
#include "app/Locale.h"
#include "app/Pack.h"
#include "app/TestFiles.h"
#include "app/Xml.h"
#include "tools/NoisyLocale.h"
#include "tools/PakWriter.h"

using namespace Engine;
using TestFiles::CLogCapture;

namespace {

constexpr int kMostRepeats = 1000;

// One warning a file can repeat: the reader run on a file whose `count`
// elements each give it (element i naming itself by i where the line can).
struct RepeatCase {
    const char* name;
    std::function<void(int count)> read;
    std::function<std::string(int i)> line;  // element i's line, word for word
    const char* kind;                         // what its count line starts with
};

// The pattern with every "#" replaced by i.
std::string Numbered(std::string pattern, int i) {
    for (size_t at = pattern.find('#'); at != std::string::npos; at = pattern.find('#', at))
        pattern.replace(at, 1, std::to_string(i));
    return pattern;
}

std::string Repeated(const char* pattern, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += Numbered(pattern, i);
    return text;
}

std::unique_ptr<CXMLNode> Parse(const std::string& text) {
    CMemoryFile file(text.data(), text.size());
    return ParseXML(file, "test.xml");
}

// Elements of one locale, after a prelude of `first` (whose own elements
// give no warning).
std::function<void(int)> ReadLocale(const char* element, const char* first = "") {
    return [=](int count) {
        const auto root = Parse("<locales><locale name=\"en\">" + Repeated(first, count) + Repeated(element, count) +
                                "</locale></locales>");
        CLocaleManager().Load(*root);
    };
}

std::function<void(int)> ReadGlobal(const char* element, const char* first = "") {
    return [=](int count) {
        CGlobalValueTable table;
        ReadGlobalValues(*Parse("<global>" + Repeated(first, count) + Repeated(element, count) + "</global>"), table);
    };
}

void ReadPackWithUnknownFlags(int count) {
    Tools::CPakWriter writer;
    for (int i = 0; i < count; ++i) writer.Add(FormatString("e%d", i), {1});
    std::vector<uint8_t> image = writer.Build();
    for (int i = 0; i < count; ++i) image[PackFormat::kHeaderSize + size_t(i) * PackFormat::kEntrySize + 72] = 0x80;
    const auto pack = CDataPack::Open("test.pak", [&] { return std::make_unique<CMemoryFile>(image.data(), image.size()); });
}

// The demo tool's noise added to a small locale of the demo's shape.
void ReadNoisyLocale(int count) {
    const std::string xml = "<locales default=\"en\"><locale name=\"en\"><string key=\"HINT_1\">Hint.</string>"
                            "<font name=\"main\"><char code=\"65\"/></font></locale></locales>";
    Tools::CPakWriter pack;
    pack.Add("xml/Locale.xml", std::vector<uint8_t>(xml.begin(), xml.end()));
    Tools::AddLocaleNoise(pack, count);
    const std::vector<uint8_t>& noisy = *pack.Find("xml/Locale.xml");
    CLocaleManager().Load(*Parse(std::string(noisy.begin(), noisy.end())));
}

std::function<std::string(int)> Line(const char* pattern) {
    return [=](int i) { return Numbered(pattern, i); };
}

const RepeatCase kCases[] = {
    {"DuplicateString", ReadLocale("<string key=\"K#\"/>", "<string key=\"K#\"/>"),
     Line("Locale.xml : duplicate string 'K#' skipped"), "Locale.xml : duplicate string"},
    {"StringWithoutName", ReadLocale("<string>#</string>"), Line("Locale.xml : string without a name skipped"),
     "Locale.xml : string without a name"},
    {"DuplicateFont", ReadLocale("<font name=\"F#\"/>", "<font name=\"F#\"/>"),
     Line("Locale.xml : duplicate font 'F#' skipped"), "Locale.xml : duplicate font"},
    {"FontWithoutName", ReadLocale("<font/>"), Line("Locale.xml : font without a name skipped"),
     "Locale.xml : font without a name"},
    {"IncompleteKernPair", ReadLocale("<font name=\"f#\"><kern_pair first=\"1\" second=\"2\"/></font>"),
     Line("Locale.xml : font 'f#' : incomplete kern_pair skipped"), "Locale.xml : incomplete kern_pair"},
    {"InvalidPadding", ReadLocale("<font name=\"f#\"><letter_padding left=\"x#\"/></font>"),
     Line("Locale.xml : invalid left 'x#' in <letter_padding>"), "Locale.xml : invalid value in <letter_padding>"},
    {"InvalidCode", ReadLocale("<font name=\"f#\"><char code=\"x#\"/></font>"),
     Line("Locale.xml : invalid code 'x#' in <char>"), "Locale.xml : invalid value in <char>"},
    {"FontWithABadCharacter", ReadLocale("<font name=\"f#\"><char code=\"x#\"/></font>"),
     Line("Locale.xml : font 'f#' skipped : a character has no valid code"),
     "Locale.xml : font skipped : a character has no valid code"},
    {"ValueWithoutName", ReadGlobal("<value value=\"#\"/>"), Line("global.xml : <value> without a name skipped"),
     "global.xml : <value> without a name"},
    {"InvalidValue", ReadGlobal("<value name=\"V#\" value=\"x\"/>"),
     Line("global.xml : invalid value 'x' for 'V#', using 0"), "global.xml : invalid value"},
    {"DuplicateValue", ReadGlobal("<value name=\"V#\" value=\"1\"/>", "<value name=\"V#\" value=\"2\"/>"),
     Line("global.xml : duplicate value 'V#' skipped"), "global.xml : duplicate value"},
    {"NoisyLocaleKernPairs", ReadNoisyLocale, Line("Locale.xml : font 'main' : incomplete kern_pair skipped"),
     "Locale.xml : incomplete kern_pair"},
    {"NoisyLocaleStrings", ReadNoisyLocale, Line("Locale.xml : duplicate string 'HINT_1' skipped"),
     "Locale.xml : duplicate string"},
    {"PackEntry", ReadPackWithUnknownFlags, Line("CDataPack::Open('test.pak') : entry 'e#' skipped : unknown entry flags"),
     "CDataPack::Open('test.pak') : entry skipped : unknown entry flags"},
};

class RepeatedLogLinesTest : public ::testing::TestWithParam<RepeatCase> {
protected:
    // The log's lines of this case's kind, without their time prefix, from
    // the given length of the log on.
    std::vector<std::string> LinesOfKind(size_t from = 0) const {
        const RepeatCase& c = GetParam();
        std::set<std::string> elementLines;
        for (int i = 0; i < kMostRepeats; ++i) elementLines.insert(c.line(i));
        std::vector<std::string> lines;
        std::istringstream in(m_log.Text().substr(from));
        for (std::string line; std::getline(in, line);) {
            const std::string text = line.substr(line.find("] ") + 2);
            if (text.starts_with(c.kind) || elementLines.count(text)) lines.push_back(text);
        }
        return lines;
    }
    // What the rule gives for one file of `count` repeats.
    std::vector<std::string> Expected(int count) const {
        std::vector<std::string> lines;
        for (int i = 0; i < std::min(count, 10); ++i) lines.push_back(GetParam().line(i));
        if (count > 10) lines.push_back(std::string(GetParam().kind) + " : " + std::to_string(count - 10) + " more skipped");
        return lines;
    }
    CLogCapture m_log;
};

} // namespace

// A second file counts afresh.
TEST_P(RepeatedLogLinesTest, TheFirstTenOfEachFileAreWrittenThenOneLineCountsTheRest) {
    GetParam().read(kMostRepeats);
    GetParam().read(11);
    std::vector<std::string> expected = Expected(kMostRepeats);
    for (const std::string& line : Expected(11)) expected.push_back(line);
    EXPECT_EQ(LinesOfKind(), expected);
}

TEST_P(RepeatedLogLinesTest, TenOrFewerGiveNoCountLine) {
    for (int count : {1, 10}) {
        const size_t from = m_log.Text().size();
        GetParam().read(count);
        EXPECT_EQ(LinesOfKind(from), Expected(count)) << count;
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, RepeatedLogLinesTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });
