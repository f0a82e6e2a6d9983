#include <gtest/gtest.h>

#include "app/Archive.h"
#include "app/Exception.h"
#include "app/File.h"

using namespace Engine;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes Written(const std::function<void(CArchive&)>& write) {
    CMemoryFile file;
    CArchive ar(&file, true);
    write(ar);
    return file.Detach();
}

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const CException& e) {
        return e.what();
    }
    return "<no exception>";
}

// Accepts only a fixed number of bytes, like a full disk.
class CFullFile : public CMemoryFile {
public:
    explicit CFullFile(size_t capacity) : m_capacity(capacity) {}
    size_t Write(const void* buffer, size_t count) override {
        const size_t room = m_capacity - std::min<size_t>(m_capacity, size_t(Tell()));
        return CMemoryFile::Write(buffer, std::min(count, room));
    }

private:
    size_t m_capacity;
};

struct StringForm { uint32_t length; Bytes prefix; };
class ArchiveStringTest : public ::testing::TestWithParam<StringForm> {};

struct ShortRead { const char* name; Bytes image; std::function<void(CArchive&)> read; const char* message; };
class ArchiveShortReadTest : public ::testing::TestWithParam<ShortRead> {};

void ReadAString(CArchive& ar) { CString s; ar.ReadString(s); }

} // namespace

TEST(ArchiveTest, FieldsAreLittleEndian) {
    const Bytes image = Written([](CArchive& ar) {
        ar.WriteDWord(0x11223344), ar.WriteByte(0xAB), ar.WriteWord(0xBEEF), ar.WriteFloat(1.0f);
    });
    EXPECT_EQ(image, (Bytes{0x44, 0x33, 0x22, 0x11, 0xAB, 0xEF, 0xBE, 0x00, 0x00, 0x80, 0x3F}));
    CMemoryFile file(image);
    CArchive ar(&file, false);
    uint32_t dword = 0;
    float real = 0;
    ar.ReadDWord(dword);
    file.Skip(3);
    ar.ReadFloat(real);
    EXPECT_EQ(dword, 0x11223344u);
    EXPECT_EQ(real, 1.0f);
}

TEST_P(ArchiveStringTest, PrefixFormAtItsBoundaryRoundTrips) {
    const auto& [length, prefix] = GetParam();
    std::string text(length, 'x');
    if (length) text[length - 1] = 'y';
    const Bytes image = Written([&](CArchive& ar) { ar.WriteString(CString(text)); });
    ASSERT_EQ(image.size(), prefix.size() + length);
    EXPECT_EQ(Bytes(image.begin(), image.begin() + prefix.size()), prefix);

    CMemoryFile file(image);
    CArchive ar(&file, false);
    CString read("old");
    ar.ReadString(read);
    EXPECT_EQ(read.view(), text);
    EXPECT_EQ(file.Tell(), int64_t(image.size()));
}

INSTANTIATE_TEST_SUITE_P(Boundaries, ArchiveStringTest,
                         ::testing::Values(StringForm{0, {0x00}}, StringForm{0xFE, {0xFE}},
                                           StringForm{0xFF, {0xFF, 0xFF, 0x00}},
                                           StringForm{0xFFFD, {0xFF, 0xFD, 0xFF}},
                                           StringForm{0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                                           StringForm{0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
                                           StringForm{0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}}),
                         [](const auto& info) { return "Length" + std::to_string(info.param.length); });

TEST(ArchiveTest, ReaderTakesAWordLengthOf0xFFFEAsALength) {
    Bytes image = {0xFF, 0xFE, 0xFF};
    image.resize(image.size() + 0xFFFE, 'z');
    CMemoryFile file(image);
    CArchive ar(&file, false);
    CString text;
    ar.ReadString(text);
    EXPECT_EQ(text.GetLength(), 0xFFFE);
}

TEST_P(ArchiveShortReadTest, ThrowsTheReadMessageWithTheCounts) {
    CMemoryFile file(GetParam().image);
    CArchive ar(&file, false);
    EXPECT_EQ(MessageOf([&] { GetParam().read(ar); }), std::string("Archive serialization error: ") + GetParam().message);
}

// The huge length comes from a corrupt file: refused before anything is allocated.
INSTANTIATE_TEST_SUITE_P(Cases, ArchiveShortReadTest, ::testing::Values(
    ShortRead{"DWord", {1, 2, 3}, [](CArchive& ar) { uint32_t v; ar.ReadDWord(v); }, "Cannot read 4 bytes, 3 readed"},
    ShortRead{"Byte", {}, [](CArchive& ar) { uint8_t v; ar.ReadByte(v); }, "Cannot read 1 bytes, 0 readed"},
    ShortRead{"ChunkHeader", Bytes(10), [](CArchive& ar) { CChunkHeader h; ar.ReadChunkHeader(h); },
              "Cannot read 4 bytes, 2 readed"},
    ShortRead{"StringBytes", {10, 'a', 'b', 'c', 'd'}, ReadAString, "Cannot read 10 bytes, 4 readed"},
    ShortRead{"StringWordPrefix", {0xFF, 0x01}, ReadAString, "Cannot read 2 bytes, 1 readed"},
    ShortRead{"StringHugeLength", {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 'a'}, ReadAString,
              "Cannot read 4294967280 bytes, 1 readed"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArchiveTest, ShortWriteThrowsTheWriteMessage) {
    CFullFile file(3);
    CArchive ar(&file, true);
    ar.WriteByte(5);
    EXPECT_EQ(MessageOf([&] { ar.Write("hello", 5); }), "Archive serialization error: Cannot write 5 bytes, 2 writed");
    EXPECT_EQ(MessageOf([&] { ar.WriteDWord(1); }), "Archive serialization error: Cannot write 4 bytes, 0 writed");
}

TEST(ArchiveTest, NestedChunksRecordTheirLengths) {
    const Bytes image = Written([](CArchive& ar) {
        ar.BeginChunk(0xC1, 0x101);
        ar.WriteDWord(7);
        ar.BeginChunk(0xC2, 0x102);
        ar.WriteString("ab");
        ar.EndChunk();
        ar.EndChunk();
        ar.WriteByte(9);
        EXPECT_EQ(ar.GetOpenChunkCount(), 0u);
    });
    EXPECT_EQ(image, (Bytes{0xC1, 0, 0, 0, 0x01, 0x01, 0, 0, 19, 0, 0, 0, 7, 0, 0, 0,  // outer header, dword
                            0xC2, 0, 0, 0, 0x02, 0x01, 0, 0, 3, 0, 0, 0, 2, 'a', 'b',  // inner chunk
                            9}));
    CMemoryFile file(image);
    CArchive ar(&file, false);
    CChunkHeader header;
    ar.ReadChunkHeader(header);
    EXPECT_EQ((std::array{header.id, header.version, header.length}), (std::array{0xC1u, 0x101u, 19u}));
}

TEST(ArchiveTest, ChunkMisuseThrowsTheExactMessages) {
    CMemoryFile file;
    CArchive reading(&file, false), writing(&file, true);
    EXPECT_EQ(MessageOf([&] { reading.BeginChunk(1, 1); }), "CArchive::BeginChunk() : FAILED : File must be opened for writing");
    EXPECT_EQ(MessageOf([&] { reading.EndChunk(); }), "CArchive::EndChunk() : FAILED : File must be opened for writing");
    EXPECT_EQ(MessageOf([&] { writing.EndChunk(); }), "CArchive::EndChunk() : FAILED : No opened chunks were found");
}

TEST(ArchiveTest, ReadersDoNothingOnAStoringArchive) {
    CMemoryFile file(Bytes{1, 2, 3, 4, 5});
    CArchive ar(&file, true);
    uint32_t dword = 77;
    CString text("kept");
    CChunkHeader header{1, 2, 3};
    ar.ReadDWord(dword), ar.ReadString(text), ar.ReadChunkHeader(header);
    EXPECT_EQ(dword, 77u);
    EXPECT_EQ(text, CString("kept"));
    EXPECT_EQ(header.length, 3u);
    EXPECT_EQ(file.Tell(), 0);
}
