#include "graphics/SprFile.h"

#include <algorithm>
#include <cstdarg>

#include "app/Archive.h"
#include "app/Exception.h"
#include "app/LoadingQuitCheck.h"
#include "app/Log.h"
#include "graphics/BitmapIO.h"
#include "graphics/ImageFailureText.h"
#include "graphics/TileLayout.h"
#include "graphics/SpriteRef.h"

namespace Engine::Graphics::SprFile {
namespace {

constexpr uint32_t kFileId = 0x6D696E61u;      // "anim"
constexpr uint32_t kSpriteChunkId = 0x00727073u;  // "spr\0"

// Smallest possible records, used to refuse counts the stream cannot hold.
constexpr uint64_t kBitmapRecordBytes = 16;
constexpr uint64_t kSpriteRecordBytes = 25;
constexpr uint64_t kFrameRecordBytes = 20;
constexpr uint64_t kPieceRecordBytes = 20;

uint32_t ReadU32(CArchive& archive) {
    uint32_t value = 0;
    archive.ReadDWord(value);
    return value;
}

} // namespace

const CTileLayout* CSpriteFrame::GetTileLayout() const {
    if (x == 0 || y == 0 || uint64_t(x) * y > pieces.size()) return nullptr;
    if (!layout || !layout->Fits(*this)) layout = std::make_shared<const CTileLayout>(*this);
    return layout.get();
}

void TextureRegion::SetTextureSize(int32_t width, int32_t height) {
    textureWidth = std::max(width, 1);
    textureHeight = std::max(height, 1);
    const float rw = 1.0f / float(textureWidth);
    const float rh = 1.0f / float(textureHeight);
    uLeft = float(left) * rw;
    vTop = float(top) * rh;
    uRight = float(right) * rw;
    vBottom = float(bottom) * rh;
}

CSpriteDef::CSpriteDef(CSpriteDef&&) noexcept = default;
CSpriteDef& CSpriteDef::operator=(CSpriteDef&&) noexcept = default;
CSpriteDef::~CSpriteDef() = default;

CSprFile::CSprFile(const CString& name, CGraphics* graphics)
    : CManagedObject(name), m_graphics(graphics), m_textures(graphics) {}

CSprFile::~CSprFile() noexcept(false) {
    m_textures.RemoveAll();
    Clear();
}

void CSprFile::Clear() {
    m_bitmaps.clear();
    // Detach first: the definitions' own references then leave no trace.
    for (CSpriteRef* ref : m_refs.TakeAll()) ref->Detach();
    m_names.clear();
    m_bitmapPieces.Clear();
    m_sprites.clear();
    m_held.clear();
}

void CSprFile::ThrowCorrupted(const CString& name, const char* reasonFormat, ...) {
    va_list args;
    va_start(args, reasonFormat);
    const CString reason = FormatStringV(reasonFormat, args);
    va_end(args);
    // The message is the fixed text; what failed goes to the log.
    GetLog().PrintLine("Invalid or corrupted .spr file '%s': %s", name.c_str(), reason.c_str());
    throw Engine::CException::Format("Invalid or corrupted .spr file '%s'", name.c_str());
}

void CSprFile::CheckFits(CArchive& archive, uint64_t count, uint64_t recordBytes, const char* what) const {
    const int64_t left = archive.GetBytesLeft();
    if (count * recordBytes > uint64_t(left))
        ThrowCorrupted(GetName(), "%s %llu does not fit in the %lld bytes left", what,
                       static_cast<unsigned long long>(count), static_cast<long long>(left));
}

void CSprFile::SkipBytes(CArchive& archive, uint64_t count, const char* what) const {
    CheckFits(archive, count, 1, what);
    if (archive.GetFile()->Skip(int64_t(count)) != 0) ThrowCorrupted(GetName(), "cannot skip the %s", what);
}

void CSprFile::Load(CArchive& archive, bool skipImages) {
    if (archive.IsStoring()) return;
    Clear();
    if (ReadU32(archive) != kFileId) throw Engine::CException("Invalid .spr file ID");
    const uint32_t fileWord = ReadU32(archive);
    CChunkHeader header;
    archive.ReadChunkHeader(header);
    SkipBytes(archive, header.length, "first chunk length");
    archive.ReadChunkHeader(header);
    if (header.id != kSpriteChunkId) {
        m_fileWord = fileWord;
        return;
    }
    archive.ReadChunkHeader(header);  // the rest of the file is its body
    archive.ReadChunkHeader(header);
    SkipBytes(archive, header.length, "prelude chunk length");

    const int32_t bitmapCount = int32_t(ReadU32(archive));
    if (bitmapCount > 0) {
        CheckFits(archive, uint64_t(bitmapCount), kBitmapRecordBytes, "bitmap count");
        m_bitmaps.reserve(size_t(bitmapCount));
        for (int32_t i = 0; i < bitmapCount; ++i) {
            Engine::CLoadingQuitCheck::Count();
            m_bitmaps.push_back({nullptr, this, 0xFFFFFFFFu, Engine::ref_ptr<CBitmap>(new CBitmap), -1});
            ReadU32(archive);  // bitmap word, not interpreted
            ReadBitmapImages(archive, size_t(i), skipImages);
        }
    }

    archive.ReadChunkHeader(header);
    const uint32_t spriteCount = ReadU32(archive);
    CheckFits(archive, spriteCount, kSpriteRecordBytes, "sprite count");
    // Each list is made as it is counted, in storage reserved to its count:
    // the names point into it, and a load cut by a quit has made no more
    // than it counted.
    m_sprites.reserve(spriteCount);
    for (uint32_t i = 0; i < spriteCount; ++i) {
        Engine::CLoadingQuitCheck::Count();
        CSpriteDef& definition = m_sprites.emplace_back();
        ReadSprite(archive, definition);
        m_names.emplace(definition.name.str(), &definition);  // a repeated name keeps the first
    }
    m_fileWord = fileWord;
}

void CSprFile::ReadBitmapImages(CArchive& archive, size_t index, bool skipImages) {
    CBitmapEntry& entry = m_bitmaps.at(index);
    if (entry.bitmap->GetPixels()) return;
    Engine::CAbstractFile& file = *archive.GetFile();
    if (entry.streamPosition == -1) entry.streamPosition = file.Tell();
    if (file.Seek(entry.streamPosition, Engine::SEEK_FROM_START) != 0)
        ThrowCorrupted(GetName(), "cannot seek to bitmap %zu", index);
    if (!skipImages) entry.bitmap->Create(0, 0);
    ReadImage(archive, *entry.bitmap, index, false, skipImages);
    ReadImage(archive, *entry.bitmap, index, true, skipImages);
    entry.textureFlags = ReadU32(archive);
}

void CSprFile::ReadImage(CArchive& archive, CBitmap& bitmap, size_t index, bool alpha, bool skipImages) const {
    const uint32_t length = ReadU32(archive);
    if (length == 0) return;
    const char* what = alpha ? "alpha image length" : "image length";
    if (skipImages) {
        SkipBytes(archive, length, what);
        return;
    }
    CheckFits(archive, length, 1, what);
    Engine::CMemoryFile image(*archive.GetFile(), length);
    if (image.Size() != length) CArchive::ThrowReadError(length, int64_t(image.Size()));
    if (alpha ? bitmap.LoadAlphaFromFile(image) : bitmap.LoadFromFile(image)) return;
    // The message is the fixed text; the log line before it says which
    // file, which image and what was wrong with it.
    const char* message = alpha ? "Unable to load .anim alpha bitmap" : "Unable to load .anim bitmap";
    const CString check = DescribeUndecodedImage(CBitmapIO::ByteSpan(image.GetData(), image.Size()));
    GetLog().PrintLine("%s in '%s', bitmap %zu: %s", message, GetName().c_str(), index, check.c_str());
    throw Engine::CException(message);
}

void CSprFile::ReadSprite(CArchive& archive, CSpriteDef& definition) const {
    archive.ReadString(definition.name);
    definition.owner = const_cast<CSprFile*>(this);
    definition.wordA = ReadU32(archive);
    definition.wordB = ReadU32(archive);
    definition.flag1 = ReadU32(archive) != 0;
    definition.flag2 = ReadU32(archive) != 0;
    ReadU32(archive);  // reserved
    const uint32_t frameCount = ReadU32(archive);
    CheckFits(archive, frameCount, kFrameRecordBytes, "frame count");
    definition.frames.reserve(frameCount);
    for (uint32_t i = 0; i < frameCount; ++i) ReadFrame(archive, definition.frames.emplace_back());
}

void CSprFile::ReadFrame(CArchive& archive, CSpriteFrame& frame) const {
    frame.width = ReadU32(archive);
    frame.height = ReadU32(archive);
    frame.x = ReadU32(archive);
    frame.y = ReadU32(archive);
    const uint32_t pieceCount = ReadU32(archive);
    CheckFits(archive, pieceCount, kPieceRecordBytes, "piece count");
    Engine::CLoadingQuitCheck::Count();
    frame.pieces.reserve(pieceCount);
    for (uint32_t i = 0; i < pieceCount; ++i) {
        Engine::CLoadingQuitCheck::Count();
        TextureRegion& piece = frame.pieces.emplace_back();
        piece.bitmap = int32_t(ReadU32(archive));
        piece.top = int32_t(ReadU32(archive));
        piece.left = int32_t(ReadU32(archive));
        piece.bottom = int32_t(ReadU32(archive));
        piece.right = int32_t(ReadU32(archive));
    }
}

bool CSprFile::CreateTextures() {
    CLogSection section("CSprFile::CreateTextures(...)");
    GetLog().PrintLine("File : %s", GetName().c_str());
    bool all = true;
    for (size_t i = 0; i < m_bitmaps.size(); ++i) {
        Engine::CLoadingQuitCheck::Count();
        all = CreateTexture(i) && all;
    }
    return all;
}

bool CSprFile::CreateTexture(size_t index) {
    CBitmapEntry& entry = m_bitmaps.at(index);
    if (entry.texture) return true;
    // The bitmap's size, taken before the upload may free its pixels.
    const int32_t width = entry.bitmap->GetWidth();
    const int32_t height = entry.bitmap->GetHeight();
    Engine::ref_ptr<CTexture> texture;
    m_textures.CreateTexture(texture, entry.bitmap, 0, true, entry.textureFlags);
    if (!texture) return false;
    entry.texture = texture;
    m_bitmapPieces.SetTextureSize(m_sprites, m_bitmaps.size(), index, width, height);
    return true;
}

void CSprFile::RestoreBitmap(CArchive& archive, size_t index) {
    ReadBitmapImages(archive, index);
    CBitmapEntry& entry = m_bitmaps.at(index);
    if (!entry.texture) return;
    if (Engine::ref_ptr<CHardwareTexture> hardware = entry.texture->GetHardwareTexture()) hardware->Restore();
    // The texture reports its size from the bitmap: only the pixels go.
    entry.bitmap->FreePixels();
}

const CSpriteDef* CSprFile::FindSprite(const CString& name) const {
    const auto found = m_names.find(name.str());
    return found == m_names.end() ? nullptr : found->second;
}

CSpriteRef* CSprFile::CreateSpriteByName(const CString& name) {
    const auto found = m_names.find(name.str());
    if (found == m_names.end())
        throw Engine::CException::Format("Can't find sprite '%s' in file '%s'", name.c_str(), GetName().c_str());
    CSpriteDef& definition = *found->second;
    if (!definition.m_defaultRef) {
        definition.m_defaultRef = std::make_unique<CSpriteRef>(this, &definition);
        TrackRef(definition.m_defaultRef.get());
    }
    return definition.m_defaultRef.get();
}

std::unique_ptr<CSpriteRef> CSprFile::CreateSprite(const CSpriteDef& definition) {
    auto ref = std::make_unique<CSpriteRef>(this, const_cast<CSpriteDef*>(&definition));
    TrackRef(ref.get());
    return ref;
}

} // namespace Engine::Graphics::SprFile
