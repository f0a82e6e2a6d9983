#pragma once
// The demo data the build makes for running the screensaver: a data pack
// with the locale, the global values and the font, and the settings that run
// it windowed.

#include <cstddef>
#include <string>

#include "tools/PakWriter.h"

namespace Tools {

// "xml/Locale.xml" (hints and time-of-day greetings), "xml/global.xml",
// "spr/font.spr" with the glyphs rendered from the font file, the settings
// dialog's smaller "spr/font_dialog.spr" (font record "dialog"), the
// controls' frame glyphs "spr/font_symbol.spr" (font record "symbol"), the
// ambient tracks "ogg/tracks/ambient1.ogg" and "ogg/tracks/ambient2.ogg",
// and, unless left out (for runs on scenes of their own), the animated
// scenes ("place/bg1.place" and on) with their pictures.
// The locale holds `hints` hints, HINT_1 on: the demo's own three, then
// numbered ones. With a greeting length, each of the four greetings is one
// line of that many characters in place of the demo's.
// With long tokens, the files carry them (see CLongTokens).
// Throws Engine::CException when the font cannot be read.
constexpr int kDemoHints = 3;
// Tokens of many characters in the locale and the global values, for trying
// the readers on them; 0 leaves a file as the demo's own. Each is written
// once, in place, never copied whole.
struct CLongTokens {
    size_t ignoredAttribute = 0;  // an attribute on HINT_1's <string> no reader asks for
    size_t hintText = 0;          // the last hint's text
    size_t globalValue = 0;       // MOSARK_LIST_BACKGROUND_COLOR's value, the same number after leading zeros
};
CPakWriter MakeDemoPack(const std::string& fontPath, bool withScenes = true, int hints = kDemoHints,
                        int greetingLength = 0, const CLongTokens& longTokens = {});

// "Settings.xml" for a windowed run on the OpenGL driver.
std::string DemoSettingsXml();

} // namespace Tools
