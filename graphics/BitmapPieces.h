#pragma once
// The pieces of a sprite file's frames by the bitmap they are cut from, so
// that making one bitmap's texture visits only its own pieces however many
// bitmaps and pieces the file holds.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Engine::Graphics::SprFile {

class CSpriteDef;
struct TextureRegion;

class CBitmapPieces {
public:
    // Stores the texture size in every piece of the definitions cut from the
    // bitmap (one of bitmapCount). A file of several bitmaps has its pieces
    // grouped on the first call: its definitions must stay as they are
    // until Clear.
    void SetTextureSize(std::vector<CSpriteDef>& definitions, size_t bitmapCount, size_t bitmap, int32_t width,
                        int32_t height);
    void Clear();

private:
    void Build(std::vector<CSpriteDef>& definitions, size_t bitmapCount);

    std::vector<size_t> m_start;  // per bitmap, then the end; empty until grouped
    std::vector<TextureRegion*> m_pieces;
};

} // namespace Engine::Graphics::SprFile
