#include "placefile/PlaceFile.h"

#include "app/Exception.h"
#include "app/File.h"
#include "app/LoadingQuitCheck.h"
#include "app/Log.h"
#include "app/ProcessEnd.h"
#include "graphics/SprFile.h"
#include "placefile/PlaceFileManager.h"
#include "placefile/PlaceGroupObject.h"
#include "placefile/PlaceSpriteObject.h"
#include "placefile/SpriteRecordIndex.h"
#include "scene/Animatable.h"

namespace Engine::Graphics::PlaceFile {

namespace {
ref_ptr<CPlaceFile>& CurrentPlaceFile() {
    static ref_ptr<CPlaceFile> current;
    return current;
}

ref_ptr<IPlaceEffectFiles> MakeVexaFileLocalManager(CGraphics* graphics) {
    const PlaceParticleFactory factory = GetPlaceParticleFactory();
    return factory ? factory(graphics) : nullptr;
}

// Whatever a step of loading throws besides Engine::CException (the scene
// archive's integer 1 for an object chunk of another kind, the particle
// library's own exceptions) fails the load with an engine exception that
// names the file: one damaged scene must not end the program.
template <class Step>
void RunLoadStep(const CString& name, Step step) {
    try {
        step();
    } catch (const Engine::CException&) {
        throw;
    } catch (const std::exception& e) {
        throw Engine::CException::Format("Invalid or corrupted .place file '%s' : %s", name.c_str(), e.what());
    } catch (int value) {
        throw Engine::CException::Format("Invalid or corrupted .place file '%s' : integer %d thrown", name.c_str(),
                                         value);
    }
}
} // namespace

ref_ptr<CPlaceFile> GetCurrentPlaceFile() {
    return CurrentPlaceFile();
}

void SetCurrentPlaceFile(ref_ptr<CPlaceFile> placeFile) {
    CurrentPlaceFile() = std::move(placeFile);
}

CPlaceFile::CPlaceFile(CGraphics* graphics, const CString& name)
    : Engine::CManagedObject(name),
      Graphics(graphics),
      Properties(&PropertyDescs),
      SprFileLocalManager(new SprFile::CSprFileLocalManager(graphics)),
      Name(name),
      SceneHolder(new Engine::Scene::CReferenceTarget),
      Scene(new Engine::Scene::CScene),
      VexaLibrary(this),
      VexaFileLocalManager(MakeVexaFileLocalManager(graphics)) {
    SceneHolder->AddReference(Scene, 0);
}

CPlaceFile::~CPlaceFile() noexcept(false) {
    Layers.clear();
    // The scene's objects are only memory: at the process's end they are
    // left to it whole, their references to each other untouched.
    if (Scene && Engine::CProcessEnd::IsLeavingMemory()) {
        Engine::CProcessEnd::Leave(std::move(Scene));
        Engine::CProcessEnd::Leave(std::move(SceneHolder));
    }
    if (Scene) {
        SceneHolder->DeleteAllReferences();
        while (Scene->GetSubAnimCount() > 0) Scene->RemoveSubAnim(Scene->GetSubAnimCount() - 1);
        Scene->DeleteAllReferences();
        Scene.Release();
        SceneHolder.Release();
    }
}

ref_ptr<CPlaceFile> CPlaceFile::Load(CPlaceFileManager& manager, const CString& name, bool loadNow) {
    if (ref_ptr<CPlaceFile> loaded = manager.LookupObject(name)) {
        manager.RegisterObject(loaded);
        return loaded;
    }
    Engine::CFile file;
    if (!file.Open(name)) throw Engine::CException::Format("Unable to open .place file '%s'", name.c_str());
    CArchive ar(&file, false);
    ref_ptr<CPlaceFile> placeFile(new CPlaceFile(manager.GetOwner(), name));
    placeFile->Read(ar);
    const int64_t position = file.Tell();
    const int64_t size = file.GetSize();
    if (position != size)
        throw Engine::CException::Format("Invalid or corrupted .place file '%s' (Position = %d, Expected = %d)",
                                         name.c_str(), int(position), int(size));
    manager.RegisterObject(placeFile);
    try {
        RunLoadStep(name, [&] {
            placeFile->ConnectSprites(loadNow);
            placeFile->Scene->SetTime(0.0);
            placeFile->AssignGeneratedClass(name.c_str());
        });
    } catch (...) {
        // A half-linked place file must not be handed to the next load.
        manager.ReleaseObject(placeFile);
        throw;
    }
    return placeFile;
}

void CPlaceFile::Read(CArchive& ar) {
    RunLoadStep(Name, [&] { Serialize(ar); });
}

void CPlaceFile::ConnectSprites(bool loadNow) {
    if (SpritesConnected) return;
    for (CSpriteFileEntry& entry : SpriteFiles) {
        entry.file = loadNow ? SprFileLocalManager->GetSprFileNow(entry.name) : SprFileLocalManager->GetSprFile(entry.name);
        if (!entry.file)
            throw Engine::CException::Format("CPlaceFile::ConnectSprites() : Unable to load .spr file '%s'",
                                             entry.name.c_str());
    }
    const CSpriteRecordIndex records(SpriteFiles);
    for (const std::unique_ptr<CPlaceLayer>& layer : Layers) {
        for (const std::unique_ptr<CPlaceObject>& object : layer->Objects) {
            if (object->Type != PLACE_GROUP) {
                LinkSprite(*object, records);
                continue;
            }
            for (const std::unique_ptr<CPlaceObject>& child : static_cast<CPlaceGroupObject&>(*object).Children)
                LinkSprite(*child, records);
        }
    }
    for (CSpriteFileEntry& entry : SpriteFiles) entry.records = {};
    SpritesConnected = 1;
}

void CPlaceFile::LinkSprite(CPlaceObject& object, const CSpriteRecordIndex& records) {
    Engine::CLoadingQuitCheck::Count();
    if (object.Type != PLACE_SPRITE) return;
    auto& sprite = static_cast<CPlaceSpriteObject&>(object);
    if (sprite.SpriteID <= 0) return;
    const auto [record, owner] = records.Find(uint32_t(sprite.SpriteID));
    if (!record)
        throw Engine::CException::Format("Graphics::CPlaceFile::ConnectSprites() : FAILED : Can't find sprite by id '%d'",
                                         sprite.SpriteID);
    const SprFile::CSpriteDef* definition = owner->file->FindSprite(record->name);
    if (!definition) throw Engine::CException::Format("Can't find anim sprite '%s'", record->name.c_str());
    sprite.Sprite = owner->file->CreateSprite(*definition);
    // The reference keeps the frame inside its definition's frame list.
    sprite.Sprite->SetFrame(int32_t(sprite.Frame));
}

void CPlaceFile::AssignGeneratedClass(const char* path) {
    if (!g_bUseGeneratedSceneClasses) return;
    GeneratedClass = FindSceneGeneratedClass(path);
    GetLog().Printf("Assigning generated class for '%s' : ", path);
    GetLog().PrintLineRaw("%s", OkOrFailed(GeneratedClass != nullptr));
}

void CPlaceFile::SetTime(double time) {
    Engine::Scene::CSceneTime& record = Scene->GetTimeRecord();
    record.currentTime = time;
    record.wrappedTime = Engine::Scene::WrapTimeIntoSpan(record, time * double(record.rate));
    if (GeneratedClass)
        GeneratedClass->SetTime(Scene, record.wrappedTime);
    else
        Engine::Scene::CAnimatable::UpdateSubAnimsAtTime(*Scene, record.wrappedTime);
}

void CPlaceFile::Update(double time, double step) {
    if (EmitterTimesPending) {
        if (VexaFileLocalManager)
            for (const ref_ptr<IPlaceEffectFile>& file : VexaFileLocalManager->GetUses())
                for (const ref_ptr<IPlaceEmitter>& emitter : file->GetEmitters()) emitter->SetTime(float(time));
        EmitterTimesPending = 0;
    }
    FrameWalk.UpdateParticles(Layers, time, step);
}

void CPlaceFile::Draw(float x, float y, float opacity) {
    FrameWalk.Draw(Layers, x, y, opacity);
}

void CPlaceFile::InvalidateLayout() {
    ObjectIndex.Invalidate();
    FrameWalk.Invalidate();
    for (const std::unique_ptr<CPlaceLayer>& layer : Layers) layer->InvalidateDrawSteps();
}

CPlaceObject* CPlaceFile::FindObjectByID(uint32_t id) const {
    return ObjectIndex.Find(Layers, id);
}

} // namespace Engine::Graphics::PlaceFile
