#include "graphics/SpriteSource.h"

#include <algorithm>

#include "graphics/SpriteRef.h"

namespace Engine::Graphics {

CSpriteSource FindSpriteSource(const CSpriteQueueItem& item) {
    if (!item.sprite || !item.sprite->GetDefinition()) return {};
    size_t frameIndex = 0;
    const SprFile::CSpriteFrame* frame = FindSpriteFrame(*item.sprite->GetDefinition(), item.frame, frameIndex);
    return FindPieceSource(*item.sprite, frame, frameIndex, item.piece);
}

} // namespace Engine::Graphics
