#pragma once
// The game's list box: the widget's items, layout and input, drawn in the
// game's colours (named global values) with the sprite "edit-select" behind
// the current item and optional one-pixel separators, all faded with the
// control's opacity.

#include <array>

#include "controls/List.h"
#include "gameui/MosarkBaseControl.h"

class CMosarkList : public Engine::Controls::CList, public CMosarkBaseControl {
public:
    using Color = std::array<float, 4>;  // red, green, blue, alpha in 0..1

    // The base creation, then the four colours from the game's values.
    void CreateFromDescription(Engine::Controls::CControlsManager* manager, Ref parent,
                               const Engine::Controls::CControlDescription* description,
                               const Engine::Controls::CControlDescription* parentDescription, CString text,
                               uint32_t style, int32_t id) override;
    void Draw(Engine::Controls::CRenderContext& context) override;

    // Kept for the owner; the drawing marks the current row with the sprite.
    Color m_backgroundColor{};
    Color m_selectBackgroundColor{};
    Color m_textColor{};
    Color m_selectTextColor{};

protected:
    // The first item a drawing pass visits: the top row's item, or item 0
    // when there are no rows (every item hidden).
    size_t FirstDrawnItem() const { return GetRowCount() == 0 ? 0 : TopItemIndex(); }

private:
    void DrawCell(Engine::Controls::CRenderContext& context, const CListItemBase& cell, int32_t top, uint32_t textColor,
                  bool current);
};
