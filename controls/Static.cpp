#include "controls/Static.h"

#include "controls/ControlDescription.h"
#include "controls/DrawSpriteAt.h"
#include "controls/RenderContext.h"
#include "graphics/SpriteRef.h"
#include "graphics/Text.h"

namespace Engine::Controls {

namespace {

constexpr ControlStyleWord kStaticWords[] = {
    {"middle", CStatic::SS_MIDDLE}, {"top", CStatic::SS_TOP},       {"left", CStatic::SS_LEFT},
    {"right", CStatic::SS_RIGHT},   {"bottom", CStatic::SS_BOTTOM}, {"wordwrap", CStatic::SS_WORDWRAP},
};

} // namespace

void CStatic::ReadProperties() {
    CBaseControl::ReadProperties();
    ReadStyleWords(kStaticWords);
}

bool CStatic::HandleEvent(ControlEvent& event) {
    // A static never takes the focus.
    if (event.code == CE_SET_FOCUS) return false;
    return CBaseControl::HandleEvent(event);
}

uint32_t CStatic::GetTextFlags() const {
    using namespace Graphics;
    const bool top = HasStyle(SS_TOP), bottom = HasStyle(SS_BOTTOM);
    uint32_t flags = 0;
    if (!top && !bottom) flags = TEXT_VALIGN_CENTER;
    else if (bottom && !top) flags = TEXT_VALIGN_BOTTOM;
    if (HasStyle(SS_WORDWRAP)) flags |= TEXT_WORD_WRAP;
    switch (m_style & (SS_LEFT | SS_RIGHT | SS_MIDDLE)) {
    case 0: flags |= TEXT_ALIGN_CENTER; break;
    case SS_RIGHT: flags |= TEXT_ALIGN_RIGHT; break;
    case SS_MIDDLE: flags |= TEXT_JUSTIFY; break;
    default: break;  // left alone, or a mix: left-aligned
    }
    return flags;
}

bool CStatic::PrepareText(CRenderContext& context, uint32_t color) const {
    const auto font = GetFont();
    if (!font) return false;
    Graphics::CTextLayout::SetFont(context.GetText(), font);
    context.EnableRenderSwitch3();
    context.GetText().m_textColor = color;
    return true;
}

void CStatic::Draw(CRenderContext& context) {
    if (m_pDescription && m_pDescription->sprite) {
        Graphics::SprFile::CSpriteRef& sprite = *m_pDescription->sprite;
        context.EnableRenderSwitch3();
        if (m_pictureFrame >= 0) {
            if (m_pictureFrame < std::max(sprite.GetSpriteFrameCount(), 1))
                sprite.SetFrame(m_pictureFrame);
            else
                sprite.SetLastFrame();
        }
        DrawSpriteAt(*m_pDescription, context, 0.0f, 0.0f, 1.0f);
        context.Flush();
    }
    if (PrepareText(context, m_textColor)) {
        Graphics::DrawTextInRect(context.GetText(), m_text, GetTextFlags(), 0, 0.0f, 0.0f, float(m_clientRect.Width()),
                                 float(m_clientRect.Height()));
        context.Flush();
    }
}

} // namespace Engine::Controls
