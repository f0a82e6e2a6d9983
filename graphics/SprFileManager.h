#pragma once
// The process-wide manager of sprite files, owned by the driver.

#include "app/Referenced.h"

namespace Engine::Graphics {

class CGraphics;

class CSprFileManager : public Engine::CReferenced {
public:
    using ProgressCallback = void (*)(void* context, int current);

    explicit CSprFileManager(CGraphics* graphics) : m_pGraphics(graphics) {}

    // Re-reads the images of the files whose flag equals group after a
    // device reset, reporting the running bitmap count to progress.
    void ReloadBitmaps(int group, ProgressCallback progress, void* context);
    int CountBitmaps(int group) const;

private:
    CGraphics* m_pGraphics;
};

} // namespace Engine::Graphics
