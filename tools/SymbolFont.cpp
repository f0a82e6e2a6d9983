#include "tools/SymbolFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <tuple>
#include <type_traits>

#include "app/Exception.h"

namespace Tools {

namespace {

// A closed polygon in pixels, y downwards.
using CContour = std::vector<std::pair<double, double>>;

struct CShape {
    int32_t width;
    std::vector<CContour> contours;
};

CContour Rect(double left, double top, double right, double bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

// One square per pixel of the box whose centre lies in the given band of
// distances from the box's centre and, with a side, on that side of the
// rising diagonal (upper-left: -1, lower-right: 1, both: 0).
std::vector<CContour> Ring(double inner, double outer, int side) {
    constexpr double kCentre = kSymbolCellHeight / 2.0;
    std::vector<CContour> contours;
    for (int y = 0; y < kSymbolCellHeight; ++y)
        for (int x = 0; x < kSymbolCellHeight; ++x) {
            const double d = std::hypot(x + 0.5 - kCentre, y + 0.5 - kCentre);
            const bool upperLeft = x + y < kSymbolCellHeight - 1;
            if (d < inner || d >= outer || (side < 0 && !upperLeft) || (side > 0 && upperLeft)) continue;
            contours.push_back(Rect(x, y, x + 1, y + 1));
        }
    return contours;
}

// One rectangle per row: (row, first column, end column).
std::vector<CContour> Rows(std::initializer_list<std::tuple<int, int, int>> rows) {
    std::vector<CContour> contours;
    for (const auto& [y, x0, x1] : rows) contours.push_back(Rect(x0, y, x1, y + 1));
    return contours;
}

// One rectangle per column: (column, first row, end row).
std::vector<CContour> Columns(std::initializer_list<std::tuple<int, int, int>> columns) {
    std::vector<CContour> contours;
    for (const auto& [x, y0, y1] : columns) contours.push_back(Rect(x, y0, x + 1, y1));
    return contours;
}

constexpr int32_t kBox = kSymbolCellHeight;

CShape ShapeOf(uint16_t character) {
    switch (character) {
    // Check box: interior, the outer and inner edges (top-left, then
    // bottom-right), and the mark.
    case 'g': return {kBox, {Rect(2, 2, 11, 11)}};
    case 'c': return {kBox, {{{0, 0}, {12, 0}, {12, 1}, {1, 1}, {1, 12}, {0, 12}}}};
    case 'd': return {kBox, {{{12, 0}, {13, 0}, {13, 13}, {0, 13}, {0, 12}, {12, 12}}}};
    case 'e': return {kBox, {{{1, 1}, {11, 1}, {11, 2}, {2, 2}, {2, 11}, {1, 11}}}};
    case 'f': return {kBox, {{{11, 1}, {12, 1}, {12, 12}, {1, 12}, {1, 11}, {11, 11}}}};
    case 'b':
        return {kBox, Rows({{3, 9, 10}, {4, 8, 10}, {5, 3, 4}, {5, 7, 10}, {6, 3, 9}, {7, 3, 8}, {8, 4, 7}, {9, 5, 6}})};
    // Radio button: the same layers as rings split along the rising diagonal.
    case 'n': return {kBox, Ring(0.0, 4.5, 0)};
    case 'j': return {kBox, Ring(5.5, 6.6, -1)};
    case 'k': return {kBox, Ring(5.5, 6.6, 1)};
    case 'l': return {kBox, Ring(4.5, 5.5, -1)};
    case 'm': return {kBox, Ring(4.5, 5.5, 1)};
    case 'i': return {kBox, Ring(0.0, 2.0, 0)};
    // No frame part uses it; present so that the letters run unbroken.
    case 'h': return {kBox, {}};
    // Caption buttons: minimise, maximise, restore, close, help.
    case '0': return {11, {Rect(2, 9, 8, 11)}};
    case '1': return {11, {Rect(1, 2, 10, 4), Rect(1, 4, 2, 11), Rect(9, 4, 10, 11), Rect(1, 10, 10, 11)}};
    case '2':
        return {11,
                {Rect(3, 1, 10, 3), Rect(9, 3, 10, 7), Rect(3, 3, 4, 4), Rect(8, 6, 9, 7), Rect(1, 4, 8, 6),
                 Rect(1, 6, 2, 11), Rect(7, 6, 8, 11), Rect(1, 10, 8, 11)}};
    case 'r': {
        CShape cross{11, {}};
        for (int i = 0; i < 8; ++i) {
            cross.contours.push_back(Rect(1 + i, 3 + i, 3 + i, 4 + i));
            cross.contours.push_back(Rect(8 - i, 3 + i, 10 - i, 4 + i));
        }
        return cross;
    }
    case 's':
        return {11,
                {Rect(3, 2, 8, 3), Rect(2, 3, 4, 5), Rect(7, 3, 9, 6), Rect(5, 6, 8, 7), Rect(5, 7, 7, 8),
                 Rect(5, 9, 7, 11)}};
    // Scroll arrows: left, right, up, down.
    case '3': return {9, Columns({{3, 6, 7}, {4, 5, 8}, {5, 4, 9}, {6, 3, 10}})};
    case '4': return {9, Columns({{5, 6, 7}, {4, 5, 8}, {3, 4, 9}, {2, 3, 10}})};
    case '5': return {9, Rows({{5, 4, 5}, {6, 3, 6}, {7, 2, 7}, {8, 1, 8}})};
    case '6': return {9, Rows({{5, 1, 8}, {6, 2, 7}, {7, 3, 6}, {8, 4, 5}})};
    // Size grip: three diagonal strokes in the bottom-right corner.
    case '7': {
        CShape grip{12, {}};
        for (int sum : {11, 15, 19})
            for (int x = 0; x < 12; ++x)
                if (const int y = sum - x; y >= 0 && y < 12) grip.contours.push_back(Rect(x, y, x + 1, y + 1));
        return grip;
    }
    default:
        throw Engine::CException::Format("RenderSymbolGlyph(...) : FAILED : no glyph for character %u",
                                         unsigned(character));
    }
}

struct CLibrary {
    FT_Library library = nullptr;
    CLibrary() {
        if (FT_Init_FreeType(&library)) throw Engine::CException("RenderSymbolGlyph(...) : FAILED : FreeType");
    }
    ~CLibrary() { FT_Done_FreeType(library); }
};

// Fills the contours (non-zero winding) into the glyph with FreeType's
// anti-aliasing rasteriser.
void Rasterise(FT_Library library, const std::vector<CContour>& contours, CGlyphImage& glyph) {
    size_t points = 0;
    for (const CContour& contour : contours) points += contour.size();
    if (points == 0) return;
    FT_Outline outline;
    if (FT_Outline_New(library, FT_UInt(points), FT_Int(contours.size()), &outline))
        throw Engine::CException("RenderSymbolGlyph(...) : FAILED : outline");
    size_t n = 0;
    for (size_t c = 0; c < contours.size(); ++c) {
        for (const auto& [x, y] : contours[c]) {
            // FreeType's y runs upwards from the bitmap's bottom row.
            outline.points[n] = {FT_Pos(std::lround(x * 64.0)), FT_Pos(std::lround((kSymbolCellHeight - y) * 64.0))};
            outline.tags[n] = FT_CURVE_TAG_ON;
            ++n;
        }
        outline.contours[c] = static_cast<std::remove_reference_t<decltype(outline.contours[c])>>(n - 1);
    }
    FT_Bitmap bitmap{};
    bitmap.rows = unsigned(kSymbolCellHeight);
    bitmap.width = unsigned(glyph.width);
    bitmap.pitch = glyph.width;
    bitmap.buffer = glyph.coverage.data();
    bitmap.num_grays = 256;
    bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
    const FT_Error error = FT_Outline_Get_Bitmap(library, &outline, &bitmap);
    FT_Outline_Done(library, &outline);
    if (error) throw Engine::CException("RenderSymbolGlyph(...) : FAILED : rasteriser");
}

} // namespace

std::vector<uint16_t> SymbolFontCharacters() {
    std::vector<uint16_t> characters;
    for (uint16_t c = '0'; c <= '7'; ++c) characters.push_back(c);
    for (uint16_t c = 'b'; c <= 'n'; ++c) characters.push_back(c);
    characters.push_back('r');
    characters.push_back('s');
    return characters;
}

CGlyphImage RenderSymbolGlyph(uint16_t character) {
    const CShape shape = ShapeOf(character);
    CLibrary ft;
    CGlyphImage glyph;
    glyph.width = shape.width;
    glyph.coverage.assign(size_t(shape.width) * size_t(kSymbolCellHeight), 0);
    Rasterise(ft.library, shape.contours, glyph);
    return glyph;
}

CFontSprite MakeSymbolFontSprite(const std::string& spriteName) {
    const std::vector<uint16_t> characters = SymbolFontCharacters();
    std::vector<CGlyphImage> glyphs;
    for (uint16_t character : characters) glyphs.push_back(RenderSymbolGlyph(character));
    return BuildFontSprite(glyphs, characters, kSymbolCellHeight, kSymbolCellHeight, spriteName);
}

} // namespace Tools
