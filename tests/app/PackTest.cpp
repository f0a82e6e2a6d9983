#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <sstream>

#include <sys/stat.h>

#include "app/File.h"
#include "app/Pack.h"
#include "app/TestFiles.h"
#include "tools/BinaryWriter.h"
#include "tools/PakWriter.h"

using namespace Engine;
using TestFiles::CLogCapture;
using TestFiles::CScratchFolder;
using TestFiles::ReadAll;

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::string RandomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string bytes(n, '\0');
    std::generate(bytes.begin(), bytes.end(), [&] { return char(gen()); });
    return bytes;
}

class PackTest : public ::testing::Test {
protected:
    void SetUp() override { CFile::SetDiskRoot(CString(m_dir / "disk")); }
    void TearDown() override {
        GetDataPacks().CloseAll();
        CFile::SetDiskRoot(CString());
    }
    bool AddPack(const Tools::CPakWriter& writer, const std::string& name) {
        writer.Save(m_dir / name);
        return GetDataPacks().Add(CDataPack::OpenFile(CString(m_dir / name)));
    }
    std::string ReadNamed(const CString& name) {
        CFile file;
        return file.Open(name) ? ReadAll(file) : "<missing>";
    }
    CScratchFolder m_dir;
};

class PackRoundTripTest : public PackTest, public ::testing::WithParamInterface<bool> {};

} // namespace

TEST_P(PackRoundTripTest, FolderReadsBackByteIdentical) {
    const bool scrambled = GetParam();
    const std::map<std::string, std::string> files = {
        {"empty.txt", ""},
        {"xml/Locale.xml", "<locales/>"},
        {"spr/all_bytes.bin", RandomBytes(70000, 1)},
        {"spr/deep/nested/f.bin", RandomBytes(300, 2)},
    };
    for (const auto& [name, bytes] : files) m_dir.Write("src/" + name, bytes);
    ASSERT_TRUE(AddPack(Tools::PackFolder(m_dir / "src", scrambled), "data.pak"));
    const std::string image = TestFiles::ReadFileBytes(m_dir / "data.pak");
    EXPECT_EQ(image.find("xml/Locale.xml") == std::string::npos, scrambled) << "the index is scrambled";
    EXPECT_EQ(image.find("<locales/>") == std::string::npos, scrambled) << "the entries are scrambled";

    for (const auto& [name, bytes] : files) EXPECT_EQ(ReadNamed(CString(name)), bytes) << name;

    // Random access inside an entry, scrambled or not.
    CFile file;
    ASSERT_TRUE(file.Open("spr\\ALL_BYTES.bin"));
    const std::string& original = files.at("spr/all_bytes.bin");
    ASSERT_EQ(file.Seek(-1000, SEEK_FROM_END), 0);
    EXPECT_EQ(ReadAll(file), original.substr(original.size() - 1000));
}

INSTANTIATE_TEST_SUITE_P(PlainAndScrambled, PackRoundTripTest, ::testing::Bool());

TEST_F(PackTest, EntriesShadowTheDiskAndTheFirstPackWins) {
    m_dir.Write("disk/a.txt", "disk a");
    m_dir.Write("disk/only_disk.txt", "disk only");
    Tools::CPakWriter first, second;
    first.Add("A.TXT", Bytes("pack a"));
    second.Add("a.txt", Bytes("second pack a"));
    second.Add("b.txt", Bytes("second pack b"), true);
    ASSERT_TRUE(AddPack(first, "1.pak"));
    ASSERT_TRUE(AddPack(second, "2.pak"));
    EXPECT_EQ(ReadNamed("a.txt"), "pack a");
    EXPECT_EQ(ReadNamed("./B.txt"), "second pack b");
    EXPECT_EQ(ReadNamed("only_disk.txt"), "disk only");
}

TEST_F(PackTest, OpenAllOpensEveryPackOfTheFolderInNameOrder) {
    CLogCapture log;
    Tools::CPakWriter b, a;
    b.Add("x.txt", Bytes("from b"));
    a.Add("x.txt", Bytes("from a"));
    std::filesystem::create_directories(m_dir / "packs/sub.pak");
    b.Save(m_dir / "packs/b.PAK");
    a.Save(m_dir / "packs/a.pak");
    m_dir.Write("packs/readme.txt", "not a pack");
    m_dir.Write("packs/broken.pak", "KLMB");
    EXPECT_EQ(GetDataPacks().OpenAll(CString(m_dir / "packs")), 2);
    EXPECT_EQ(ReadNamed("x.txt"), "from a");
    EXPECT_TRUE(log.Contains("broken.pak') : FAILED : file too small for the header"));
}

namespace {

// Something at a "*.pak" name of the start-up folder that is no file.
struct NotAFile { const char* name; std::function<void(const std::string& path)> make; };

const NotAFile kNotFiles[] = {
    {"Folder", [](const std::string& path) { std::filesystem::create_directory(path); }},
    // A plain open of one waits for a writer.
    {"Fifo", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
    // Making a device node takes root; a link to one is the same to the type check.
    {"Device", [](const std::string& path) { std::filesystem::create_symlink("/dev/null", path); }},
};

class PackNotAFileTest : public PackTest, public ::testing::WithParamInterface<NotAFile> {};

} // namespace

TEST_P(PackNotAFileTest, IsNamedInTheLogAndTheOtherPacksStillOpen) {
    Tools::CPakWriter writer;
    writer.Add("x.txt", Bytes("from b"));
    std::filesystem::create_directories(m_dir / "packs");
    writer.Save(m_dir / "packs/b.pak");
    GetParam().make(m_dir / "packs/a.pak");

    CLogCapture log;
    EXPECT_EQ(GetDataPacks().OpenAll(CString(m_dir / "packs")), 1);
    EXPECT_EQ(ReadNamed("x.txt"), "from b");
    EXPECT_TRUE(log.Contains("CDataPack::Open('" + (m_dir / "packs/a.pak") + "') : FAILED : not a regular file\n"))
        << log.Text();
}

INSTANTIATE_TEST_SUITE_P(Cases, PackNotAFileTest, ::testing::ValuesIn(kNotFiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PackTest, FindFilesListsPacksFirstThenDiskEachNameOnce) {
    m_dir.Write("disk/spr/b.spr", "");
    m_dir.Write("disk/spr/Z.SPR", "");
    m_dir.Write("disk/spr/c.txt", "");
    m_dir.Write("disk/spr/sub/d.spr", "");
    std::filesystem::create_directories(m_dir / "disk/spr/dir.spr");
    Tools::CPakWriter writer;
    writer.Add("spr/y.spr", {});
    writer.Add("spr/B.spr", {});
    writer.Add("spr/sub/e.spr", {});
    writer.Add("other/x.spr", {});
    ASSERT_TRUE(AddPack(writer, "p.pak"));

    const std::vector<CString> expected = {"spr/y.spr", "spr/B.spr", "spr/Z.SPR"};
    EXPECT_EQ(FindFiles("spr/*.spr"), expected);
    EXPECT_EQ(FindFiles("spr\\?.Spr"), expected);
    EXPECT_EQ(FindFiles("spr/sub/*"), (std::vector<CString>{"spr/sub/e.spr", "spr/sub/d.spr"}));
    EXPECT_EQ(FindFiles("*.spr"), std::vector<CString>{});
    EXPECT_EQ(FindFiles("nowhere/*"), std::vector<CString>{});
}

// ------------------------------------------------------------- bad packs

namespace {

// entriesLeft -1: the pack is refused.
struct Corruption { const char* name; std::function<void(std::vector<uint8_t>&)> damage; const char* logged; int entriesLeft; };

void PutU32(std::vector<uint8_t>& image, size_t at, uint32_t value) { std::memcpy(&image[at], &value, 4); }

// The pack the damage and fault cases start from: "first.txt", "second.txt".
std::vector<uint8_t> TwoEntryPack() {
    Tools::CPakWriter writer;
    writer.Add("first.txt", Bytes("one"));
    writer.Add("second.txt", Bytes("two"));
    return writer.Build();
}

constexpr size_t kEntry0 = PackFormat::kHeaderSize;
constexpr size_t kEntry1 = PackFormat::kHeaderSize + PackFormat::kEntrySize;

const Corruption kCorruptions[] = {
    {"Empty", [](auto& p) { p.clear(); }, "too small for the header", -1},
    {"Magic", [](auto& p) { p[0] = 'X'; }, "not a data pack", -1},
    {"Version", [](auto& p) { PutU32(p, 4, 2); }, "unsupported version", -1},
    {"HeaderFlags", [](auto& p) { PutU32(p, 12, 6); }, "unknown header flags", -1},
    {"HugeCount", [](auto& p) { PutU32(p, 8, 0xFFFFFFFF); }, "entry count beyond the file size", -1},
    {"TruncatedIndex", [](auto& p) { p.resize(kEntry1 + 10); }, "entry count beyond the file size", -1},
    {"NameUnterminated", [](auto& p) { std::memset(&p[kEntry0], 'n', 64); }, "name not terminated", 1},
    {"NameEmpty", [](auto& p) { p[kEntry0] = 0; }, "entry #0 skipped : empty name", 1},
    {"NameAbsolute", [](auto& p) { p[kEntry0] = '/'; }, "entry '/irst.txt' skipped : absolute name", 1},
    {"OffsetBeyondEnd", [](auto& p) { PutU32(p, kEntry0 + 64, 0xFFFFFFF0); }, "entry 'first.txt' skipped : data beyond the end of the file", 1},
    {"SizeBeyondEnd", [](auto& p) { PutU32(p, kEntry1 + 68, 0xFFFFFFFF); }, "entry 'second.txt' skipped : data beyond the end of the file", 1},
    {"EntryFlags", [](auto& p) { p[kEntry0 + 72] = 0x80; }, "entry 'first.txt' skipped : unknown entry flags", 1},
    {"DuplicateName", [](auto& p) { std::memcpy(&p[kEntry1], &p[kEntry0], 64); }, "entry 'first.txt' skipped : duplicate name", 1},
};

class PackCorruptionTest : public ::testing::TestWithParam<Corruption> {};

} // namespace

TEST_P(PackCorruptionTest, BadPackIsRefusedAndBadEntrySkippedWithALogLine) {
    std::vector<uint8_t> image = TwoEntryPack();
    GetParam().damage(image);

    CLogCapture log;
    auto pack = CDataPack::Open("test.pak", [&] { return std::make_unique<CMemoryFile>(image.data(), image.size()); });
    EXPECT_TRUE(log.Contains(GetParam().logged)) << log.Text();
    if (GetParam().entriesLeft < 0) {
        EXPECT_EQ(pack, nullptr);
        return;
    }
    ASSERT_NE(pack, nullptr);
    ASSERT_EQ(int(pack->GetEntries().size()), GetParam().entriesLeft);
    auto entry = pack->OpenEntry(pack->GetEntries()[0]);
    EXPECT_FALSE(ReadAll(*entry).empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, PackCorruptionTest, ::testing::ValuesIn(kCorruptions),
                         [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------- repeated names, in order

namespace {

// Names that look up alike in groups, and a pick of them with damaged
// records among them, longer than one batch of the reader.
const char* const kAlikeNames[] = {"a.txt", "A.TXT", "./a.txt", "dir/b", "dir\\b", "DIR/B", ".\\dir/b", "c", "./C"};

struct CPickedRecord { std::string name; bool damaged; };

std::vector<CPickedRecord> PickRecords(int count, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<CPickedRecord> records;
    for (int i = 0; i < count; ++i) {
        const bool alike = gen() % 2 == 0;
        records.push_back({alike ? kAlikeNames[gen() % std::size(kAlikeNames)] : "own" + std::to_string(gen() % 400),
                           gen() % 6 == 0});
    }
    return records;
}

std::vector<uint8_t> PackOf(const std::vector<CPickedRecord>& records) {
    Tools::CPakWriter writer;
    for (size_t i = 0; i < records.size(); ++i) writer.Add(FormatString("n%zu", i), Bytes("x"));
    std::vector<uint8_t> image = writer.Build();
    for (size_t i = 0; i < records.size(); ++i) {
        const size_t at = PackFormat::kHeaderSize + i * PackFormat::kEntrySize;
        std::memset(&image[at], 0, PackFormat::kNameSize);
        std::memcpy(&image[at], records[i].name.data(), records[i].name.size());
        if (records[i].damaged) image[at + 72] = 0x80;
    }
    return image;
}

std::vector<std::string> SkipLines(const std::string& log) {
    std::vector<std::string> lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.find(" skipped : ") != std::string::npos) lines.push_back(line.substr(line.find("CDataPack::Open")));
    return lines;
}

class PackRepeatedNamesTest : public ::testing::TestWithParam<unsigned> {};

} // namespace

// Against a walk over the records in file order: the first of each name
// stays, the first ten others of each fault are logged where they stand and
// the rest counted at the end, and each name finds the entry that stayed.
TEST_P(PackRepeatedNamesTest, TheFirstOfANameStaysAndTheOthersAreLoggedInFileOrder) {
    const std::vector<CPickedRecord> records = PickRecords(300, GetParam());
    std::vector<std::string> expectedLog, expectedKept;
    std::map<std::string, std::string> firstByKey;
    std::vector<std::pair<std::string, int>> faults;  // in the order they first came
    const auto skip = [&](const CPickedRecord& record, const std::string& fault) {
        auto counted = std::find_if(faults.begin(), faults.end(), [&](const auto& f) { return f.first == fault; });
        if (counted == faults.end()) counted = faults.insert(faults.end(), {fault, 0});
        if (++counted->second <= 10)
            expectedLog.push_back("CDataPack::Open('test.pak') : entry '" + record.name + "' skipped : " + fault);
    };
    for (const CPickedRecord& record : records) {
        if (record.damaged) skip(record, "unknown entry flags");
        else if (!firstByKey.emplace(PackLookupKey(CString(record.name)), record.name).second) skip(record, "duplicate name");
        else expectedKept.push_back(record.name);
    }
    for (const auto& [fault, count] : faults) {
        if (count > 10)
            expectedLog.push_back("CDataPack::Open('test.pak') : entry skipped : " + fault + " : " +
                                  std::to_string(count - 10) + " more skipped");
    }

    const std::vector<uint8_t> image = PackOf(records);
    CLogCapture log;
    auto pack = CDataPack::Open("test.pak", [&] { return std::make_unique<CMemoryFile>(image.data(), image.size()); });
    ASSERT_NE(pack, nullptr);
    EXPECT_EQ(SkipLines(log.Text()), expectedLog);
    std::vector<std::string> kept;
    for (const CPackEntry& entry : pack->GetEntries()) kept.push_back(entry.name.str());
    EXPECT_EQ(kept, expectedKept);
    for (const CPickedRecord& record : records) {
        const auto first = firstByKey.find(PackLookupKey(CString(record.name)));
        const CPackEntry* found = pack->Find(CString(record.name));
        ASSERT_EQ(found != nullptr, first != firstByKey.end()) << record.name;
        if (found) {
            EXPECT_EQ(found->name.str(), first->second) << record.name;
        }
    }
    EXPECT_EQ(pack->Find("own400"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Seeds, PackRepeatedNamesTest, ::testing::Values(1u, 2u, 3u));

// ------------------------------------------------------- unreadable packs

namespace {

// A pack as a failing disk or a kernel file serves it: the size the system
// reported, but reads that deliver only the first `readable` bytes.
class CFaultyStream : public CMemoryFile {
public:
    CFaultyStream(std::vector<uint8_t> bytes, int64_t reportedSize, size_t readable)
        : CMemoryFile(std::move(bytes)), m_reportedSize(reportedSize), m_readable(readable) {}
    size_t Read(void* buffer, size_t count) override {
        const size_t position = size_t(Tell());
        return CMemoryFile::Read(buffer, position < m_readable ? std::min(count, m_readable - position) : 0);
    }
    int64_t GetSize() override { return m_reportedSize; }

private:
    int64_t m_reportedSize;
    size_t m_readable;
};

// reportedSize and readable -1: those of the whole pack.
struct ReadFault { const char* name; std::string bytes; int64_t reportedSize; int readable; const char* reason; };

const ReadFault kReadFaults[] = {
    {"ErrorAtTheFirstRead", "", -1, 0, "cannot read the header"},
    {"KernelFileShortRead", "0-7\n", 4096, 4, "cannot read the header"},
    {"ShrunkIntoTheHeader", "", -1, 10, "cannot read the header"},
    {"ShrunkIntoTheIndex", "", -1, int(kEntry1) + 5, "cannot read the index"},
};

class PackReadFaultTest : public ::testing::TestWithParam<ReadFault> {};

} // namespace

// A pack the system cannot deliver as it described it is refused like a
// damaged one: a log line, never an exception that ends the program.
TEST_P(PackReadFaultTest, UnreadablePackIsRefusedWithALogLine) {
    const ReadFault& fault = GetParam();
    const std::vector<uint8_t> image = fault.bytes.empty() ? TwoEntryPack() : Bytes(fault.bytes);
    const int64_t size = fault.reportedSize < 0 ? int64_t(image.size()) : fault.reportedSize;
    const size_t readable = fault.readable < 0 ? image.size() : size_t(fault.readable);

    CLogCapture log;
    std::unique_ptr<CDataPack> pack;
    EXPECT_NO_THROW(pack = CDataPack::Open("faulty.pak", [&] { return std::make_unique<CFaultyStream>(image, size, readable); }));
    EXPECT_EQ(pack, nullptr);
    EXPECT_TRUE(log.Contains(std::string("CDataPack::Open('faulty.pak') : FAILED : ") + fault.reason + "\n")) << log.Text();
}

INSTANTIATE_TEST_SUITE_P(Cases, PackReadFaultTest, ::testing::ValuesIn(kReadFaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PakWriterTest, RefusesNamesThePackCannotHold) {
    Tools::CPakWriter writer;
    EXPECT_THROW(writer.Add(CString(std::string(64, 'n')), {}), CException);
    EXPECT_THROW(writer.Add("/abs", {}), CException);
    EXPECT_THROW(writer.Add("", {}), CException);
    writer.Add(CString(std::string(63, 'n')), {});
    EXPECT_THROW(writer.Add(CString(std::string(63, 'N')), {}), CException) << "names compare case-insensitively";
}
