#include "app/shell/DriverTable.h"

#include <strings.h>

#include "graphics/Graphics.h"
#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "graphics/drivers/GraphicsSFTW.h"

namespace Engine {

CGraphicsDriverTable GetDefaultDriverTable() {
    CGraphicsDriverTable table;
    for (const char* name : kGraphicsDriverNames)
        table.push_back({name, [](CApplication**) { return std::unique_ptr<Graphics::CGraphics>(); }});
    table[kDriverOpenGL].create = [](CApplication** application) {
        return std::unique_ptr<Graphics::CGraphics>(Graphics::CreateGraphics_OGL(application));
    };
    table[kDriverD3D8].create = [](CApplication** application) {
        return std::unique_ptr<Graphics::CGraphics>(Graphics::CreateGraphics_D3D8(application));
    };
    table[kDriverD3D7].create = [](CApplication** application) {
        return std::unique_ptr<Graphics::CGraphics>(Graphics::CreateGraphics_D3D7(application));
    };
    table[kDriverSoftware].create = [](CApplication** application) {
        return std::unique_ptr<Graphics::CGraphics>(Graphics::CreateGraphics_SFTW(application));
    };
    return table;
}

std::vector<const CGraphicsDriverEntry*> GetDriverTryOrder(const CGraphicsDriverTable& table,
                                                           const std::optional<CString>& name) {
    const char* first = name ? name->c_str() : kPreferredDriver;
    const CGraphicsDriverEntry* named = nullptr;
    for (const char* wanted : {first, kPreferredDriver}) {
        for (const CGraphicsDriverEntry& entry : table)
            if (!named && ::strcasecmp(entry.name, wanted) == 0) named = &entry;
    }
    std::vector<const CGraphicsDriverEntry*> order;
    if (named) order.push_back(named);
    for (const CGraphicsDriverEntry& entry : table)
        if (&entry != named) order.push_back(&entry);
    return order;
}

} // namespace Engine
