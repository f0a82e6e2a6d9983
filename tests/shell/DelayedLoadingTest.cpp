// The loading screen's loaders come from the sprite-file, place-file,
// map-file and sample managers, in that order.

#include <gtest/gtest.h>

#include <typeinfo>

#include "app/shell/DelayedLoading.h"
#include "graphics/SprFileManager.h"
#include "placefile/MapFileManager.h"
#include "placefile/PlaceFileManager.h"
#include "sound/SampleManager.h"
#include "sound/SoundManager.h"
#include "tests/support/RecordingGraphics.h"

TEST(DelayedLoading, OneLoaderPerManagerInTheirOrder) {
    Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
    Engine::Graphics::Testing::CRecordingGraphics graphics;
    Engine::Sound::CSoundManager& sound = Engine::Sound::GetSoundManager();
    sound.Init();
    const auto loaders = Engine::CollectDelayedLoaders(graphics);
    sound.Done();
    EXPECT_EQ(Engine::CollectDelayedLoaders(graphics).size(), 3u);  // no sample manager, no sample loader
    Engine::Graphics::CGraphics::SetResourceManagerFactories(nullptr, nullptr);

    ASSERT_EQ(loaders.size(), 4u);
    EXPECT_EQ(typeid(*loaders[0]), typeid(Engine::Graphics::SprFile::CSprFileDelayedLoader));
    EXPECT_EQ(typeid(*loaders[1]), typeid(Engine::Graphics::PlaceFile::CPlaceFileDelayedLoader));
    EXPECT_EQ(typeid(*loaders[2]), typeid(Engine::Graphics::MapFile::CMapFileDelayedLoader));
    EXPECT_EQ(typeid(*loaders[3]), typeid(Engine::Sound::CSampleDelayedLoader));
}
