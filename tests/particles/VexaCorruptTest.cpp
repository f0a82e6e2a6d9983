// Damaged effect files are refused with the library's exception and a
// message that says what is wrong; none crashes or allocates by a bad count.

#include <gtest/gtest.h>

#include <functional>

#include "VexaTestSupport.h"
#include "app/File.h"
#include "particles/library/VexaException.h"
#include "particles/library/VexaParticleLibrary.h"
#include "app/TestFiles.h"

namespace VexaTest {
namespace {

class CMemoryIO : public IVexaFileIO {
public:
    explicit CMemoryIO(const Bytes& bytes) : m_file(bytes.data(), bytes.size()) {}
    size_t Read(void* buffer, size_t size) override { return m_file.Read(buffer, size); }
    size_t Write(const void*, size_t) override { return 0; }
    int Seek(int64_t offset, int origin) override { return m_file.Seek(offset, origin); }
    int64_t Tell() override { return m_file.Tell(); }

private:
    Engine::CMemoryFile m_file;
};

// The message of the exception loading the bytes throws: the library's own,
// or "archive: " and the message of the archive's short read; "" when none.
std::string LoadError(const Bytes& bytes) {
    CVexaParticleLibrary library;
    CMemoryIO io(bytes);
    try {
        library.LoadFromFile(io, "corrupt.vexa");
    } catch (const CVexaException& e) {
        return e.what();
    } catch (const Engine::CException& e) {
        return std::string("archive: ") + e.what();
    }
    return "";
}

Bytes Patched(Bytes bytes, size_t offset, uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, 4);
    return bytes;
}

Tools::CVexaDocument WithGeometry(const std::function<void(Tools::CVexaGeometry&)>& change) {
    Tools::CVexaDocument doc;
    Tools::CVexaGeometry geometry;
    geometry.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    geometry.faces = {{0, 1, 2}};
    geometry.channels = {{{{0, 0}}, {{0, 0, 0}}}};
    change(geometry);
    doc.meshes.objects = {geometry};
    return doc;
}

Tools::CVexaDocument Nested(int depth) {
    Tools::CVexaEmitter emitter = Tools::MakeVexaEmitter("deep");
    for (int i = 0; i < depth; ++i) {
        Tools::CVexaEmitter outer = Tools::MakeVexaEmitter("deep");
        outer.types[0].subEmitters = {emitter};
        emitter = outer;
    }
    Tools::CVexaDocument doc;
    doc.emitters = {emitter};
    return doc;
}

struct CCorruptCase {
    const char* name;
    std::function<Bytes()> make;
    const char* message;  // expected part of the message
};

void PrintTo(const CCorruptCase& c, std::ostream* os) { *os << c.name; }

class VexaCorruptTest : public ::testing::TestWithParam<CCorruptCase> {};

TEST_P(VexaCorruptTest, IsRefusedWithAClearMessage) {
    const std::string message = LoadError(GetParam().make());
    EXPECT_NE(message.find(GetParam().message), std::string::npos) << message;
}

constexpr size_t kShapeCountOffset = 24;   // after the header and an empty mesh block
constexpr size_t kFirstCurveOffset = 32;   // an emitter's first curve, without shapes

INSTANTIATE_TEST_SUITE_P(Files, VexaCorruptTest, ::testing::Values(
    CCorruptCase{"BadId", [] { return Patched(Tools::WriteVexa({}), 0, 0x41584557); }, "Invalid .vexa file ID"},
    CCorruptCase{"OldVersion", [] { return Patched(Tools::WriteVexa({}), 4, 0x23FFF); },
                 "File was saved using old Vexa editor. Please, update this .vexa file."},
    CCorruptCase{"NewVersion", [] { return Patched(Tools::WriteVexa({}), 4, 0x24001); },
                 "File was saved using new Vexa editor. Please, make sure your are using SDK from the same distribution."},
    CCorruptCase{"HugeShapeCount", [] { return Patched(Tools::WriteVexa({}), kShapeCountOffset, 0x7FFFFFFF); },
                 "2147483647 shapes cannot fit"},
    CCorruptCase{"HugeKeyCount", [] {
                     Tools::CVexaDocument doc;
                     doc.emitters = {Tools::MakeVexaEmitter("a")};
                     return Patched(Tools::WriteVexa(doc), kFirstCurveOffset, 0x10000000);
                 }, "268435456 curve keys cannot fit"},
    CCorruptCase{"HugeImageSize", [] {
                     Tools::CVexaDocument doc;
                     doc.shapes = {{"", 1, {{{1, 2, 3}, 1, 1}}, {}, {}}};
                     return Patched(Tools::WriteVexa(doc), kShapeCountOffset + 13, 0xFFFFFFF0);
                 }, "Cannot read 4294967280 bytes"},
    CCorruptCase{"HugeStringLength", [] {
                     return CBytes().header().u32(0).u32(0).u32(0).u32(0).u32(1).u32(0).u8(0xFF).u8(0xFF).u8(0xFF)
                         .u32(0xFFFFFFF0).emptyCurves(4).data;
                 }, "Cannot read 4294967280 bytes"},
    CCorruptCase{"FaceIndexOutOfRange", [] { return Tools::WriteVexa(WithGeometry([](auto& g) { g.faces = {{0, 1, 3}}; })); },
                 "mesh face 0 names index 3 of 3 entries"},
    CCorruptCase{"CoordinateIndexOutOfRange", [] {
                     return Tools::WriteVexa(WithGeometry([](auto& g) { g.channels[0].faces = {{0, 1, 0}}; }));
                 }, "texture face 0 names index 1 of 1 entries"},
    CCorruptCase{"TooManyChannels", [] {
                     return Tools::WriteVexa(WithGeometry([](auto& g) { g.channels.resize(129); }));
                 }, "129 texture channels exceed the 128"},
    CCorruptCase{"UnknownObjectType", [] { return Tools::WriteVexa(WithGeometry([](auto& g) { g.type = 2; })); },
                 "Unknown mesh object type 2"},
    CCorruptCase{"NestedTooDeep", [] { return Tools::WriteVexa(Nested(17)); }, "nest deeper than 16"},
    CCorruptCase{"ExtraByte", [] {
                     Bytes bytes = Tools::WriteVexa(FullDocument());
                     bytes.push_back(0);
                     return bytes;
                 }, "Invalid or corrupted .vexa file "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VexaFileIO, SizeAndSkipKeepThePosition) {
    const Bytes bytes(10, 0);
    CMemoryIO io(bytes);
    CVexaFileIO stream(io);
    stream.Seek(3, Engine::SEEK_FROM_START);
    EXPECT_EQ(stream.GetSize(), 10);
    stream.Skip(0);
    EXPECT_EQ(stream.Tell(), 3);
}

// Cut anywhere, a file is refused: by a count that cannot fit in what is
// left, or by the archive's short read.
TEST(VexaCorrupt, EveryTruncationIsRefused) {
    const Bytes bytes = Tools::WriteVexa(FullDocument());
    for (size_t size = 0; size < bytes.size(); ++size) {
        const std::string message = LoadError(Bytes(bytes.begin(), bytes.begin() + ptrdiff_t(size)));
        ASSERT_TRUE(message.rfind("Invalid or corrupted .vexa file", 0) == 0 ||
                    message.rfind("archive: Archive serialization error: Cannot read ", 0) == 0)
            << size << ": " << message;
    }
    EXPECT_EQ(LoadError(bytes), "");
}

struct CShortRead {
    size_t size;  // bytes kept of an empty effect file
    const char* message;
};

class VexaShortReadTest : public ::testing::TestWithParam<CShortRead> {};

// A read that gets fewer bytes than it asks for throws the archive's own
// exception with its message, not the library's.
TEST_P(VexaShortReadTest, ThrowsTheArchiveException) {
    const Bytes bytes = Tools::WriteVexa({});
    EXPECT_EQ(LoadError(Bytes(bytes.begin(), bytes.begin() + ptrdiff_t(GetParam().size))),
              std::string("archive: ") + GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Cuts, VexaShortReadTest,
                         ::testing::Values(CShortRead{0, "Archive serialization error: Cannot read 4 bytes, 0 readed"},
                                           CShortRead{6, "Archive serialization error: Cannot read 4 bytes, 2 readed"},
                                           CShortRead{8, "Archive serialization error: Cannot read 4 bytes, 0 readed"},
                                           CShortRead{kShapeCountOffset + 1,
                                                      "Archive serialization error: Cannot read 4 bytes, 1 readed"}),
                         [](const auto& info) { return "KeepFirst" + std::to_string(info.param.size); });

TEST(VexaCorrupt, NestingUpToTheLimitAndNegativeCountsLoad) {
    EXPECT_EQ(LoadError(Tools::WriteVexa(Nested(16))), "");
    EXPECT_EQ(LoadError(Patched(Tools::WriteVexa({}), kShapeCountOffset, 0xFFFFFFFF)), "");
}

TEST(VexaCorrupt, LoadByNameNamesTheFile) {
    TestFiles::CScratchFolder folder;
    Bytes bytes = Tools::WriteVexa({});
    const std::string good = folder.Write("good.vexa", std::string(bytes.begin(), bytes.end()));
    bytes.push_back(0);
    const std::string bad = folder.Write("bad.vexa", std::string(bytes.begin(), bytes.end()));
    CVexaParticleLibrary library;
    EXPECT_EQ(library.Load(good.c_str())->GetEmitterCount(), 0);
    for (const auto& [path, message] : {std::pair{bad, "Invalid or corrupted .vexa file '" + bad + "'"},
                                        std::pair{folder / "none.vexa", "Unable to open .vexa file '" + (folder / "none.vexa") + "'"}}) {
        try {
            library.Load(path.c_str());
            ADD_FAILURE() << path;
        } catch (const CVexaException& e) {
            EXPECT_EQ(e.GetMessage(), message);
        }
    }
}

} // namespace
} // namespace VexaTest

namespace VexaParticles {
namespace {

TEST(VexaException, MessagesOfAnyLengthAreKeptWhole) {
    for (size_t length : {31u, 32u, 64u, 1000u}) {
        const std::string text(length, 'x');
        EXPECT_EQ(CVexaException("%s", text.c_str()).GetMessage(), text);
    }
}

} // namespace
} // namespace VexaParticles
