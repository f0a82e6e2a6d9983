#include "tools/DemoData.h"

#include <utility>
#include <vector>

#include "tools/DemoGameUi.h"
#include "tools/FontSprite.h"
#include "tools/GeneratedScenePlaces.h"
#include "tools/OggWriter.h"
#include "tools/SymbolFont.h"

namespace Tools {

namespace {

constexpr int kFontPixelHeight = 20;
// The settings dialog's rows are 16 pixels high.
constexpr int kDialogFontPixelHeight = 12;
// The ambient tracks loop; a few seconds keep the pack small.
constexpr double kAmbientSeconds = 6.0;

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// Printable ASCII; the space comes first, so a character the font lacks
// (drawn as glyph 0) leaves a gap.
std::vector<uint16_t> FontCharacters() {
    std::vector<uint16_t> characters;
    for (uint16_t c = 0x20; c < 0x7F; ++c) characters.push_back(c);
    return characters;
}

// Each time-of-day greeting: the demo's own, or one line of `length`
// characters.
std::string Greeting(const char* own, int length) {
    if (length <= 0) return own;
    const std::string words = std::string(own) + " - ";
    std::string line(size_t(length), ' ');
    for (size_t i = 0; i < line.size(); ++i) line[i] = words[i % words.size()];
    return line;
}

std::string LocaleXml(const CFontSprite& font, const std::string& otherFonts, int hints, int greetingLength) {
    std::string xml = "<locales default=\"en\">\n"
                      "<locale name=\"en\">\n"
                      "<string key=\"HINT_1\">Move the mouse or press a key to wake up.</string>\n"
                      "<string key=\"HINT_2\">The background changes on the time set in the settings.</string>\n"
                      "<string key=\"HINT_3\">Ambient music can be switched off in the settings.</string>\n";
    for (int i = kDemoHints + 1; i <= hints; ++i)
        xml += "<string key=\"HINT_" + std::to_string(i) + "\">Hint " + std::to_string(i) + ".</string>\n";
    const std::pair<const char*, const char*> greetings[] = {
        {"TIME_NIGHT", "Good night"}, {"TIME_MORNING", "Good morning"},
        {"TIME_DAY", "Good afternoon"}, {"TIME_EVENING", "Good evening"}};
    for (const auto& [key, own] : greetings)
        xml += std::string("<string key=\"") + key + "\">" + Greeting(own, greetingLength) + "</string>\n";
    return xml + font.LocaleXml("main") + otherFonts +
           "</locale>\n"
           "</locales>\n";
}

// The settings dialog's small font: "spr/font_dialog.spr"; returns its
// locale record.
std::string AddDialogFont(CPakWriter& pack, const std::string& fontPath) {
    const CFontSprite font = RenderFontSprite(fontPath, kDialogFontPixelHeight, FontCharacters(), "font_dialog");
    pack.Add("spr/font_dialog.spr", WriteSpr(font.document));
    return font.LocaleXml("dialog");
}

// The controls' frame glyphs: "spr/font_symbol.spr"; returns its locale
// record.
std::string AddSymbolFont(CPakWriter& pack) {
    const CFontSprite font = MakeSymbolFontSprite("font_symbol");
    pack.Add("spr/font_symbol.spr", WriteSpr(font.document));
    return font.LocaleXml("symbol");
}

// Two pads a fourth apart, so that it is heard which one plays.
void AddAmbientTracks(CPakWriter& pack) {
    pack.Add("ogg/tracks/ambient1.ogg", EncodeOggVorbis(MakeAmbientPad(kAmbientSeconds)));
    pack.Add("ogg/tracks/ambient2.ogg", EncodeOggVorbis(MakeAmbientPad(kAmbientSeconds, 44100, 4.0 / 3.0)));
}

// The values the game's controls read: the list colours (red in the low
// byte, alpha in the high one) and the artifact fade rate.
std::string GlobalXml() {
    return "<global>\n"
           "<value name=\"MOSARK_LIST_BACKGROUND_COLOR\" value=\"0xC0202020\"/>\n"
           "<value name=\"MOSARK_LIST_SELECT_BACKGROUND_COLOR\" value=\"0xE0806040\"/>\n"
           "<value name=\"MOSARK_LIST_TEXT_COLOR\" value=\"0xFFE0E0E0\"/>\n"
           "<value name=\"MOSARK_LIST_SELECT_TEXT_COLOR\" value=\"0xFF40FFFF\"/>\n"
           "<value name=\"MOSARK_ARTIFACT_FADE_FPS\" value=\"1.5\"/>\n"
           "</global>\n";
}

} // namespace

CPakWriter MakeDemoPack(const std::string& fontPath, bool withScenes, int hints, int greetingLength) {
    const CFontSprite font = RenderFontSprite(fontPath, kFontPixelHeight, FontCharacters(), "font_main");
    CPakWriter pack;
    const std::string otherFonts = AddDialogFont(pack, fontPath) + AddSymbolFont(pack);
    pack.Add("xml/Locale.xml", Bytes(LocaleXml(font, otherFonts, hints, greetingLength)));
    pack.Add("xml/global.xml", Bytes(GlobalXml()));
    pack.Add("spr/font.spr", WriteSpr(font.document));
    AddAmbientTracks(pack);
    AddGameUiData(pack);
    if (withScenes) AddDemoScenes(pack);
    return pack;
}

std::string DemoSettingsXml() {
    return "<settings>\n  <graphics driver=\"OpenGL\" fullscreen=\"Off\" bpp32=\"On\"/>\n</settings>\n";
}

} // namespace Tools
