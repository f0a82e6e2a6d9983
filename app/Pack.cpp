#include "app/Pack.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

#include "app/Archive.h"
#include "app/LoadingQuitCheck.h"
#include "app/Log.h"
#include "app/Random.h"
#include "app/RepeatedLogLines.h"

namespace Engine {

namespace PackFormat {

namespace {

// Both tables derive from the C runtime's generator, so that the tools and
// the engine agree without storing any key.
constexpr uint32_t kIndexSeed = 0x424D4C4B;
constexpr uint32_t kTableSeed = 0x50414B31;

} // namespace

void XorIndexKeystream(std::span<uint8_t> index) {
    CCrtGenerator generator(kIndexSeed);
    for (uint8_t& byte : index) byte ^= uint8_t(generator.Next() & 0xFF);
}

const std::array<uint8_t, 256>& EncodeTable() {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (int i = 0; i < 256; ++i) t[i] = uint8_t(i);
        CCrtGenerator generator(kTableSeed);
        for (int i = 255; i > 0; --i) std::swap(t[i], t[uint32_t(generator.Next()) % uint32_t(i + 1)]);
        return t;
    }();
    return table;
}

const std::array<uint8_t, 256>& DecodeTable() {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        const auto& encode = EncodeTable();
        for (int i = 0; i < 256; ++i) t[encode[i]] = uint8_t(i);
        return t;
    }();
    return table;
}

} // namespace PackFormat

std::string PackLookupKey(const CString& name) {
    std::string key = NormalizeFileName(name).str();
    for (char& c : key) c = char(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

// ----------------------------------------------------------------- CDataPack

std::unique_ptr<CDataPack> CDataPack::Open(const CString& label, StreamFactory factory) {
    std::unique_ptr<CAbstractFile> stream = factory();
    if (!stream) {
        GetLog().PrintLine("CDataPack::Open('%s') : FAILED : cannot open the file", label.c_str());
        return nullptr;
    }
    std::unique_ptr<CDataPack> pack(new CDataPack(label, std::move(factory)));
    if (!pack->ReadIndex(*stream)) return nullptr;
    return pack;
}

std::unique_ptr<CDataPack> CDataPack::OpenFile(const CString& path) {
    return Open(path, [path]() -> std::unique_ptr<CAbstractFile> {
        auto file = std::make_unique<CStdioFile>();
        if (!file->Open(path.c_str(), "rb")) return nullptr;
        return file;
    });
}

bool CDataPack::ReadIndex(CAbstractFile& stream) {
    using namespace PackFormat;
    auto refuse = [this](const char* reason) {
        GetLog().PrintLine("CDataPack::Open('%s') : FAILED : %s", m_label.c_str(), reason);
        return false;
    };
    const int64_t fileSize = stream.GetSize();
    if (fileSize < int64_t(kHeaderSize) || stream.Seek(0, SEEK_FROM_START) != 0) return refuse("file too small for the header");
    // The size is only what the system reported: a read can still fail (EIO)
    // or end early (a kernel file, a pack cut meanwhile). The header is read
    // whole before it is taken apart, so that such a pack is refused, never
    // thrown over.
    uint8_t headerBytes[kHeaderSize];
    if (stream.Read(headerBytes, sizeof headerBytes) != sizeof headerBytes) return refuse("cannot read the header");
    CMemoryFile headerFile(headerBytes, sizeof headerBytes);
    CArchive header(&headerFile, false);
    char magic[4];
    uint32_t version = 0, count = 0, flags = 0;
    header.Read(magic, sizeof magic);
    header.ReadDWord(version);
    header.ReadDWord(count);
    header.ReadDWord(flags);
    if (std::memcmp(magic, kMagic, sizeof magic) != 0) return refuse("not a data pack");
    if (version != kVersion) return refuse("unsupported version");
    if (flags & ~kIndexScrambled) return refuse("unknown header flags");
    if (uint64_t(count) > uint64_t(fileSize - int64_t(kHeaderSize)) / kEntrySize) return refuse("entry count beyond the file size");

    std::vector<uint8_t> index(size_t(count) * kEntrySize);
    if (stream.Read(index.data(), index.size()) != index.size()) return refuse("cannot read the index");
    if (flags & kIndexScrambled) XorIndexKeystream(index);
    // The count fits the file, checked above.
    m_entries.reserve(count);
    m_byName.Reset(count);
    AddRecords(index.data(), count, fileSize);
    return true;
}

// One record of the index taken apart and checked, all but its name's
// uniqueness; key and hash are set for a record without a fault.
struct CDataPack::CIndexRecord {
    CPackEntry entry;
    const char* fault = nullptr;
    std::string key;
    size_t hash = 0;
};

void CDataPack::AddRecords(const uint8_t* records, size_t count, int64_t fileSize) {
    // Taken apart a batch ahead of being indexed, so that the index slots
    // the batch probes are fetched together rather than missed one by one.
    constexpr size_t kBatch = 32;
    std::array<CIndexRecord, kBatch> batch;
    CRepeatedLogLines skips;
    for (size_t first = 0; first < count; first += kBatch) {
        const size_t size = std::min(kBatch, count - first);
        for (size_t i = 0; i < size; ++i) {
            batch[i] = ParseRecord(records + (first + i) * PackFormat::kEntrySize, fileSize);
            if (!batch[i].fault) m_byName.Prefetch(batch[i].hash);
        }
        for (size_t i = 0; i < size; ++i) {
            CLoadingQuitCheck::Count();
            AddRecord(batch[i], skips);
        }
    }
    skips.WriteCounts();
}

CDataPack::CIndexRecord CDataPack::ParseRecord(const uint8_t* bytes, int64_t fileSize) {
    using namespace PackFormat;
    CIndexRecord record;
    CPackEntry& entry = record.entry;
    auto fault = [&](const char* reason) {
        record.fault = reason;
        return std::move(record);
    };
    CMemoryFile file(bytes, kEntrySize);
    CArchive ar(&file, false);
    char name[kNameSize];
    uint8_t flags = 0;
    ar.Read(name, sizeof name);
    ar.ReadDWord(entry.offset);
    ar.ReadDWord(entry.size);
    ar.ReadByte(flags);

    const void* end = std::memchr(name, 0, sizeof name);
    entry.name = CString(name, end ? int(static_cast<const char*>(end) - name) : int(sizeof name));
    if (!end) return fault("name not terminated");
    if (entry.name.IsEmpty()) return fault("empty name");
    if (entry.name[0] == '/' || entry.name[0] == '\\') return fault("absolute name");
    if (flags & ~kEntryScrambled) return fault("unknown entry flags");
    if (uint64_t(entry.offset) + entry.size > uint64_t(fileSize)) return fault("data beyond the end of the file");
    entry.scrambled = (flags & kEntryScrambled) != 0;
    record.key = PackLookupKey(entry.name);
    record.hash = CPackNameIndex::Hash(record.key);
    return record;
}

void CDataPack::AddRecord(CIndexRecord& record, CRepeatedLogLines& skips) {
    // Names the entry by its name where it has one, else by its number.
    auto skip = [&](const char* reason) {
        const CPackEntry& entry = record.entry;
        const CString which = entry.name.IsEmpty() ? FormatString("#%zu", m_entries.size() + m_skipped)
                                                   : FormatString("'%s'", entry.name.c_str());
        const CString kind = FormatString("CDataPack::Open('%s') : entry skipped : %s", m_label.c_str(), reason);
        skips.PrintLine(kind.view(), "CDataPack::Open('%s') : entry %s skipped : %s", m_label.c_str(), which.c_str(),
                        reason);
        ++m_skipped;
    };
    if (record.fault) return skip(record.fault);
    const auto hasKey = [&](uint32_t number) { return HasKey(number, record.key); };
    if (!m_byName.Insert(record.hash, uint32_t(m_entries.size()), hasKey)) return skip("duplicate name");
    m_entries.push_back(std::move(record.entry));
}

bool CDataPack::HasKey(uint32_t number, std::string_view key) const {
    return PackLookupKey(m_entries[number].name) == key;
}

const CPackEntry* CDataPack::Find(const CString& name) const {
    const std::string key = PackLookupKey(name);
    const uint32_t* number = m_byName.Find(CPackNameIndex::Hash(key), [&](uint32_t indexed) { return HasKey(indexed, key); });
    return number ? &m_entries[*number] : nullptr;
}

std::unique_ptr<CAbstractFile> CDataPack::OpenEntry(const CPackEntry& entry) const {
    std::unique_ptr<CAbstractFile> base = m_factory();
    if (!base) return nullptr;
    return std::make_unique<CInFile>(std::move(base), entry.offset, entry.size,
                                     entry.scrambled ? PackFormat::DecodeTable().data() : nullptr);
}

// ---------------------------------------------------------------- CDataPacks

int CDataPacks::OpenAll(const CString& folder) {
    namespace fs = std::filesystem;
    std::vector<fs::directory_entry> packs;
    std::error_code error;
    const fs::path root(folder.IsEmpty() ? "." : folder.c_str());
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        if (MatchesWildcard("*.pak", CString(it->path().filename().string()))) packs.push_back(*it);
    }
    std::sort(packs.begin(), packs.end());
    int opened = 0;
    for (const fs::directory_entry& pack : packs) {
        const CString path(pack.path().string());
        // Refused by its type before anything opens it: a plain open of a FIFO
        // waits for a writer, and opening a device may act on it.
        std::error_code typeError;
        if (!pack.is_regular_file(typeError)) {
            GetLog().PrintLine("CDataPack::Open('%s') : FAILED : not a regular file", path.c_str());
            continue;
        }
        if (Add(CDataPack::OpenFile(path))) ++opened;
    }
    return opened;
}

bool CDataPacks::Add(std::unique_ptr<CDataPack> pack) {
    if (!pack) return false;
    GetLog().PrintLine("Data pack '%s' : %zu entries", pack->GetLabel().c_str(), pack->GetEntries().size());
    std::unique_lock lock(m_mutex);
    m_packs.push_back(std::move(pack));
    return true;
}

void CDataPacks::CloseAll() {
    std::unique_lock lock(m_mutex);
    m_packs.clear();
}

int CDataPacks::GetCount() const {
    std::shared_lock lock(m_mutex);
    return int(m_packs.size());
}

std::unique_ptr<CAbstractFile> CDataPacks::OpenEntry(const CString& name) const {
    std::shared_lock lock(m_mutex);
    for (const auto& pack : m_packs) {
        if (const CPackEntry* entry = pack->Find(name)) return pack->OpenEntry(*entry);
    }
    return nullptr;
}

std::optional<CPackEntry> CDataPacks::FindEntry(const CString& name) const {
    std::shared_lock lock(m_mutex);
    for (const auto& pack : m_packs) {
        if (const CPackEntry* entry = pack->Find(name)) return *entry;
    }
    return std::nullopt;
}

std::vector<CString> CDataPacks::ListNames() const {
    std::shared_lock lock(m_mutex);
    std::vector<CString> names;
    std::set<std::string> seen;
    for (const auto& pack : m_packs) {
        for (const CPackEntry& entry : pack->GetEntries()) {
            if (seen.insert(PackLookupKey(entry.name)).second) names.push_back(entry.name);
        }
    }
    return names;
}

CDataPacks& GetDataPacks() {
    static CDataPacks packs;
    return packs;
}

} // namespace Engine
