#pragma once
// Writes data packs (".pak") in the layout the engine's CDataPack reads.

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/String.h"

namespace Tools {

class CPakWriter {
public:
    // The name uses '/' separators and fits the index's 64-byte field with
    // its terminator; a bad or repeated name throws Engine::CException.
    void Add(const CString& name, std::vector<uint8_t> data, bool scrambled = false);
    // Takes the entry named so out of the pack; false when there is none.
    bool Remove(const CString& name);
    // The bytes of the entry named so; null when there is none.
    const std::vector<uint8_t>* Find(const CString& name) const;
    void SetIndexScrambled(bool scrambled) { m_indexScrambled = scrambled; }
    size_t GetCount() const { return m_entries.size(); }

    std::vector<uint8_t> Build() const;
    bool Save(const std::string& path) const;

private:
    struct CEntry {
        CString name;
        std::vector<uint8_t> data;
        bool scrambled;
    };
    std::vector<CEntry> m_entries;
    std::unordered_set<std::string> m_keys;  // the entries' lookup keys, so that a repeat is found at once
    bool m_indexScrambled = false;
};

// Adds every regular file below folder, named by its path relative to the
// folder, in name order. Scrambled sets both the index and the entries.
CPakWriter PackFolder(const std::string& folder, bool scrambled);

} // namespace Tools
