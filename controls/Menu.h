#pragma once
// A pop-up menu: text items in one or more columns inside a raised frame.
// An item may open a sub-menu (a child menu) after a hover delay; the menu
// ends with a command or a menu-closed event sent to the parent of the
// top-level menu, which the controls manager holds as its active menu.
//
// A top-level menu covers the area its boxes may appear in, and its
// sub-menus cover it too, so all of them share one client frame and clicks
// outside every box still reach the top-level menu.

#include <memory>
#include <vector>

#include "controls/BaseControl.h"
#include "controls/Timer.h"

namespace Engine::Controls {

class CMenu : public CBaseControl {
public:
    // A column ends once its running height passes this.
    static constexpr int32_t kColumnHeight = 592;
    static constexpr int32_t kAreaWidth = 800, kAreaHeight = 600;

    class CMenuItem {
    public:
        explicit CMenuItem(CMenu* owner) : m_pOwner(owner) {}
        virtual ~CMenuItem() = default;
        virtual void Draw(CRenderContext& context);
        virtual void GetSize(int32_t& width, int32_t& height) const;

        CString m_text;
        int32_t m_commandId = -1;
        CRect m_rect;  // in the menu's client coordinates
        CMenu* m_pSubMenu = nullptr;
        CMenu* m_pOwner;
    };

    class IItemFactory {
    public:
        virtual ~IItemFactory() = default;
        virtual std::unique_ptr<CMenuItem> CreateItem(CMenu& menu) = 0;
    };

    ~CMenu() noexcept(false) override;
    void Draw(CRenderContext& context) override;
    bool HandleEvent(ControlEvent& event) override;
    virtual std::unique_ptr<CMenuItem> CreateItem();

    // Filling. A sub-menu is made as an invisible child covering this menu.
    CMenuItem* AddItem(const CString& text, int32_t commandId);
    CMenu* AddSubMenu(const CString& text);
    void SetItemFactory(IItemFactory* factory) { m_pItemFactory = factory; }

    // Lays the menu out at (x, y) and shows it; without a parent menu it
    // becomes the active menu with the focus and the mouse capture.
    void Popup(CMenu* parentMenu, int32_t x, int32_t y);
    // Ends the active menu: a command with the menu's hot item when chosen
    // and there is one, a menu-closed event otherwise.
    static void Close(CMenu& menu, bool chosen);

    int32_t GetItemCount() const { return int32_t(m_items.size()); }
    CMenuItem* GetItem(int32_t index) const { return m_items[size_t(index)].get(); }
    CMenuItem* GetHotItem() const { return m_pHot; }
    void SetHotItem(CMenuItem* item) { m_pHot = item; }
    // The item under the point, searching open sub-menus too.
    CMenuItem* ItemAt(int32_t x, int32_t y) const;
    CRect GetBox() const { return {m_x, m_y, m_x + m_width, m_y + m_height}; }
    int32_t GetColumnCount() const { return m_columnCount; }
    const Engine::ref_ptr<CTimer>& GetHoverTimer() const { return m_pHoverTimer; }

private:
    bool IsActive() const;
    // The top-level menu above this one (itself when it is one).
    CMenu& RootMenu();
    void StopHoverTimer();
    void HideSubMenus();
    void OpenHotSubMenu();
    void PopupSubMenu(CMenuItem& item);
    CMenu& DeepestOpenMenu();
    bool TrackHot(CMenuItem* item);
    bool Choose(CMenuItem& item);
    bool OnMenuKey(uint32_t key);

    std::vector<std::unique_ptr<CMenuItem>> m_items;
    int32_t m_columnCount = 0;
    int32_t m_columnWidth = 0;
    int32_t m_x = 0, m_y = 0, m_width = 0, m_height = 0;
    CMenuItem* m_pHot = nullptr;
    CMenuItem* m_pOpen = nullptr;
    IItemFactory* m_pItemFactory = nullptr;
    Engine::ref_ptr<CTimer> m_pHoverTimer;
};

} // namespace Engine::Controls
