#pragma once
// One picture: a frame of a sprite at the control's client origin, white
// with an alpha of its own times the control's opacity. The owner sets the
// fields.

#include "controls/Static.h"
#include "gameui/MosarkBaseControl.h"

namespace Engine::Graphics::SprFile {
class CSpriteRef;
}

class CMosarkPic : public Engine::Controls::CStatic, public CMosarkBaseControl {
public:
    void Draw(Engine::Controls::CRenderContext& context) override;

    // Not owned; nothing is drawn while it is null.
    Engine::Graphics::SprFile::CSpriteRef* m_pPicture = nullptr;
    // Wrapped by the sprite when outside its frames.
    int32_t m_nPictureFrame = 0;
    float m_fPictureAlpha = 1.0f;
};
