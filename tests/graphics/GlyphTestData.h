#pragma once
// A small font sprite file for text drawing tests.

#include <vector>

#include "graphics/DrawContext.h"
#include "graphics/Font.h"
#include "graphics/SpriteQueue.h"
#include "graphics/Text.h"
#include "tests/graphics/SprFileTestData.h"

namespace GlyphTestData {

// Glyphs '?', ' ', 'A', 'B' of widths 5, 4, 6, 7 and height 10, each a
// solid colour: blue, black, red, green.
inline std::vector<uint8_t> GlyphFile() {
    const int widths[] = {5, 4, 6, 7};
    const uint16_t colours[][3] = {{0, 0, 255}, {0, 0, 0}, {255, 0, 0}, {0, 255, 0}};
    Tools::CPngImage image;
    image.width = 22;
    image.height = 10;
    Tools::CSprSprite glyphs{"glyphs", 0, 0, false, false, {}};
    for (int left = 0, i = 0; i < 4; left += widths[i++])
        glyphs.frames.push_back(Tools::MakeSprFrame(0, left, 0, left + widths[i], 10));
    for (uint32_t y = 0; y < image.height; ++y)
        for (int i = 0; i < 4; ++i)
            for (int x = 0; x < widths[i]; ++x) image.samples.insert(image.samples.end(), colours[i], colours[i] + 3);
    Tools::CSprDocument document;
    document.images.push_back({0, Tools::WritePng(image), {}, 0xFFFFFFFFu});
    document.sprites.push_back(glyphs);
    return Tools::WriteSpr(document);
}

// The sprite queue on a driver and a draw context holding the glyph font.
class CGlyphText {
public:
    // False when the queue cannot be made.
    bool Init(Engine::Graphics::CGraphics& driver) {
        using namespace Engine::Graphics;
        CSpriteQueue::SetDriver(&driver);
        if (!CSpriteQueue::CreateVertexBuffer() || !CSpriteQueue::Init()) return false;
        auto file = SprTestData::ReadSprFile(GlyphFile(), "spr/font.spr", false, nullptr, &driver);
        file->CreateTextures();
        Engine::CLocaleFont record;
        record.sprite = "glyphs";
        record.characters = {u'?', u' ', u'A', u'B'};
        CTextLayout::SetFont(context, CreateFontFromSprite(record, file));
        return true;
    }
    void Done() {
        using Engine::Graphics::CSpriteQueue;
        context.m_pFont = nullptr;
        CSpriteQueue::Done();
        CSpriteQueue::ReleaseVertexBuffer();
        CSpriteQueue::SetDriver(nullptr);
    }
    // Draws "AB?" with its top left at (20, 30).
    void DrawLine() {
        Engine::Graphics::DrawText(context, 20, 30, 100, 40, 1, 1, 0, Engine::Graphics::SPRITE_BLEND_ALPHA, "AB?");
        Engine::Graphics::CSpriteQueue::Flush(context.m_params);
    }

    Engine::Graphics::CDrawContext context;
};

} // namespace GlyphTestData
