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

struct CGreyImage {
    int32_t width, height;
    std::vector<uint8_t> coverage;

    // Copies the glyph's coverage with its origin at (x, y), clipped to the cell.
    void Blit(const FT_Bitmap& bitmap, int32_t x, int32_t y, int32_t cellLeft, int32_t cellRight, int32_t cellTop,
              int32_t cellBottom) {
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const int32_t ty = y + int32_t(row);
            if (ty < cellTop || ty >= cellBottom) continue;
            const uint8_t* source = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const int32_t tx = x + int32_t(column);
                if (tx < cellLeft || tx >= cellRight) continue;
                coverage[size_t(ty) * size_t(width) + size_t(tx)] = source[column];
            }
        }
    }
};

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

CFontSprite RenderFontSprite(const std::string& fontPath, int pixelHeight, const std::vector<uint16_t>& characters,
                             const std::string& spriteName) {
    if (pixelHeight < 4 || pixelHeight > 128 || characters.empty())
        throw Engine::CException::Format("RenderFontSprite(...) : FAILED : bad size %d or no characters", pixelHeight);
    CFreeType ft;
    if (FT_Init_FreeType(&ft.library) || FT_New_Face(ft.library, fontPath.c_str(), 0, &ft.face) ||
        FT_Set_Pixel_Sizes(ft.face, 0, FT_UInt(pixelHeight)))
        throw Engine::CException::Format("RenderFontSprite(...) : FAILED : cannot read font '%s'", fontPath.c_str());

    CFontSprite font;
    font.characters = characters;
    font.ascent = CeilPixels(ft.face->size->metrics.ascender);
    font.cellHeight = font.ascent + CeilPixels(-ft.face->size->metrics.descender);

    // First pass: the cells, left to right, wrapping at the atlas width.
    struct CCell {
        int32_t left, top, width;
    };
    std::vector<CCell> cells;
    int32_t x = 0, y = 0;
    for (uint16_t character : characters) {
        if (FT_Load_Char(ft.face, character, FT_LOAD_DEFAULT))
            throw Engine::CException::Format("RenderFontSprite(...) : FAILED : character %u", unsigned(character));
        const int32_t width = std::clamp(CeilPixels(ft.face->glyph->advance.x), 1, kAtlasWidth);
        if (x + width > kAtlasWidth) {
            x = 0;
            y += font.cellHeight;
        }
        cells.push_back(CCell{x, y, width});
        x += width;
    }
    CGreyImage alpha{kAtlasWidth, NextPowerOfTwo(y + font.cellHeight), {}};
    alpha.coverage.assign(size_t(alpha.width) * size_t(alpha.height), 0);

    // Second pass: render each glyph into its cell on the baseline.
    CSprSprite sprite{spriteName, 0, 0, false, false, {}};
    for (size_t i = 0; i < characters.size(); ++i) {
        const CCell& cell = cells[i];
        FT_Load_Char(ft.face, characters[i], FT_LOAD_RENDER);
        const FT_GlyphSlot glyph = ft.face->glyph;
        alpha.Blit(glyph->bitmap, cell.left + glyph->bitmap_left, cell.top + font.ascent - glyph->bitmap_top,
                   cell.left, cell.left + cell.width, cell.top, cell.top + font.cellHeight);
        sprite.frames.push_back(MakeSprFrame(0, cell.left, cell.top, cell.left + cell.width, cell.top + font.cellHeight));
    }

    CPngImage white;
    white.width = uint32_t(alpha.width);
    white.height = uint32_t(alpha.height);
    white.samples.assign(size_t(alpha.width) * size_t(alpha.height) * 3, 255);
    CPngImage coverage = white;
    coverage.colour = EPngColour::Grey;
    coverage.samples.assign(alpha.coverage.begin(), alpha.coverage.end());
    // The glyphs need a texture format with eight bits of alpha.
    font.document.images.push_back(CSprImage{0, WritePng(white), WritePng(coverage), 8});
    font.document.sprites.push_back(std::move(sprite));
    return font;
}

} // namespace Tools
