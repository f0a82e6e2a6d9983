// The file managers and their local managers: sharing between owners, every
// use handed back, sprite images reloaded after a device reset.

#include <gtest/gtest.h>

#include "placefile/MapFileManager.h"
#include "tests/placefile/PlaceFileFixture.h"
#include "tests/placefile/TestMapFileLocalManager.h"

using namespace PlaceTest;
using Engine::Graphics::MapFile::CMapFile;
using Engine::Graphics::MapFile::CMapFileLocalManager;
using Engine::Graphics::MapFile::FindMapFileManager;

namespace {

// Only a derived class records a map file's use.
template <class Manager>
concept CanAddObject = requires(Manager& manager, ref_ptr<CMapFile> file) { manager.AddObject(file); };
template <class Manager>
concept CanAddMapFile = requires(Manager& manager, ref_ptr<CMapFile> file) { manager.AddMapFile(file); };
static_assert(!CanAddObject<CMapFileLocalManager> && !CanAddMapFile<CMapFileLocalManager>);
static_assert(CanAddObject<CTestMapFileLocalManager>);

class ManagersTest : public PlaceFileFixture {
protected:
    ManagersTest() { Write("place/sample.place", Tools::WritePlace(SampleDocument())); }
    static bool TextureValid(const Engine::Graphics::SprFile::CSprFile& file) {
        return static_cast<Engine::Graphics::Testing::CRecordingHardwareTexture*>(
                   file.GetBitmapEntry(0).texture->GetHardwareTexture().get())
            ->m_bValid;
    }
};

TEST_F(ManagersTest, TwoOwnersShareAPlaceFileWhoseSpritesReloadAfterAReset) {
    ref_ptr<CPlaceFileLocalManager> second(new CPlaceFileLocalManager(graphics.get()));
    ref_ptr<CPlaceFile> place = local->GetPlaceFile("place/sample.place");
    EXPECT_EQ(second->GetPlaceFile("place\\sample.place"), place);
    EXPECT_EQ(Manager().GetUseCount("place/sample.place"), 2);
    const auto sprites = graphics->GetSprFileManager();
    EXPECT_EQ(sprites->GetUseCount("spr/place.spr"), 1);  // read once, for the one place file
    const ref_ptr<Engine::Graphics::SprFile::CSprFile> spr = sprites->LookupObject("spr/place.spr");

    graphics->GetDeviceObjectManager().InvalidateAll();
    EXPECT_FALSE(TextureValid(*spr));
    graphics->RestoreAfterReset(nullptr);
    EXPECT_TRUE(TextureValid(*spr));

    local = nullptr;
    EXPECT_EQ(Manager().GetUseCount("place/sample.place"), 1);
    EXPECT_EQ(second->FindPlaceFile("place/sample.place"), place);
    second = nullptr;
    EXPECT_FALSE(Manager().LookupObject("place/sample.place"));
    place = nullptr;
    EXPECT_EQ(sprites->GetObjectCount(), 0u);
}

// The two thin load entries: the sprite files' textures made now, or left
// for the delayed loader.
TEST_F(ManagersTest, LoadNowMakesTheSpriteTexturesAndLoadQueuedLeavesThem) {
    for (const bool now : {false, true}) {
        ref_ptr<CPlaceFile> place = now ? CPlaceFile::LoadNow(Manager(), "place/sample.place")
                                        : CPlaceFile::LoadQueued(Manager(), "place/sample.place");
        const auto spr = graphics->GetSprFileManager()->LookupObject("spr/place.spr");
        ASSERT_TRUE(spr);
        EXPECT_EQ(spr->GetBitmapEntry(0).texture != nullptr, now);
        Manager().ReleaseObject(place);
    }
}

TEST_F(ManagersTest, MapFilesAreHandedBackByEachOwner) {
    auto* manager = FindMapFileManager(graphics.get());
    const ref_ptr<CMapFile> a(new CMapFile("map\\a.map")), b(new CMapFile("map/b.map"));
    ref_ptr<CTestMapFileLocalManager> first(new CTestMapFileLocalManager(graphics.get())),
        second(new CTestMapFileLocalManager(graphics.get()));
    for (const auto& [owner, file] : {std::pair{first, a}, {first, b}, {first, a}, {second, a}}) {
        manager->RegisterObject(file);
        owner->AddObject(file);
    }
    first = nullptr;
    EXPECT_EQ(manager->GetUseCount("map/a.map"), 1);
    EXPECT_FALSE(manager->LookupObject("map/b.map"));
    second->ReleaseAll();
    EXPECT_EQ(manager->GetObjectCount(), 0u);
}

} // namespace
