#include "graphics/SpriteSource.h"

#include <algorithm>

#include "graphics/SpriteRef.h"

namespace Engine::Graphics {

CSpriteSource FindSpriteSource(const CSpriteQueueItem& item) {
    if (!item.sprite || !item.sprite->GetDefinition()) return {};
    return FindPieceSource(*item.sprite, FindSpriteFrame(*item.sprite->GetDefinition(), item.frame), item.piece);
}

} // namespace Engine::Graphics
