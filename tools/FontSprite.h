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

// Throws Engine::CException when the font cannot be read or a size is out of
// range. Characters the font lacks get its missing-glyph shape.
CFontSprite RenderFontSprite(const std::string& fontPath, int pixelHeight, const std::vector<uint16_t>& characters,
                             const std::string& spriteName);

} // namespace Tools
