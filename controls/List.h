#pragma once
// The list box: rows of cells with optional columns and tree indentation,
// one current item, keyboard and mouse navigation, and a vertical scroll
// bar it owns. It lays itself out again before every draw.

#include <memory>
#include <vector>

#include "controls/BaseControl.h"
#include "controls/Slider.h"

namespace Engine::Controls {

class CList : public CBaseControl {
public:
    enum ListStyle : uint32_t { LS_HOT_TRACK = 0x1, LS_GRID = 0x4, LS_TREE = 0x10 };
    enum ListNotification : int32_t { LN_CHOSEN = 0, LN_FOCUS_LOST = 2 };
    static constexpr int32_t kDefaultColumnWidth = 10000;

    class CListItemBase;
    class CListItem;
    class CListSubItem;

    // What a cell creates on demand when it is clicked.
    class IAttachment {
    public:
        virtual ~IAttachment() = default;
        virtual void Attach(CListItemBase& cell) = 0;
    };
    class IAttachmentFactory {
    public:
        virtual ~IAttachmentFactory() = default;
        virtual std::unique_ptr<IAttachment> CreateAttachment(CListItemBase& cell) = 0;
    };
    class IItemFactory {
    public:
        virtual ~IItemFactory() = default;
        virtual std::unique_ptr<CListItem> CreateItem(CList& list) = 0;
        virtual std::unique_ptr<CListSubItem> CreateSubItem(CListItem& row) = 0;
    };

    // One cell: a row item or a sub-item.
    class CListItemBase {
    public:
        explicit CListItemBase(CList* list) : m_pList(list) {}
        virtual ~CListItemBase() = default;
        virtual void Draw(CRenderContext& context);
        virtual void GetSize(int32_t& width, int32_t& height) const;
        // Reserved: two words; true in every cell class, and the list never asks.
        virtual bool ReservedCellQuery(uint32_t, uint32_t) { return true; }
        // A click on the cell; the two words are reserved and ignored.
        virtual void CreateAttachment(uint32_t, uint32_t);
        virtual void DestroyAttachment() { m_pAttachment.reset(); }

        CRect m_rect;  // list content coordinates
        CList* m_pList;
        CString m_text;
        int32_t m_columnSpan = 1;
        CListItem* m_pRowItem = nullptr;
        std::unique_ptr<IAttachment> m_pAttachment;
        IAttachmentFactory* m_pAttachmentFactory = nullptr;
    };

    class CListSubItem : public CListItemBase {
    public:
        // A cell of the row: it belongs to the row's list.
        explicit CListSubItem(CListItem& row);
        std::unique_ptr<CListSubItem> m_pNext;
    };

    class CListItem : public CListItemBase {
    public:
        enum Flags : uint32_t { COLLAPSED = 0x1, HAS_CHILDREN = 0x2 };
        // The row item stays null until the item is added to its list.
        explicit CListItem(CList* list) : CListItemBase(list) {}
        void Draw(CRenderContext& context) override;
        CString GetText() const { return m_text; }
        int32_t GetDepth() const;
        // Hidden when an ancestor is collapsed.
        bool IsHidden() const;
        bool IsCollapsed() const { return (m_flags & COLLAPSED) != 0; }
        // The bottom-right cell of the row.
        const CListItemBase& LastCell() const;

        uint32_t m_flags = 0;
        std::unique_ptr<CListSubItem> m_pFirstSubItem;
        CListItem* m_pParentItem = nullptr;

    protected:
        // The item's lines, for its draw: they go to the current CLineBatch,
        // which the draw makes and whose mode it sets. Vertex adds a point of
        // the primitive, End closes it and Flush clips and draws the lines.
        // Without a current batch they throw.
        static void ListLineBatchVertex(float x, float y, float z);
        static void ListLineBatchEnd();
        static void ListLineBatchFlush();
    };

    CList();
    ~CList() noexcept(false) override;

    void Initialize() override;
    void Draw(CRenderContext& context) override;
    void OnSize(int32_t width, int32_t height) override;
    bool HandleEvent(ControlEvent& event) override;
    virtual std::unique_ptr<CListItem> CreateItem();
    virtual std::unique_ptr<CListSubItem> CreateSubItem(CListItem& row);

    // Filling: a row appended after the parent's last descendant (or at the
    // end), and a cell appended to a row.
    CListItem* AddItem(const CString& text, CListItem* parent = nullptr);
    CListSubItem* AddSubItem(CListItem& row, const CString& text);
    void EnsureColumns(int32_t index);
    void DeleteColumns() { m_columns.clear(); }
    void SetColumnWidth(int32_t index, int32_t width);
    int32_t GetColumnCount() const { return int32_t(m_columns.size()); }
    int32_t GetColumnWidth(int32_t index) const { return m_columns[size_t(index)].width; }
    void SetItemFactory(IItemFactory* factory) { m_pItemFactory = factory; }
    IItemFactory* GetItemFactory() const { return m_pItemFactory; }

    void UpdateLayout();
    int32_t GetItemCount() const { return int32_t(m_items.size()); }
    CListItem* GetItem(int32_t index) const { return m_items[size_t(index)].get(); }
    int32_t IndexOf(const CListItem* item) const;
    CListItem* GetCurrentItem() const { return m_pCurrent; }
    void SetCurrentItem(CListItem* item) { m_pCurrent = item; }
    bool IsFullyVisible(const CListItem& item) const;
    // The cell under a client point, or null.
    CListItemBase* RowHitTest(int32_t x, int32_t y) const;
    CListItem* ExpandBoxHitTest(int32_t x, int32_t y) const;
    int32_t GetTopOffset() const;
    // The item of the top row; the item count when there is none.
    size_t TopItemIndex() const;
    const Engine::ref_ptr<CSlider>& GetScrollBar() const { return m_pScrollBar; }
    int32_t GetRowCount() const { return m_rowCount; }

private:
    struct CColumn {
        int32_t width = kDefaultColumnWidth;
        CString title;
    };

    int32_t ScrollMaximum() const { return std::max(0, m_rowCount - m_fullyVisible); }
    void ScrollTo(int32_t position);
    void ScrollUntilVisible(const CListItem& item, int32_t step);
    void Navigate(uint32_t key);
    int32_t CountFullyVisibleFromTop() const;
    void DrawPass(CRenderContext& context, bool gridLines);
    int32_t ScrollBarWidth() const;

    CListItem* m_pCurrent = nullptr;
    std::vector<CColumn> m_columns;
    std::vector<int32_t> m_rowTable;
    std::vector<int32_t> m_itemRow;
    std::vector<std::unique_ptr<CListItem>> m_items;
    IItemFactory* m_pItemFactory = nullptr;
    Engine::ref_ptr<CSlider> m_pScrollBar;
    int32_t m_rowCount = 0;
    int32_t m_fullyVisible = 0;
};

} // namespace Engine::Controls
