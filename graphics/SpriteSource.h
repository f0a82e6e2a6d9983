#pragma once
// Where a queued record takes its picture from: the frame and piece of its
// sprite's definition, checked against the lists they index.

#include <algorithm>
#include <cstdint>

#include "graphics/SprFile.h"
#include "graphics/SpriteQueueItem.h"
#include "graphics/SpriteRef.h"

namespace Engine::Graphics {

struct CSpriteSource {
    // False when the record names a frame, piece or bitmap that does not
    // exist: such a record draws nothing.
    bool drawable = true;
    // Null for a record that draws a whole texture (or nothing textured).
    const SprFile::CSpriteDef* definition = nullptr;
    const SprFile::CSpriteFrame* frame = nullptr;
    const SprFile::TextureRegion* piece = nullptr;
    // Where frame and piece sit in their lists, for the definition's
    // accessors; meaningful only while the pointers are set.
    size_t frameIndex = 0;
    size_t pieceIndex = 0;
};

// Frame max(index, 0) of the definition, or null; the clamped index in
// frameIndex.
inline const SprFile::CSpriteFrame* FindSpriteFrame(const SprFile::CSpriteDef& definition, int32_t index,
                                                    size_t& frameIndex) {
    frameIndex = size_t(std::max(index, 0));
    return frameIndex < size_t(definition.GetFrameCount()) ? &definition.frames[frameIndex] : nullptr;
}
CSpriteSource FindSpriteSource(const CSpriteQueueItem& item);
// Piece max(index, 0) of a frame already found (null: none) of the sprite's
// definition. Inline: a split record looks one up for each of its parts.
inline CSpriteSource FindPieceSource(const SprFile::CSpriteRef& sprite, const SprFile::CSpriteFrame* frame,
                                     size_t frameIndex, int32_t index) {
    CSpriteSource source;
    source.definition = sprite.GetDefinition();
    if (!source.definition) return source;
    source.frame = frame;
    source.frameIndex = frameIndex;
    source.pieceIndex = size_t(std::max(index, 0));
    if (source.frame && source.pieceIndex < source.definition->GetPieceCount(frameIndex))
        source.piece = &source.frame->pieces[source.pieceIndex];
    const SprFile::CSprFile* file = sprite.GetFile();
    // A negative bitmap index is an untextured piece; one past the file's
    // bitmaps is damaged data.
    source.drawable = source.piece && !(file && source.piece->bitmap >= 0 &&
                                        size_t(source.piece->bitmap) >= file->GetBitmapCount());
    return source;
}

} // namespace Engine::Graphics
