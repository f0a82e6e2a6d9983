// The ".place" reader: the chunked layout 0x1010, which ends with the scene
// archive, and the older layout 0x1007.

#include "app/Exception.h"
#include "app/LoadingQuitCheck.h"
#include "placefile/PlaceFile.h"
#include "placefile/PlaceReading.h"

namespace Engine::Graphics::PlaceFile {

namespace {
constexpr uint32_t FILE_ID = 0x61636C70;  // "plca"
constexpr uint32_t VERSION_CURRENT = 0x1010;
constexpr uint32_t VERSION_LEGACY = 0x1007;
constexpr uint32_t CHUNK_SPRITE_VIEW = 0x000EBACB;
constexpr uint32_t CHUNK_VIEW = 0x0000AAAA;
constexpr uint32_t CHUNK_VEXA_LIBRARY = 0x00000AB2;
constexpr uint32_t CHUNK_SPRITE_LIB = 0x00009090;
constexpr uint32_t CHUNK_SPRITE = 0x00002020;
constexpr uint32_t CHUNK_SNAP = 0x0000A1A1;
constexpr int LEGACY_HEADER_WORDS = 16;
constexpr int LEGACY_TRAILER_WORDS = 9;
// A name and a sprite count.
constexpr uint64_t MIN_SPRITE_FILE_BYTES = 5;
// Sprite ID, a name and six words; the chunked form adds its header.
constexpr uint64_t MIN_SPRITE_BYTES = 29;
constexpr uint64_t CHUNK_HEADER_BYTES = 12;
// The smallest layer record of either layout.
constexpr uint64_t MIN_LAYER_BYTES = 21;

// Resets the current place file however the scene read ends.
class CCurrentPlaceFileScope {
public:
    explicit CCurrentPlaceFileScope(CPlaceFile* placeFile) { SetCurrentPlaceFile(ref_ptr<CPlaceFile>(placeFile)); }
    ~CCurrentPlaceFileScope() { SetCurrentPlaceFile(nullptr); }
    CCurrentPlaceFileScope(const CCurrentPlaceFileScope&) = delete;
    CCurrentPlaceFileScope& operator=(const CCurrentPlaceFileScope&) = delete;
};

void DropWords(CArchive& ar, int count) {
    for (int i = 0; i < count; ++i) ReadUInt(ar);
}
} // namespace

void CPlaceFile::Serialize(CArchive& ar) {
    if (ar.IsStoring()) return;
    InvalidateLayout();
    Layers.clear();
    if (ReadUInt(ar) != FILE_ID) throw Engine::CException::Format("Invalid '%s' file ID", Name.c_str());
    const uint32_t version = ReadUInt(ar);
    if (version < VERSION_LEGACY)
        throw Engine::CException::Format(
            "File '%s' was saved using old Place tool. Please, update this .place file.", Name.c_str());
    if (version == VERSION_LEGACY) {
        SerializeLegacy(ar);
        return;
    }
    if (version != VERSION_CURRENT)
        throw Engine::CException::Format("File '%s' was saved using new Place tool. Please, make sure your are using "
                                         "game engine from the same distribution.",
                                         Name.c_str());
    const auto message = [this](const char* format) { return FormatString(format, Name.c_str()); };
    ExpectChunk(ar, FILE_ID, message("Invalid '%s' place file chunk ID"));
    ReadUInt(ar);
    SkipBytes(ar, ExpectChunk(ar, CHUNK_SPRITE_VIEW, message("Invalid '%s' place  file chunk ID (SpriteView)")).length);
    SkipBytes(ar, ExpectChunk(ar, CHUNK_VIEW, message("Invalid '%s' place  file chunk ID (View)")).length);
    ExpectChunk(ar, CHUNK_VEXA_LIBRARY, "Can't find vexa library chunk");
    VexaLibrary.Serialize(ar);
    PropertyDescs.Serialize(ar);
    Properties.Serialize(ar);
    ExpectChunk(ar, CHUNK_SPRITE_LIB, message("Invalid '%s' place  file chunk ID (SpriteLib)"));
    ReadSpriteLibrary(ar, true);
    ReadLayers(ar, false);
    SkipBytes(ar, ExpectChunk(ar, CHUNK_SNAP, message("Invalid '%s' place  file chunk ID (Snap)")).length);
    DropWords(ar, 2);
    CChunkHeader sceneChunk;
    ar.ReadChunkHeader(sceneChunk);
    ReadScene(ar);
}

void CPlaceFile::SerializeLegacy(CArchive& ar) {
    if (ar.IsStoring()) return;
    DropWords(ar, LEGACY_HEADER_WORDS);
    PropertyDescs.SerializeLegacy(ar);
    Properties.SerializeLegacy(ar);
    ReadUInt(ar);
    ReadSpriteLibrary(ar, false);
    ReadLayers(ar, true);
    DropWords(ar, LEGACY_TRAILER_WORDS);
    const uint32_t pairs = ReadUInt(ar);
    CheckCount(ar, pairs, 8);
    // Unused: skipped at once rather than read word by word.
    SkipBytes(ar, uint64_t(pairs) * 8);
}

void CPlaceFile::ReadSpriteLibrary(CArchive& ar, bool chunked) {
    const uint32_t fileCount = ReadUInt(ar);
    CheckCount(ar, fileCount, MIN_SPRITE_FILE_BYTES);
    // Each list is made as it is counted: a load cut by a quit has made no
    // more than it counted.
    SpriteFiles.clear();
    SpriteFiles.reserve(fileCount);
    const CString spriteMessage = FormatString("Invalid '%s' place  file chunk ID (Sprite)", Name.c_str());
    for (uint32_t i = 0; i < fileCount; ++i) {
        Engine::CLoadingQuitCheck::Count();
        CSpriteFileEntry& entry = SpriteFiles.emplace_back();
        ar.ReadString(entry.name);
        const uint32_t count = ReadUInt(ar);
        if (count == 0) continue;
        CheckCount(ar, count, MIN_SPRITE_BYTES + (chunked ? CHUNK_HEADER_BYTES : 0));
        entry.count = count;
        entry.records.reserve(count);
        for (uint32_t j = 0; j < count; ++j) {
            Engine::CLoadingQuitCheck::Count();
            CSpriteRecord& record = entry.records.emplace_back();
            if (chunked) ExpectChunk(ar, CHUNK_SPRITE, spriteMessage);
            record.id = ReadUInt(ar);
            ar.ReadString(record.name);
            DropWords(ar, 6);
        }
    }
}

void CPlaceFile::ReadLayers(CArchive& ar, bool legacy) {
    const uint32_t count = ReadUInt(ar);
    CheckCount(ar, count, MIN_LAYER_BYTES);
    InvalidateLayout();
    Layers.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        Engine::CLoadingQuitCheck::Count();
        CPlaceLayer& layer = *Layers.emplace_back(std::make_unique<CPlaceLayer>(this, &PropertyDescs));
        if (legacy)
            layer.SerializeLegacy(ar);
        else
            layer.Serialize(ar);
    }
    FrameWalk.Build(Layers);
}

void CPlaceFile::ReadScene(CArchive& ar) {
    const CCurrentPlaceFileScope current(this);
    Scene->Serialize(ar);
}

} // namespace Engine::Graphics::PlaceFile
