// XML tree builder and the readers of the trees it builds (locale, global
// values, graphics settings).

#include <cstddef>
#include <cstdint>

#include "app/Global.h"
#include "app/Locale.h"
#include "app/Log.h"
#include "app/Settings.h"
#include "app/Xml.h"
#include "FuzzTarget.h"
#include "tools/DemoData.h"
#include "tools/FontSprite.h"

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

std::vector<CFuzzSeed> FuzzSeeds() {
    const auto bytes = [](const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); };
    Tools::CFontSprite font;
    Tools::CSprSprite sprite;
    sprite.name = "font_main";
    font.document.sprites.push_back(sprite);
    font.characters = {'A', 'B'};
    font.ascent = 12;
    std::string fontXml = font.LocaleXml("main");
    fontXml.insert(fontXml.rfind("</font>"), "<kern_pair first=\"65\" second=\"66\" amount=\"-1\"/>");
    return {
        {"locale.xml", bytes("<locales default=\"en\"><locale name=\"en\">"
                             "<string key=\"HINT_1\">Hello &amp; welcome</string>" +
                             fontXml + "</locale></locales>")},
        {"global.xml", bytes("<global><value name=\"SPEED\" value=\"2.5\"/></global>")},
        {"settings.xml", bytes(Tools::DemoSettingsXml())},
    };
}
