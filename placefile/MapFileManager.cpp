#include "placefile/MapFileManager.h"

#include "graphics/Graphics.h"

namespace Engine::Graphics::MapFile {

ref_ptr<Engine::IDelayedLoader> CMapFileManager::CreateDelayedLoader() {
    return ref_ptr<Engine::IDelayedLoader>(new CMapFileDelayedLoader);
}

ref_ptr<CMapFileLocalManager> CreateMapFileLocalManager(CGraphics* graphics) {
    return ref_ptr<CMapFileLocalManager>(new CMapFileLocalManager(graphics));
}

CMapFileManager* FindMapFileManager(const CGraphics* graphics) {
    return graphics ? dynamic_cast<CMapFileManager*>(graphics->GetMapFileManager().get()) : nullptr;
}

CMapFileLocalManager::~CMapFileLocalManager() noexcept(false) {
    ReleaseAll();
    FreeLists();
}

void CMapFileLocalManager::ReleaseAll() noexcept {
    CMapFileManager* manager = FindMapFileManager(m_owner);
    ReleaseEach([manager](const ref_ptr<CMapFile>& use) {
        if (manager) manager->ReleaseObject(use);
    });
}

} // namespace Engine::Graphics::MapFile
