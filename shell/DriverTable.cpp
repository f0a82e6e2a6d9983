#include "shell/DriverTable.h"

#include <strings.h>

#include <array>

#include "graphics/Graphics.h"
#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "graphics/drivers/GraphicsSFTW.h"

namespace Engine {

namespace {
// Indexed as kGraphicsDriverNames.
constexpr std::array<const char*, kGraphicsDriverNames.size()> kShownNames = {"Direct3D 8", "OpenGL", "Direct3D 7",
                                                                              "Software Emulation"};

template <Graphics::CGraphics* (*Create)(CApplication**)>
std::unique_ptr<Graphics::CGraphics> MakeDriver(CApplication** application) {
    return std::unique_ptr<Graphics::CGraphics>(Create(application));
}
} // namespace

CGraphicsDriverTable GetDefaultDriverTable() {
    CGraphicsDriverTable table;
    for (size_t i = 0; i < kGraphicsDriverNames.size(); ++i) table.push_back({kGraphicsDriverNames[i], kShownNames[i], nullptr});
    table[kDriverD3D8].create = MakeDriver<Graphics::CreateGraphics_D3D8>;
    table[kDriverOpenGL].create = MakeDriver<Graphics::CreateGraphics_OGL>;
    table[kDriverD3D7].create = MakeDriver<Graphics::CreateGraphics_D3D7>;
    table[kDriverSoftware].create = MakeDriver<Graphics::CreateGraphics_SFTW>;
    return table;
}

std::vector<const CGraphicsDriverEntry*> GetDriverTryOrder(const CGraphicsDriverTable& table,
                                                           const std::optional<CString>& name) {
    const char* first = name ? name->c_str() : kPreferredDriver;
    const CGraphicsDriverEntry* named = nullptr;
    for (const char* wanted : {first, kPreferredDriver}) {
        for (const CGraphicsDriverEntry& entry : table)
            if (!named && ::strcasecmp(entry.key, wanted) == 0) named = &entry;
    }
    std::vector<const CGraphicsDriverEntry*> order;
    if (named) order.push_back(named);
    for (const CGraphicsDriverEntry& entry : table)
        if (&entry != named) order.push_back(&entry);
    return order;
}

} // namespace Engine
