#pragma once
// A driver table whose one entry is the named driver, made by the test's own
// maker: make.template operator()<Driver>(cell) for the driver class.

#include <algorithm>
#include <memory>
#include <string>

#include "graphics/drivers/GraphicsD3D7.h"
#include "graphics/drivers/GraphicsD3D8.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "graphics/drivers/GraphicsSFTW.h"
#include "shell/DriverTable.h"

namespace ShellTesting {

// The default table's entry of the driver, to be made by a test's own factory.
inline Engine::CGraphicsDriverEntry DefaultDriverEntry(const char* key) {
    const Engine::CGraphicsDriverTable table = Engine::GetDefaultDriverTable();
    return *Engine::GetDriverTryOrder(table, CString(key)).front();
}

template <class Make>
Engine::CGraphicsDriverTable OneDriverTable(const std::string& driver, const Make& make) {
    using namespace Engine::Graphics;
    const auto entry = [&]<class Driver>(const char* key) {
        Engine::CGraphicsDriverEntry made = DefaultDriverEntry(key);
        made.create = [make](Engine::CApplication** cell) {
            return std::unique_ptr<CGraphics>(make.template operator()<Driver>(cell));
        };
        return made;
    };
    Engine::CGraphicsDriverTable table{entry.template operator()<CGraphics_D3D8>("D3D8"),
                                       entry.template operator()<CGraphics_OGL>("OpenGL"),
                                       entry.template operator()<CGraphics_D3D7>("D3D7"),
                                       entry.template operator()<CGraphics_SFTW>("SFTW")};
    std::erase_if(table, [&](const Engine::CGraphicsDriverEntry& e) { return e.key != driver; });
    return table;
}

} // namespace ShellTesting
