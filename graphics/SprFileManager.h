#pragma once
// The process-wide table of loaded sprite files (owned by the driver), each
// owner's set of files in it, and the loader that decodes images and makes
// textures step by step behind the loading screen.

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "app/File.h"
#include "app/Referenced.h"
#include "app/ObjectManager.h"
#include "graphics/SprFile.h"

namespace Engine::Graphics {

class CGraphics;
namespace SprFile {
class CSprFileDelayedLoader;
}

class CSprFileManager : public Engine::CReferenced,
                        public Engine::CDelayedLoadingObjectManager<SprFile::CSprFile> {
public:
    using ProgressCallback = void (*)(void* context, int current);

    explicit CSprFileManager(CGraphics* graphics) : m_pGraphics(graphics) {}
    ~CSprFileManager() noexcept(false) override;

    // The file loaded under the name, or a new one read now; counts one use
    // either way. With skipImages the images wait for the delayed loader.
    // A failed load leaves the table unchanged.
    ref_ptr<SprFile::CSprFile> LoadSprFile(const CString& name, bool skipImages);
    // Every file the listing gives for the pattern, in listing order.
    std::vector<ref_ptr<SprFile::CSprFile>> LoadSprFiles(const CString& pattern, bool skipImages);
    // Throws "Couln't find spr file '%s'" when the name is not loaded.
    ref_ptr<SprFile::CSprFile> FindSprFile(const CString& name) const;
    // Hands one use back. When that leaves the file out of the table, the
    // running delayed loaders drop its pending items.
    void ReleaseUse(ref_ptr<SprFile::CSprFile> file);

    // After a device reset: re-reads the images of the files whose flag
    // equals group and restores their textures, reporting the running
    // bitmap number (across all files) to progress when given. A file that
    // fails is logged and skipped.
    void ReloadBitmaps(int group, ProgressCallback progress, void* context);
    int CountBitmaps(int group) const;

    ref_ptr<Engine::IDelayedLoader> CreateDelayedLoader() override;
    CGraphics* GetGraphics() const { return m_pGraphics; }

private:
    friend class SprFile::CSprFileDelayedLoader;

    CGraphics* m_pGraphics;
    // The loaders between their Begin and End, which hold pending items.
    std::vector<SprFile::CSprFileDelayedLoader*> m_running;
};

namespace SprFile {

// Opens a sprite file by name (data packs, then disk); throws "Unable to
// open .spr file '%s'".
void OpenSprFile(Engine::CFile& file, const CString& name);

class CSprFileDelayedLoader : public Engine::IDelayedLoader {
public:
    struct CPendingItem {
        ref_ptr<CSprFile> spr;
        int32_t bitmap = 0;
        bool readPixels = false;
        bool createTexture = false;
    };

    explicit CSprFileDelayedLoader(CSprFileManager* manager) : m_manager(manager) {}
    ~CSprFileDelayedLoader() noexcept(false) override;

    // For every bitmap without a texture: a decode item when its pixels are
    // not in memory, then a texture item.
    void Begin() override;
    void End() override;
    int32_t GetPendingCount() const override { return int32_t(m_pending.size()); }
    void LoadItem(int32_t index) override;
    const std::vector<CPendingItem>& GetPending() const { return m_pending; }

    // Drops the file's pending items. A run in progress has numbered the
    // items and counted them, so each dropped item keeps its place as one
    // that does nothing and lets the file go.
    void DropPending(const CSprFile* file);

private:
    friend class Engine::Graphics::CSprFileManager;  // forgets itself in m_manager
    void StopRunning();

    CSprFileManager* m_manager;
    Engine::CFile m_file;
    ref_ptr<CSprFile> m_current;  // the file m_file has open; consecutive items share it
    std::vector<CPendingItem> m_pending;
    // Where each file's items lie in m_pending (they follow each other), so
    // that dropping a file does not walk every item; looked up only.
    std::map<const CSprFile*, std::pair<size_t, size_t>> m_pendingOf;
};

// One owner's sprite files: every load counts a use in the driver's manager
// and the destructor hands them all back.
class CSprFileLocalManager : public Engine::CReferenced, private Engine::CLocalObjectManager<CSprFile> {
public:
    explicit CSprFileLocalManager(CGraphics* graphics) : m_pGraphics(graphics) {}
    ~CSprFileLocalManager() noexcept(false) override;

    // Loads or shares the file and records the use. With delayed set the
    // images and textures are left for the delayed loader.
    ref_ptr<CSprFile> LoadSprFile(const CString& name, bool delayed);
    // The file with its textures left for the loading screen.
    ref_ptr<CSprFile> GetSprFile(const CString& name) { return LoadSprFile(name, true); }
    // The file with its textures made now.
    ref_ptr<CSprFile> GetSprFileNow(const CString& name) { return LoadSprFile(name, false); }
    // A file this owner loaded; throws "Couln't find spr file '%s'" when
    // nobody loaded it and "Couldn't find spr file '%s'" when another owner
    // did.
    ref_ptr<CSprFile> FindSprFile(const CString& name) const;
    // Loads the files of the pattern with their images left for the delayed
    // loader.
    void LoadAllSprFiles(const CString& pattern);
    // Hands one use of the file back (its pending delayed items go with its
    // last use) and forgets that use here. Does nothing unless this owner
    // holds a use of the file.
    void ReleaseSprFile(const ref_ptr<CSprFile>& file);
    // Hands the uses back one by one, first to last.
    void ReleaseAll();

    using CLocalObjectManager::GetObjects;
    using CLocalObjectManager::GetUses;
    using CLocalObjectManager::HasObject;

private:
    ref_ptr<CSprFileManager> GetManager() const;
    CGraphics* m_pGraphics;
};

// A new local manager owned by the graphics object, as a new reference.
ref_ptr<CSprFileLocalManager> CreateSprFileLocalManager(CGraphics* graphics);

} // namespace SprFile
} // namespace Engine::Graphics
