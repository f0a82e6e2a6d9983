#pragma once
// The symbol font of the controls' frame glyphs: caption buttons ('0' to
// '2', 'r', 's'), scroll arrows ('3' to '6'), the size grip ('7'), the
// check box's layers ('b' to 'g') and the radio button's ('i' to 'n'), each
// drawn from outlines by FreeType's rasteriser into a cell of one height.

#include <cstdint>
#include <vector>

#include "tools/FontSprite.h"

namespace Tools {

// The height of every cell; the check and radio boxes are this wide.
constexpr int32_t kSymbolCellHeight = 13;

// The characters of the font, in frame order.
std::vector<uint16_t> SymbolFontCharacters();

// The coverage of one character's glyph; throws Engine::CException for a
// character the font does not hold.
CGlyphImage RenderSymbolGlyph(uint16_t character);

CFontSprite MakeSymbolFontSprite(const std::string& spriteName);

} // namespace Tools
