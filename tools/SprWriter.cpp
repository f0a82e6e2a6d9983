#include "tools/SprWriter.h"

#include "tools/BinaryWriter.h"

namespace Tools {
namespace {

constexpr uint32_t kFileId = 0x6D696E61u;  // "anim"
constexpr uint32_t kHeaderChunkId = 0x64616568u;  // "head"
constexpr uint32_t kPartChunkId = 0x74726170u;    // "part"

void WriteImage(CBinaryWriter& out, const CSprImage& image) {
    out.U32(image.word);
    out.U32(uint32_t(image.colour.size())).Raw(image.colour.data(), image.colour.size());
    out.U32(uint32_t(image.alpha.size())).Raw(image.alpha.data(), image.alpha.size());
    out.U32(image.textureFlags);
}

void WriteFrame(CBinaryWriter& out, const CSprFrame& frame) {
    out.U32(frame.width).U32(frame.height).U32(frame.x).U32(frame.y);
    out.U32(uint32_t(frame.pieces.size()));
    for (const CSprPiece& piece : frame.pieces)
        out.I32(piece.bitmap).I32(piece.top).I32(piece.left).I32(piece.bottom).I32(piece.right);
}

void WriteSprite(CBinaryWriter& out, const CSprSprite& sprite) {
    out.String(CString(sprite.name));
    out.U32(sprite.wordA).U32(sprite.wordB);
    out.U32(sprite.flag1 ? 1 : 0).U32(sprite.flag2 ? 1 : 0);
    out.U32(0);  // reserved
    out.U32(uint32_t(sprite.frames.size()));
    for (const CSprFrame& frame : sprite.frames) WriteFrame(out, frame);
}

} // namespace

std::vector<uint8_t> WriteSpr(const CSprDocument& document) {
    CBinaryWriter out;
    out.U32(kFileId).U32(document.fileWord);
    out.BeginChunk(kHeaderChunkId, 1).Raw(document.headerJunk.data(), document.headerJunk.size()).EndChunk();
    out.BeginChunk(document.spriteChunkId, 1);
    if (document.spriteChunkId == 0x00727073u) {
        out.BeginChunk(kPartChunkId, 1);
        out.BeginChunk(kPartChunkId, 2).Raw(document.preludeJunk.data(), document.preludeJunk.size()).EndChunk();
        out.U32(uint32_t(document.images.size()));
        for (const CSprImage& image : document.images) WriteImage(out, image);
        out.BeginChunk(kPartChunkId, 3);
        out.U32(uint32_t(document.sprites.size()));
        for (const CSprSprite& sprite : document.sprites) WriteSprite(out, sprite);
        out.EndChunk().EndChunk();
    }
    out.EndChunk();
    return out.ToVector();
}

CSprFrame MakeSprFrame(int32_t bitmap, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    CSprFrame frame;
    frame.width = uint32_t(right - left);
    frame.height = uint32_t(bottom - top);
    frame.x = 1;
    frame.y = 1;
    frame.pieces.push_back({bitmap, top, left, bottom, right});
    return frame;
}

} // namespace Tools
