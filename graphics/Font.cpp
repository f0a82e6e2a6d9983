#include "graphics/Font.h"

#include <atomic>

#include "app/Exception.h"

namespace Engine::Graphics {

namespace {
std::atomic<uint64_t> g_nextFontSerial{1};
} // namespace

CFont::CFont(void* owner, Engine::ref_ptr<SprFile::CSprFile> sprFile, const Engine::CLocaleFont& record)
    : m_owner(owner), m_serial(g_nextFontSerial.fetch_add(1, std::memory_order_relaxed)),
      m_sprFile(std::move(sprFile)) {
    const SprFile::CSpriteDef* definition = m_sprFile->FindSprite(record.sprite);
    if (!definition) throw Engine::CException::Format("Can't find anim sprite '%s'", record.sprite.c_str());
    m_glyphs = m_sprFile->CreateSprite(*definition);
    m_ascent = record.ascent;
    for (int i = 0; i < 4; ++i) m_padding[i] = record.letterPadding[i] - record.texturePadding[i];
    for (size_t i = 0; i < record.characters.size(); ++i) m_glyphMap[record.characters[i]] = int32_t(i);
    for (const Engine::CKernPair& pair : record.kernPairs) m_kerning.emplace(std::make_pair(pair.first, pair.second), pair.amount);
    CheckForValidSprite(int32_t(record.characters.size()));
    m_height += m_padding[3] + m_padding[1];
}

CFont::~CFont() noexcept(false) = default;

void CFont::CheckForValidSprite(int32_t characterCount) {
    const int32_t found = m_glyphs->GetSpriteFrameCount();
    // A font without characters would have no glyph 0 to fall back on.
    if (found != characterCount || characterCount == 0)
        throw Engine::CException::Format(
            "CFont::CheckForValidSprite(...) : Invalid number of frames (%d - found, %d - should be)", found,
            characterCount);
    const int32_t height = m_glyphs->GetSpriteFrameHeight(0);
    for (int32_t i = 1; i < characterCount; ++i)
        if (m_glyphs->GetSpriteFrameHeight(i) != height)
            throw Engine::CException("CFont::CheckForValidSprite(...) : Font characters must have same height");
    m_glyphWidth = m_glyphs->GetSpriteFrameWidth(0);
    m_height = height;
}

int32_t CFont::FindGlyph(char16_t character) const {
    const auto found = m_glyphMap.find(character);
    return found == m_glyphMap.end() ? 0 : found->second;
}

int32_t CFont::GetKerning(char16_t first, char16_t second) const {
    const auto found = m_kerning.find({first, second});
    return found == m_kerning.end() ? 0 : found->second;
}

int32_t CFont::GetCharWidth(char16_t character) const {
    const int32_t glyph = FindGlyph(character);
    return glyph < 0 ? 0 : m_glyphs->GetSpriteFrameWidth(glyph) + m_padding[2] + m_padding[0];
}

float CFont::GlyphAdvance(int32_t glyph) const {
    return float(m_glyphs->GetSpriteFrameWidth(glyph) + m_padding[2] + m_padding[0]);
}

float CFont::GetTextWidth(const char* text, float tabWidth, float scale) const {
    if (!text) return 0.0f;
    float total = 0.0f;
    int32_t run = 0;
    char16_t previous = 0;
    for (; *text; ++text) {
        const char16_t ch = char16_t(int16_t(static_cast<signed char>(*text)));
        if (ch == u'\t') {
            run = 0;
            total = tabWidth * scale + total;
        } else {
            if (++run > 1) total += m_letterSpacing;
            const int32_t glyph = FindGlyph(ch);
            if (glyph >= 0) {
                const float kerned = total + float(GetKerning(previous, ch)) * scale;
                total = kerned + GlyphAdvance(glyph) * scale;
            }
        }
        previous = ch;
    }
    return total;
}

float CFont::GetTextWidthW(const char16_t* text, int32_t maxCount, float tabWidth, float scale) const {
    if (!text || maxCount == 0) return 0.0f;
    CWidthWalk walk;
    WalkTextWidthW(walk, text, maxCount, tabWidth, scale);
    return walk.total;
}

void CFont::WalkTextWidthW(CWidthWalk& walk, const char16_t* text, int32_t maxCount, float tabWidth,
                           float scale) const {
    if (!text) return;
    for (int32_t count = 0; *text && (maxCount < 0 || count < maxCount); ++text, ++count) {
        const char16_t ch = *text;
        if (ch == u'\t') {
            walk.run = 0;
            walk.total = tabWidth * scale + walk.total;
        } else {
            if (++walk.run > 1)
                walk.total = m_letterSpacing * scale + (walk.total + float(GetKerning(walk.previous, ch)) * scale);
            const int32_t glyph = FindGlyph(ch);
            if (glyph >= 0) {
                walk.total = float(m_glyphs->GetSpriteFrameWidth(glyph)) * scale + walk.total;
                walk.total = float(m_padding[2] + m_padding[0]) * scale + walk.total;
            }
        }
        walk.previous = ch;
    }
}

Engine::ref_ptr<CFont> CreateFontFromSprite(const Engine::CLocaleFont& record, Engine::ref_ptr<SprFile::CSprFile> sprFile) {
    return Engine::ref_ptr<CFont>(new CFont(nullptr, std::move(sprFile), record));
}

} // namespace Engine::Graphics
