#pragma once
// The game's single-line text entry: at most 11 characters once created
// from a description, white text on a blue selection, fading with the
// control's opacity.

#include "controls/Edit.h"
#include "gameui/MosarkBaseControl.h"

class CMosarkEdit : public Engine::Controls::CEdit, public CMosarkBaseControl {
public:
    static constexpr int32_t kMaxLength = 11;

    // The base creation, then the limit: no description changes it.
    void CreateFromDescription(Engine::Controls::CControlsManager* manager, Ref parent,
                               const Engine::Controls::CControlDescription* description,
                               const Engine::Controls::CControlDescription* parentDescription, CString text,
                               uint32_t style, int32_t id) override;
    uint32_t GetTextColor() const override { return WithAlpha(0xFFFFFFu, GetAlpha()); }
    uint32_t GetSelectionColor() const override { return WithAlpha(0x8D5503u, GetAlpha()); }
};
