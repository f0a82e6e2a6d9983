#include "graphics/SpriteSource.h"

#include <algorithm>

#include "graphics/SpriteRef.h"

namespace Engine::Graphics {

const SprFile::CSpriteFrame* FindSpriteFrame(const SprFile::CSpriteDef& definition, int32_t index) {
    const size_t frame = size_t(std::max(index, 0));
    return frame < definition.frames.size() ? &definition.frames[frame] : nullptr;
}

CSpriteSource FindSpriteSource(const CSpriteQueueItem& item) {
    if (!item.sprite || !item.sprite->GetDefinition()) return {};
    return FindPieceSource(*item.sprite, FindSpriteFrame(*item.sprite->GetDefinition(), item.frame), item.piece);
}

CSpriteSource FindPieceSource(const SprFile::CSpriteRef& sprite, const SprFile::CSpriteFrame* frame, int32_t index) {
    CSpriteSource source;
    source.definition = sprite.GetDefinition();
    if (!source.definition) return source;
    source.frame = frame;
    const size_t piece = size_t(std::max(index, 0));
    if (source.frame && piece < source.frame->pieces.size()) source.piece = &source.frame->pieces[piece];
    const SprFile::CSprFile* file = sprite.GetFile();
    // A negative bitmap index is an untextured piece; one past the file's
    // bitmaps is damaged data.
    source.drawable = source.piece && !(file && source.piece->bitmap >= 0 &&
                                        size_t(source.piece->bitmap) >= file->GetBitmapCount());
    return source;
}

} // namespace Engine::Graphics
