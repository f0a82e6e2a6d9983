#include "controls/List.h"

#include <algorithm>

#include "app/Exception.h"
#include "controls/ControlsManager.h"
#include "controls/LineBatch.h"
#include "controls/RenderContext.h"
#include "graphics/Text.h"

namespace Engine::Controls {

namespace {

constexpr int kWindowColor = 5, kHighlightColor = 13, kGridColor = 15;
constexpr uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;
constexpr int32_t kIndent = 12;

template <class Cell, class Fn>
void ForEachCell(Cell& row, Fn fn) {
    fn(static_cast<CList::CListItemBase&>(row));
    for (auto* sub = row.m_pFirstSubItem.get(); sub; sub = sub->m_pNext.get()) fn(*sub);
}

CLineBatch& CurrentLineBatch() {
    CLineBatch* batch = CLineBatch::GetCurrent();
    if (!batch) throw Engine::CException("List line batch used outside a draw");
    return *batch;
}

void DrawCellText(CRenderContext& context, const CList::CListItemBase& cell, float x, uint32_t color) {
    const auto font = cell.m_pList->GetFont();
    if (!font) return;
    Graphics::CTextLayout::SetFont(context.GetText(), font);
    context.GetText().m_textColor = color;
    Graphics::DrawText(context.GetText(), x, 0.0f, float(cell.m_rect.Width()), float(cell.m_rect.Height()), 1.0f, 1.0f,
                       Graphics::TEXT_ALIGN_LEFT, 0, cell.m_text);
}

} // namespace

// Cells

void CList::CListItemBase::GetSize(int32_t& width, int32_t& height) const {
    const auto font = m_pList ? m_pList->GetFont() : nullptr;
    width = font ? int32_t(font->GetTextWidth(m_text.c_str(), 16.0f, 1.0f)) : 0;
    height = font ? font->GetHeight() : 0;
}

void CList::CListItemBase::Draw(CRenderContext& context) {
    context.EnableRenderSwitch3();
    DrawCellText(context, *this, 0.0f, kBlack);
    context.Flush();
    context.DisableRenderSwitch3();
}

void CList::CListItemBase::CreateAttachment(uint32_t, uint32_t) {
    if (m_pAttachmentFactory) m_pAttachment = m_pAttachmentFactory->CreateAttachment(*this);
    if (m_pAttachment) m_pAttachment->Attach(*this);
}

CList::CListSubItem::CListSubItem(CListItem& row) : CListItemBase(row.m_pList) {}

int32_t CList::CListItem::GetDepth() const {
    int32_t depth = 0;
    for (const CListItem* p = m_pParentItem; p; p = p->m_pParentItem) ++depth;
    return depth;
}

bool CList::CListItem::IsHidden() const {
    for (const CListItem* p = m_pParentItem; p; p = p->m_pParentItem)
        if (p->IsCollapsed()) return true;
    return false;
}

const CList::CListItemBase& CList::CListItem::LastCell() const {
    const CListItemBase* last = this;
    for (const CListSubItem* sub = m_pFirstSubItem.get(); sub; sub = sub->m_pNext.get()) last = sub;
    return *last;
}

void CList::CListItem::Draw(CRenderContext& context) {
    CControlsManager* manager = m_pList->GetManager();
    const auto color = [manager](int index) { return manager ? manager->GetSysColor(index) : kWhite; };
    const int32_t height = m_rect.Height();
    int32_t offset = 0;
    if (m_pList->HasStyle(LS_TREE)) {
        offset = kIndent * GetDepth();
        if (offset) context.FillRect(0, 0, offset, height, color(kGridColor));
        context.Flush();
        if (m_flags & HAS_CHILDREN) {
            // The expand box: an outline, a bar, and a cross bar while collapsed.
            const float m = float(height / 2), x = float(offset);
            CLineBatch lines(context);
            lines.SetMode(CLineBatch::MODE_LOOP);
            ListLineBatchVertex(x + 2, m - 4, 0.0f);
            ListLineBatchVertex(x + 10, m - 4, 0.0f);
            ListLineBatchVertex(x + 10, m + 4, 0.0f);
            ListLineBatchVertex(x + 2, m + 4, 0.0f);
            ListLineBatchEnd();
            lines.SetMode(CLineBatch::MODE_LINES);
            ListLineBatchVertex(x + 4, m, 0.0f);
            ListLineBatchVertex(x + 9, m, 0.0f);
            if (IsCollapsed()) {
                ListLineBatchVertex(x + 6, m - 2, 0.0f);
                ListLineBatchVertex(x + 6, m + 3, 0.0f);
            }
            ListLineBatchEnd();
            ListLineBatchFlush();
            offset += kIndent;
        }
    }
    context.EnableRenderSwitch3();
    const bool current = m_pList->GetCurrentItem() == this;
    if (current) {
        context.FillRect(offset, 0, m_rect.Width() - offset, height, color(kHighlightColor));
        context.Flush();
    }
    DrawCellText(context, *this, float(offset), current ? kWhite : kBlack);
    context.Flush();
    context.DisableRenderSwitch3();
}

void CList::CListItem::ListLineBatchVertex(float x, float y, float z) { CurrentLineBatch().Vertex(x, y, z); }

void CList::CListItem::ListLineBatchEnd() { CurrentLineBatch().End(); }

void CList::CListItem::ListLineBatchFlush() { CurrentLineBatch().Flush(); }

// The list

CList::CList() : m_pScrollBar(new CSlider) { EnsureColumns(0); }

CList::~CList() noexcept(false) {
    m_items.clear();
    m_pScrollBar = nullptr;
}

int32_t CList::ScrollBarWidth() const { return m_pManager ? m_pManager->GetMetric(METRIC_SCROLLBAR_WIDTH) : 16; }

void CList::Initialize() {
    const int32_t w = m_clientRect.Width(), h = m_clientRect.Height(), s = ScrollBarWidth();
    m_pScrollBar->Create(m_pManager, this, w - s, 0, s, h, CString(), CS_VISIBLE | CS_CHILD | CSlider::SBS_VERTICAL,
                         -1);
}

void CList::OnSize(int32_t width, int32_t height) {
    m_pScrollBar->SetWindowRect(width - ScrollBarWidth(), 0, width, height);
}

std::unique_ptr<CList::CListItem> CList::CreateItem() {
    if (m_pItemFactory) return m_pItemFactory->CreateItem(*this);
    return std::make_unique<CListItem>(this);
}

std::unique_ptr<CList::CListSubItem> CList::CreateSubItem(CListItem& row) {
    if (m_pItemFactory) return m_pItemFactory->CreateSubItem(row);
    return std::make_unique<CListSubItem>(row);
}

CList::CListItem* CList::AddItem(const CString& text, CListItem* parent) {
    std::unique_ptr<CListItem> item = CreateItem();
    if (!item) return nullptr;
    item->m_pList = this;
    item->m_pRowItem = item.get();
    item->m_text = text;
    item->m_pParentItem = parent;
    size_t at = m_items.size();
    if (parent) {
        parent->m_flags |= CListItem::HAS_CHILDREN;
        at = size_t(IndexOf(parent)) + 1;
        while (at < m_items.size() && m_items[at]->GetDepth() > parent->GetDepth()) ++at;
    }
    return m_items.insert(m_items.begin() + std::ptrdiff_t(at), std::move(item))->get();
}

CList::CListSubItem* CList::AddSubItem(CListItem& row, const CString& text) {
    std::unique_ptr<CListSubItem> sub = CreateSubItem(row);
    if (!sub) return nullptr;
    sub->m_pList = this;
    sub->m_pRowItem = &row;
    sub->m_text = text;
    std::unique_ptr<CListSubItem>* slot = &row.m_pFirstSubItem;
    while (*slot) slot = &(*slot)->m_pNext;
    *slot = std::move(sub);
    return slot->get();
}

void CList::EnsureColumns(int32_t index) {
    while (int32_t(m_columns.size()) <= index) m_columns.push_back({});
}

void CList::SetColumnWidth(int32_t index, int32_t width) {
    EnsureColumns(index);
    m_columns[size_t(index)].width = width;
}

int32_t CList::IndexOf(const CListItem* item) const {
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == item) return int32_t(i);
    return -1;
}

void CList::UpdateLayout() {
    const int32_t grid = HasStyle(LS_GRID) ? 1 : 0;
    const int32_t clientHeight = m_clientRect.Height();
    m_itemRow.assign(m_items.size(), 0);
    m_rowTable.clear();
    int32_t y = 0, row = 0, fullyVisible = 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        m_itemRow[i] = row;
        CListItem& item = *m_items[i];
        if (item.IsHidden()) continue;
        ForEachCell(item, [](CListItemBase& cell) {
            int32_t w = 0, h = 0;
            cell.GetSize(w, h);
            cell.m_rect = {0, 0, w, h};
        });
        m_rowTable.push_back(int32_t(i));
        ++row;
        const int32_t rowHeight = item.m_rect.Height();
        int32_t x = 0, col = 0;
        ForEachCell(item, [&](CListItemBase& cell) {
            int32_t width = 0;
            for (int32_t c = col; c < col + std::max(cell.m_columnSpan, 1); ++c) {
                EnsureColumns(c);
                width += m_columns[size_t(c)].width;
            }
            cell.m_rect = {x + (col > 0 ? grid : 0), cell.m_rect.top + y, x + width, cell.m_rect.bottom + y};
            col += std::max(cell.m_columnSpan, 1);
            x += width;
        });
        y += rowHeight + grid;
        if (y < clientHeight) ++fullyVisible;
    }
    m_rowCount = row;
    m_fullyVisible = fullyVisible;
    // The position is kept within the new range, so the top row always
    // names a laid-out row.
    if (row <= fullyVisible) {
        m_pScrollBar->SetStyle(m_pScrollBar->GetStyle() & ~uint32_t(CS_VISIBLE));
        m_pScrollBar->SetRange(0, std::max(ScrollMaximum(), 1));
        m_pScrollBar->SetPos(0);
    } else {
        m_pScrollBar->SetRange(0, ScrollMaximum());
        m_pScrollBar->SetPos(std::clamp(m_pScrollBar->GetPos(), 0, ScrollMaximum()));
        m_pScrollBar->SetStyle(m_pScrollBar->GetStyle() | CS_VISIBLE);
    }
}

size_t CList::TopItemIndex() const {
    const size_t position = size_t(std::max(m_pScrollBar->GetPos(), 0));
    return position < m_rowTable.size() ? size_t(m_rowTable[position]) : m_items.size();
}

int32_t CList::GetTopOffset() const {
    const size_t top = TopItemIndex();
    return top < m_items.size() ? m_items[top]->m_rect.top : 0;
}

bool CList::IsFullyVisible(const CListItem& item) const {
    if (item.IsHidden()) return false;
    const int32_t t = GetTopOffset();
    return item.m_rect.bottom - t <= m_clientRect.Height() && item.m_rect.top - t >= 0;
}

CList::CListItemBase* CList::RowHitTest(int32_t x, int32_t y) const {
    const int32_t t = GetTopOffset();
    for (size_t i = TopItemIndex(); i < m_items.size(); ++i) {
        CListItem& item = *m_items[i];
        if (item.IsHidden() || !IsFullyVisible(item)) continue;
        const CListItemBase& last = item.LastCell();
        if (x < item.m_rect.left || x >= last.m_rect.right || y < item.m_rect.top - t || y >= last.m_rect.bottom - t)
            continue;
        CListItemBase* hit = nullptr;
        ForEachCell(item, [&](CListItemBase& cell) {
            const CRect& r = cell.m_rect;
            if (!hit && x >= r.left && x < r.right && y >= r.top - t && y < r.bottom - t) hit = &cell;
        });
        return hit;
    }
    return nullptr;
}

// Only rows on screen count, at their scrolled place.
CList::CListItem* CList::ExpandBoxHitTest(int32_t x, int32_t y) const {
    if (!HasStyle(LS_TREE)) return nullptr;
    const int32_t t = GetTopOffset(), grid = HasStyle(LS_GRID) ? 1 : 0;
    for (const auto& item : m_items) {
        if (item->IsHidden() || !(item->m_flags & CListItem::HAS_CHILDREN) || !IsFullyVisible(*item)) continue;
        const int32_t d = item->GetDepth();
        const int32_t m = item->m_rect.top - t + (item->m_rect.Height() + grid) / 2;
        if (x >= kIndent * d + 2 && x < kIndent * d + 10 && y >= m - 4 && y < m + 4) return item.get();
    }
    return nullptr;
}

void CList::ScrollTo(int32_t position) { m_pScrollBar->SetPos(std::clamp(position, 0, ScrollMaximum())); }

// Steps the top row by whole rows in the key's direction while the item
// is not fully visible. A hidden item, or one taller than the client area,
// never is: the position's bounds end the loop.
void CList::ScrollUntilVisible(const CListItem& item, int32_t step) {
    for (int32_t guard = 0; guard <= m_rowCount && !IsFullyVisible(item); ++guard) {
        const int32_t before = m_pScrollBar->GetPos();
        ScrollTo(before + step);
        if (m_pScrollBar->GetPos() == before) break;
    }
}

int32_t CList::CountFullyVisibleFromTop() const {
    int32_t k = 0;
    for (size_t i = TopItemIndex(); i < m_items.size() && IsFullyVisible(*m_items[i]); ++i) ++k;
    return k;
}

void CList::Navigate(uint32_t key) {
    if (!m_pCurrent || m_items.empty()) return;
    int32_t index = IndexOf(m_pCurrent);
    const int32_t last = int32_t(m_items.size()) - 1;
    if (key == KEY_PAGE_DOWN || key == KEY_PAGE_UP) {
        // The page: the fully visible rows from the top; the list scrolls
        // by it only when the row after them is not fully visible.
        const int32_t k = CountFullyVisibleFromTop();
        const int32_t n = std::max(k - 1, 0);
        const bool down = key == KEY_PAGE_DOWN;
        m_pCurrent = m_items[size_t(std::clamp(index + (down ? n : -n), 0, last))].get();
        const size_t stop = TopItemIndex() + size_t(k);
        if (stop < m_items.size() && !IsFullyVisible(*m_items[stop])) ScrollTo(m_pScrollBar->GetPos() + (down ? n : -n));
        return;
    }
    switch (key) {
    case KEY_HOME: index = 0; break;
    case KEY_END: index = last; break;
    case KEY_UP: index = std::max(index - 1, 0); break;
    default: index = std::min(index + 1, last); break;
    }
    const int32_t step = key == KEY_HOME || key == KEY_UP ? -1 : 1;
    m_pCurrent = m_items[size_t(index)].get();
    ScrollUntilVisible(*m_pCurrent, step);
}

bool CList::HandleEvent(ControlEvent& event) {
    switch (event.code) {
    case CE_CREATE: UpdateLayout(); return true;
    case CE_MOUSE_MOVE:
        if (!HasStyle(LS_HOT_TRACK)) break;
        if (CListItemBase* cell = RowHitTest(event.x, event.y)) m_pCurrent = cell->m_pRowItem;
        return true;
    case CE_LBUTTON_DOWN: {
        if (CListItem* item = ExpandBoxHitTest(event.x, event.y)) {
            item->m_flags ^= CListItem::COLLAPSED;
            UpdateLayout();
            return true;
        }
        CListItemBase* cell = RowHitTest(event.x, event.y);
        if (!cell) break;
        const Ref self(this);
        m_pCurrent = cell->m_pRowItem;
        if (const Ref parent = m_pParent) SendNotify(parent, self, LN_CHOSEN);
        cell->CreateAttachment(0, 0);
        break;
    }
    case CE_KEY_DOWN:
        switch (event.key) {
        case KEY_RETURN:
            if (m_pCurrent) SendNotify(this, this, LN_CHOSEN);
            break;
        case KEY_HOME:
        case KEY_END:
        case KEY_UP:
        case KEY_DOWN:
        case KEY_PAGE_UP:
        case KEY_PAGE_DOWN: Navigate(event.key); return true;
        default: break;
        }
        break;
    case CE_KILL_FOCUS: SendNotify(this, this, LN_FOCUS_LOST, event.other); return true;
    default: break;
    }
    return CBaseControl::HandleEvent(event);
}

// Pass 1 draws each cell in its own clip; pass 2 the grid lines, after
// every cell. Both walk the rows on screen from the top row.
void CList::DrawPass(CRenderContext& context, bool gridLines) {
    const int32_t t = GetTopOffset(), clientHeight = m_clientRect.Height(), clientWidth = m_clientRect.Width();
    const int32_t grid = HasStyle(LS_GRID) ? 1 : 0;
    const uint32_t color = m_pManager ? m_pManager->GetSysColor(kGridColor) : kBlack;
    int32_t h = 0;
    for (size_t i = TopItemIndex(); i < m_items.size() && h < clientHeight; ++i) {
        CListItem& item = *m_items[i];
        if (item.IsHidden()) continue;
        const int32_t rowHeight = item.m_rect.Height();
        ForEachCell(item, [&](CListItemBase& cell) {
            if (gridLines) {
                context.FillRect(cell.m_rect.left - 1, h, 1, rowHeight, color);
                return;
            }
            context.PushClipRect(cell.m_rect.left, cell.m_rect.top - t, 0, 0, cell.m_rect.Width(), cell.m_rect.Height());
            cell.Draw(context);
            context.PopClipRect();
        });
        if (gridLines) context.FillRect(0, h + rowHeight, clientWidth, 1, color);
        h += rowHeight + grid;
    }
    if (gridLines) context.Flush();
}

void CList::Draw(CRenderContext& context) {
    UpdateLayout();
    context.DisableRenderSwitch3();
    context.FillRect(0, 0, m_clientRect.Width(), m_clientRect.Height(),
                     m_pManager ? m_pManager->GetSysColor(kWindowColor) : kWhite);
    context.Flush();
    DrawPass(context, false);
    if (HasStyle(LS_GRID)) DrawPass(context, true);
    DrawChildren(context);
}

} // namespace Engine::Controls
