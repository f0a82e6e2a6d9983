#pragma once
// Data packs (".pak"): one file holding many named entries, read through
// CInFile windows. The layout is described in docs/formats.md.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <span>
#include <vector>

#include "app/File.h"
#include "app/PackNameIndex.h"
#include "app/String.h"

namespace Engine {

class CRepeatedLogLines;

namespace PackFormat {
inline constexpr char kMagic[4] = {'K', 'L', 'M', 'B'};
inline constexpr uint32_t kVersion = 1;
inline constexpr size_t kHeaderSize = 16;
inline constexpr size_t kEntrySize = 73;
inline constexpr size_t kNameSize = 64;
inline constexpr uint32_t kIndexScrambled = 1;  // header flag
inline constexpr uint8_t kEntryScrambled = 1;   // entry flag

// XORs the index bytes that follow the header with the index keystream:
// scrambles a plain index, unscrambles a scrambled one.
void XorIndexKeystream(std::span<uint8_t> index);
// Substitution of scrambled entry bytes: stored = Encode[plain],
// plain = Decode[stored].
const std::array<uint8_t, 256>& EncodeTable();
const std::array<uint8_t, 256>& DecodeTable();
} // namespace PackFormat

struct CPackEntry {
    CString name;  // as stored, '/' separated
    uint32_t offset = 0;
    uint32_t size = 0;
    bool scrambled = false;
};

// One opened pack: its validated index and a way to open fresh streams onto
// its bytes, so that every opened entry has a position of its own.
class CDataPack {
public:
    using StreamFactory = std::function<std::unique_ptr<CAbstractFile>()>;

    // Reads and validates the index. A bad header refuses the whole pack
    // (null, with a log line); a bad entry is skipped with a log line, held
    // to a few of each fault (app/RepeatedLogLines.h).
    static std::unique_ptr<CDataPack> Open(const CString& label, StreamFactory factory);
    static std::unique_ptr<CDataPack> OpenFile(const CString& path);

    const CString& GetLabel() const { return m_label; }
    const std::vector<CPackEntry>& GetEntries() const { return m_entries; }
    const CPackEntry* Find(const CString& name) const;
    std::unique_ptr<CAbstractFile> OpenEntry(const CPackEntry& entry) const;

private:
    CDataPack(CString label, StreamFactory factory) : m_label(std::move(label)), m_factory(std::move(factory)) {}
    struct CIndexRecord;
    bool ReadIndex(CAbstractFile& stream);
    void AddRecords(const uint8_t* records, size_t count, int64_t fileSize);
    static CIndexRecord ParseRecord(const uint8_t* bytes, int64_t fileSize);
    void AddRecord(CIndexRecord& record, CRepeatedLogLines& skips);
    bool HasKey(uint32_t number, std::string_view key) const;

    CString m_label;
    StreamFactory m_factory;
    std::vector<CPackEntry> m_entries;
    // Lower-case name -> entry: looked up only, by every file opened or
    // probed, so hashed rather than ordered.
    CPackNameIndex m_byName;
    size_t m_skipped = 0;
};

// The packs opened by the application, searched in opening order.
class CDataPacks {
public:
    // Opens every "*.pak" of the folder in name order; returns how many opened.
    int OpenAll(const CString& folder);
    bool Add(std::unique_ptr<CDataPack> pack);
    void CloseAll();
    int GetCount() const;

    // Opens the first entry of that name (case-insensitive); null when none.
    std::unique_ptr<CAbstractFile> OpenEntry(const CString& name) const;
    // The entry that OpenEntry would open, or none.
    std::optional<CPackEntry> FindEntry(const CString& name) const;
    // Entry names in pack order, each once.
    std::vector<CString> ListNames() const;

private:
    mutable std::shared_mutex m_mutex;
    std::vector<std::unique_ptr<CDataPack>> m_packs;
};

CDataPacks& GetDataPacks();

// Lower-case ASCII key under which pack names are compared.
std::string PackLookupKey(const CString& name);

} // namespace Engine
