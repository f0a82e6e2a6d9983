#include "graphics/drivers/DisplayModeSearch.h"

namespace Engine::Graphics {

bool FindFullScreenMode(const CGraphicsParams& params, DWORD bitsPerPixel, DEVMODE& chosen) {
    const DWORD refresh = DWORD(params.refresh);
    bool found = false;
    DEVMODE best{};
    DEVMODE mode{};
    for (DWORD index = 0; EnumDisplaySettings(nullptr, index, &mode); ++index) {
        if (mode.dmPelsWidth != DWORD(params.screenWidth) || mode.dmPelsHeight != DWORD(params.screenHeight) ||
            mode.dmBitsPerPel != bitsPerPixel)
            continue;
        if (!found || (mode.dmDisplayFrequency > best.dmDisplayFrequency &&
                       (refresh == 0 || mode.dmDisplayFrequency <= refresh)))
            best = mode;
        found = true;
    }
    if (found) chosen = best;
    return found;
}

} // namespace Engine::Graphics
