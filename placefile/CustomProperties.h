#pragma once
// Named, typed values that the layout tool attaches to a place file, its
// layers and its objects. Each description (ID, name, type) is stored once
// per file; every value set refers to the descriptions by ID.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/Archive.h"
#include "app/FirstMatchIndex.h"
#include "app/String.h"

namespace Engine::Graphics::PlaceFile {

enum ECustomPropertyType : uint32_t {
    PROPERTY_TEXT = 0,
    PROPERTY_INTEGER = 1,
    PROPERTY_NUMBER = 2,
    PROPERTY_BOOLEAN = 3,
    PROPERTY_PAIR = 4,
    PROPERTY_LIST = 5,
};

struct CCustomPropertyDesc {
    uint32_t id = 0;
    uint32_t type = 0;
    CString name;
};

// The descriptions of one place file, by name; the first of a name wins.
class CCustomPropertyDescs {
public:
    CCustomPropertyDescs() = default;
    // The ID index points into the map.
    CCustomPropertyDescs(const CCustomPropertyDescs&) = delete;
    CCustomPropertyDescs& operator=(const CCustomPropertyDescs&) = delete;

    // Chunk 0xC0C0, count, descriptions.
    void Serialize(CArchive& ar);
    // Version word 0x1002, count, descriptions.
    void SerializeLegacy(CArchive& ar);
    // The first description in name order with the ID; throws when none.
    const CCustomPropertyDesc& GetPropertyDescByID(uint32_t id) const;
    const CCustomPropertyDesc* FindByName(const CString& name) const;
    size_t GetCount() const { return m_descs.size(); }

private:
    void ReadDescriptions(CArchive& ar);
    std::map<std::string, CCustomPropertyDesc> m_descs;
    // Every value read looks its description up by ID: indexed in name
    // order once the descriptions are read, so the first in name order wins.
    CFirstMatchIndex<uint32_t, const CCustomPropertyDesc*> m_byId;
};

// One value; only the field of its description's type is meaningful.
struct CCustomPropertyValue {
    explicit CCustomPropertyValue(const CCustomPropertyDesc* desc) : desc(desc) {}
    // Reads the data by the description's type.
    void Serialize(CArchive& ar);

    int32_t integer = 0;
    CString text;
    uint32_t number = 0;
    uint8_t flag = 0;
    uint32_t pair[2] = {0, 0};
    int32_t listHead = -1;
    std::vector<uint32_t> list;
    const CCustomPropertyDesc* desc;
};

// One value set (of the file, a layer or an object), by property ID; the
// first value of an ID wins.
class CCustomPropertyValues {
public:
    explicit CCustomPropertyValues(const CCustomPropertyDescs* descs) : m_descs(descs) {}
    // Chunk 0xCDCD, then the list.
    void Serialize(CArchive& ar);
    void SerializeLegacy(CArchive& ar);

    const CCustomPropertyValue* FindByID(uint32_t id) const;
    const CCustomPropertyDescs* GetDescs() const { return m_descs; }
    size_t GetCount() const { return m_values.size(); }
    const std::map<uint32_t, CCustomPropertyValue>& GetValues() const { return m_values; }

private:
    void ReadValues(CArchive& ar);
    std::map<uint32_t, CCustomPropertyValue> m_values;
    const CCustomPropertyDescs* m_descs;
};

// Throws "Can't find custom property by name '%s'" when the description or
// the value is missing.
const CCustomPropertyValue& GetCustomPropertyByName(const CCustomPropertyValues& values, const CString& name);
// Null when the description or the value is missing.
const CCustomPropertyValue* FindCustomPropertyByName(const CCustomPropertyValues& values, const CString& name);

} // namespace Engine::Graphics::PlaceFile
