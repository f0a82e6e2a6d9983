#include "graphics/SpriteSource.h"

#include <algorithm>

#include "graphics/SpriteRef.h"

namespace Engine::Graphics {

const SprFile::CSpriteFrame* FindSpriteFrame(const SprFile::CSpriteDef& definition, int32_t index) {
    const size_t frame = size_t(std::max(index, 0));
    return frame < definition.frames.size() ? &definition.frames[frame] : nullptr;
}

} // namespace Engine::Graphics
