#include "graphics/SprFileManager.h"

#include <algorithm>

#include "app/Archive.h"
#include "app/Exception.h"
#include "app/LoadingQuitCheck.h"
#include "app/Log.h"
#include "graphics/Graphics.h"

namespace Engine::Graphics {

using SprFile::CSprFile;

CSprFileManager::~CSprFileManager() noexcept(false) {
    for (SprFile::CSprFileDelayedLoader* loader : m_running) loader->m_manager = nullptr;
    RemoveAllObjects();
}

void CSprFileManager::ReleaseUse(ref_ptr<CSprFile> file) {
    if (!file) return;
    ReleaseObject(file);
    // Another owner may still use the file: its images are still wanted.
    if (LookupObject(file->GetName()) == file) return;
    for (SprFile::CSprFileDelayedLoader* loader : m_running) loader->DropPending(file.get());
}

ref_ptr<CSprFile> CSprFileManager::LoadSprFile(const CString& name, bool skipImages) {
    // Each file counts, also one that holds nothing or is already loaded:
    // a place file may name thousands.
    Engine::CLoadingQuitCheck::Count();
    if (ref_ptr<CSprFile> loaded = LookupObject(name)) {
        RegisterObject(loaded);
        return loaded;
    }
    Engine::CFile file;
    SprFile::OpenSprFile(file, name);
    ref_ptr<CSprFile> spr(new CSprFile(name, m_pGraphics));
    CArchive archive(&file, false);
    spr->Load(archive, skipImages);
    if (file.Tell() != file.GetSize())
        CSprFile::ThrowCorrupted(name, "%lld bytes after the last read record", static_cast<long long>(file.GetSize() - file.Tell()));
    if (!skipImages) spr->CreateTextures();
    RegisterObject(spr);
    return spr;
}

std::vector<ref_ptr<CSprFile>> CSprFileManager::LoadSprFiles(const CString& pattern, bool skipImages) {
    std::vector<ref_ptr<CSprFile>> files;
    for (const CString& name : Engine::FindFiles(pattern)) files.push_back(LoadSprFile(name, skipImages));
    return files;
}

ref_ptr<CSprFile> CSprFileManager::FindSprFile(const CString& name) const {
    ref_ptr<CSprFile> found = LookupObject(name);
    if (!found) throw Engine::CException::Format("Couln't find spr file '%s'", name.c_str());
    return found;
}

int CSprFileManager::CountBitmaps(int group) const {
    int count = 0;
    for (const ref_ptr<CSprFile>& file : GetObjects())
        if (file->GetFlag() == group) count += int(file->GetBitmapCount());
    return count;
}

void CSprFileManager::ReloadBitmaps(int group, ProgressCallback progress, void* context) {
    CLogSection section("CSprFileManager::ReloadBitmaps()");
    int base = 0;
    for (const ref_ptr<CSprFile>& spr : GetObjects()) {
        if (spr->GetFlag() != group) continue;
        GetLog().PrintLine("Reloading '%s'", spr->GetName().c_str());
        // A file that went missing or changed must not keep the others, or
        // the restore of the remaining device objects, from running.
        try {
            Engine::CFile file;
            SprFile::OpenSprFile(file, spr->GetName());
            CArchive archive(&file, false);
            for (size_t i = 0; i < spr->GetBitmapCount(); ++i) {
                if (progress) progress(context, base + int(i));
                spr->RestoreBitmap(archive, i);
            }
        } catch (const Engine::CException& e) {
            GetLog().PrintLine("%s", e.what());
        }
        base += int(spr->GetBitmapCount());
    }
}

ref_ptr<Engine::IDelayedLoader> CSprFileManager::CreateDelayedLoader() {
    return ref_ptr<Engine::IDelayedLoader>(new SprFile::CSprFileDelayedLoader(this));
}

namespace SprFile {

void OpenSprFile(Engine::CFile& file, const CString& name) {
    if (!file.Open(name)) throw Engine::CException::Format("Unable to open .spr file '%s'", name.c_str());
}

CSprFileDelayedLoader::~CSprFileDelayedLoader() noexcept(false) { StopRunning(); }

void CSprFileDelayedLoader::StopRunning() {
    if (!m_manager) return;
    auto& running = m_manager->m_running;
    running.erase(std::remove(running.begin(), running.end(), this), running.end());
}

void CSprFileDelayedLoader::Begin() {
    m_pending.clear();
    m_pendingOf.clear();
    if (!m_manager) return;
    if (std::find(m_manager->m_running.begin(), m_manager->m_running.end(), this) == m_manager->m_running.end())
        m_manager->m_running.push_back(this);
    for (const ref_ptr<CSprFile>& spr : m_manager->GetObjects()) {
        const size_t first = m_pending.size();
        for (size_t i = 0; i < spr->GetBitmapCount(); ++i) {
            Engine::CLoadingQuitCheck::Count();
            const CSprFile::CBitmapEntry& entry = spr->GetBitmapEntry(i);
            if (entry.texture) continue;
            if (!entry.bitmap->GetPixels()) m_pending.push_back({spr, int32_t(i), true, false});
            m_pending.push_back({spr, int32_t(i), false, true});
        }
        if (m_pending.size() > first) m_pendingOf[spr.get()] = {first, m_pending.size()};
    }
}

void CSprFileDelayedLoader::End() {
    StopRunning();
    m_pending.clear();
    m_pendingOf.clear();
    m_file.Close();
    m_current = nullptr;
}

void CSprFileDelayedLoader::DropPending(const CSprFile* file) {
    if (const auto range = m_pendingOf.find(file); range != m_pendingOf.end()) {
        for (size_t i = range->second.first; i < range->second.second; ++i) m_pending[i] = CPendingItem{};
        m_pendingOf.erase(range);
    }
    if (m_current.get() == file) {
        m_file.Close();
        m_current = nullptr;
    }
}

void CSprFileDelayedLoader::LoadItem(int32_t index) {
    const CPendingItem& item = m_pending.at(size_t(index));
    if (!item.spr) return;  // dropped
    if (item.readPixels) {
        if (m_current != item.spr) {
            m_file.Close();
            m_current = nullptr;
            OpenSprFile(m_file, item.spr->GetName());
            m_current = item.spr;
        }
        CArchive archive(&m_file, false);
        item.spr->ReadBitmapImages(archive, size_t(item.bitmap));
    }
    if (item.createTexture) item.spr->CreateTexture(size_t(item.bitmap));
}

CSprFileLocalManager::~CSprFileLocalManager() noexcept(false) {
    ReleaseAll();
    FreeLists();
}

void CSprFileLocalManager::ReleaseAll() {
    ReleaseEach([this](const ref_ptr<CSprFile>& use) { GetManager()->ReleaseUse(use); });
}

ref_ptr<CSprFileManager> CSprFileLocalManager::GetManager() const { return m_pGraphics->GetSprFileManager(); }

ref_ptr<CSprFile> CSprFileLocalManager::LoadSprFile(const CString& name, bool delayed) {
    ref_ptr<CSprFile> file = GetManager()->LoadSprFile(name, delayed);
    AddObject(file);
    return file;
}

ref_ptr<CSprFile> CSprFileLocalManager::FindSprFile(const CString& name) const {
    ref_ptr<CSprFile> file = GetManager()->FindSprFile(name);
    if (!HasObject(file.get())) throw Engine::CException::Format("Couldn't find spr file '%s'", name.c_str());
    return file;
}

void CSprFileLocalManager::LoadAllSprFiles(const CString& pattern) {
    // One by one, so the files loaded before a failure are still handed back.
    for (const CString& name : Engine::FindFiles(pattern)) LoadSprFile(name, true);
}

ref_ptr<CSprFileLocalManager> CreateSprFileLocalManager(CGraphics* graphics) {
    return ref_ptr<CSprFileLocalManager>(new CSprFileLocalManager(graphics));
}

void CSprFileLocalManager::ReleaseSprFile(const ref_ptr<CSprFile>& file) {
    // A use this owner never took is another owner's: handing it back would
    // drop the file from under that owner.
    if (!HasObject(file.get())) return;
    const ref_ptr<CSprFile> held = file;  // the argument may be an element about to be erased
    GetManager()->ReleaseUse(held);
    RemoveObject(held.get());
}

} // namespace SprFile
} // namespace Engine::Graphics
