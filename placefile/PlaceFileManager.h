#pragma once
// The process-wide table of loaded place files (owned by the graphics
// object), its delayed loader, and one owner's record of the place files it
// took.

#include "app/DelayedLoader.h"
#include "app/ObjectManager.h"
#include "app/Referenced.h"
#include "placefile/PlaceFile.h"

namespace Engine::Graphics::PlaceFile {

class CPlaceFileManager : public Engine::CReferenced, public Engine::CDelayedLoadingObjectManager<CPlaceFile> {
public:
    explicit CPlaceFileManager(CGraphics* owner) : m_owner(owner) {}
    ~CPlaceFileManager() noexcept(false) override { RemoveAllObjects(); }

    ref_ptr<Engine::IDelayedLoader> CreateDelayedLoader() override;
    CGraphics* GetOwner() const { return m_owner; }
    using CObjectManager::RemoveAllObjects;

private:
    CGraphics* m_owner;
};

// Place files load whole: nothing is left for the loading screen.
class CPlaceFileDelayedLoader : public Engine::CEmptyDelayedLoader {};

class CPlaceFileLocalManager : public Engine::CReferenced, private Engine::CLocalObjectManager<CPlaceFile> {
public:
    explicit CPlaceFileLocalManager(CGraphics* owner) : m_owner(owner) {}
    // Hands every recorded use back.
    ~CPlaceFileLocalManager() noexcept(false) override;

    // Loads (with the sprite files' images now) or shares the place file
    // and records the use.
    ref_ptr<CPlaceFile> GetPlaceFile(const CString& name);
    // A place file this owner already took; throws "Couldn't find place
    // file '%s'" otherwise. Records nothing.
    ref_ptr<CPlaceFile> FindPlaceFile(const CString& name) const;
    // Hands every recorded use back, first to last, and forgets them.
    void ReleaseAll() noexcept;

    using CLocalObjectManager::GetObjects;
    using CLocalObjectManager::GetUses;

private:
    // The lookup behind GetPlaceFile: the load entry its flag picks, and the
    // use recorded.
    ref_ptr<CPlaceFile> LoadPlaceFile(const CString& name, bool loadNow);

    CGraphics* m_owner;
};

// A new local manager owned by the graphics object, as a new reference.
ref_ptr<CPlaceFileLocalManager> CreatePlaceFileLocalManager(CGraphics* graphics);

// The graphics object's place-file manager; throws when it has none.
CPlaceFileManager& GetPlaceFileManager(const CGraphics& graphics);
// Makes every graphics object created from now on own a place-file manager
// and a map-file manager.
void InstallPlaceFileManagerFactory();

} // namespace Engine::Graphics::PlaceFile
