#include "controls/Menu.h"

#include <algorithm>

#include "controls/ControlsManager.h"
#include "controls/RenderContext.h"
#include "graphics/Text.h"

namespace Engine::Controls {

namespace {

constexpr uint32_t kFace = 0xFFC8D0D4, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kShadow = 0xFF808080;
constexpr uint32_t kHotFill = 0xFF6A240A;

} // namespace

void CMenu::CMenuItem::GetSize(int32_t& width, int32_t& height) const {
    const auto font = m_pOwner->GetFont();
    width = font ? int32_t(font->GetTextWidth(m_text.c_str(), 16.0f, 1.0f)) : 0;
    height = font ? font->GetHeight() : 0;
}

void CMenu::CMenuItem::Draw(CRenderContext& context) {
    context.EnableRenderSwitch3();
    const bool hot = m_pOwner->GetHotItem() == this;
    if (hot) {
        context.FillRect(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), kHotFill);
        context.Flush();
    }
    if (const auto font = m_pOwner->GetFont()) {
        Graphics::CTextLayout::SetFont(context.GetText(), font);
        context.GetText().m_textColor = hot ? kWhite : kBlack;
        Graphics::DrawText(context.GetText(), float(m_rect.left), float(m_rect.top), float(m_rect.Width()),
                           float(m_rect.Height()), 1.0f, 1.0f, Graphics::TEXT_ALIGN_LEFT, 0, m_text);
        context.Flush();
    }
    context.DisableRenderSwitch3();
}

CMenu::~CMenu() noexcept(false) {
    m_items.clear();
    m_pHoverTimer = nullptr;
}

std::unique_ptr<CMenu::CMenuItem> CMenu::CreateItem() {
    if (m_pItemFactory) return m_pItemFactory->CreateItem(*this);
    return std::make_unique<CMenuItem>(this);
}

CMenu::CMenuItem* CMenu::AddItem(const CString& text, int32_t commandId) {
    std::unique_ptr<CMenuItem> item = CreateItem();
    if (!item) return nullptr;
    item->m_pOwner = this;
    item->m_text = text;
    item->m_commandId = commandId;
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

CMenu* CMenu::AddSubMenu(const CString& text) {
    CMenuItem* item = AddItem(text, -1);
    if (!item) return nullptr;
    Engine::ref_ptr<CMenu> sub(new CMenu);
    sub->Create(m_pManager, this, 0, 0, m_clientRect.Width(), m_clientRect.Height(), CString(), CS_CHILD, -1);
    item->m_pSubMenu = sub.get();
    return sub.get();
}

CMenu& CMenu::RootMenu() {
    CMenu* menu = this;
    while (!menu->IsActive()) {
        auto* parent = dynamic_cast<CMenu*>(menu->m_pParent.get());
        if (!parent) break;
        menu = parent;
    }
    return *menu;
}

bool CMenu::IsActive() const { return m_pManager && m_pManager->GetActiveMenu() == this; }

void CMenu::StopHoverTimer() {
    if (!m_pHoverTimer) return;
    if (m_pManager) m_pManager->RemoveTimer(m_pHoverTimer.get());
    m_pHoverTimer = nullptr;
}

// Hidden menus keep no hover timer running.
void CMenu::HideSubMenus() {
    for (const auto& item : m_items)
        if (CMenu* sub = item->m_pSubMenu) {
            sub->StopHoverTimer();
            sub->HideSubMenus();
        }
    HideChildren();
}

void CMenu::Popup(CMenu* parentMenu, int32_t x, int32_t y) {
    int32_t widest = 0;
    for (const auto& item : m_items) {
        int32_t w = 0, h = 0;
        item->GetSize(w, h);
        item->m_rect = {0, 0, w, h};
        widest = std::max(widest, w);
    }
    // The box covers every column: the tallest column, the item that
    // passed the limit included, and no empty column after the last item.
    int32_t running = 0, columns = 1, tallest = 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        running += m_items[i]->m_rect.Height();
        tallest = std::max(tallest, running);
        if (running > kColumnHeight && i + 1 < m_items.size()) {
            running = 0;
            ++columns;
        }
    }
    const int32_t height = 8 + tallest, width = columns * (widest + 8);
    if (x + width > kAreaWidth) x = std::max(x - width, 0);
    if (y + height > kAreaHeight) y = std::max(y - height, 0);
    int32_t left = x + 4, top = y + 4;
    running = 0;
    for (const auto& item : m_items) {
        const int32_t h = item->m_rect.Height();
        item->m_rect = {left, top, left + widest, top + h};
        top += h;
        running += h;
        if (running > kColumnHeight) {
            running = 0;
            left += 8 + widest;
            top = y + 4;
        }
    }
    m_columnCount = columns;
    m_columnWidth = widest;
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
    if (m_pManager) {
        if (!parentMenu) {
            m_pManager->SetActiveMenu(this);
            m_pManager->SetFocus(this);
            m_pManager->SetCaptureTo(this);
        } else {
            m_pManager->SetFocus(this);
        }
    }
    HideSubMenus();
    m_style |= CS_VISIBLE;
    m_pHot = m_pOpen = nullptr;
}

void CMenu::Close(CMenu& menu, bool chosen) {
    CControlsManager* manager = menu.m_pManager;
    if (!manager) return;
    const Engine::ref_ptr<CMenu> active(dynamic_cast<CMenu*>(manager->GetActiveMenu().get()));
    if (!active || !active->HasStyle(CS_VISIBLE)) return;
    const Ref keep(&menu);
    active->m_style &= ~uint32_t(CS_VISIBLE);
    active->StopHoverTimer();
    active->HideSubMenus();
    ControlEvent event;
    // Without a hot item there is no command to report: the menu was
    // dismissed.
    if (chosen && menu.m_pHot) {
        event.code = CE_COMMAND;
        event.commandId = uint32_t(menu.m_pHot->m_commandId);
        event.commandCode = 0;
    } else {
        event.code = CE_MENU;
    }
    event.other = active.get();
    if (const Ref parent = active->GetParent()) SendEvent(parent, event);
    manager->SetFocus(nullptr);
    manager->ReleaseCapture();
    manager->SetActiveMenu(nullptr);
}

CMenu::CMenuItem* CMenu::ItemAt(int32_t x, int32_t y) const {
    for (const auto& item : m_items) {
        const CRect& r = item->m_rect;
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return item.get();
        if (item->m_pSubMenu && item->m_pSubMenu->HasStyle(CS_VISIBLE))
            if (CMenuItem* found = item->m_pSubMenu->ItemAt(x, y)) return found;
    }
    return nullptr;
}

void CMenu::PopupSubMenu(CMenuItem& item) {
    item.m_pSubMenu->Popup(this, m_columnWidth + item.m_rect.left, item.m_rect.top - 4);
}

void CMenu::OpenHotSubMenu() {
    StopHoverTimer();
    m_pOpen = m_pHot;
    if (!m_pHot) return;
    HideSubMenus();
    if (m_pHot->m_pSubMenu) PopupSubMenu(*m_pHot);
}

CMenu& CMenu::DeepestOpenMenu() {
    for (const auto& item : m_items)
        if (item->m_pSubMenu && item->m_pSubMenu->HasStyle(CS_VISIBLE)) return item->m_pSubMenu->DeepestOpenMenu();
    return *this;
}

bool CMenu::TrackHot(CMenuItem* item) {
    if (item == m_pHot) return true;
    m_pHot = item;
    StopHoverTimer();
    if (m_pHot != m_pOpen && m_pManager) m_pHoverTimer = m_pManager->AddTimer(this, m_pManager->GetTiming(TIMING_FIRST));
    return true;
}

bool CMenu::Choose(CMenuItem& item) {
    m_pHot = &item;
    StopHoverTimer();
    if (&item != m_pOpen) OpenHotSubMenu();
    if (!item.m_pSubMenu) Close(*this, true);
    return true;
}

bool CMenu::OnMenuKey(uint32_t key) {
    const auto index = [this]() -> int32_t {
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].get() == m_pHot) return int32_t(i);
        return -1;
    };
    const int32_t count = GetItemCount();
    switch (key) {
    case KEY_RETURN:
        if (m_pHot) Close(*this, true);
        return true;
    case KEY_UP:
    case KEY_DOWN: {
        if (count == 0) return true;
        StopHoverTimer();
        const int32_t i = index();
        int32_t next;
        if (key == KEY_UP)
            next = i <= 0 ? count - 1 : i - 1;
        else
            next = i < 0 || i >= count - 1 ? 0 : i + 1;
        m_pHot = m_items[size_t(next)].get();
        return true;
    }
    case KEY_LEFT:
        if (IsActive()) return false;
        StopHoverTimer();
        m_style &= ~uint32_t(CS_VISIBLE);
        if (m_pManager && m_pParent) m_pManager->SetFocus(m_pParent);
        return true;
    case KEY_RIGHT:
        if (!m_pHot || !m_pHot->m_pSubMenu) return false;
        StopHoverTimer();
        m_pOpen = m_pHot;
        PopupSubMenu(*m_pHot);
        if (m_pHot->m_pSubMenu->GetItemCount() > 0) m_pHot->m_pSubMenu->m_pHot = m_pHot->m_pSubMenu->GetItem(0);
        return true;
    default: return false;
    }
}

bool CMenu::HandleEvent(ControlEvent& event) {
    const Ref self(this);
    switch (event.code) {
    case CE_TIMER:
        if (m_pHoverTimer && event.timer == m_pHoverTimer.get()) OpenHotSubMenu();
        break;
    case CE_CREATE: return true;
    // Pointer events: the top-level menu holds the capture, presses go to
    // the menu under the pointer; either way the item under the pointer,
    // in whichever open menu, acts.
    case CE_MOUSE_MOVE: {
        CMenu& root = RootMenu();
        CMenuItem* item = root.ItemAt(event.x, event.y);
        if (!item) return HasVisibleChild() ? false : TrackHot(nullptr);
        return item->m_pOwner->TrackHot(item);
    }
    case CE_LBUTTON_DOWN: {
        CMenu& root = RootMenu();
        CMenuItem* item = root.ItemAt(event.x, event.y);
        if (!item) {
            Close(*this, false);
            return true;
        }
        return item->m_pOwner->Choose(*item);
    }
    // Keys reach the top-level menu; the deepest open sub-menu acts on them.
    case CE_KEY_DOWN:
        if (event.key == KEY_ESCAPE) {
            Close(*this, false);
            return true;
        }
        if (IsActive()) {
            CMenu& target = DeepestOpenMenu();
            if (target.OnMenuKey(event.key)) return true;
            if (&target != this) return true;
        } else if (HasVisibleChild()) {
            return false;
        } else if (OnMenuKey(event.key)) {
            return true;
        }
        break;
    default: break;
    }
    return CBaseControl::HandleEvent(event);
}

void CMenu::Draw(CRenderContext& context) {
    const int32_t x = m_x, y = m_y, w = m_width, h = m_height;
    const struct {
        int32_t x, y, w, h;
        uint32_t color;
    } kFrame[] = {
        {x + 2, y + 2, w - 4, h - 4, kFace},      {x, y, w - 1, 1, kFace},
        {x, y + 1, 1, h - 2, kFace},              {x + 1, y + 1, w - 2, 1, kWhite},
        {x + 1, y + 2, 1, h - 3, kWhite},         {x, y + h - 1, w - 1, 1, kBlack},
        {x + w - 1, y, 1, h, kBlack},             {x + 1, y + h - 2, w - 3, 1, kShadow},
        {x + w - 2, y + 1, 1, h - 2, kShadow},
    };
    for (const auto& r : kFrame) context.FillRect(r.x, r.y, r.w, r.h, r.color);
    context.Flush();
    for (const auto& item : m_items) item->Draw(context);
    DrawChildren(context);
}

} // namespace Engine::Controls
