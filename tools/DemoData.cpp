#include "tools/DemoData.h"

#include <vector>

#include "tools/DemoGameUi.h"
#include "tools/FontSprite.h"
#include "tools/OggWriter.h"

namespace Tools {

namespace {

constexpr int kFontPixelHeight = 20;
// The ambient track loops; a few seconds keep the pack small.
constexpr double kAmbientSeconds = 6.0;

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// Printable ASCII; the space comes first, so a character the font lacks
// (drawn as glyph 0) leaves a gap.
std::vector<uint16_t> FontCharacters() {
    std::vector<uint16_t> characters;
    for (uint16_t c = 0x20; c < 0x7F; ++c) characters.push_back(c);
    return characters;
}

std::string LocaleXml(const CFontSprite& font) {
    return "<locales default=\"en\">\n"
           "<locale name=\"en\">\n"
           "<string key=\"HINT_1\">Move the mouse or press a key to wake up.</string>\n"
           "<string key=\"HINT_2\">The background changes on the time set in the settings.</string>\n"
           "<string key=\"HINT_3\">Ambient music can be switched off in the settings.</string>\n"
           "<string key=\"TIME_NIGHT\">Good night</string>\n"
           "<string key=\"TIME_MORNING\">Good morning</string>\n"
           "<string key=\"TIME_DAY\">Good afternoon</string>\n"
           "<string key=\"TIME_EVENING\">Good evening</string>\n" +
           font.LocaleXml("main") +
           "</locale>\n"
           "</locales>\n";
}

} // namespace

CPakWriter MakeDemoPack(const std::string& fontPath) {
    const CFontSprite font = RenderFontSprite(fontPath, kFontPixelHeight, FontCharacters(), "font_main");
    CPakWriter pack;
    pack.Add("xml/Locale.xml", Bytes(LocaleXml(font)));
    pack.Add("xml/global.xml", Bytes("<global>\n</global>\n"));
    pack.Add("spr/font.spr", WriteSpr(font.document));
    pack.Add("ogg/tracks/ambient1.ogg", EncodeOggVorbis(MakeAmbientPad(kAmbientSeconds)));
    AddGameUiData(pack);
    return pack;
}

std::string DemoSettingsXml() {
    return "<settings>\n  <graphics driver=\"OpenGL\" fullscreen=\"Off\" bpp32=\"On\"/>\n</settings>\n";
}

} // namespace Tools
