#include "placefile/PlaceFileManager.h"

#include "app/Exception.h"
#include "graphics/Graphics.h"
#include "placefile/MapFileManager.h"

namespace Engine::Graphics::PlaceFile {

namespace {
ref_ptr<Engine::CReferenced> CreatePlaceFileManager(CGraphics* owner) {
    return ref_ptr<Engine::CReferenced>(new CPlaceFileManager(owner));
}
ref_ptr<Engine::CReferenced> CreateMapFileManager(CGraphics* owner) {
    return ref_ptr<Engine::CReferenced>(new MapFile::CMapFileManager(owner));
}
} // namespace

ref_ptr<Engine::IDelayedLoader> CPlaceFileManager::CreateDelayedLoader() {
    return ref_ptr<Engine::IDelayedLoader>(new CPlaceFileDelayedLoader);
}

ref_ptr<CPlaceFileLocalManager> CreatePlaceFileLocalManager(CGraphics* graphics) {
    return ref_ptr<CPlaceFileLocalManager>(new CPlaceFileLocalManager(graphics));
}

CPlaceFileManager& GetPlaceFileManager(const CGraphics& graphics) {
    auto* manager = dynamic_cast<CPlaceFileManager*>(graphics.GetPlaceFileManager().get());
    if (!manager) throw Engine::CException("The graphics object has no place-file manager");
    return *manager;
}

void InstallPlaceFileManagerFactory() {
    CGraphics::SetResourceManagerFactories(&CreatePlaceFileManager, &CreateMapFileManager);
}

CPlaceFileLocalManager::~CPlaceFileLocalManager() noexcept(false) {
    ReleaseAll();
    FreeLists();
}

void CPlaceFileLocalManager::ReleaseAll() noexcept {
    // Nothing may throw here: a graphics object without a manager has no
    // table to hand the uses back to.
    auto* manager = m_owner ? dynamic_cast<CPlaceFileManager*>(m_owner->GetPlaceFileManager().get()) : nullptr;
    if (manager)
        for (const ref_ptr<CPlaceFile>& use : GetUses()) manager->ReleaseObject(use);
    Clear();
}

ref_ptr<CPlaceFile> CPlaceFileLocalManager::GetPlaceFile(const CString& name) {
    return LoadPlaceFile(name, true);
}

ref_ptr<CPlaceFile> CPlaceFileLocalManager::LoadPlaceFile(const CString& name, bool loadNow) {
    CPlaceFileManager& manager = GetPlaceFileManager(*m_owner);
    ref_ptr<CPlaceFile> placeFile =
        loadNow ? CPlaceFile::LoadNow(manager, name) : CPlaceFile::LoadQueued(manager, name);
    AddObject(placeFile);
    return placeFile;
}

ref_ptr<CPlaceFile> CPlaceFileLocalManager::FindPlaceFile(const CString& name) const {
    ref_ptr<CPlaceFile> placeFile = GetPlaceFileManager(*m_owner).LookupObject(name);
    if (!placeFile || !HasObject(placeFile.get()))
        throw Engine::CException::Format("Couldn't find place file '%s'", name.c_str());
    return placeFile;
}

} // namespace Engine::Graphics::PlaceFile
