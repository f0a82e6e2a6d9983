#include "controls/ComboBox.h"

#include "controls/ControlsDrawing.h"
#include "controls/ControlsManager.h"
#include "controls/RenderContext.h"
#include "graphics/Text.h"

namespace Engine::Controls {

namespace {

constexpr uint32_t kDropDownStyle = CS_VISIBLE | CS_BORDER | CS_UNCLIPPED_CHILDREN | CList::LS_HOT_TRACK;
constexpr uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kHighlight = 0xFF6A240A;

void DrawItemText(CRenderContext& context, const CComboBox& owner, const CString& text, float x, float y,
                  uint32_t color) {
    const auto font = owner.GetFont();
    if (!font) return;
    Graphics::CTextLayout::SetFont(context.GetText(), font);
    context.GetText().m_textColor = color;
    Graphics::DrawText(context.GetText(), x, y, float(owner.GetClientRect().Width()), float(font->GetHeight()), 1.0f,
                       1.0f, Graphics::TEXT_ALIGN_LEFT, 0, text);
}

} // namespace

std::unique_ptr<CList::CListItem> CComboBox::CComboBoxList::CreateItem() {
    if (GetItemFactory()) return CList::CreateItem();
    return std::make_unique<CComboBoxListItem>(this);
}

void CComboBox::CComboBoxItem::GetSize(int32_t& width, int32_t& height) const {
    const auto font = m_pOwner->GetFont();
    width = font ? int32_t(font->GetTextWidth(GetText().c_str(), 16.0f, 1.0f)) : 0;
    height = font ? font->GetHeight() : 0;
}

void CComboBox::CComboBoxItem::Draw(CRenderContext& context) {
    const bool current = m_pOwner->GetCurrentItem() == this;
    if (current) context.FillRect(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), kHighlight);
    DrawItemText(context, *m_pOwner, GetText(), float(m_rect.left), float(m_rect.top), current ? kWhite : kBlack);
}

CComboBox::CComboBox() : m_pDropDown(new CComboBoxList) {}

// The combo box owns its entries; the drop-down owns their rows.
CComboBox::~CComboBox() noexcept(false) {
    m_items.clear();
    if (m_pDropDown && !m_pDropDown->IsDestroyed() && m_pDropDown->GetParent()) m_pDropDown->Destroy();
    m_pDropDown = nullptr;
}

int32_t CComboBox::ScrollBarWidth() const { return m_pManager ? m_pManager->GetMetric(METRIC_SCROLLBAR_WIDTH) : 16; }

std::unique_ptr<CComboBox::CComboBoxItem> CComboBox::CreateItem() { return std::make_unique<CComboBoxItem>(this); }

CComboBox::CComboBoxItem* CComboBox::AddItem(const CString& text) {
    std::unique_ptr<CComboBoxItem> item = CreateItem();
    if (!item) return nullptr;
    item->m_pListItem = m_pDropDown->AddItem(text);
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

void CComboBox::Create(CControlsManager* manager, Ref parent, int32_t x, int32_t y, int32_t width, int32_t height,
                       CString text, uint32_t style, int32_t id) {
    m_dropDownHeight = height;
    m_style = style;
    // The frame is measured with the manager in place, so that a caption
    // counts: without it the row would leave the client a negative height.
    m_pManager = manager;
    CRect frame;
    AdjustWindowRect(frame);
    const int32_t row = ScrollBarWidth() + frame.Height();
    CBaseControl::Create(manager, std::move(parent), x, y, width, row, std::move(text), style, id);
}

void CComboBox::OpenDropDown() {
    if (m_bDropped || !m_pManager) return;
    const CRect screen = ClientToScreen();
    m_pDropDown->Create(m_pManager, this, screen.left, screen.top + m_pManager->GetMetric(METRIC_ROW_HEIGHT),
                        screen.Width(), m_dropDownHeight, CString(), kDropDownStyle, -1);
    m_pManager->SetFocus(m_pDropDown);
    m_pDropDown->SetCurrentItem(m_pCurrent ? m_pCurrent->m_pListItem : nullptr);
    m_bDropped = true;
    // The open list lies outside the row: the pointer must find it there.
    m_bOwnUnclipped = HasStyle(CS_UNCLIPPED_CHILDREN);
    m_style |= CS_UNCLIPPED_CHILDREN;
}

// A choice gives the focus back to the combo box before the list goes, so
// the list's loss of focus does not read as the focus leaving the combo box.
// A loss of focus may arrive again while the list is destroyed; only the
// first counts.
bool CComboBox::OnDropDownNotify(const ControlEvent& event) {
    if (!m_bDropped) return true;
    const Ref self(this);
    m_bDropped = false;
    if (!m_bOwnUnclipped) m_style &= ~uint32_t(CS_UNCLIPPED_CHILDREN);
    if (event.notifyCode == CList::LN_CHOSEN) {
        m_pCurrent = nullptr;
        for (const auto& item : m_items)
            if (item->m_pListItem && item->m_pListItem == m_pDropDown->GetCurrentItem()) {
                m_pCurrent = item.get();
                break;
            }
        if (m_pManager && m_pDropDown->HasFocus()) m_pManager->SetFocus(self);
    } else if (event.extra != this) {
        SendNotify(self, self, CBN_FOCUS_LEFT);
    }
    m_pDropDown->Destroy();
    return true;
}

bool CComboBox::HandleEvent(ControlEvent& event) {
    switch (event.code) {
    case CE_NOTIFY:
        if (event.other == m_pDropDown.get() &&
            (event.notifyCode == CList::LN_CHOSEN || event.notifyCode == CList::LN_FOCUS_LOST))
            return OnDropDownNotify(event);
        break;
    case CE_LBUTTON_DOWN:
        if (event.x >= m_windowRect.Width() - ScrollBarWidth() && m_pManager) {
            const Ref self(this);
            m_pManager->SetCaptureTo(this);
            m_bPressed = true;
            OpenDropDown();
        }
        break;
    case CE_LBUTTON_UP:
        if (m_pManager && m_pManager->GetCapture() == this) {
            m_pManager->ReleaseCapture();
            m_bPressed = false;
        }
        break;
    case CE_KILL_FOCUS:
        if (event.other != m_pDropDown.get()) SendNotify(this, this, CBN_FOCUS_LEFT);
        return true;
    default: break;
    }
    return CBaseControl::HandleEvent(event);
}

void CComboBox::Draw(CRenderContext& context) {
    const int32_t w = m_clientRect.Width(), h = m_clientRect.Height(), s = ScrollBarWidth();
    if (const auto font = GetFont()) Graphics::CTextLayout::SetFont(context.GetText(), font);
    context.EnableRenderSwitch3();
    context.FillRect(0, 0, w, m_pManager ? m_pManager->GetMetric(METRIC_ROW_HEIGHT) : h, kWhite);
    context.Flush();
    if (m_pCurrent) {
        DrawItemText(context, *this, m_pCurrent->GetText(), 0.0f, 0.0f, kBlack);
        context.Flush();
    }
    if (CControlsDrawing* drawing = m_pManager ? m_pManager->GetDrawing() : nullptr) {
        CRect button{w - s, 0, w, h};
        drawing->DrawFrameControl(&context, button, CControlsDrawing::DFC_SCROLL,
                                  1 | (m_bPressed ? uint32_t(CControlsDrawing::C_DFCS_PUSHED) : 0u));
    }
    context.DisableRenderSwitch3();
    DrawChildren(context);
}

} // namespace Engine::Controls
