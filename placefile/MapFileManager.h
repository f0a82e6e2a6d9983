#pragma once
// The process-wide table of map files (owned by the graphics object), its
// delayed loader, and one owner's record of the map files it took.

#include "app/DelayedLoader.h"
#include "app/ObjectManager.h"
#include "app/Referenced.h"
#include "placefile/MapFile.h"

namespace Engine::Graphics {
class CGraphics;
}

namespace Engine::Graphics::MapFile {

class CMapFileManager : public Engine::CReferenced, public Engine::CDelayedLoadingObjectManager<CMapFile> {
public:
    explicit CMapFileManager(CGraphics* owner) : m_owner(owner) {}
    ~CMapFileManager() noexcept(false) override { RemoveAllObjects(); }

    ref_ptr<Engine::IDelayedLoader> CreateDelayedLoader() override;
    CGraphics* GetOwner() const { return m_owner; }

private:
    CGraphics* m_owner;
};

// Map files would load whole: nothing is left for the loading screen.
class CMapFileDelayedLoader : public Engine::CEmptyDelayedLoader {};

// Nothing takes a map file through it; recording a use is left to derived
// classes, since a use the owner's manager never counted, handed back,
// would erase another owner's entry.
class CMapFileLocalManager : public Engine::CReferenced, protected Engine::CLocalObjectManager<CMapFile> {
public:
    explicit CMapFileLocalManager(CGraphics* owner) : m_owner(owner) {}
    ~CMapFileLocalManager() noexcept(false) override;

    // Hands the uses back first to last, each removed as it goes.
    void ReleaseAll() noexcept;

    using CLocalObjectManager::GetObjects;
    using CLocalObjectManager::GetUses;

private:
    CGraphics* m_owner;
};

// A new local manager owned by the graphics object, as a new reference.
ref_ptr<CMapFileLocalManager> CreateMapFileLocalManager(CGraphics* graphics);

// The graphics object's map-file manager, or null when it has none.
CMapFileManager* FindMapFileManager(const CGraphics* graphics);

} // namespace Engine::Graphics::MapFile
