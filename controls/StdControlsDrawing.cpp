#include "controls/StdControlsDrawing.h"

#include "controls/ControlsManager.h"
#include "controls/RenderContext.h"
#include "graphics/SpriteQueue.h"

namespace Engine::Controls {

namespace {

constexpr uint32_t kFace = 0xFFC8D0D4u;
constexpr uint32_t kHighlight = 0xFFFFFFFFu;
constexpr uint32_t kShadow = 0xFF808080u;
constexpr uint32_t kDark = 0xFF000000u;
constexpr int kNone = -1;

// Colour indices per edge type (bits 0-3): left-top outer and inner,
// right-bottom outer and inner, soft left-top outer and inner, mono outer
// and inner, flat outer and inner.
struct CEdgeColors {
    int lto, lti, rbo, rbi, ltoSoft, ltiSoft, mo, mi, fo, fi;
};
constexpr CEdgeColors kEdgeTable[16] = {
    {kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone, kNone},
    {22, kNone, 21, kNone, 20, kNone, 6, kNone, 16, kNone},
    {16, kNone, 20, kNone, 21, kNone, 6, kNone, 16, kNone},
    {kNone, kNone, kNone, kNone, kNone, kNone, 6, kNone, 16, kNone},
    {20, kNone, 16, kNone, 22, kNone, 5, kNone, 15, kNone},
    {22, 20, 21, 16, 20, 22, 6, 5, 16, 15},
    {16, 20, 20, 16, 21, 22, 6, 5, 16, 15},
    {kNone, kNone, kNone, kNone, kNone, kNone, 6, 5, 16, 15},
    {21, kNone, 22, kNone, 16, kNone, 5, kNone, 15, kNone},
    {22, 21, 21, 22, 20, 16, 6, 5, 16, 15},
    {16, 21, 20, 22, 21, 16, 6, 5, 16, 15},
    {kNone, kNone, kNone, kNone, kNone, kNone, 6, 5, 16, 15},
    {kNone, kNone, kNone, kNone, kNone, kNone, 5, kNone, 15, kNone},
    {22, kNone, 21, kNone, 20, kNone, 6, 5, 16, 15},
    {16, kNone, 20, kNone, 21, kNone, 6, 5, 16, 15},
    {kNone, kNone, kNone, kNone, kNone, kNone, 6, 5, 16, 15},
};

// The symbol-font characters of a frame control: one for caption buttons and
// scroll arrows, six layers for check boxes and radio buttons.
const char16_t* GlyphsOf(int type, uint32_t state) {
    static const char16_t* const kCaption[8] = {u"r", u"2", u"1", u"0", u"s", nullptr, nullptr, nullptr};
    static const char16_t* const kScroll[8] = {u"5", u"6", u"3", u"4", nullptr, u"7", nullptr, nullptr};
    switch (type) {
    case CControlsDrawing::DFC_CAPTION: return kCaption[state & 7];
    case CControlsDrawing::DFC_SCROLL: return kScroll[state & 7];
    case CControlsDrawing::DFC_BUTTON: return (state & 0x1F) == CControlsDrawing::C_DFCS_BUTTONRADIO ? u"njklmi" : u"gcdefb";
    default: return nullptr;
    }
}

} // namespace

void CStdControlsDrawing::DrawEdge(CRenderContext& context, int32_t left, int32_t top, int32_t right, int32_t bottom,
                                   uint32_t edgeType, uint32_t flags) {
    const uint32_t t = edgeType & 0xF;
    const CEdgeColors& row = kEdgeTable[t];
    int ltOuter, ltInner, rbOuter, rbInner;
    if (flags & EDGE_MONO) {
        ltOuter = rbOuter = row.mo;
        ltInner = rbInner = row.mi;
    } else if (flags & EDGE_FLAT) {
        ltOuter = rbOuter = row.fo;
        ltInner = rbInner = row.fi;
    } else {
        const bool soft = flags & EDGE_SOFT;
        ltOuter = soft ? row.ltoSoft : row.lto;
        ltInner = soft ? row.ltiSoft : row.lti;
        rbOuter = row.rbo;
        rbInner = row.rbi;
    }
    const auto side = [flags](uint32_t bits) { return (flags & bits) == bits; };
    const int32_t lb = side(EDGE_BOTTOM | EDGE_LEFT), rt = side(EDGE_TOP | EDGE_RIGHT);
    const int32_t rb = side(EDGE_BOTTOM | EDGE_RIGHT), lt = side(EDGE_TOP | EDGE_LEFT);
    const int32_t w = right - left, h = bottom - top;
    const auto line = [&](uint32_t sideBit, int colorIndex, int32_t x, int32_t y, int32_t lw, int32_t lh) {
        if ((flags & sideBit) && colorIndex != kNone) context.FillRect(x, y, lw, lh, m_pOwner->GetSysColor(colorIndex));
    };
    line(EDGE_TOP, ltOuter, left, top, w, 1);
    line(EDGE_LEFT, ltOuter, left, top, 1, h);
    line(EDGE_BOTTOM, rbOuter, left, bottom - 1, w, 1);
    line(EDGE_RIGHT, rbOuter, right - 1, top, 1, h);
    line(EDGE_TOP, ltInner, left + lt, top + 1, w - rt - lt, 1);
    line(EDGE_LEFT, ltInner, left + 1, top + lt, 1, h - lt - lb);
    line(EDGE_BOTTOM, rbInner, left + lb, bottom - 2, w - rb - lb, 1);
    line(EDGE_RIGHT, rbInner, right - 2, top + rt, 1, h - rb - rt);

    const bool flatOrMono = flags & (EDGE_FLAT | EDGE_MONO);
    const bool doubled = (t & 3) == 3 || (t & 0xC) == 0xC;
    if ((flags & EDGE_MIDDLE) && (flatOrMono || !doubled)) {
        const int32_t n = (t != 0 ? 1 : 0) + ((t & 3) != 0 && (t & 0xC) != 0 ? 1 : 0);
        const int32_t l = left + (flags & EDGE_LEFT ? n : 0), tp = top + (flags & EDGE_TOP ? n : 0);
        const int32_t r = right - (flags & EDGE_RIGHT ? n : 0), b = bottom - (flags & EDGE_BOTTOM ? n : 0);
        context.FillRect(l, tp, r - l, b - tp, m_pOwner->GetSysColor(flags & EDGE_MONO ? 5 : 15));
    }
    if (!(flags & EDGE_NO_FLUSH)) context.FlushIfPending();
}

void CStdControlsDrawing::DrawCaption(CRenderContext& context, int32_t left, int32_t top, int32_t right,
                                      int32_t bottom, bool) {
    QueueCaptionQuad(context, left, top, right - left, bottom - top);
    context.FlushIfPending();
}

void CStdControlsDrawing::DrawBevel(CRenderContext& context, const Geometry::CRect& r, const uint32_t colors[4]) {
    const int32_t w = r.Width(), h = r.Height();
    context.FillRect(r.left, r.top, w - 1, 1, colors[0]);
    context.FillRect(r.left, r.top + 1, 1, h - 2, colors[0]);
    context.FillRect(r.left + 1, r.top + 1, w - 2, 1, colors[1]);
    context.FillRect(r.left + 1, r.top + 2, 1, h - 3, colors[1]);
    context.FillRect(r.left, r.bottom - 1, w - 1, 1, colors[2]);
    context.FillRect(r.right - 1, r.top, 1, h, colors[2]);
    context.FillRect(r.left + 1, r.bottom - 2, w - 3, 1, colors[3]);
    context.FillRect(r.right - 2, r.top + 1, 1, h - 2, colors[3]);
}

void CStdControlsDrawing::DrawButton(CRenderContext& context, int32_t left, int32_t top, int32_t right,
                                     int32_t bottom, bool pressed) {
    const Geometry::CRect r{left, top, right, bottom};
    context.FillRect(left + 2, top + 2, r.Width() - 4, r.Height() - 4, kFace);
    const uint32_t colors[4] = {pressed ? kDark : kFace, pressed ? kShadow : kHighlight, kDark, kShadow};
    DrawBevel(context, r, colors);
    context.FlushIfPending();
}

void CStdControlsDrawing::DrawFrame(CRenderContext& context, int32_t left, int32_t top, int32_t right,
                                    int32_t bottom, bool sunken) {
    static constexpr uint32_t kRaised[4] = {kFace, kHighlight, kDark, kShadow};
    static constexpr uint32_t kSunken[4] = {kShadow, kDark, kHighlight, kFace};
    DrawBevel(context, {left, top, right, bottom}, sunken ? kSunken : kRaised);
    context.FlushIfPending();
}

Geometry::CPoint CStdControlsDrawing::GlyphBox(char16_t glyph) const {
    const Graphics::CFont* font = m_pOwner->GetSymbolFont().get();
    if (!font) return {0, 10};
    // A glyph the font lacks takes no room (it is not glyph 0 here).
    return {font->HasGlyph(glyph) ? font->GetCharWidth(glyph) : 0, font->GetHeight()};
}

void CStdControlsDrawing::DrawGlyph(CRenderContext& context, char16_t glyph, int32_t x, int32_t y, uint32_t color) {
    Graphics::CFont* font = m_pOwner->GetSymbolFont().get();
    if (!font || !font->HasGlyph(glyph)) return;
    context.EnableRenderSwitch3();
    context.SetBlendFunc5(6);
    Graphics::SprFile::CSpriteRef& glyphs = font->GetGlyphSprite();
    glyphs.SetFrame(font->FindGlyph(glyph));
    Graphics::CSpriteQueue::QueueSpriteAt(context.GetParams(), glyphs, x + font->GetPaddingLeft(),
                                          y + font->GetPaddingTop(), color);
    context.FlushIfPending();
    context.DisableRenderSwitch3();
}

void CStdControlsDrawing::DrawFrameControl(CRenderContext* context, Geometry::CRect& rect, int type, uint32_t state) {
    const char16_t* glyphs = GlyphsOf(type, state);
    const bool measure = state & C_DFCS_ADJUSTRECT;
    const Geometry::CPoint box = glyphs ? GlyphBox(glyphs[0]) : Geometry::CPoint{0, 0};
    const auto centred = [&](bool shift) {
        const int32_t s = shift ? 1 : 0;
        return Geometry::CPoint{rect.left + (rect.Width() - box.x) / 2 + s, rect.top + (rect.Height() - box.y) / 2 + s};
    };
    if (type == DFC_BUTTON) {
        if (measure) {
            rect = {0, 0, box.x, box.y};
            return;
        }
        if (!context) return;
        const Geometry::CPoint at = centred(false);
        const uint32_t colors[6] = {kHighlight, kShadow, kHighlight, kDark, kFace, kDark};
        for (int layer = 0; layer < 6; ++layer) {
            if (layer == 0 && (state & C_DFCS_INACTIVE)) continue;
            if (layer == 5 && !(state & C_DFCS_CHECKED)) continue;
            DrawGlyph(*context, glyphs[layer], at.x, at.y, colors[layer]);
        }
        return;
    }
    if (!measure && context) {
        const bool sunken = state & (C_DFCS_FLAT | C_DFCS_CHECKED | C_DFCS_PUSHED);
        uint32_t flags;
        if (state & C_DFCS_MONO)
            flags = 0xA00F;
        else if (state & C_DFCS_CHECKED)
            flags = (state & C_DFCS_FLAT) | 0x300F;
        else
            flags = (state & C_DFCS_FLAT) | 0xF | (state & C_DFCS_TRANSPARENT ? 0u : uint32_t(EDGE_MIDDLE));
        DrawEdge(*context, rect.left, rect.top, rect.right, rect.bottom, sunken ? 0xA : 0x5, flags);
    }
    if (measure) {
        if (glyphs) rect = {0, 0, box.x + 6, box.y + 3};
        return;
    }
    if (!context) return;
    if (glyphs) {
        const Geometry::CPoint at = centred(state & C_DFCS_PUSHED);
        DrawGlyph(*context, glyphs[0], at.x, at.y, kDark);
    }
    // A checked or mono edge is queued without a flush of its own: it goes
    // out here when no glyph (or no font) followed it.
    context->FlushIfPending();
}

} // namespace Engine::Controls
