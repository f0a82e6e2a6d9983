#include "app/Locale.h"

#include <optional>

#include "app/LoadingQuitCheck.h"
#include "app/Log.h"
#include "app/RepeatedLogLines.h"
#include "app/Xml.h"

namespace Engine {

namespace {

const CString kNoLocale;

// A bad value's line. Its kind names the element, one of the few the
// readers below look into, never a name the file chose.
void LogInvalidValue(CRepeatedLogLines& warnings, const CXMLNode& node, const char* name, const CString& text) {
    const CString kind = FormatString("Locale.xml : invalid value in <%s>", node.GetName().c_str());
    warnings.PrintLine(kind.view(), "Locale.xml : invalid %s '%s' in <%s>", name, text.c_str(), node.GetName().c_str());
}

// The attribute as an integer within [low, high]; null when absent or bad
// (a bad value is logged).
std::optional<int64_t> IntAttribute(CRepeatedLogLines& warnings, const CXMLNode& node, const char* name, int64_t low,
                                    int64_t high) {
    const CString* text = node.FindAttribute(name);
    if (!text) return std::nullopt;
    const std::optional<int64_t> value = ParseXMLInteger(text->view());
    if (value && *value >= low && *value <= high) return value;
    LogInvalidValue(warnings, node, name, *text);
    return std::nullopt;
}

// Four values in attribute order, whatever their names; a missing or bad
// value is 0.
void ReadPadding(CRepeatedLogLines& warnings, const CXMLNode& node, int32_t (&padding)[4]) {
    const auto& attributes = node.GetAttributes();
    for (size_t i = 0; i < 4; ++i) {
        padding[i] = 0;
        if (i >= attributes.size()) continue;
        const std::optional<int64_t> value = ParseXMLInteger(attributes[i].second.view());
        if (value && *value >= INT32_MIN && *value <= INT32_MAX) {
            padding[i] = int32_t(*value);
        } else {
            LogInvalidValue(warnings, node, attributes[i].first.c_str(), attributes[i].second);
        }
    }
}

// A character that cannot be read would shift every later glyph, so such a
// font is refused as a whole.
std::optional<CLocaleFont> ReadFont(CRepeatedLogLines& warnings, const CXMLNode& node, const CString& name) {
    CLocaleFont font;
    if (const CString* sprite = node.FindAttribute("sprite")) font.sprite = *sprite;
    font.ascent = int32_t(IntAttribute(warnings, node, "ascent", INT32_MIN, INT32_MAX).value_or(0));
    for (const auto& child : node.GetChildren()) {
        CLoadingQuitCheck::Count();
        const auto tag = child->GetName().view();
        if (tag == "char") {
            const std::optional<int64_t> code = IntAttribute(warnings, *child, "code", 0, 0xFFFF);
            if (!code) {
                warnings.PrintLine("Locale.xml : font skipped : a character has no valid code",
                                   "Locale.xml : font '%s' skipped : a character has no valid code", name.c_str());
                return std::nullopt;
            }
            font.characters.push_back(uint16_t(*code));
        } else if (tag == "kern_pair") {
            const auto first = IntAttribute(warnings, *child, "first", 0, 0xFFFF);
            const auto second = IntAttribute(warnings, *child, "second", 0, 0xFFFF);
            const auto amount = IntAttribute(warnings, *child, "amount", INT32_MIN, INT32_MAX);
            if (first && second && amount) {
                font.kernPairs.push_back({uint16_t(*first), uint16_t(*second), int32_t(*amount)});
            } else {
                warnings.PrintLine("Locale.xml : incomplete kern_pair",
                                   "Locale.xml : font '%s' : incomplete kern_pair skipped", name.c_str());
            }
        } else if (tag == "texture_padding") {
            ReadPadding(warnings, *child, font.texturePadding);
        } else if (tag == "letter_padding") {
            ReadPadding(warnings, *child, font.letterPadding);
        }
    }
    return font;
}

// Adds under the key unless it is taken; the first definition wins.
template <class T>
void AddOnce(CRepeatedLogLines& warnings, std::map<CString, T>& table, const CString* key, T value, const char* what) {
    if (!key || key->IsEmpty()) {
        const CString kind = FormatString("Locale.xml : %s without a name", what);
        warnings.PrintLine(kind.view(), "Locale.xml : %s without a name skipped", what);
    } else if (!table.emplace(*key, std::move(value)).second) {
        const CString kind = FormatString("Locale.xml : duplicate %s", what);
        warnings.PrintLine(kind.view(), "Locale.xml : duplicate %s '%s' skipped", what, key->c_str());
    }
}

} // namespace

bool CLocaleManager::Load(const CString& fileName) {
    m_locales.clear();
    m_active = 0;
    std::unique_ptr<CXMLNode> root = ParseXMLFile(fileName);
    if (!root) {
        GetLog().PrintLine("Engine::CLocaleManager::Load(...) : FAILED: Can't read '%s'", fileName.c_str());
        return false;
    }
    // Kept only once the document is let go of: a quit before leaves none.
    std::vector<CLocale> locales;
    size_t active = 0;
    TakeFromXML(std::move(root), locales, [&](const CXMLNode& document) { active = ReadLocales(document, locales); });
    m_locales = std::move(locales);
    m_active = active;
    return true;
}

void CLocaleManager::Load(const CXMLNode& root) {
    m_locales.clear();
    m_active = 0;
    std::vector<CLocale> locales;
    m_active = ReadLocales(root, locales);
    m_locales = std::move(locales);
}

size_t CLocaleManager::ReadLocales(const CXMLNode& root, std::vector<CLocale>& locales) {
    CRepeatedLogLines warnings;
    for (const auto& child : root.GetChildren()) {
        CLoadingQuitCheck::Count();
        if (child->GetName() == "locale") ReadLocale(warnings, *child, locales.emplace_back());
    }
    warnings.WriteCounts();
    if (locales.empty()) GetLog().PrintLine("Locale.xml : no <locale> element");
    const CString* wanted = root.FindAttribute("default");
    for (size_t i = 0; wanted && i < locales.size(); ++i) {
        if (locales[i].name == *wanted) return i;
    }
    return 0;
}

void CLocaleManager::ReadLocale(CRepeatedLogLines& warnings, const CXMLNode& node, CLocale& locale) {
    if (const CString* name = node.FindAttribute("name")) locale.name = *name;
    for (const auto& child : node.GetChildren()) {
        CLoadingQuitCheck::Count();
        if (child->GetName() == "string") {
            AddOnce(warnings, locale.strings, child->FindAttribute("key"), child->GetValue(), "string");
        } else if (child->GetName() == "font") {
            const CString* name = child->FindAttribute("name");
            std::optional<CLocaleFont> font = ReadFont(warnings, *child, name ? *name : CString());
            if (font) AddOnce(warnings, locale.fonts, name, std::move(*font), "font");
        }
    }
}

const CString& CLocaleManager::GetActiveLocale() const {
    return m_locales.empty() ? kNoLocale : m_locales[m_active].name;
}

template <class T>
const T* CLocaleManager::Lookup(std::map<CString, T> CLocale::*table, const CString& key) const {
    for (size_t index : {m_active, size_t(0)}) {
        if (index >= m_locales.size()) continue;
        const auto& entries = m_locales[index].*table;
        if (auto it = entries.find(key); it != entries.end()) return &it->second;
    }
    return nullptr;
}

CString CLocaleManager::FindString(const CString& key) const {
    if (const CString* text = Lookup(&CLocale::strings, key)) return *text;
    GetLog().PrintLine("Engine::CLocaleManager::FindString(...) : FAILED: Can't find string for '%s'", key.c_str());
    return key;
}

bool CLocaleManager::HasString(const CString& key) const { return Lookup(&CLocale::strings, key) != nullptr; }

const CLocaleFont* CLocaleManager::FindFont(const CString& name) const {
    const CLocaleFont* font = Lookup(&CLocale::fonts, name);
    if (!font) GetLog().PrintLine("Engine::CLocaleManager::FindFont(...) : FAILED: Can't find font '%s'", name.c_str());
    return font;
}

CLocaleManager& GetLocaleManager() {
    static CLocaleManager manager;
    return manager;
}

} // namespace Engine
