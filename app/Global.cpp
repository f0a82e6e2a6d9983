#include "app/Global.h"

#include <bit>
#include <charconv>
#include <memory>

#include "app/Exception.h"
#include "app/LoadingQuitCheck.h"
#include "app/Log.h"
#include "app/RepeatedLogLines.h"
#include "app/Xml.h"

namespace Engine {

std::optional<uint32_t> ParseGlobalValue(std::string_view text) {
    text = TrimXMLSpaces(text);
    const bool hex = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex || text.find_first_of(".eE") == std::string_view::npos) {
        const std::optional<int64_t> value = ParseXMLInteger(text);
        const int64_t low = hex ? 0 : INT32_MIN;
        const int64_t high = hex ? int64_t(UINT32_MAX) : INT32_MAX;
        if (!value || *value < low || *value > high) return std::nullopt;
        return uint32_t(*value);
    }
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    float value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return std::bit_cast<uint32_t>(value);
}

bool LoadGlobalValues(const CString& fileName, CGlobalValueTable& table) {
    std::unique_ptr<CXMLNode> root = ParseXMLFile(fileName);
    if (!root) {
        GetLog().PrintLine("LoadGlobalValues(...) : FAILED: Can't read '%s'", fileName.c_str());
        return false;
    }
    // Kept only once the document is let go of: a quit before leaves the
    // table as it was.
    CGlobalValueTable read = table;
    TakeFromXML(std::move(root), read, [&](const CXMLNode& document) { ReadGlobalValues(document, read); });
    table.swap(read);
    return true;
}

void ReadGlobalValues(const CXMLNode& root, CGlobalValueTable& table) {
    CRepeatedLogLines warnings;
    for (const auto& child : root.GetChildren()) {
        CLoadingQuitCheck::Count();
        if (child->GetName() != "value") continue;
        const CString* name = child->FindAttribute("name");
        const CString* text = child->FindAttribute("value");
        if (!name || name->IsEmpty()) {
            warnings.PrintLine("global.xml : <value> without a name", "global.xml : <value> without a name skipped");
            continue;
        }
        std::optional<uint32_t> word = text ? ParseGlobalValue(text->view()) : std::nullopt;
        if (!word) {
            warnings.PrintLine("global.xml : invalid value", "global.xml : invalid value '%s' for '%s', using 0",
                               text ? text->c_str() : "", name->c_str());
        }
        if (!table.emplace(*name, CGlobalValue{word.value_or(0)}).second) {
            warnings.PrintLine("global.xml : duplicate value", "global.xml : duplicate value '%s' skipped", name->c_str());
        }
    }
    warnings.WriteCounts();
}

float GetGlobalFloat(const CString& name, CGlobalValueTable& table, int index) {
    const CString key = index >= 0 ? FormatString("%s%i", name.c_str(), index) : name;
    return std::bit_cast<float>(table[key].word);
}

uint32_t GetGlobalColor(CGlobalValueTable& table, const char* name) { return table[CString(name)].word; }

} // namespace Engine
