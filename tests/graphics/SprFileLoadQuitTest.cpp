// A quit found while one sprite file of many bitmaps makes its textures, or
// while the loading screen collects the items of many bitmaps: each bitmap
// counts as loading work, so the step stops within an interval of work
// after the quit was posted and leaves no texture or pending item behind.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "graphics/SprFileManager.h"
#include "tests/app/QuitLook.h"
#include "tests/app/TestFiles.h"
#include "tests/graphics/SprFileTestData.h"
#include "tests/support/RecordingGraphics.h"

using Engine::CFrameQuitWatch;
using Engine::ref_ptr;
using Engine::Graphics::SprFile::CSprFileDelayedLoader;
using Engine::Graphics::SprFile::CSprFileLocalManager;
using Engine::Graphics::Testing::CRecordingGraphics;

namespace {

constexpr char kFile[] = "spr/many.spr";
constexpr int kBitmaps = 3 * int(CFrameQuitWatch::kCheckInterval);

class SprFileLoadQuitTest : public testing::Test {
protected:
    SprFileLoadQuitTest() {
        Engine::CFile::SetDiskRoot(CString(folder.Path().string()));
        Tools::CSprDocument document;
        const std::vector<uint8_t> pixel = SprTestData::SolidPng(2, 2);
        for (int i = 0; i < kBitmaps; ++i) document.images.push_back({0, pixel, {}, 0});
        const std::vector<uint8_t> bytes = Tools::WriteSpr(document);
        folder.Write(kFile, std::string(bytes.begin(), bytes.end()));
    }
    ~SprFileLoadQuitTest() override { Engine::CFile::SetDiskRoot(""); }

    // Runs the work, posting the quit once reached() holds.
    void RunWithQuit(const std::function<bool()>& reached, const std::function<void()>& work) {
        look.Run(reached, work);
        look.ExpectFoundWithin(CFrameQuitWatch::kCheckInterval);
    }

    TestFiles::CScratchFolder folder;
    TestFiles::CLogCapture log;
    CRecordingGraphics graphics;
    ref_ptr<CSprFileLocalManager> local{new CSprFileLocalManager(&graphics)};
    TestFiles::CQuitLook look;
};

} // namespace

TEST_F(SprFileLoadQuitTest, MakingTexturesStopsWithinAnInterval) {
    const auto& entries = [this] { return graphics.GetTextureManager()->GetEntries(); };
    RunWithQuit([&] { return !entries().empty(); }, [&] { local->GetSprFileNow(kFile); });
    EXPECT_TRUE(local->GetUses().empty());
    EXPECT_EQ(graphics.GetSprFileManager()->GetObjectCount(), 0u) << "no half-made file";
    EXPECT_TRUE(entries().empty()) << "its textures went with it";
    EXPECT_FALSE(log.Contains("Invalid")) << log.Text();
}

TEST_F(SprFileLoadQuitTest, CollectingTheLoadingScreensItemsStopsWithinAnInterval) {
    local->GetSprFile(kFile);
    const ref_ptr<Engine::IDelayedLoader> loader = graphics.GetSprFileManager()->CreateDelayedLoader();
    RunWithQuit([&] { return loader->GetPendingCount() > 0; }, [&] { loader->Begin(); });
    loader->End();
    EXPECT_EQ(loader->GetPendingCount(), 0);
    EXPECT_TRUE(graphics.GetTextureManager()->GetEntries().empty());
}
