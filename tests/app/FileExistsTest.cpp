// The numbered-file probe answers by direct look-ups what the listing
// answers by walking every name: each name is asked of both, over packs
// that shadow one another, entries stored with backslashes or leading "./",
// and loose files of another case, special files and links.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "app/File.h"
#include "app/Pack.h"
#include "app/TestFiles.h"
#include "tools/BinaryWriter.h"
#include "tools/PakWriter.h"

using namespace Engine;
using TestFiles::CScratchFolder;

namespace {

// Stands for a backslash in entry names, which the writer refuses.
constexpr char kBackslash = '|';

struct CProbe {
    const char* name;
    bool listed;
};

std::ostream& operator<<(std::ostream& out, const CProbe& probe) { return out << '"' << probe.name << '"'; }

class FileExistsTest : public ::testing::TestWithParam<CProbe> {
protected:
    void SetUp() override {
        CFile::SetDiskRoot(CString(m_dir / "disk"));
        AddPack("first.pak", {"place/bg1.place", "Place/BG2.PLACE", "a|b/c.x", "place|bg3.place", "./dot/x.y",
                              ".//root.pak", "./lead.txt", "x/./y", "deep/dir/", "fold|"});
        // Behind the first pack's keys: its own entries are never listed.
        AddPack("second.pak", {"place/bg3.place", "A/B/C.X", "two/only.txt", "fold/"});
        m_dir.Write("disk/place/BG4.Place", "");
        m_dir.Write("disk/place/bg5.place", "");
        m_dir.Write("disk/Other/f.txt", "");
        m_dir.Write("disk/root.txt", "");
        std::filesystem::create_directories(m_dir / "disk/place/dir7.place");
        EXPECT_EQ(::mkfifo((m_dir / "disk/place/fifo6.place").c_str(), 0600), 0);
        std::filesystem::create_symlink(m_dir / "disk/root.txt", m_dir / "disk/place/link8.place");
        std::filesystem::create_symlink(m_dir / "disk/gone", m_dir / "disk/place/broken9.place");
    }
    void TearDown() override {
        GetDataPacks().CloseAll();
        CFile::SetDiskRoot(CString());
    }

    void AddPack(const std::string& file, const std::vector<const char*>& names) {
        Tools::CPakWriter writer;
        for (const char* name : names) writer.Add(name, {1});
        std::vector<uint8_t> bytes = writer.Build();
        const auto index = bytes.begin() + PackFormat::kHeaderSize;
        std::replace(index, index + std::ptrdiff_t(PackFormat::kEntrySize * names.size()), uint8_t(kBackslash),
                     uint8_t('\\'));
        ASSERT_TRUE(Tools::WriteFileBytes(m_dir / file, bytes));
        ASSERT_TRUE(GetDataPacks().Add(CDataPack::OpenFile(CString(m_dir / file))));
    }

    CScratchFolder m_dir;
};

} // namespace

TEST_P(FileExistsTest, AnswersAsTheListing) {
    const CProbe& probe = GetParam();
    EXPECT_EQ(!FindFiles(probe.name).empty(), probe.listed) << "the listing";
    EXPECT_EQ(FileExists(probe.name), probe.listed);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileExistsTest,
    ::testing::Values(
        // Packs, in any case and spelling of the name.
        CProbe{"place/bg1.place", true}, CProbe{"PLACE/Bg1.PLACE", true}, CProbe{"place\\bg1.place", true},
        CProbe{"./place/bg1.place", true}, CProbe{".\\place/bg1.place", true}, CProbe{"place//bg1.place", false},
        CProbe{"place/bg2.place", true}, CProbe{"two/only.txt", true}, CProbe{"two/only", false},
        // Backslashes stored in the folder are read as slashes, in the file
        // part never; an entry behind one so stored is not listed either.
        CProbe{"a/b/c.x", true}, CProbe{"a\\B/c.X", true}, CProbe{"place/bg3.place", false},
        CProbe{"place\\bg3.place", false}, CProbe{"fold/", false}, CProbe{"fold", false},
        // Leading "./" of stored names.
        CProbe{"dot/x.y", true}, CProbe{"./dot/x.y", true}, CProbe{"root.pak", true}, CProbe{"/root.pak", true},
        CProbe{"lead.txt", false}, CProbe{"./lead.txt", false}, CProbe{"x/./y", true}, CProbe{"x/y", false},
        CProbe{"deep/dir/", true}, CProbe{"deep/dir", false},
        // Loose files: the file name in any case, the folder as written,
        // regular files (or links to one) only.
        CProbe{"place/bg4.place", true}, CProbe{"place/BG4.PLACE", true}, CProbe{"place/bg5.place", true},
        CProbe{"place/BG5.place", true}, CProbe{"place/fifo6.place", false}, CProbe{"place/dir7.place", false},
        CProbe{"place/link8.place", true}, CProbe{"place/broken9.place", false}, CProbe{"other/f.txt", false},
        CProbe{"Other/F.TXT", true}, CProbe{"root.txt", true}, CProbe{"/root.txt", true}, CProbe{"place", false},
        CProbe{"place/.", false}, CProbe{"place/..", false}, CProbe{"", false}, CProbe{"nowhere/bg1.place", false},
        // Wildcards are listed.
        CProbe{"place/bg?.place", true}, CProbe{"place/*.nothing", false}, CProbe{"place/bg[45].place", true}));
