#include "shell/DelayedLoading.h"

#include "graphics/Graphics.h"
#include "graphics/SprFileManager.h"
#include "placefile/MapFileManager.h"
#include "placefile/PlaceFileManager.h"
#include "sound/SampleManager.h"
#include "sound/SoundManager.h"

namespace Engine {

std::vector<ref_ptr<IDelayedLoader>> CollectDelayedLoaders(Graphics::CGraphics& graphics) {
    std::vector<ref_ptr<IDelayedLoader>> loaders;
    const auto add = [&loaders](auto* manager) {
        if (manager) loaders.push_back(manager->CreateDelayedLoader());
    };
    add(graphics.GetSprFileManager().get());
    add(dynamic_cast<Graphics::PlaceFile::CPlaceFileManager*>(graphics.GetPlaceFileManager().get()));
    add(Graphics::MapFile::FindMapFileManager(&graphics));
    add(Sound::GetSoundManager().GetSampleManager());
    return loaders;
}

} // namespace Engine
