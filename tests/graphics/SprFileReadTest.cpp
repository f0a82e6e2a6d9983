// Reading ".spr" files written by the tools' writer: round trips, the
// format's corner cases and refusal of damaged or hostile files.

#include <gtest/gtest.h>

#include <tuple>

#include "app/Exception.h"
#include "graphics/SpriteRef.h"
#include "tests/app/TestFiles.h"
#include "tests/graphics/SprFileTestData.h"

using namespace Engine::Graphics::SprFile;
using SprTestData::PatchU32;

namespace {

Engine::ref_ptr<CSprFile> Read(const std::vector<uint8_t>& bytes, bool skipImages = false,
                               int64_t* endPosition = nullptr) {
    return SprTestData::ReadSprFile(bytes, "spr/test.spr", skipImages, endPosition);
}

std::string ReadError(const std::vector<uint8_t>& bytes) {
    try {
        Read(bytes);
    } catch (const Engine::CException& e) {
        return e.what();
    }
    return "no error";
}

Tools::CSprDocument RichDocument() {
    Tools::CSprDocument document;
    document.fileWord = 0x12345678;
    document.headerJunk = {1, 2, 3};
    document.preludeJunk = {9, 9};
    document.images.push_back({7, SprTestData::SolidPng(8, 4), SprTestData::GreyPng(8, 4, 17), 3});
    document.images.push_back({0, SprTestData::SolidPng(2, 2), {}, 0xFFFFFFFFu});
    Tools::CSprSprite walk{"walk", 11, 22, true, false, {}};
    walk.frames.push_back(Tools::MakeSprFrame(0, 0, 0, 4, 4));
    Tools::CSprFrame twoPieces{6, 4, 2, 1, {{0, 1, 4, 3, 8}, {1, 0, 0, 2, 2}}};
    walk.frames.push_back(twoPieces);
    document.sprites.push_back(walk);
    document.sprites.push_back({std::string(300, 'n'), 0, 0, false, true, {Tools::MakeSprFrame(1, 0, 0, 2, 2)}});
    document.sprites.push_back({"empty", 0, 0, false, false, {}});
    return document;
}

constexpr size_t kBitmapCountOffset = 56;  // with no header or prelude junk

} // namespace

// Fields as the writer orders them: bitmap, top, left, bottom, right.
static std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t> Fields(const TextureRegion& piece) {
    return {piece.bitmap, piece.top, piece.left, piece.bottom, piece.right};
}

TEST(SprFileRead, RoundTripKeepsImagesSpritesFramesAndPieces) {
    const std::vector<uint8_t> bytes = Tools::WriteSpr(RichDocument());
    int64_t end = 0;
    const auto file = Read(bytes, false, &end);
    EXPECT_EQ(end, int64_t(bytes.size()));
    EXPECT_EQ(file->GetFileWord(), 0x12345678u);

    ASSERT_EQ(file->GetBitmapCount(), 2u);
    const auto& first = file->GetBitmapEntry(0);
    EXPECT_EQ(std::pair(first.bitmap->GetWidth(), first.bitmap->GetHeight()), std::pair(8, 4));
    EXPECT_EQ(first.textureFlags, 3u);
    EXPECT_EQ(first.bitmap->GetPixels()[0] >> 24, 17u);  // alpha from the grey image
    EXPECT_EQ(file->GetBitmapEntry(1).bitmap->GetWidth(), 2);
    EXPECT_EQ(file->GetBitmapEntry(1).textureFlags, 0xFFFFFFFFu);

    ASSERT_EQ(file->GetSprites().size(), 3u);
    const CSpriteDef* walk = file->FindSprite("walk");
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(walk->owner, file.get());
    EXPECT_EQ(std::tuple(walk->wordA, walk->wordB, walk->flag1, walk->flag2), std::tuple(11u, 22u, true, false));
    ASSERT_EQ(walk->frames.size(), 2u);
    const CSpriteFrame& frame = walk->frames[1];
    EXPECT_EQ(std::tuple(frame.width, frame.height, frame.x, frame.y), std::tuple(6u, 4u, 2u, 1u));
    ASSERT_EQ(frame.pieces.size(), 2u);
    EXPECT_EQ(Fields(frame.pieces[0]), std::tuple(0, 1, 4, 3, 8));
    EXPECT_EQ(Fields(frame.pieces[1]), std::tuple(1, 0, 0, 2, 2));

    const CSpriteDef* longName = file->FindSprite(CString(std::string(300, 'n')));
    ASSERT_NE(longName, nullptr);
    EXPECT_TRUE(longName->flag2);
    EXPECT_TRUE(file->FindSprite("empty")->frames.empty());
    EXPECT_EQ(file->FindSprite("Walk"), nullptr);
}

TEST(SprFileRead, RepeatedNameFindsTheFirstAndKeepsBoth) {
    Tools::CSprDocument document;
    document.sprites.push_back({"twin", 1, 0, false, false, {}});
    document.sprites.push_back({"twin", 2, 0, false, false, {}});
    const auto file = Read(Tools::WriteSpr(document));
    EXPECT_EQ(file->GetSprites().size(), 2u);
    EXPECT_EQ(file->FindSprite("twin")->wordA, 1u);
}

TEST(SprFileRead, ForeignSecondChunkStopsReading) {
    Tools::CSprDocument document;
    document.spriteChunkId = 0x41424344;
    document.fileWord = 5;
    std::vector<uint8_t> bytes = Tools::WriteSpr(document);
    int64_t end = 0;
    auto file = Read(bytes, false, &end);
    EXPECT_EQ(end, int64_t(bytes.size()));
    EXPECT_EQ(file->GetFileWord(), 5u);
    EXPECT_EQ(file->GetBitmapCount(), 0u);
    bytes.push_back(0);
    file = Read(bytes, false, &end);
    EXPECT_LT(end, int64_t(bytes.size()));  // the loader reports the leftover
}

TEST(SprFileRead, NonPositiveBitmapCountReadsNoImagesAndEmptyImagesStayEmpty) {
    Tools::CSprDocument document;
    document.images.push_back({0, {}, {}, 4});
    std::vector<uint8_t> bytes = Tools::WriteSpr(document);
    auto file = Read(bytes);
    ASSERT_EQ(file->GetBitmapCount(), 1u);
    EXPECT_EQ(file->GetBitmapEntry(0).bitmap->GetWidth(), 0);
    EXPECT_EQ(file->GetBitmapEntry(0).textureFlags, 4u);

    Tools::CSprDocument none;
    bytes = Tools::WriteSpr(none);
    PatchU32(bytes, kBitmapCountOffset, 0xFFFFFFFFu);
    EXPECT_EQ(Read(bytes)->GetBitmapCount(), 0u);
}

TEST(SprFileRead, SkippedImagesAreDecodedLaterFromTheirPosition) {
    const std::vector<uint8_t> bytes = Tools::WriteSpr(RichDocument());
    Engine::CMemoryFile stream(bytes.data(), bytes.size());
    CArchive archive(&stream, false);
    Engine::ref_ptr<CSprFile> file(new CSprFile("spr/test.spr", nullptr));
    file->Load(archive, true);
    EXPECT_EQ(stream.Tell(), int64_t(bytes.size()));
    const auto& entry = file->GetBitmapEntry(0);
    EXPECT_EQ(entry.bitmap->GetPixels(), nullptr);
    EXPECT_EQ(entry.textureFlags, 3u);
    EXPECT_GT(entry.streamPosition, 0);

    file->ReadBitmapImages(archive, 0);
    EXPECT_EQ(entry.bitmap->GetWidth(), 8);
    EXPECT_EQ(entry.bitmap->GetPixels()[0] >> 24, 17u);
    EXPECT_EQ(file->GetBitmapEntry(1).bitmap->GetPixels(), nullptr);
}

TEST(SprFileRead, BadIdFailsWithItsMessage) {
    std::vector<uint8_t> bytes = Tools::WriteSpr({});
    bytes[0] = 'X';
    EXPECT_EQ(ReadError(bytes), "Invalid .spr file ID");
}

namespace {

struct CUndecodableCase {
    const char* name;
    bool alpha;   // the damage is in the alpha image, else in the colour image
    bool png;     // the damaged image keeps a PNG signature
    const char* message;
};

const CUndecodableCase kUndecodable[] = {
    {"ColourInNoFormat", false, false,
     "Unable to load .anim bitmap in 'spr/test.spr', bitmap 1: its 9 bytes are in no known image format\n"},
    {"BrokenColourPng", false, true,
     "Unable to load .anim bitmap in 'spr/test.spr', bitmap 1: its 30 bytes of PNG data do not decode\n"},
    {"AlphaInNoFormat", true, false,
     "Unable to load .anim alpha bitmap in 'spr/test.spr', bitmap 1: its 9 bytes are in no known image format\n"},
    {"BrokenAlphaPng", true, true,
     "Unable to load .anim alpha bitmap in 'spr/test.spr', bitmap 1: its 30 bytes of PNG data do not decode\n"},
};

class SprFileUndecodable : public ::testing::TestWithParam<CUndecodableCase> {};

} // namespace

// The message is the fixed text; the log line written before the throw
// names the file, the bitmap and what is wrong with the image.
TEST_P(SprFileUndecodable, FixedMessageAndTheLogNamesTheFileTheBitmapAndTheCheck) {
    const CUndecodableCase& c = GetParam();
    std::vector<uint8_t> damaged = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    if (c.png) {
        damaged = SprTestData::SolidPng(2, 2);
        damaged.resize(30);
    }
    Tools::CSprDocument document;
    document.images.push_back({0, SprTestData::SolidPng(2, 2), {}, 0});
    document.images.push_back({0, c.alpha ? SprTestData::SolidPng(2, 2) : damaged, c.alpha ? damaged : std::vector<uint8_t>{}, 0});
    TestFiles::CLogCapture log;
    EXPECT_EQ(ReadError(Tools::WriteSpr(document)), c.alpha ? "Unable to load .anim alpha bitmap" : "Unable to load .anim bitmap");
    EXPECT_TRUE(log.Contains(c.message)) << log.Text();
}

INSTANTIATE_TEST_SUITE_P(Images, SprFileUndecodable, ::testing::ValuesIn(kUndecodable),
                         [](const auto& info) { return std::string(info.param.name); });

// A grey PNG alpha image with no colour image has nothing to complete: the
// bitmap stays empty and the rest of the file loads.
TEST(SprFileRead, AlphaImageWithoutColourImageLeavesAnEmptyBitmap) {
    Tools::CSprDocument document;
    document.images.push_back({0, {}, SprTestData::GreyPng(4, 4, 9), 5});
    document.sprites.push_back({"a", 0, 0, false, false, {Tools::MakeSprFrame(0, 0, 0, 4, 4)}});
    const auto file = Read(Tools::WriteSpr(document));
    EXPECT_EQ(file->GetBitmapEntry(0).bitmap->GetWidth(), 0);
    EXPECT_EQ(file->GetBitmapEntry(0).textureFlags, 5u);
    EXPECT_NE(file->FindSprite("a"), nullptr);
}

TEST(SprFileRead, EveryTruncationFailsCleanly) {
    const std::vector<uint8_t> bytes = Tools::WriteSpr(RichDocument());
    for (size_t size = 0; size < bytes.size(); size += 7) {
        const std::vector<uint8_t> part(bytes.begin(), bytes.begin() + ptrdiff_t(size));
        SCOPED_TRACE(size);
        int64_t end = 0;
        try {
            Read(part, false, &end);
            ADD_FAILURE() << "read a truncated file";
        } catch (const Engine::CException&) {
        }
    }
}

struct HostileCount {
    const char* what;
    size_t offset;  // in a file with one image-less bitmap record or one sprite
    bool withBitmap;
    const char* reason;
};

class SprFileHostile : public testing::TestWithParam<HostileCount> {};

TEST_P(SprFileHostile, CountBeyondTheBytesLeftIsRefused) {
    Tools::CSprDocument document;
    if (GetParam().withBitmap) document.images.push_back({0, {}, {}, 0});
    else document.sprites.push_back({"a", 0, 0, false, false, {{1, 1, 0, 0, {{0, 0, 0, 1, 1}}}}});
    std::vector<uint8_t> bytes = Tools::WriteSpr(document);
    PatchU32(bytes, GetParam().offset, 0x7FFFFFF0u);
    TestFiles::CLogCapture log;
    EXPECT_EQ(ReadError(bytes), "Invalid or corrupted .spr file 'spr/test.spr'");
    EXPECT_TRUE(log.Contains("Invalid or corrupted .spr file 'spr/test.spr': " + std::string(GetParam().reason))) << log.Text();
}

INSTANTIATE_TEST_SUITE_P(Counts, SprFileHostile,
                         testing::Values(HostileCount{"bitmaps", kBitmapCountOffset, true, "bitmap count 2147483632"},
                                         HostileCount{"colourLength", kBitmapCountOffset + 8, true, "image length"},
                                         HostileCount{"alphaLength", kBitmapCountOffset + 12, true, "alpha image length"},
                                         HostileCount{"headerChunk", 16, false, "first chunk length"},
                                         HostileCount{"sprites", kBitmapCountOffset + 16, false, "sprite count"},
                                         HostileCount{"frames", kBitmapCountOffset + 42, false, "frame count"},
                                         HostileCount{"pieces", kBitmapCountOffset + 62, false, "piece count"}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(SprFileRead, TextureSizeGivesCoordinatesAndNeverDividesByZero) {
    TextureRegion region{10, 20, 40, 30, 0, 0, 0, 0, 0, 0, 0};
    region.SetTextureSize(40, 80);
    EXPECT_FLOAT_EQ(region.uLeft, 0.25f);
    EXPECT_FLOAT_EQ(region.vTop, 0.25f);
    EXPECT_FLOAT_EQ(region.uRight, 0.75f);
    EXPECT_FLOAT_EQ(region.vBottom, 0.5f);
    region.SetTextureSize(0, 0);
    EXPECT_FLOAT_EQ(region.uRight, 30.0f);
}

// What the draw queue reads of a definition, through its accessors.
TEST(SprFileRead, DefinitionAccessorsGiveSizesGridsAndCounts) {
    const auto file = Read(Tools::WriteSpr(RichDocument()));
    const CSpriteDef& walk = *file->FindSprite("walk");
    EXPECT_EQ(walk.GetFrameCount(), 2);
    EXPECT_EQ(file->FindSprite("empty")->GetFrameCount(), 0);
    EXPECT_EQ(walk.GetFrameSize(1), std::pair(6u, 4u));
    EXPECT_EQ(walk.GetPieceGrid(1), std::pair(2u, 1u));
    EXPECT_EQ(walk.GetPieceCount(0), 1u);
    EXPECT_EQ(walk.GetPieceCount(1), 2u);
    EXPECT_EQ(walk.GetPieceSize(1, 0), (std::pair<int64_t, int64_t>{4, 2}));  // right 8 - left 4, bottom 3 - top 1
    EXPECT_EQ(walk.GetPieceSize(1, 1), (std::pair<int64_t, int64_t>{2, 2}));

    CSpriteDef hostile;
    hostile.frames.resize(1);
    hostile.frames[0].pieces.push_back({INT32_MIN, 0, 1, INT32_MAX, 0, 0, 0, 0, 0, 3, 5});
    EXPECT_EQ(hostile.GetPieceSize(0, 0), (std::pair<int64_t, int64_t>{UINT32_MAX, 1}));
    EXPECT_EQ(hostile.frames[0].GetPieceTextureSize(0), std::pair(3, 5));
}

// The six words the format leaves open start as every definition's do,
// whether made empty or read from a file.
TEST(SprFileRead, DefinitionsHoldTheSixOpenWords) {
    const auto file = Read(Tools::WriteSpr(RichDocument()));
    for (const CSpriteDef* definition : {file->FindSprite("walk"), file->FindSprite("empty")}) {
        const std::vector<uint32_t> words(std::begin(definition->extraWords), std::end(definition->extraWords));
        EXPECT_EQ(words, (std::vector<uint32_t>{1, 1, 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0}));
    }
}

// The file's second list of counted objects is released when it is emptied.
TEST(SprFileRead, HeldObjectsAreReleasedByClear) {
    const auto file = Read(Tools::WriteSpr(RichDocument()));
    Engine::ref_ptr<Engine::CReferenced> object(new Engine::CReferenced);
    file->Hold(object);
    EXPECT_EQ(file->GetHeldCount(), 1u);
    EXPECT_EQ(object->GetRefCount(), 2);
    file->Clear();
    EXPECT_EQ(file->GetHeldCount(), 0u);
    EXPECT_EQ(object->GetRefCount(), 1);
}
