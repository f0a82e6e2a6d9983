#pragma once
// The game interface's dialog window: its look is the sprite object named
// "dialog" of a place layer, drawn at the dialog's opacity, and its game
// children fade in with it. It remembers the last command a child sent.

#include <optional>

#include "app/Geometry.h"
#include "controls/ControlDescription.h"
#include "controls/Dialog.h"
#include "gameui/MosarkBaseControl.h"

namespace Engine::Graphics::PlaceFile {
class CPlaceLayer;
class CPlaceObject;
}

class CMosarkDlg : public Engine::Controls::CDialog, public CMosarkBaseControl {
public:
    CMosarkDlg() { ResetCommand(false); }

    bool OnCommand(uint32_t commandId, uint32_t code) override;
    void Create(Engine::Controls::CControlsManager* manager, Ref parent, int32_t x, int32_t y, int32_t width,
                int32_t height, CString text, uint32_t style, int32_t id) override;
    // The description's placed rectangle, less the origin's top-left; the
    // description's properties are not read (the style is the one given).
    void CreateFromDescription(Engine::Controls::CControlsManager* manager, Ref parent,
                               const Engine::Controls::CControlDescription* description,
                               const Engine::Controls::CControlDescription* origin, CString text, uint32_t style,
                               int32_t id) override;
    void Draw(Engine::Controls::CRenderContext& context) override;

    // Laid out from the layer's "dialog" object under the parent (the
    // desktop when none); without that object 800 by 600 at (0, 0) on the
    // desktop. Created without the visible flag.
    virtual void CreateInLayer(Engine::Controls::CControlsManager* manager, Engine::Graphics::PlaceFile::CPlaceLayer* layer,
                               Ref parent);
    // Fade position f: the dialog's opacity 2f and its game children's
    // sqrt(2f - 1), each held within 0..1. Children that are not game
    // controls are left alone.
    virtual void SetFade(float fade);
    // Half the display's size; (0, 0) before the dialog is created.
    virtual Engine::Geometry::CPoint GetScreenCentre() const;
    virtual bool IsMaxiDialog() const { return false; }

    // Forgets the last command; with activate, the first tab stop gets the
    // focus and the dialog becomes the manager's popup control.
    void ResetCommand(bool activate);

    int32_t m_nCommandId = -1;
    Engine::Controls::CControlsManager* m_pManagerCopy = nullptr;
    // The layer's "dialog" object (the place file owns it), or null.
    Engine::Graphics::PlaceFile::CPlaceObject* m_pFrameObject = nullptr;

private:
    // The description of the frame object, which the control refers to.
    std::optional<Engine::Controls::CControlDescription> m_frameDescription;
};
