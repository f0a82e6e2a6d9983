#pragma once
// Bitmap fonts for the engine, rendered with FreeType: one image holding
// every glyph in a cell of the line's height, one sprite with a frame per
// character, and the "xml/Locale.xml" font record that goes with it.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/SprWriter.h"

namespace Tools {

struct CFontSprite {
    CSprDocument document;
    std::vector<uint16_t> characters;  // in frame order
    int32_t ascent = 0;
    int32_t cellHeight = 0;

    // The <font> element: sprite, ascent, zero paddings and the characters.
    std::string LocaleXml(const std::string& fontName) const;
};

// One glyph's coverage (0 to 255), rows top-down, width x cell height.
struct CGlyphImage {
    int32_t width = 0;
    std::vector<uint8_t> coverage;
};

// Lays the glyphs out in one white image whose alpha is their coverage, a
// frame per character in the given order. Throws Engine::CException when a
// glyph does not fit its cell or the counts differ.
CFontSprite BuildFontSprite(const std::vector<CGlyphImage>& glyphs, const std::vector<uint16_t>& characters,
                            int32_t ascent, int32_t cellHeight, const std::string& spriteName);

// Throws Engine::CException when the font cannot be read or a size is out of
// range. Characters the font lacks get its missing-glyph shape.
CFontSprite RenderFontSprite(const std::string& fontPath, int pixelHeight, const std::vector<uint16_t>& characters,
                             const std::string& spriteName);

} // namespace Tools
