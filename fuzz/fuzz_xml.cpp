// XML tree builder and the readers of the trees it builds (locale, global
// values, graphics settings).

#include <cstddef>
#include <cstdint>

#include "app/Global.h"
#include "app/Locale.h"
#include "app/Log.h"
#include "app/Settings.h"
#include "app/Xml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GetLog().SetEnabled(false);
    Engine::CMemoryFile file(data, size);
    const auto root = Engine::ParseXML(file, "fuzz.xml");
    if (!root) return 0;
    Engine::CLocaleManager locale;
    locale.Load(*root);
    locale.FindString("HINT_1");
    locale.FindFont("main");
    Engine::CGlobalValueTable table;
    Engine::ReadGlobalValues(*root, table);
    Engine::GetGlobalFloat("SPEED", table, 1);
    Engine::ReadGraphicsSettings(*root);
    return 0;
}
