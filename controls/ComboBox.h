#pragma once
// A one-row control showing its current item and a drop-down button; the
// button opens a list below the row, and choosing a row there makes the
// matching item current and closes the list.

#include <memory>
#include <vector>

#include "controls/List.h"

namespace Engine::Controls {

class CComboBox : public CBaseControl {
public:
    enum ComboNotification : int32_t { CBN_FOCUS_LEFT = 0 };

    // The drop-down: a list whose rows are combo list items.
    class CComboBoxList : public CList {
    public:
        class CComboBoxListItem : public CList::CListItem {
        public:
            using CListItem::CListItem;
        };
        std::unique_ptr<CListItem> CreateItem() override;
    };

    // One entry, standing for a row of the drop-down.
    class CComboBoxItem {
    public:
        explicit CComboBoxItem(CComboBox* owner) : m_pOwner(owner) {}
        virtual ~CComboBoxItem() = default;
        virtual void Draw(CRenderContext& context);
        virtual void GetSize(int32_t& width, int32_t& height) const;
        CString GetText() const { return m_pListItem ? m_pListItem->GetText() : CString(); }

        CList::CListItem* m_pListItem = nullptr;
        CComboBox* m_pOwner;
        CRect m_rect;
    };

    CComboBox();
    ~CComboBox() noexcept(false) override;

    // The height given is the open list's; the row itself is one scroll-bar
    // width tall inside its frame.
    void Create(CControlsManager* manager, Ref parent, int32_t x, int32_t y, int32_t width, int32_t height,
                CString text, uint32_t style, int32_t id) override;
    void Draw(CRenderContext& context) override;
    bool HandleEvent(ControlEvent& event) override;
    virtual std::unique_ptr<CComboBoxItem> CreateItem();

    // Adds an entry with its row in the drop-down.
    CComboBoxItem* AddItem(const CString& text);
    int32_t GetItemCount() const { return int32_t(m_items.size()); }
    CComboBoxItem* GetItem(int32_t index) const { return m_items[size_t(index)].get(); }
    CComboBoxItem* GetCurrentItem() const { return m_pCurrent; }
    void SetCurrentItem(CComboBoxItem* item) { m_pCurrent = item; }
    bool IsDropped() const { return m_bDropped; }
    bool IsPressed() const { return m_bPressed; }
    const Engine::ref_ptr<CComboBoxList>& GetDropDown() const { return m_pDropDown; }

private:
    void OpenDropDown();
    bool OnDropDownNotify(const ControlEvent& event);
    int32_t ScrollBarWidth() const;

    Engine::ref_ptr<CComboBoxList> m_pDropDown;
    std::vector<std::unique_ptr<CComboBoxItem>> m_items;
    CComboBoxItem* m_pCurrent = nullptr;
    bool m_bPressed = false;
    bool m_bDropped = false;
    bool m_bOwnUnclipped = false;  // the caller's unclipped-children bit
    int32_t m_dropDownHeight = 0;
};

} // namespace Engine::Controls
