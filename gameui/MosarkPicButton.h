#pragma once
// A game button drawn as one picture whose frame follows the button's
// state, with an optional white caption at a fixed offset. Sounds, click
// effect and cursor are the game button's; the owner assigns the picture,
// offsets and flags.

#include "app/Geometry.h"
#include "controls/Button.h"
#include "gameui/MosarkBaseControl.h"

namespace Engine::Graphics::SprFile {
class CSpriteRef;
}

class CMosarkPicButton : public Engine::Controls::CButton, public CMosarkBaseControl {
public:
    enum SkinFlags : uint32_t {
        SKIN_TWO_STATE = 0x2,  // frame 0 enabled, frame 1 disabled
        SKIN_CAPTION = 0x4,
    };

    bool OnSetCursor() override;
    bool OnLButtonDown(int32_t x, int32_t y, uint32_t flags, uint32_t hit) override;
    bool OnKeyDown(uint32_t key, uint32_t flags) override;
    void Update(double time, double step) override;
    void Draw(Engine::Controls::CRenderContext& context) override;

    // The picture's frame for the button's state.
    int32_t GetPictureFrame() const;

    uint32_t m_nSkinFlags = 0;
    bool m_bWasHovered = false;
    // Not owned: its owner keeps it alive as long as the button. Nothing is
    // drawn without one.
    Engine::Graphics::SprFile::CSpriteRef* m_pPicture = nullptr;
    Engine::Geometry::CVector2 m_captionOffset{0.0f, 0.0f};
    Engine::Geometry::CVector2 m_pressedCaptionOffset{0.0f, 0.0f};
};
