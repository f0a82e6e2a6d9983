#include "tools/FontSprite.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <memory>

#include "app/Exception.h"
#include "tools/ImageWriter.h"

namespace Tools {

namespace {

constexpr int kAtlasWidth = 256;

struct CFreeType {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~CFreeType() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

// 26.6 fixed point to whole pixels, rounding outwards from the baseline.
int32_t CeilPixels(FT_Pos value) { return int32_t((value + 63) >> 6); }

// Copies the bitmap's coverage with its origin at (x, y) into the glyph,
// clipped to the glyph's cell.
void BlitClipped(const FT_Bitmap& bitmap, int32_t x, int32_t y, CGlyphImage& glyph, int32_t cellHeight) {
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const int32_t ty = y + int32_t(row);
        if (ty < 0 || ty >= cellHeight) continue;
        const uint8_t* source = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
        for (unsigned column = 0; column < bitmap.width; ++column) {
            const int32_t tx = x + int32_t(column);
            if (tx < 0 || tx >= glyph.width) continue;
            glyph.coverage[size_t(ty) * size_t(glyph.width) + size_t(tx)] = source[column];
        }
    }
}

int32_t NextPowerOfTwo(int32_t value) {
    int32_t result = 1;
    while (result < value) result <<= 1;
    return result;
}

} // namespace

std::string CFontSprite::LocaleXml(const std::string& fontName) const {
    std::string xml = "<font name=\"" + fontName + "\" sprite=\"" + document.sprites.at(0).name + "\" ascent=\"" +
                      std::to_string(ascent) + "\">\n";
    xml += "  <texture_padding left=\"0\" top=\"0\" right=\"0\" bottom=\"0\"/>\n";
    xml += "  <letter_padding left=\"0\" top=\"0\" right=\"0\" bottom=\"0\"/>\n";
    for (uint16_t character : characters) xml += "  <char code=\"" + std::to_string(character) + "\"/>\n";
    return xml + "</font>\n";
}

CFontSprite BuildFontSprite(const std::vector<CGlyphImage>& glyphs, const std::vector<uint16_t>& characters,
                            int32_t ascent, int32_t cellHeight, const std::string& spriteName) {
    if (glyphs.size() != characters.size() || glyphs.empty() || cellHeight < 1)
        throw Engine::CException::Format("BuildFontSprite(...) : FAILED : %d glyphs for %d characters",
                                         int(glyphs.size()), int(characters.size()));
    CFontSprite font;
    font.characters = characters;
    font.ascent = ascent;
    font.cellHeight = cellHeight;

    // First pass: the cells, left to right, wrapping at the atlas width.
    struct CCell {
        int32_t left, top, width;
    };
    std::vector<CCell> cells;
    int32_t x = 0, y = 0;
    for (const CGlyphImage& glyph : glyphs) {
        if (glyph.width < 1 || glyph.width > kAtlasWidth ||
            glyph.coverage.size() != size_t(glyph.width) * size_t(cellHeight))
            throw Engine::CException::Format("BuildFontSprite(...) : FAILED : glyph of width %d", glyph.width);
        if (x + glyph.width > kAtlasWidth) {
            x = 0;
            y += cellHeight;
        }
        cells.push_back(CCell{x, y, glyph.width});
        x += glyph.width;
    }
    const int32_t atlasHeight = NextPowerOfTwo(y + cellHeight);
    std::vector<uint8_t> alpha(size_t(kAtlasWidth) * size_t(atlasHeight), 0);

    // Second pass: copy each glyph into its cell.
    CSprSprite sprite{spriteName, 0, 0, false, false, {}};
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const CCell& cell = cells[i];
        for (int32_t row = 0; row < cellHeight; ++row)
            std::copy_n(glyphs[i].coverage.begin() + ptrdiff_t(row) * glyphs[i].width, glyphs[i].width,
                        alpha.begin() + ptrdiff_t(cell.top + row) * kAtlasWidth + cell.left);
        sprite.frames.push_back(MakeSprFrame(0, cell.left, cell.top, cell.left + cell.width, cell.top + cellHeight));
    }

    CPngImage white;
    white.width = uint32_t(kAtlasWidth);
    white.height = uint32_t(atlasHeight);
    white.samples.assign(size_t(kAtlasWidth) * size_t(atlasHeight) * 3, 255);
    CPngImage coverage = white;
    coverage.colour = EPngColour::Grey;
    coverage.samples.assign(alpha.begin(), alpha.end());
    // The glyphs need a texture format with eight bits of alpha.
    font.document.images.push_back(CSprImage{0, WritePng(white), WritePng(coverage), 8});
    font.document.sprites.push_back(std::move(sprite));
    return font;
}

CFontSprite RenderFontSprite(const std::string& fontPath, int pixelHeight, const std::vector<uint16_t>& characters,
                             const std::string& spriteName) {
    if (pixelHeight < 4 || pixelHeight > 128 || characters.empty())
        throw Engine::CException::Format("RenderFontSprite(...) : FAILED : bad size %d or no characters", pixelHeight);
    CFreeType ft;
    if (FT_Init_FreeType(&ft.library) || FT_New_Face(ft.library, fontPath.c_str(), 0, &ft.face) ||
        FT_Set_Pixel_Sizes(ft.face, 0, FT_UInt(pixelHeight)))
        throw Engine::CException::Format("RenderFontSprite(...) : FAILED : cannot read font '%s'", fontPath.c_str());

    const int32_t ascent = CeilPixels(ft.face->size->metrics.ascender);
    const int32_t cellHeight = ascent + CeilPixels(-ft.face->size->metrics.descender);
    // Each glyph on the baseline of a cell as wide as its advance.
    std::vector<CGlyphImage> glyphs;
    for (uint16_t character : characters) {
        if (FT_Load_Char(ft.face, character, FT_LOAD_RENDER))
            throw Engine::CException::Format("RenderFontSprite(...) : FAILED : character %u", unsigned(character));
        const FT_GlyphSlot slot = ft.face->glyph;
        CGlyphImage& glyph = glyphs.emplace_back();
        glyph.width = std::clamp(CeilPixels(slot->advance.x), 1, kAtlasWidth);
        glyph.coverage.assign(size_t(glyph.width) * size_t(cellHeight), 0);
        BlitClipped(slot->bitmap, slot->bitmap_left, ascent - slot->bitmap_top, glyph, cellHeight);
    }
    return BuildFontSprite(glyphs, characters, ascent, cellHeight, spriteName);
}

} // namespace Tools
