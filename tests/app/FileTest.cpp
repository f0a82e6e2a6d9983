#include <gtest/gtest.h>

#include <functional>

#include "app/File.h"
#include "app/Pack.h"
#include "app/TestFiles.h"
#include "tools/PakWriter.h"

using namespace Engine;
using TestFiles::CScratchFolder;
using TestFiles::ReadAll;

namespace {

const std::string kDigits = "0123456789";

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::string ReadN(CAbstractFile& file, size_t n) {
    std::string out(n, '\0');
    out.resize(file.Read(out.data(), n));
    return out;
}

// Every stream kind, each holding kDigits.
using StreamPtr = std::unique_ptr<CAbstractFile>;
struct StreamKind {
    const char* name;
    std::function<StreamPtr(const CScratchFolder&)> make;
};

StreamPtr OpenCFile(const CString& name) {
    auto file = std::make_unique<CFile>();
    if (!file->Open(name)) return nullptr;
    return file;
}

const StreamKind kStreamKinds[] = {
    {"Stdio", [](const CScratchFolder& dir) -> StreamPtr {
         auto file = std::make_unique<CStdioFile>();
         if (!file->Open(dir.Write("d.bin", kDigits).c_str(), "rb")) return nullptr;
         return file;
     }},
    {"MemoryOwned", [](const CScratchFolder&) -> StreamPtr { return std::make_unique<CMemoryFile>(Bytes(kDigits)); }},
    {"Window", [](const CScratchFolder&) -> StreamPtr {
         return std::make_unique<CInFile>(std::make_unique<CMemoryFile>(Bytes("ab" + kDigits + "yz")), 2, 10);
     }},
    {"ScrambledWindow", [](const CScratchFolder&) -> StreamPtr {
         std::vector<uint8_t> stored;
         for (char c : kDigits) stored.push_back(PackFormat::EncodeTable()[uint8_t(c)]);
         return std::make_unique<CInFile>(std::make_unique<CMemoryFile>(stored), 0, 10, PackFormat::DecodeTable().data());
     }},
    {"CFileDisk", [](const CScratchFolder& dir) { return OpenCFile(CString(dir.Write("d.bin", kDigits))); }},
    {"CFilePack", [](const CScratchFolder& dir) -> StreamPtr {
         Tools::CPakWriter writer;
         writer.Add("d.bin", Bytes(kDigits), true);
         writer.Save(dir / "t.pak");
         GetDataPacks().Add(CDataPack::OpenFile(CString(dir / "t.pak")));
         return OpenCFile("D.BIN");
     }},
};

class StreamTest : public ::testing::TestWithParam<StreamKind> {
protected:
    void SetUp() override {
        m_file = GetParam().make(m_dir);
        ASSERT_NE(m_file, nullptr);
    }
    void TearDown() override { GetDataPacks().CloseAll(); }

    CScratchFolder m_dir;
    StreamPtr m_file;
};

} // namespace

TEST_P(StreamTest, ReadSeekTellSizeAndSkip) {
    CAbstractFile& f = *m_file;
    EXPECT_EQ(ReadN(f, 4), "0123");
    EXPECT_EQ(f.Tell(), 4);
    EXPECT_EQ(f.GetSize(), 10);
    EXPECT_EQ(f.Tell(), 4) << "GetSize keeps the position";
    EXPECT_EQ(f.Skip(2), 0);
    EXPECT_EQ(ReadN(f, 1), "6");
    EXPECT_EQ(f.Seek(-3, SEEK_FROM_CURRENT), 0);
    EXPECT_EQ(ReadN(f, 2), "45");
    EXPECT_EQ(f.Seek(1, SEEK_FROM_START), 0);
    EXPECT_EQ(ReadN(f, 1), "1");
    // Seeking from the end honours the offset (the memory stream once ignored it).
    EXPECT_EQ(f.Seek(-3, SEEK_FROM_END), 0);
    EXPECT_EQ(f.Tell(), 7);
    EXPECT_EQ(ReadN(f, 10), "789") << "a read at the end returns fewer bytes";
    EXPECT_EQ(ReadN(f, 10), "");
    EXPECT_NE(f.Seek(-1, SEEK_FROM_START), 0);
    EXPECT_NE(f.Seek(0, 7), 0) << "unknown origin";
}

INSTANTIATE_TEST_SUITE_P(Kinds, StreamTest, ::testing::ValuesIn(kStreamKinds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MemoryFileTest, TakesOnlyTheBytesTheSourceHas) {
    CMemoryFile source(Bytes(kDigits));
    source.Seek(3, SEEK_FROM_START);
    CMemoryFile part(source, 4);
    EXPECT_EQ(ReadAll(part), "3456");
    EXPECT_EQ(source.Tell(), 7);
    // A length from a corrupt file: no huge buffer, only what is left.
    CMemoryFile rest(source, size_t(1) << 40);
    EXPECT_EQ(rest.Size(), 3u);
    EXPECT_EQ(rest.Tell(), 0);
}

TEST(MemoryFileTest, WritesGrowAndOverwrite) {
    CMemoryFile file;
    EXPECT_EQ(file.Write("hello", 5), 5u);
    file.Seek(-2, SEEK_FROM_END);
    EXPECT_EQ(file.Write("LOWORLD", 7), 7u);
    file.Seek(0, SEEK_FROM_START);
    EXPECT_EQ(ReadAll(file), "helLOWORLD");
    EXPECT_EQ(file.Detach().size(), 10u);
    EXPECT_EQ(file.Size(), 0u);

    CMemoryFile borrowed(kDigits.data(), kDigits.size());
    EXPECT_EQ(borrowed.Write("x", 1), 0u) << "a borrowed buffer is read-only";
}

TEST(CFileTest, FailureLogsTheNameAndReopenTakesRelativeNames) {
    CScratchFolder dir;
    TestFiles::CLogCapture log;
    CFile file;
    EXPECT_FALSE(file.Open(CString(dir / "missing.txt")));
    EXPECT_TRUE(log.Contains("CFile::Open(...) : Unable to open file '" + (dir / "missing.txt") + "'\n"));
    EXPECT_FALSE(file.Open(CString(dir.Path().string()))) << "a folder is not a file";
    ASSERT_TRUE(file.Open(CString(dir.Write("a.txt", "first"))));
    EXPECT_EQ(ReadAll(file), "first");

    dir.Write("data/xml/b.xml", "<b/>");
    CFile::SetDiskRoot(CString(dir / "data"));
    const bool reopened = file.Open(".\\xml\\b.xml");
    CFile::SetDiskRoot(CString());
    ASSERT_TRUE(reopened);
    EXPECT_EQ(file.GetName(), CString("xml/b.xml"));
    EXPECT_EQ(ReadAll(file), "<b/>");
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Read(nullptr, 0), 0u);
}
