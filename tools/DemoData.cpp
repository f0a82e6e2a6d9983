#include "tools/DemoData.h"

#include <cstddef>
#include <string_view>
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

// A file's bytes, written piece by piece: a long run goes straight into
// them, never through a string of its own.
class CFileBytes {
public:
    CFileBytes& operator<<(const std::string& text) {
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return *this;
    }
    // length characters of the pattern, repeated.
    void Repeat(std::string_view pattern, size_t length) {
        m_bytes.reserve(m_bytes.size() + length + 4096);
        for (; length > pattern.size(); length -= pattern.size())
            m_bytes.insert(m_bytes.end(), pattern.begin(), pattern.end());
        m_bytes.insert(m_bytes.end(), pattern.begin(), pattern.begin() + std::ptrdiff_t(length));
    }
    std::vector<uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

constexpr std::string_view kLongHintWords = "A long hint goes on. ";

std::vector<uint8_t> LocaleXml(const CFontSprite& font, const std::string& otherFonts, int hints, int greetingLength,
                               const CLongTokens& longTokens) {
    const std::string demoHints[kDemoHints] = {"Move the mouse or press a key to wake up.",
                                               "The background changes on the time set in the settings.",
                                               "Ambient music can be switched off in the settings."};
    CFileBytes xml;
    xml << "<locales default=\"en\">\n"
           "<locale name=\"en\">\n";
    for (int i = 1; i <= hints; ++i) {
        xml << "<string key=\"HINT_" + std::to_string(i) + "\"";
        if (i == 1 && longTokens.ignoredAttribute > 0) {
            xml << " note=\"";
            xml.Repeat("unread", longTokens.ignoredAttribute);
            xml << "\"";
        }
        xml << ">";
        if (i == hints && longTokens.hintText > 0)
            xml.Repeat(kLongHintWords, longTokens.hintText);
        else
            xml << (i <= kDemoHints ? demoHints[i - 1] : "Hint " + std::to_string(i) + ".");
        xml << "</string>\n";
    }
    const std::pair<const char*, const char*> greetings[] = {
        {"TIME_NIGHT", "Good night"}, {"TIME_MORNING", "Good morning"},
        {"TIME_DAY", "Good afternoon"}, {"TIME_EVENING", "Good evening"}};
    for (const auto& [key, own] : greetings)
        xml << std::string("<string key=\"") + key + "\">" + Greeting(own, greetingLength) + "</string>\n";
    xml << font.LocaleXml("main") + otherFonts +
               "</locale>\n"
               "</locales>\n";
    return xml.Take();
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
std::vector<uint8_t> GlobalXml(size_t longValue) {
    CFileBytes xml;
    xml << "<global>\n"
           "<value name=\"MOSARK_LIST_BACKGROUND_COLOR\" value=\"0x";
    xml.Repeat("0", longValue > 10 ? longValue - 10 : 0);
    xml << "C0202020\"/>\n"
           "<value name=\"MOSARK_LIST_SELECT_BACKGROUND_COLOR\" value=\"0xE0806040\"/>\n"
           "<value name=\"MOSARK_LIST_TEXT_COLOR\" value=\"0xFFE0E0E0\"/>\n"
           "<value name=\"MOSARK_LIST_SELECT_TEXT_COLOR\" value=\"0xFF40FFFF\"/>\n"
           "<value name=\"MOSARK_ARTIFACT_FADE_FPS\" value=\"1.5\"/>\n"
           "</global>\n";
    return xml.Take();
}

} // namespace

CPakWriter MakeDemoPack(const std::string& fontPath, bool withScenes, int hints, int greetingLength,
                        const CLongTokens& longTokens) {
    const CFontSprite font = RenderFontSprite(fontPath, kFontPixelHeight, FontCharacters(), "font_main");
    CPakWriter pack;
    const std::string otherFonts = AddDialogFont(pack, fontPath) + AddSymbolFont(pack);
    pack.Add("xml/Locale.xml", LocaleXml(font, otherFonts, hints, greetingLength, longTokens));
    pack.Add("xml/global.xml", GlobalXml(longTokens.globalValue));
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
