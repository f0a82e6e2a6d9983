// The driver's sprite-file table: loading and sharing by name, local
// managers, delayed loading item by item and reloading after a device reset.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/Exception.h"
#include "graphics/DelayedLoaders.h"
#include "graphics/SprFileManager.h"
#include "tests/app/TestFiles.h"
#include "tests/graphics/SprFileTestData.h"
#include "tests/support/RecordingGraphics.h"

using Engine::ref_ptr;
using Engine::Graphics::CSprFileManager;
using Engine::Graphics::SprFile::CSprFile;
using Engine::Graphics::SprFile::CSprFileDelayedLoader;
using Engine::Graphics::SprFile::CSprFileLocalManager;
using Engine::Graphics::Testing::CRecordingGraphics;

namespace {

Tools::CSprDocument TwoImageDocument() {
    Tools::CSprDocument document;
    document.images.push_back({0, SprTestData::SolidPng(8, 4), {}, 8});
    document.images.push_back({0, SprTestData::SolidPng(4, 4), {}, 0});
    document.sprites.push_back({"left", 0, 0, false, false, {Tools::MakeSprFrame(0, 2, 0, 6, 4)}});
    document.sprites.push_back({"right", 0, 0, false, false, {Tools::MakeSprFrame(1, 0, 0, 4, 2)}});
    return document;
}

class SprFileManagerTest : public testing::Test {
protected:
    SprFileManagerTest() {
        Engine::CFile::SetDiskRoot(CString(folder.Path().string()));
        Write("spr/a.spr", Tools::WriteSpr(TwoImageDocument()));
        Write("spr/b.spr", Tools::WriteSpr(SprTestData::StripDocument("strip", {2, 3}, 2)));
    }
    ~SprFileManagerTest() override { Engine::CFile::SetDiskRoot(""); }

    void Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        folder.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    std::string LoadError(const CString& name) {
        try {
            manager->LoadSprFile(name, false);
        } catch (const Engine::CException& e) {
            return e.what();
        }
        return "no error";
    }
    static int TextureCount(const CSprFile& file) {
        int count = 0;
        for (size_t i = 0; i < file.GetBitmapCount(); ++i) count += file.GetBitmapEntry(i).texture ? 1 : 0;
        return count;
    }

    TestFiles::CScratchFolder folder;
    TestFiles::CLogCapture log;
    CRecordingGraphics graphics;
    ref_ptr<CSprFileManager> manager = graphics.GetSprFileManager();
};

} // namespace

TEST_F(SprFileManagerTest, LoadingMakesTexturesAndTextureCoordinates) {
    const auto file = manager->LoadSprFile("spr/a.spr", false);
    EXPECT_EQ(TextureCount(*file), 2);
    const auto& piece = file->FindSprite("left")->frames[0].pieces[0];
    EXPECT_EQ(piece.textureWidth, 8);
    EXPECT_EQ(file->FindSprite("left")->frames[0].GetPieceTextureSize(0), std::pair(piece.textureWidth, piece.textureHeight));
    EXPECT_FLOAT_EQ(piece.uLeft, 0.25f);
    EXPECT_FLOAT_EQ(piece.uRight, 0.75f);
    EXPECT_FLOAT_EQ(file->FindSprite("right")->frames[0].pieces[0].uRight, 1.0f);
    EXPECT_NE(log.Text().find("File : spr/a.spr"), std::string::npos);
}

TEST_F(SprFileManagerTest, FailedLoadsLeaveTheTableUnchanged) {
    std::vector<uint8_t> trailing = Tools::WriteSpr(TwoImageDocument());
    trailing.push_back(0);
    Write("spr/trailing.spr", trailing);
    std::vector<uint8_t> truncated = Tools::WriteSpr(TwoImageDocument());
    truncated.resize(truncated.size() - 3);
    Write("spr/truncated.spr", truncated);

    EXPECT_EQ(LoadError("spr/none.spr"), "Unable to open .spr file 'spr/none.spr'");
    // The message is the fixed text; what failed is in the log line before it.
    EXPECT_EQ(LoadError("spr/trailing.spr"), "Invalid or corrupted .spr file 'spr/trailing.spr'");
    EXPECT_TRUE(log.Contains("Invalid or corrupted .spr file 'spr/trailing.spr': 1 bytes after the last read record\n"));
    EXPECT_EQ(LoadError("spr/truncated.spr"), "Invalid or corrupted .spr file 'spr/truncated.spr'");
    EXPECT_TRUE(log.Contains(
        "Invalid or corrupted .spr file 'spr/truncated.spr': piece count 1 does not fit in the 17 bytes left\n"));
    graphics.m_bFailTextures = true;
    EXPECT_EQ(LoadError("spr/a.spr"), "CTextureManager::Create(...) : FAILED");
    EXPECT_EQ(manager->GetObjectCount(), 0u);
    EXPECT_FALSE(manager->LookupObject("spr/none.spr"));
    EXPECT_EQ(graphics.GetTextureManager()->GetEntries().size(), 0u);
}

TEST_F(SprFileManagerTest, LocalManagersHandBackTheirUses) {
    ref_ptr<CSprFileLocalManager> first(new CSprFileLocalManager(&graphics));
    ref_ptr<CSprFileLocalManager> second(new CSprFileLocalManager(&graphics));
    const auto file = first->GetSprFile("spr/a.spr");
    first->GetSprFile("spr/a.spr");
    second->LoadSprFile("spr/a.spr", true);
    EXPECT_EQ(manager->GetUseCount("spr/a.spr"), 3);
    EXPECT_EQ(first->GetUses().size(), 2u);
    EXPECT_EQ(first->GetObjects().size(), 1u);
    EXPECT_EQ(second->FindSprFile("spr/a.spr"), file);

    first->LoadSprFile("spr/b.spr", false);
    try {
        second->FindSprFile("spr/b.spr");
        FAIL();
    } catch (const Engine::CException& e) {
        EXPECT_STREQ(e.what(), "Couldn't find spr file 'spr/b.spr'");
    }
    try {
        second->FindSprFile("spr/c.spr");
        FAIL();
    } catch (const Engine::CException& e) {
        EXPECT_STREQ(e.what(), "Couln't find spr file 'spr/c.spr'");  // the process-wide table's text
    }

    first = nullptr;
    EXPECT_EQ(manager->GetUseCount("spr/a.spr"), 1);
    EXPECT_FALSE(manager->LookupObject("spr/b.spr"));
    second = nullptr;
    EXPECT_EQ(manager->GetObjectCount(), 0u);
}

// Only a use the owner took goes back: a file another owner loaded stays in
// the table, and an owner whose uses are spent takes none of another's.
TEST_F(SprFileManagerTest, AnOwnerHandsBackOnlyTheUsesItHolds) {
    const ref_ptr<CSprFileLocalManager> owner = Engine::Graphics::SprFile::CreateSprFileLocalManager(&graphics);
    const ref_ptr<CSprFileLocalManager> other = Engine::Graphics::SprFile::CreateSprFileLocalManager(&graphics);
    const auto file = owner->GetSprFileNow("spr/a.spr");
    other->ReleaseSprFile(file);
    EXPECT_EQ(manager->GetUseCount("spr/a.spr"), 1);
    EXPECT_EQ(manager->LookupObject("spr/a.spr"), file);
    EXPECT_EQ(owner->GetUses().size(), 1u);
    EXPECT_EQ(owner->GetSprFileNow("spr/a.spr"), file) << "no second object of the name";

    other->GetSprFile("spr/a.spr");
    for (int i = 0; i < 3; ++i) owner->ReleaseSprFile(file);
    EXPECT_TRUE(owner->GetUses().empty());
    EXPECT_EQ(manager->GetUseCount("spr/a.spr"), 1);
    EXPECT_EQ(other->FindSprFile("spr/a.spr"), file);
}

TEST_F(SprFileManagerTest, DelayedLoaderDecodesThenMakesEachTexture) {
    ref_ptr<CSprFileLocalManager> owner(new CSprFileLocalManager(&graphics));
    owner->LoadAllSprFiles("spr/*.spr");
    const auto a = owner->FindSprFile("spr/a.spr");
    const auto b = owner->LoadSprFile("spr/b.spr", false);  // returned as it is: still delayed

    const ref_ptr<Engine::IDelayedLoader> loader = manager->CreateDelayedLoader();
    Engine::CDelayedLoaders loaders({loader});
    std::vector<int> progress;
    loaders.Run([&](int32_t done, int32_t total) {
        progress.push_back(done);
        EXPECT_EQ(total, 6);
        if (done == 1) {
            EXPECT_NE(a->GetBitmapEntry(0).bitmap->GetPixels(), nullptr);
            EXPECT_EQ(TextureCount(*a), 0);
        }
    });
    EXPECT_EQ(progress, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(TextureCount(*a), 2);
    EXPECT_EQ(TextureCount(*b), 1);
    EXPECT_EQ(loader->GetPendingCount(), 0);
    EXPECT_FLOAT_EQ(a->FindSprite("left")->frames[0].pieces[0].uLeft, 0.25f);
}

TEST_F(SprFileManagerTest, ReloadAfterResetRestoresTexturesWithRunningProgress) {
    const auto a = manager->LoadSprFile("spr/a.spr", false);
    const auto b = manager->LoadSprFile("spr/b.spr", false);
    b->SetFlag(1);
    EXPECT_EQ(manager->CountBitmaps(0), 2);
    EXPECT_EQ(manager->CountBitmaps(1), 1);
    a->GetBitmapEntry(0).bitmap->FreePixels();  // as after an upload that freed them
    graphics.GetDeviceObjectManager().InvalidateAll();

    std::vector<int> progress;
    manager->ReloadBitmaps(0, [](void* context, int current) { static_cast<std::vector<int>*>(context)->push_back(current); },
                           &progress);
    EXPECT_EQ(progress, (std::vector<int>{0, 1}));
    for (size_t i = 0; i < a->GetBitmapCount(); ++i) {
        auto* hardware = static_cast<Engine::Graphics::Testing::CRecordingHardwareTexture*>(
            a->GetBitmapEntry(i).texture->GetHardwareTexture().get());
        EXPECT_TRUE(hardware->m_bValid);
        EXPECT_EQ(a->GetBitmapEntry(i).bitmap->GetPixels(), nullptr);
        int32_t width = 0, height = 0;
        a->GetBitmapEntry(i).texture->GetSize(width, height);
        EXPECT_EQ(std::pair(width, height), std::pair(i == 0 ? 8 : 4, 4)) << i;
    }
    auto* untouched = static_cast<Engine::Graphics::Testing::CRecordingHardwareTexture*>(
        b->GetBitmapEntry(0).texture->GetHardwareTexture().get());
    EXPECT_FALSE(untouched->m_bValid);
    EXPECT_NE(log.Text().find("Reloading 'spr/a.spr'"), std::string::npos);
}

// A file gone from the disk is logged and skipped: the next file reloads and
// the last restore pass still reaches every object.
TEST_F(SprFileManagerTest, ReloadSkipsAMissingFileAndTheRestorePassRuns) {
    const auto a = manager->LoadSprFile("spr/a.spr", false);
    const auto b = manager->LoadSprFile("spr/b.spr", false);
    std::filesystem::remove(folder.Path() / "spr/a.spr");
    graphics.GetDeviceObjectManager().InvalidateAll();
    graphics.RestoreAfterReset(nullptr);
    EXPECT_NE(log.Text().find("Unable to open .spr file 'spr/a.spr'"), std::string::npos);
    for (const auto& file : {a, b}) {
        auto* hardware = static_cast<Engine::Graphics::Testing::CRecordingHardwareTexture*>(
            file->GetBitmapEntry(0).texture->GetHardwareTexture().get());
        EXPECT_TRUE(hardware->m_bValid) << file->GetName().c_str();
    }
}

TEST_F(SprFileManagerTest, GetSprFileLeavesTheTexturesToTheLoaderGetSprFileNowMakesThem) {
    const ref_ptr<CSprFileLocalManager> owner = Engine::Graphics::SprFile::CreateSprFileLocalManager(&graphics);
    const auto a = owner->GetSprFile("spr/a.spr");
    const auto b = owner->GetSprFileNow("spr/b.spr");
    EXPECT_EQ(TextureCount(*a), 0);
    EXPECT_EQ(a->GetBitmapEntry(0).bitmap->GetPixels(), nullptr);
    EXPECT_EQ(TextureCount(*b), 1);
    const ref_ptr<Engine::IDelayedLoader> loader = manager->CreateDelayedLoader();
    loader->Begin();
    EXPECT_EQ(loader->GetPendingCount(), 4) << "a's two images read, then their textures made";
    loader->End();
}

struct CReleaseDuringLoading {
    const char* name;
    bool anotherOwner;  // whether a second owner still holds the released file
};

class SprFileReleaseTest : public SprFileManagerTest, public testing::WithParamInterface<CReleaseDuringLoading> {};

// A file whose last use goes while the loading screen runs loses its pending
// items: nothing more is read or made for it, and the run still counts and
// performs every other item. A file another owner holds keeps them.
TEST_P(SprFileReleaseTest, LastUseDropsThePendingItemsOfARunningLoader) {
    const bool anotherOwner = GetParam().anotherOwner;
    ref_ptr<CSprFileLocalManager> first = Engine::Graphics::SprFile::CreateSprFileLocalManager(&graphics);
    ref_ptr<CSprFileLocalManager> second = Engine::Graphics::SprFile::CreateSprFileLocalManager(&graphics);
    const auto a = first->GetSprFile("spr/a.spr");
    const auto b = first->GetSprFile("spr/b.spr");
    if (anotherOwner) second->GetSprFile("spr/a.spr");

    Engine::CDelayedLoaders loaders({manager->CreateDelayedLoader()});
    std::vector<int> progress;
    loaders.Run([&](int32_t done, int32_t total) {
        progress.push_back(done);
        EXPECT_EQ(total, 6);
        if (done == 1) first->ReleaseSprFile(a);  // a's first image is read, its file open
    });
    EXPECT_EQ(progress, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(TextureCount(*a), anotherOwner ? 2 : 0);
    if (!anotherOwner) {
        EXPECT_EQ(a->GetBitmapEntry(1).bitmap->GetPixels(), nullptr) << "its second image is not read";
    }
    EXPECT_EQ(TextureCount(*b), 1);
    EXPECT_EQ(a->GetRefCount(), anotherOwner ? 4 : 1) << "the loader lets the released file go";
    EXPECT_EQ(manager->GetUseCount("spr/a.spr"), anotherOwner ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Owners, SprFileReleaseTest,
                         testing::Values(CReleaseDuringLoading{"LastUse", false}, CReleaseDuringLoading{"AnotherOwner", true}),
                         [](const auto& info) { return std::string(info.param.name); });
