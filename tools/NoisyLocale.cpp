#include "tools/NoisyLocale.h"

#include "app/Exception.h"
#include "tools/NamedCase.h"

namespace Tools {

namespace {

constexpr const char* kLocaleName = "xml/Locale.xml";

std::string Repeated(const std::string& element, int count) {
    std::string text;
    text.reserve(element.size() * size_t(count));
    for (int i = 0; i < count; ++i) text += element;
    return text;
}

// Where the text goes in, found after `after`; throws when it is missing.
size_t Find(const std::string& xml, const std::string& what, size_t after = 0) {
    const size_t at = xml.find(what, after);
    if (at == std::string::npos)
        throw Engine::CException::Format("AddLocaleNoise(...) : FAILED : no '%s' in the locale", what.c_str());
    return at;
}

} // namespace

const char* NoisyLocaleName(CNoisyLocale locale) { return locale.name; }

bool FindNoisyLocale(const std::string& name, CNoisyLocale& locale) {
    return FindNamedCase(name, kNoisyLocales, &NoisyLocaleName, locale);
}

void AddLocaleNoise(CPakWriter& pack, int count) {
    const std::vector<uint8_t>* bytes = pack.Find(kLocaleName);
    if (!bytes) throw Engine::CException::Format("AddLocaleNoise(...) : FAILED : no '%s' in the pack", kLocaleName);
    std::string xml(bytes->begin(), bytes->end());
    xml.insert(Find(xml, "</font>", Find(xml, "<font name=\"main\"")),
               Repeated("  <kern_pair first=\"65\" second=\"86\"/>\n", count));
    xml.insert(Find(xml, "</locale>"), Repeated("<string key=\"HINT_1\">Said again.</string>\n", count));
    pack.Remove(kLocaleName);
    pack.Add(kLocaleName, std::vector<uint8_t>(xml.begin(), xml.end()));
}

} // namespace Tools
