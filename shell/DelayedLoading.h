#pragma once
// The delayed loaders of the loading screen, one from each manager that can
// leave work for it.

#include <vector>

#include "app/DelayedLoader.h"

namespace Engine::Graphics {
class CGraphics;
}

namespace Engine {

// In this order: the sprite-file, place-file, map-file and sample managers'
// loaders; a manager that does not exist is left out.
std::vector<ref_ptr<IDelayedLoader>> CollectDelayedLoaders(Graphics::CGraphics& graphics);

} // namespace Engine
