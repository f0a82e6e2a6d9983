#pragma once
// A bitmap font: frame i of one sprite is the glyph of the i-th character of
// the locale's font record.

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "app/Locale.h"
#include "app/Referenced.h"
#include "graphics/SprFile.h"
#include "graphics/SpriteRef.h"

namespace Engine::Graphics {

class CFont : public Engine::CReferenced {
public:
    // Throws "Can't find anim sprite '%s'" and the CheckForValidSprite
    // messages.
    CFont(void* owner, Engine::ref_ptr<SprFile::CSprFile> sprFile, const Engine::CLocaleFont& record);
    ~CFont() noexcept(false) override;
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // The glyph of the character; glyph 0 for characters the font lacks.
    int32_t FindGlyph(char16_t character) const;
    bool HasGlyph(char16_t character) const { return m_glyphMap.count(character) != 0; }
    int32_t GetKerning(char16_t first, char16_t second) const;
    // Glyph width plus both horizontal paddings.
    int32_t GetCharWidth(char16_t character) const;
    // Bytes of 0x80 and above are looked up as 0xFF00 | byte.
    float GetTextWidth(const char* text, float tabWidth, float scale) const;
    // maxCount < 0: the whole text; otherwise at most maxCount characters.
    float GetTextWidthW(const char16_t* text, int32_t maxCount, float tabWidth, float scale) const;
    // GetTextWidthW taken a piece at a time: pieces walked in turn into one
    // walk give the width of their whole, to the bit.
    struct CWidthWalk {
        float total = 0.0f;
        int32_t run = 0;
        char16_t previous = 0;
    };
    void WalkTextWidthW(CWidthWalk& walk, const char16_t* text, int32_t maxCount, float tabWidth, float scale) const;

    const SprFile::CSpriteRef& GetGlyphSprite() const { return *m_glyphs; }
    // Text drawing sets its current frame to the glyph it queues.
    SprFile::CSpriteRef& GetGlyphSprite() { return *m_glyphs; }
    void* GetOwner() const { return m_owner; }
    // Unique to this font for the life of the process, never reused: laid
    // out texts are kept under it.
    uint64_t GetSerial() const { return m_serial; }
    int32_t GetGlyphWidth() const { return m_glyphWidth; }
    int32_t GetHeight() const { return m_height; }
    int32_t GetAscent() const { return m_ascent; }
    int32_t GetPaddingLeft() const { return m_padding[0]; }
    int32_t GetPaddingTop() const { return m_padding[1]; }
    int32_t GetPaddingRight() const { return m_padding[2]; }
    int32_t GetPaddingBottom() const { return m_padding[3]; }
    float GetLetterSpacing() const { return m_letterSpacing; }
    void SetLetterSpacing(float spacing) { m_letterSpacing = spacing; }
    float GetLineGap() const { return m_lineGap; }
    void SetLineGap(float gap) { m_lineGap = gap; }

private:
    void CheckForValidSprite(int32_t characterCount);
    float GlyphAdvance(int32_t glyph) const;

    void* m_owner;  // kept for the creator, not used by the font
    uint64_t m_serial;
    int32_t m_glyphWidth = -1;
    int32_t m_height = 0;
    std::map<char16_t, int32_t> m_glyphMap;
    int32_t m_ascent = 0;
    int32_t m_padding[4] = {};  // left, top, right, bottom
    std::map<std::pair<char16_t, char16_t>, int32_t> m_kerning;
    float m_letterSpacing = 0.0f;
    float m_lineGap = 0.0f;
    Engine::ref_ptr<SprFile::CSprFile> m_sprFile;
    std::unique_ptr<SprFile::CSpriteRef> m_glyphs;  // destroyed before the file is released
};

Engine::ref_ptr<CFont> CreateFontFromSprite(const Engine::CLocaleFont& record, Engine::ref_ptr<SprFile::CSprFile> sprFile);

} // namespace Engine::Graphics
