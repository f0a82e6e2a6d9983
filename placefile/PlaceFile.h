#pragma once
// One loaded ".place" file: layers of place objects, the sprite files and
// particle effect files they use, custom properties, and the scene that
// animates them. Shared by name through the place-file manager.

#include <cstdint>
#include <memory>
#include <vector>

#include "app/Archive.h"
#include "app/ManagedObject.h"
#include "app/Referenced.h"
#include "app/String.h"
#include "graphics/SprFileManager.h"
#include "placefile/CustomProperties.h"
#include "placefile/PlaceFrameWalk.h"
#include "placefile/PlaceLayer.h"
#include "placefile/PlaceObjectIndex.h"
#include "placefile/PlaceParticles.h"
#include "placefile/SceneGeneratedClass.h"
#include "placefile/VexaLibrary.h"
#include "scene/ReferenceTarget.h"
#include "scene/SceneRoot.h"

namespace Engine::Graphics::PlaceFile {

class CPlaceFileManager;
class CSpriteRecordIndex;

class CPlaceFile : public Engine::CReferenced, public Engine::CManagedObject {
public:
    using CCustomPropertyDescs = PlaceFile::CCustomPropertyDescs;
    using CCustomPropertyValues = PlaceFile::CCustomPropertyValues;
    using CVexaLibrary = PlaceFile::CVexaLibrary;

    // A sprite file of the sprite library; its records exist only between
    // reading and ConnectSprites.
    struct CSpriteRecord {
        uint32_t id = 0;
        CString name;
    };
    struct CSpriteFileEntry {
        uint32_t count = 0;
        std::vector<CSpriteRecord> records;
        CString name;
        ref_ptr<SprFile::CSprFile> file;
    };

    CPlaceFile(CGraphics* graphics, const CString& name);
    ~CPlaceFile() noexcept(false) override;

    // The place file loaded under the name, or one read now: read, checked
    // for trailing bytes, registered, its sprites linked, its scene at time
    // 0 and its generated class assigned. Counts one use either way; every
    // failure throws Engine::CException and leaves nothing registered.
    static ref_ptr<CPlaceFile> Load(CPlaceFileManager& manager, const CString& name, bool loadNow);
    // Load with the sprite files' images made now, or queued.
    static ref_ptr<CPlaceFile> LoadNow(CPlaceFileManager& manager, const CString& name) {
        return Load(manager, name, true);
    }
    static ref_ptr<CPlaceFile> LoadQueued(CPlaceFileManager& manager, const CString& name) {
        return Load(manager, name, false);
    }

    // Reads both layouts; throws Engine::CException on the place file's own
    // faults, and passes on what its scene archive and effect files throw.
    void Serialize(CArchive& ar);
    // Serialize as a load runs it: whatever else the read throws (the scene
    // archive's integer 1, the particle library's exceptions) comes out as
    // an Engine::CException naming the file.
    void Read(CArchive& ar);
    void SerializeLegacy(CArchive& ar);
    // Loads the sprite files and gives sprite objects (top level and one
    // group level deep) their sprites.
    void ConnectSprites(bool loadNow);
    void AssignGeneratedClass(const char* path);

    // Per frame: the scene time (generated body or generic update), the
    // particle objects, then the layers into the sprite queue. Update and
    // Draw walk lists made when the layers were read, so empty layers cost
    // nothing.
    void SetTime(double time);
    void Update(double time, double step);
    void Draw(float x, float y, float opacity);

    // The first object with the ID, layers and objects in file order, a
    // group before its children.
    CPlaceObject* FindObjectByID(uint32_t id) const;
    // Whoever changes Layers, their objects, or an object's ID or Type
    // after loading calls this: the ID index and the frame's lists are
    // made again when next asked.
    void InvalidateLayout();
    int32_t GetLayerCount() const { return int32_t(Layers.size()); }
    ref_ptr<Engine::Scene::CScene> GetScene() const { return Scene; }
    ref_ptr<IPlaceEffectFiles> GetVexaFileLocalManager() const { return VexaFileLocalManager; }
    CVexaLibrary& GetVexaLibrary() { return VexaLibrary; }
    CSceneGeneratedClass* GetGeneratedClass() const { return GeneratedClass; }

    CSceneGeneratedClass* GeneratedClass = nullptr;
    CGraphics* Graphics;
    std::vector<std::unique_ptr<CPlaceLayer>> Layers;
    CCustomPropertyValues Properties;
    std::vector<CSpriteFileEntry> SpriteFiles;
    ref_ptr<SprFile::CSprFileLocalManager> SprFileLocalManager;
    uint8_t SpritesConnected = 0;
    CCustomPropertyDescs PropertyDescs;
    CString Name;
    ref_ptr<Engine::Scene::CReferenceTarget> SceneHolder;
    ref_ptr<Engine::Scene::CScene> Scene;
    CVexaLibrary VexaLibrary;
    ref_ptr<IPlaceEffectFiles> VexaFileLocalManager;
    uint8_t EmitterTimesPending = 1;

private:
    void ReadSpriteLibrary(CArchive& ar, bool chunked);
    void ReadLayers(CArchive& ar, bool legacy);
    void ReadScene(CArchive& ar);
    void LinkSprite(CPlaceObject& object, const CSpriteRecordIndex& records);

    // Built by the first look-up, which the scene archive's reading makes.
    mutable CPlaceObjectIndex ObjectIndex;
    // Made when the layers are read.
    CPlaceFrameWalk FrameWalk;
};

// The place file whose scene archive is being read, else null.
ref_ptr<CPlaceFile> GetCurrentPlaceFile();
void SetCurrentPlaceFile(ref_ptr<CPlaceFile> placeFile);

} // namespace Engine::Graphics::PlaceFile
