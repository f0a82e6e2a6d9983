#include "tools/PakWriter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/Exception.h"
#include "app/Pack.h"
#include "tools/BinaryWriter.h"

namespace Tools {

using namespace Engine::PackFormat;

void CPakWriter::Add(const CString& name, std::vector<uint8_t> data, bool scrambled) {
    if (name.IsEmpty() || size_t(name.GetLength()) >= kNameSize || name[0] == '/' || name.view().find('\\') != std::string_view::npos) {
        throw Engine::CException::Format("CPakWriter::Add() : FAILED : invalid entry name '%s'", name.c_str());
    }
    if (!m_keys.insert(Engine::PackLookupKey(name)).second)
        throw Engine::CException::Format("CPakWriter::Add() : FAILED : '%s' added twice", name.c_str());
    m_entries.push_back({name, std::move(data), scrambled});
}

bool CPakWriter::Remove(const CString& name) {
    const std::string key = Engine::PackLookupKey(name);
    if (m_keys.erase(key) == 0) return false;
    std::erase_if(m_entries, [&key](const CEntry& entry) { return Engine::PackLookupKey(entry.name) == key; });
    return true;
}

const std::vector<uint8_t>* CPakWriter::Find(const CString& name) const {
    const std::string key = Engine::PackLookupKey(name);
    if (!m_keys.count(key)) return nullptr;
    const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&key](const CEntry& e) { return Engine::PackLookupKey(e.name) == key; });
    return &entry->data;
}

std::vector<uint8_t> CPakWriter::Build() const {
    CBinaryWriter index;
    uint64_t offset = kHeaderSize + kEntrySize * m_entries.size();
    for (const CEntry& entry : m_entries) {
        if (offset + entry.data.size() > UINT32_MAX) throw Engine::CException("CPakWriter::Build() : FAILED : pack larger than 4 GiB");
        index.FixedString(entry.name.view(), kNameSize).U32(uint32_t(offset)).U32(uint32_t(entry.data.size()));
        index.U8(entry.scrambled ? kEntryScrambled : 0);
        offset += entry.data.size();
    }
    std::vector<uint8_t> indexBytes = index.ToVector();
    if (m_indexScrambled) XorIndexKeystream(indexBytes);

    CBinaryWriter pack;
    pack.Raw(kMagic, sizeof kMagic).U32(kVersion).U32(uint32_t(m_entries.size()));
    pack.U32(m_indexScrambled ? kIndexScrambled : 0).Raw(indexBytes.data(), indexBytes.size());
    const auto& encode = EncodeTable();
    for (const CEntry& entry : m_entries) {
        if (!entry.scrambled) {
            pack.Raw(entry.data.data(), entry.data.size());
            continue;
        }
        std::vector<uint8_t> stored(entry.data.size());
        std::transform(entry.data.begin(), entry.data.end(), stored.begin(), [&](uint8_t b) { return encode[b]; });
        pack.Raw(stored.data(), stored.size());
    }
    return pack.ToVector();
}

bool CPakWriter::Save(const std::string& path) const { return WriteFileBytes(path, Build()); }

CPakWriter PackFolder(const std::string& folder, bool scrambled) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        if (item.is_regular_file()) files.push_back(item.path());
    }
    std::sort(files.begin(), files.end());
    CPakWriter writer;
    writer.SetIndexScrambled(scrambled);
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) throw Engine::CException::Format("PackFolder() : FAILED : cannot read '%s'", file.c_str());
        writer.Add(CString(fs::relative(file, folder).generic_string()), std::move(data), scrambled);
    }
    return writer;
}

} // namespace Tools
