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
    // The frame and piece are max(frame, 0) and max(piece, 0) of the record
    // they were found for: the indexes are not kept twice in a record.
};

// The clamped frame and piece indexes of a record, as its source was found.
inline size_t FrameIndex(const CSpriteQueueItem& item) { return size_t(std::max(item.frame, 0)); }
inline size_t PieceIndex(const CSpriteQueueItem& item) { return size_t(std::max(item.piece, 0)); }

// Frame max(index, 0) of the definition, or null.
inline const SprFile::CSpriteFrame* FindSpriteFrame(const SprFile::CSpriteDef& definition, int32_t index) {
    const size_t frame = size_t(std::max(index, 0));
    return frame < size_t(definition.GetFrameCount()) ? &definition.frames[frame] : nullptr;
}
// Piece max(index, 0) of a frame already found (null: none) of the sprite's
// definition. Inline: a split record looks one up for each of its parts.
inline CSpriteSource FindPieceSource(const SprFile::CSpriteRef& sprite, const SprFile::CSpriteFrame* frame,
                                     int32_t index) {
    CSpriteSource source;
    source.definition = sprite.GetDefinition();
    if (!source.definition) return source;
    source.frame = frame;
    const size_t piece = size_t(std::max(index, 0));
    if (source.frame && piece < source.frame->GetPieceCount()) source.piece = &source.frame->pieces[piece];
    const SprFile::CSprFile* file = sprite.GetFile();
    // A negative bitmap index is an untextured piece; one past the file's
    // bitmaps is damaged data.
    source.drawable = source.piece && !(file && source.piece->bitmap >= 0 &&
                                        size_t(source.piece->bitmap) >= file->GetBitmapCount());
    return source;
}

// Inline, like the look-ups it makes: built in place in the queued record,
// once per queued sprite.
inline CSpriteSource FindSpriteSource(const CSpriteQueueItem& item) {
    if (!item.sprite || !item.sprite->GetDefinition()) return {};
    return FindPieceSource(*item.sprite, FindSpriteFrame(*item.sprite->GetDefinition(), item.frame), item.piece);
}

} // namespace Engine::Graphics
