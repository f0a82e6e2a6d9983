#pragma once
// The font of the controls' frame glyphs (check marks, radio dots, arrows,
// caption buttons): the locale's font "symbol", its glyphs in
// "spr/font_symbol.spr".

#include "graphics/Font.h"
#include "graphics/SprFileManager.h"

namespace Engine {

constexpr char kSymbolFontName[] = "symbol";
constexpr char kSymbolFontFile[] = "spr/font_symbol.spr";

// The font from the loaded locale, its sprite file held by the manager;
// null, with a log line, when it cannot be loaded: the controls then draw
// without their glyphs.
ref_ptr<Graphics::CFont> LoadSymbolFont(Graphics::SprFile::CSprFileLocalManager& sprFiles);

} // namespace Engine
