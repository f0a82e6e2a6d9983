// The game data's local managers: one of each kind, over the graphics
// object's managers, handing every use back when they are released.

#include <gtest/gtest.h>

#include "gameui/GameData.h"
#include "tests/app/TestFiles.h"
#include "tests/graphics/SprFileTestData.h"
#include "tests/placefile/TestMapFileLocalManager.h"
#include "tests/support/RecordingGraphics.h"
#include "tools/PlaceWriter.h"

namespace {

using Engine::Graphics::MapFile::CMapFile;
using PlaceTest::CTestMapFileLocalManager;

// Game data whose map-file manager records the uses the test gives it.
class CTestGameData : public GameUi::CGameData {
public:
    CTestMapFileLocalManager* GetTestMapFiles() const { return static_cast<CTestMapFileLocalManager*>(GetMapFiles()); }

protected:
    Engine::ref_ptr<Engine::Graphics::MapFile::CMapFileLocalManager> MakeMapFileLocalManager(
        Engine::Graphics::CGraphics* graphics) override {
        return Engine::ref_ptr<Engine::Graphics::MapFile::CMapFileLocalManager>(new CTestMapFileLocalManager(graphics));
    }
};

class GameDataTest : public testing::Test {
protected:
    GameDataTest() {
        Engine::CFile::SetDiskRoot(CString(folder.Path().string()));
        const std::vector<uint8_t> spr = Tools::WriteSpr(SprTestData::StripDocument("strip", {2}, 2));
        const std::vector<uint8_t> place = Tools::WritePlace(Tools::CPlaceDocument{});
        folder.Write("spr/a.spr", std::string(spr.begin(), spr.end()));
        folder.Write("place/a.place", std::string(place.begin(), place.end()));
        Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
        graphics = std::make_unique<Engine::Graphics::Testing::CRecordingGraphics>();
    }
    ~GameDataTest() override {
        graphics.reset();
        Engine::CFile::SetDiskRoot("");
        Engine::Graphics::CGraphics::SetResourceManagerFactories(nullptr, nullptr);
    }

    TestFiles::CScratchFolder folder;
    TestFiles::CLogCapture log;
    std::unique_ptr<Engine::Graphics::Testing::CRecordingGraphics> graphics;
};

TEST_F(GameDataTest, LocalManagersOfEachKindHandBackTheirUsesWhenReleased) {
    CTestGameData data;
    EXPECT_EQ(data.GetPlaceFiles(), nullptr);
    data.CreateLocalManagers(graphics.get(), nullptr);
    ASSERT_NE(data.GetPlaceFiles(), nullptr);
    ASSERT_NE(data.GetMapFiles(), nullptr);
    ASSERT_NE(data.GetResources().sprFiles, nullptr);
    ASSERT_NE(data.GetResources().samples, nullptr);
    EXPECT_EQ(data.GetResources().particleFiles, nullptr) << "no effect files without their manager";

    // Each takes from the graphics object's own managers.
    auto& places = Engine::Graphics::PlaceFile::GetPlaceFileManager(*graphics);
    auto* maps = Engine::Graphics::MapFile::FindMapFileManager(graphics.get());
    const auto sprites = graphics->GetSprFileManager();
    data.GetPlaceFiles()->GetPlaceFile("place/a.place");
    data.GetResources().sprFiles->GetSprFile("spr/a.spr");
    const Engine::ref_ptr<CMapFile> map(new CMapFile("map/a.map"));
    maps->RegisterObject(map);
    data.GetTestMapFiles()->AddObject(map);
    EXPECT_EQ(places.GetUseCount("place/a.place"), 1);
    EXPECT_EQ(sprites->GetUseCount("spr/a.spr"), 1);
    EXPECT_EQ(maps->GetUseCount("map/a.map"), 1);

    data.ReleaseLocalManagers();
    EXPECT_EQ(data.GetPlaceFiles(), nullptr);
    EXPECT_EQ(data.GetMapFiles(), nullptr);
    EXPECT_EQ(data.GetResources().sprFiles, nullptr);
    EXPECT_EQ(places.GetObjectCount(), 0u);
    EXPECT_EQ(sprites->GetObjectCount(), 0u);
    EXPECT_EQ(maps->GetObjectCount(), 0u);
}

} // namespace
