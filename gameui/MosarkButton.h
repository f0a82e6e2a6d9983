#pragma once
// The game's skinned push button, check box and radio button: all button
// logic is the widget's; it draws itself from "button" (or "button-mini")
// of "spr/controls.spr" in four states with its caption, fades with the
// opacity, and gives the game buttons' sounds, click effect and cursor.

#include "controls/Button.h"
#include "gameui/MosarkBaseControl.h"

class CMosarkButton : public Engine::Controls::CButton, public CMosarkBaseControl {
public:
    enum SkinFlags : uint32_t {
        SKIN_PRESS_SHIFT = 0x1,  // the push button moves down while hovered or pressed
        SKIN_NO_FRAME = 0x2,     // no background
        SKIN_SMALL = 0x4,        // "button-mini", measures scaled by 0.3
    };
    // The states in frame order of the sprite.
    enum State : int32_t { STATE_NORMAL = 0, STATE_HOVERED = 1, STATE_PRESSED = 2, STATE_DISABLED = 3 };

    bool OnSetCursor() override;
    bool OnLButtonDown(int32_t x, int32_t y, uint32_t flags, uint32_t hit) override;
    bool OnKeyDown(uint32_t key, uint32_t flags) override;
    void Update(double time, double step) override;
    void Draw(Engine::Controls::CRenderContext& context) override;

    uint32_t m_nSkinFlags = 0;
    bool m_bWasHovered = false;

private:
    // The caption, and the check-box glyph of a check or radio button.
    void DrawCaption(Engine::Controls::CRenderContext& context, int32_t state, float shift, uint32_t alpha);
    void DrawGlyph(Engine::Controls::CRenderContext& context, Engine::Graphics::SprFile::CSpriteRef& sprite,
                   uint32_t alpha);
    // Scale of the measures, and the cell size of the sprite.
    float Scale() const;
    int32_t Cell() const;
};
