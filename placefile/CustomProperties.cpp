#include "placefile/CustomProperties.h"

#include "app/Exception.h"
#include "app/LoadingQuitCheck.h"
#include "placefile/PlaceReading.h"

namespace Engine::Graphics::PlaceFile {

namespace {
constexpr uint32_t CHUNK_FILE_PROPERTIES = 0xC0C0;
constexpr uint32_t CHUNK_PROPERTY_VALUES = 0xCDCD;
constexpr uint32_t LEGACY_PROPERTY_VERSION = 0x1002;
// ID, an empty name and the type.
constexpr uint64_t MIN_DESC_BYTES = 9;
// ID and the smallest value (one byte).
constexpr uint64_t MIN_VALUE_BYTES = 5;
} // namespace

void CCustomPropertyDescs::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    ExpectChunk(ar, CHUNK_FILE_PROPERTIES, "Invalid '' place  file chunk ID (FileProperties)");
    ReadDescriptions(ar);
}

void CCustomPropertyDescs::SerializeLegacy(CArchive& ar) {
    if (ar.IsStoring()) return;
    if (ReadUInt(ar) != LEGACY_PROPERTY_VERSION) throw Engine::CException("Wrong Custom Property Version");
    ReadDescriptions(ar);
}

void CCustomPropertyDescs::ReadDescriptions(CArchive& ar) {
    const uint32_t count = ReadUInt(ar);
    CheckCount(ar, count, MIN_DESC_BYTES);
    for (uint32_t i = 0; i < count; ++i) {
        Engine::CLoadingQuitCheck::Count();
        CCustomPropertyDesc desc;
        desc.id = ReadUInt(ar);
        ar.ReadString(desc.name);
        desc.type = ReadUInt(ar);
        m_descs.emplace(desc.name.str(), desc);
    }
    m_byId.Clear();
    for (const auto& [name, desc] : m_descs) m_byId.Add(desc.id, &desc);
    m_byId.Build();
}

const CCustomPropertyDesc& CCustomPropertyDescs::GetPropertyDescByID(uint32_t id) const {
    if (const CCustomPropertyDesc* desc = m_byId.FindOr(id, nullptr)) return *desc;
    throw Engine::CException::Format(
        "CPlaceFile::CCustomPropertyDescs::GetPropertyDescByID(...) : FAILED : Can't find property by ID = %d", int(id));
}

const CCustomPropertyDesc* CCustomPropertyDescs::FindByName(const CString& name) const {
    const auto found = m_descs.find(name.str());
    return found == m_descs.end() ? nullptr : &found->second;
}

void CCustomPropertyValue::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    switch (desc->type) {
    case PROPERTY_TEXT: ar.ReadString(text); break;
    case PROPERTY_INTEGER: integer = ReadInt(ar); break;
    case PROPERTY_NUMBER: number = ReadUInt(ar); break;
    case PROPERTY_BOOLEAN: {
        uint8_t byte = 0;
        ar.ReadByte(byte);
        flag = byte != 0;
        break;
    }
    case PROPERTY_PAIR:
        pair[0] = ReadUInt(ar);
        pair[1] = ReadUInt(ar);
        break;
    case PROPERTY_LIST: {
        listHead = ReadInt(ar);
        const uint32_t count = ReadUInt(ar);
        CheckCount(ar, count, 4);
        list.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            Engine::CLoadingQuitCheck::Count();
            list.push_back(ReadUInt(ar));
        }
        break;
    }
    default: throw Engine::CException("CCustomPropertyValue::Serialize() : FAILED : Unknown or unsupported property type");
    }
}

void CCustomPropertyValues::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    ExpectChunk(ar, CHUNK_PROPERTY_VALUES, "Invalid '' place file chunk ID (FilePropertyValues)");
    ReadValues(ar);
}

void CCustomPropertyValues::SerializeLegacy(CArchive& ar) {
    if (ar.IsStoring()) return;
    ReadValues(ar);
}

void CCustomPropertyValues::ReadValues(CArchive& ar) {
    const uint32_t count = ReadUInt(ar);
    CheckCount(ar, count, MIN_VALUE_BYTES);
    for (uint32_t i = 0; i < count; ++i) {
        Engine::CLoadingQuitCheck::Count();
        const uint32_t id = ReadUInt(ar);
        CCustomPropertyValue value(&m_descs->GetPropertyDescByID(id));
        value.Serialize(ar);
        m_values.emplace(id, std::move(value));
    }
}

const CCustomPropertyValue* CCustomPropertyValues::FindByID(uint32_t id) const {
    const auto found = m_values.find(id);
    return found == m_values.end() ? nullptr : &found->second;
}

const CCustomPropertyValue* FindCustomPropertyByName(const CCustomPropertyValues& values, const CString& name) {
    const CCustomPropertyDesc* desc = values.GetDescs()->FindByName(name);
    return desc ? values.FindByID(desc->id) : nullptr;
}

const CCustomPropertyValue& GetCustomPropertyByName(const CCustomPropertyValues& values, const CString& name) {
    if (const CCustomPropertyValue* value = FindCustomPropertyByName(values, name)) return *value;
    throw Engine::CException::Format("Can't find custom property by name '%s'", name.c_str());
}

} // namespace Engine::Graphics::PlaceFile
