#include "gameui/MosarkList.h"

#include "app/Global.h"
#include "app/Math.h"
#include "controls/ControlsManager.h"
#include "controls/RenderContext.h"
#include "gameui/ControlSounds.h"
#include "gameui/SpritePieces.h"
#include "graphics/Text.h"

using namespace Engine::Controls;

namespace {

constexpr int kSeparatorColor = 15;  // the manager's grid-line colour

// A packed 0xAABBGGRR value as four channels.
CMosarkList::Color UnpackColor(uint32_t v) {
    CMosarkList::Color c;
    for (size_t i = 0; i < 4; ++i) c[i] = float(double((v >> (8 * i)) & 0xFFu) / 255.0);
    return c;
}

uint32_t PackFaded(const CMosarkList::Color& c, float opacity) { return PackColorRGBA(c[0], c[1], c[2], c[3] * opacity); }

template <class Fn>
void ForEachCell(const CList::CListItem& row, Fn fn) {
    fn(static_cast<const CList::CListItemBase&>(row));
    for (const auto* sub = row.m_pFirstSubItem.get(); sub; sub = sub->m_pNext.get()) fn(*sub);
}

} // namespace

void CMosarkList::CreateFromDescription(CControlsManager* manager, Ref parent, const CControlDescription* description,
                                        const CControlDescription* parentDescription, CString text, uint32_t style,
                                        int32_t id) {
    CList::CreateFromDescription(manager, std::move(parent), description, parentDescription, std::move(text), style, id);
    Engine::IGameData* game = GameUi::FindGameData(*this);
    const auto read = [game](const char* name) {
        return UnpackColor(game ? Engine::GetGlobalColor(game->GetGlobalValues(), name) : 0u);
    };
    m_backgroundColor = read("MOSARK_LIST_BACKGROUND_COLOR");
    m_selectBackgroundColor = read("MOSARK_LIST_SELECT_BACKGROUND_COLOR");
    m_textColor = read("MOSARK_LIST_TEXT_COLOR");
    m_selectTextColor = read("MOSARK_LIST_SELECT_TEXT_COLOR");
}

void CMosarkList::DrawCell(CRenderContext& context, const CListItemBase& cell, int32_t top, uint32_t textColor,
                           bool current) {
    context.PushClipRect(cell.m_rect.left, cell.m_rect.top - top, 0, 0, cell.m_rect.Width(), cell.m_rect.Height());
    context.EnableRenderSwitch3();
    context.SetBlendFunc5(6);
    // Looked up for every cell: a missing sprite fails the first cell drawn,
    // selected or not.
    const auto* sprite = GameUi::FindControlSprite(*this, "edit-select");
    if (current && sprite) {
        GameUi::QueueSpriteAtF(context.GetParams(), *sprite, 0.0f, 0.0f, WithAlpha(0xFFFFFFu, GetAlpha()));
        context.Flush();
    }
    if (const auto font = GetFont()) {
        // Centred over the list's width from the cell's left edge, cut at the cell.
        GameUi::CCaptionState caption(context, font, textColor);
        Engine::Graphics::DrawText(caption.Text(), 0.0f, 0.0f, float(m_windowRect.Width()), 0.0f, 1.0f, 1.0f,
                                   Engine::Graphics::TEXT_ALIGN_CENTER, 0, cell.m_text);
    }
    context.FlushIfPending();
    context.DisableRenderSwitch3();
    context.PopClipRect();
}

void CMosarkList::Draw(CRenderContext& context) {
    context.EnableRenderSwitch3();
    context.SetBlendFunc5(6);
    const uint32_t text = PackFaded(m_textColor, m_fOpacity), selected = PackFaded(m_selectTextColor, m_fOpacity);
    UpdateLayout();
    const int32_t clientHeight = m_clientRect.Height(), clientWidth = m_clientRect.Width();
    const uint32_t separator = m_pManager ? m_pManager->GetSysColor(kSeparatorColor) : 0xFF000000u;
    const int passes = HasStyle(LS_GRID) ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const size_t first = FirstDrawnItem();
        const int32_t top = first < size_t(GetItemCount()) ? GetItem(int32_t(first))->m_rect.top : 0;
        int32_t h = 0;
        for (size_t i = first; i < size_t(GetItemCount()) && h < clientHeight; ++i) {
            const CListItem& item = *GetItem(int32_t(i));
            if (item.IsHidden()) continue;
            ForEachCell(item, [&](const CListItemBase& cell) {
                const bool current = &cell == GetCurrentItem();
                if (pass == 0) DrawCell(context, cell, top, current ? selected : text, current);
                else context.FillRect(cell.m_rect.left - 1, h, 1, cell.m_rect.Height(), separator);
            });
            h += item.m_rect.Height();
            if (pass == 1) context.FillRect(0, h++, clientWidth, 1, separator);
        }
    }
    context.FlushIfPending();
    DrawChildren(context);
}
