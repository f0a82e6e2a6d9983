#pragma once
// A place file drawn whole, through its own drawing, at the drawing
// context's origin and the control's opacity. The owner attaches it.

#include "app/Referenced.h"
#include "controls/Static.h"
#include "gameui/MosarkBaseControl.h"

namespace Engine::Graphics::PlaceFile {
class CPlaceFile;
}

class CMosarkBasicPlaceDisplay : public Engine::Controls::CStatic, public CMosarkBaseControl {
public:
    CMosarkBasicPlaceDisplay();
    ~CMosarkBasicPlaceDisplay() noexcept(false) override;

    void Draw(Engine::Controls::CRenderContext& context) override;

    Engine::ref_ptr<Engine::Graphics::PlaceFile::CPlaceFile> m_pPlaceFile;
};
