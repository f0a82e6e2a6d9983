#include "graphics/drivers/VideoMemory.h"

#include "app/Log.h"

namespace Engine::Graphics {

bool MeasureLocalVideoMemory(CGraphics& driver, IDirectDraw7* directDraw, const char* totalLine, const char* freeLine) {
    DDSCAPS2 caps;
    caps.dwCaps = DDSCAPS_LOCALVIDMEM;
    DWORD total = 0, free = 0;
    if (!directDraw || FAILED(directDraw->GetAvailableVidMem(&caps, &total, &free))) return false;
    driver.ReportVideoMemory(total, free);
    GetLog().PrintLine(totalLine, int(total));
    GetLog().PrintLine(freeLine, int(free));
    return true;
}

} // namespace Engine::Graphics
