#pragma once
// Localised strings and font records from "xml/Locale.xml".

#include <cstdint>
#include <map>
#include <vector>

#include "app/String.h"

namespace Engine {

class CRepeatedLogLines;

class CXMLNode;

struct CKernPair {
    uint16_t first = 0;
    uint16_t second = 0;
    int32_t amount = 0;
};

// What a bitmap font is made from: glyph i of the sprite draws characters[i].
struct CLocaleFont {
    CString sprite;
    std::vector<uint16_t> characters;
    std::vector<CKernPair> kernPairs;
    int32_t ascent = 0;
    int32_t texturePadding[4] = {};
    int32_t letterPadding[4] = {};
};

class CLocaleManager {
public:
    // Reads the file (through the data packs); false, with a log line, when
    // it cannot be read. What was loaded before is dropped either way. Its
    // elements, each one read, taken and let go of, are units of loading
    // work (LoadingQuitCheck.h): a quit found leaves no locale, nothing of
    // the file kept.
    bool Load(const CString& fileName = "xml/Locale.xml");
    void Load(const CXMLNode& root);

    // The locale named by the root's "default", else the first one.
    const CString& GetActiveLocale() const;

    // The string of the active locale, else of the first locale. A missing
    // key logs "Engine::CLocaleManager::FindString(...) : FAILED: Can't find
    // string for '%s'" and gives the key itself.
    CString FindString(const CString& key) const;
    // Like FindString, without logging.
    bool HasString(const CString& key) const;
    // The font record; null, with a log line, when no locale has it.
    const CLocaleFont* FindFont(const CString& name) const;

private:
    struct CLocale {
        CString name;
        std::map<CString, CString> strings;
        std::map<CString, CLocaleFont> fonts;
    };
    // The locales of the document and the index of the active one.
    static size_t ReadLocales(const CXMLNode& root, std::vector<CLocale>& locales);
    static void ReadLocale(CRepeatedLogLines& warnings, const CXMLNode& node, CLocale& locale);
    template <class T>
    const T* Lookup(std::map<CString, T> CLocale::*table, const CString& key) const;

    std::vector<CLocale> m_locales;
    size_t m_active = 0;
};

// The process-wide locale manager, created on first use.
CLocaleManager& GetLocaleManager();

} // namespace Engine
