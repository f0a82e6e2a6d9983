#include "graphics/SprFileManager.h"

namespace Engine::Graphics {

// Sprite files are not managed yet: nothing to reload.
void CSprFileManager::ReloadBitmaps(int, ProgressCallback, void*) {}
int CSprFileManager::CountBitmaps(int) const { return 0; }

} // namespace Engine::Graphics
