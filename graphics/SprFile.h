#pragma once
// A loaded ".spr" sprite file: its images (one texture each once made), its
// named sprites with frames and pieces, and the sprite references it handed
// out.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/Exception.h"
#include "app/ManagedObject.h"
#include "app/Referenced.h"
#include "graphics/Bitmap.h"
#include "graphics/BitmapPieces.h"
#include "graphics/SpriteRefList.h"
#include "graphics/Texture.h"

class CArchive;

namespace Engine::Graphics {
class CGraphics;
}

namespace Engine::Graphics::SprFile {

class CTileLayout;
class CSprFile;
class CSpriteRef;

// One rectangle of one bitmap, in that bitmap's pixels (right and bottom
// exclusive), with its texture coordinates once the bitmap's texture exists.
struct TextureRegion {
    int32_t left = 0;
    int32_t top = 0;
    int32_t bottom = 0;
    int32_t right = 0;
    float uLeft = 0.0f;
    float vTop = 0.0f;
    float uRight = 0.0f;
    float vBottom = 0.0f;
    int32_t bitmap = 0;
    int32_t textureWidth = 0;
    int32_t textureHeight = 0;

    // Stores the texture size and recomputes the coordinates; a size of 0 or
    // less counts as 1 so an empty texture never divides by zero.
    void SetTextureSize(int32_t width, int32_t height);
};

// The accessors below take indexes inside their lists: callers clamp
// negative indexes to 0 and check the upper bound first.
struct CSpriteFrame {
    std::vector<TextureRegion> pieces;
    uint32_t x = 0;  // piece columns and rows, read as a pair by the draw queue
    uint32_t y = 0;
    uint32_t width = 0;
    uint32_t height = 0;

    size_t GetPieceCount() const { return pieces.size(); }
    // Right - left, bottom - top; in 64 bits, as damaged files may hold any
    // pair of edges.
    std::pair<int64_t, int64_t> GetPieceSize(size_t piece) const {
        const TextureRegion& region = pieces[piece];
        return {int64_t(region.right) - region.left, int64_t(region.bottom) - region.top};
    }
    std::pair<int32_t, int32_t> GetPieceTextureSize(size_t piece) const {
        return {pieces[piece].textureWidth, pieces[piece].textureHeight};
    }
    // Where the grid's pieces start, made on the first call on the drawing
    // thread and again when the grid or the piece count has changed (edges
    // are not looked at: a frame's pieces are edited only before it is
    // drawn). Null when the grid has no cells or more than the pieces.
    const CTileLayout* GetTileLayout() const;

    mutable std::shared_ptr<const CTileLayout> layout;  // shared by copies
};

class CSpriteDef {
public:
    CSpriteDef() = default;
    CSpriteDef(CSpriteDef&&) noexcept;
    CSpriteDef& operator=(CSpriteDef&&) noexcept;
    ~CSpriteDef();

    int32_t GetFrameCount() const { return int32_t(frames.size()); }
    std::pair<uint32_t, uint32_t> GetFrameSize(size_t frame) const {
        return {frames[frame].width, frames[frame].height};
    }
    // Piece columns and rows.
    std::pair<uint32_t, uint32_t> GetPieceGrid(size_t frame) const { return {frames[frame].x, frames[frame].y}; }
    // The frame's own accessors serve callers that already hold the frame
    // (the draw queue, once per sprite).
    size_t GetPieceCount(size_t frame) const { return frames[frame].GetPieceCount(); }
    std::pair<int64_t, int64_t> GetPieceSize(size_t frame, size_t piece) const {
        return frames[frame].GetPieceSize(piece);
    }

    CString name;
    uint32_t wordA = 0;
    uint32_t wordB = 0;
    bool flag1 = false;
    bool flag2 = false;
    // Six words the format leaves uninterpreted, kept at the values every
    // definition starts with; nothing reads them.
    uint32_t extraWords[6] = {1, 1, 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0};
    std::vector<CSpriteFrame> frames;
    CSprFile* owner = nullptr;

private:
    friend class CSprFile;
    friend class CSpriteRef;
    std::unique_ptr<CSpriteRef> m_defaultRef;  // made on first request
};

class CSprFile : public Engine::CReferenced, public Engine::CManagedObject {
public:
    struct CBitmapEntry {
        Engine::ref_ptr<CTexture> texture;  // null until made
        CSprFile* owner = nullptr;
        uint32_t textureFlags = 0xFFFFFFFFu;
        Engine::ref_ptr<CBitmap> bitmap;
        int64_t streamPosition = -1;  // of the image lengths; -1 until first read
    };

    CSprFile(const CString& name, CGraphics* graphics);
    ~CSprFile() noexcept(false) override;
    CSprFile(const CSprFile&) = delete;
    CSprFile& operator=(const CSprFile&) = delete;

    // Reads the whole file; with skipImages the images are only located,
    // to be decoded later by ReadBitmapImages. Does nothing on a storing
    // archive.
    void Load(CArchive& archive, bool skipImages);
    // Decodes one bitmap's colour and alpha images from the position found
    // at load time (unless the bitmap already holds pixels).
    void ReadBitmapImages(CArchive& archive, size_t index, bool skipImages = false);
    // Makes the texture of every bitmap that has none; true when all exist.
    // The driver's failure to make one throws (the texture manager's error).
    bool CreateTextures();
    bool CreateTexture(size_t index);
    // After a device reset: decodes the bitmap again when its pixels were
    // freed, re-uploads its texture and frees the pixels.
    void RestoreBitmap(CArchive& archive, size_t index);
    // Drops bitmaps, sprites and the reference list; references still alive
    // are detached and draw nothing afterwards.
    void Clear();

    const CSpriteDef* FindSprite(const CString& name) const;
    // The definition's own reference, made on the first call. Throws
    // "Can't find sprite '%s' in file '%s'".
    CSpriteRef* CreateSpriteByName(const CString& name);
    // A new reference for the caller to own.
    std::unique_ptr<CSpriteRef> CreateSprite(const CSpriteDef& definition);

    CGraphics* GetGraphics() const { return m_graphics; }
    uint32_t GetFileWord() const { return m_fileWord; }
    const std::vector<CSpriteDef>& GetSprites() const { return m_sprites; }
    size_t GetBitmapCount() const { return m_bitmaps.size(); }
    const CBitmapEntry& GetBitmapEntry(size_t index) const { return m_bitmaps.at(index); }
    size_t GetSpriteRefCount() const { return m_refs.GetCount(); }
    // Counted objects the file keeps alive until it is emptied.
    void Hold(Engine::ref_ptr<Engine::CReferenced> object) { m_held.push_back(std::move(object)); }
    size_t GetHeldCount() const { return m_held.size(); }

    // Logs the check that failed, then throws "Invalid or corrupted .spr
    // file '<name>'".
    [[noreturn]] static void ThrowCorrupted(const CString& name, const char* reasonFormat, ...) ENGINE_PRINTF(2, 3);

private:
    friend class CSpriteRef;
    // Throws unless count records of at least recordBytes each fit in
    // the bytes left in the stream; what names the count in the message.
    void CheckFits(CArchive& archive, uint64_t count, uint64_t recordBytes, const char* what) const;
    void SkipBytes(CArchive& archive, uint64_t count, const char* what) const;
    void ReadImage(CArchive& archive, CBitmap& bitmap, size_t index, bool alpha, bool skipImages) const;
    void ReadSprite(CArchive& archive, CSpriteDef& definition) const;
    void ReadFrame(CArchive& archive, CSpriteFrame& frame) const;
    void TrackRef(CSpriteRef* ref) { m_refs.Add(ref); }
    void UntrackRef(CSpriteRef* ref) { m_refs.Remove(ref); }

    std::vector<CSpriteDef> m_sprites;
    std::vector<CBitmapEntry> m_bitmaps;
    CGraphics* m_graphics;
    uint32_t m_fileWord = 0;
    CSpriteRefList m_refs;  // living references, not owned
    std::vector<Engine::ref_ptr<Engine::CReferenced>> m_held;
    CTextureList m_textures;
    std::map<std::string, CSpriteDef*> m_names;
    CBitmapPieces m_bitmapPieces;
};

} // namespace Engine::Graphics::SprFile
