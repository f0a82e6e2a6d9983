#pragma once
// Named global values of "xml/global.xml": each record's first 32-bit word
// holds an integer, the bits of a float, or a number given in hex.

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

#include "app/String.h"

namespace Engine {

class CXMLNode;

struct CGlobalValue {
    uint32_t word = 0;
};

using CGlobalValueTable = std::map<CString, CGlobalValue>;

// "0x..." is stored as the raw word, a decimal with '.', 'e' or 'E' as float
// bits, any other decimal as an int32. Null when the text is none of these.
std::optional<uint32_t> ParseGlobalValue(std::string_view text);

// Adds the <value name=".." value=".."/> elements of the document to the
// table (the first definition of a name wins); false, with a log line, when
// the file cannot be read. An unreadable value is logged and stored as 0.
// Its elements, each one read, taken and let go of, are units of loading
// work (LoadingQuitCheck.h): a quit found leaves the table as it was.
bool LoadGlobalValues(const CString& fileName, CGlobalValueTable& table);
void ReadGlobalValues(const CXMLNode& root, CGlobalValueTable& table);

// The word under the name (with index >= 0, the name followed by the index
// in decimal) as float bits. An absent name is added as 0, so it reads 0.0.
float GetGlobalFloat(const CString& name, CGlobalValueTable& table, int index = -1);
// The word under the name; an absent name is added as 0.
uint32_t GetGlobalColor(CGlobalValueTable& table, const char* name);

} // namespace Engine
