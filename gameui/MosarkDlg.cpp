#include "gameui/MosarkDlg.h"

#include <algorithm>
#include <cmath>

#include "controls/ControlsManager.h"
#include "controls/DrawSpriteAt.h"
#include "controls/RenderContext.h"
#include "gameui/NamedLookup.h"
#include "graphics/Graphics.h"
#include "placefile/PlaceLayer.h"
#include "placefile/PlaceSpriteObject.h"

using namespace Engine::Controls;
using Engine::Graphics::PlaceFile::CPlaceObject;
using Engine::Graphics::PlaceFile::CPlaceSpriteObject;

namespace {

constexpr int32_t kDefaultWidth = 800;
constexpr int32_t kDefaultHeight = 600;

// A sprite object's full description; of any other object only the
// placement, so that it draws nothing.
CControlDescription DescribeObject(CPlaceObject& object) {
    if (auto* sprite = dynamic_cast<CPlaceSpriteObject*>(&object)) return ReadControlDescription(*sprite);
    return DescribePlacement(object);
}

} // namespace

void CMosarkDlg::ResetCommand(bool activate) {
    m_nCommandId = -1;
    if (!activate || !m_pManagerCopy) return;
    if (const Ref first = GetNextTabStop(nullptr, false)) m_pManagerCopy->SetFocus(first);
    m_pManagerCopy->SetActiveMenu(this);
}

bool CMosarkDlg::OnCommand(uint32_t commandId, uint32_t /*code*/) {
    // Unhandled, so the command still rises to the default processing.
    m_nCommandId = int32_t(commandId);
    return false;
}

void CMosarkDlg::Create(CControlsManager* manager, Ref parent, int32_t x, int32_t y, int32_t width, int32_t height,
                        CString text, uint32_t style, int32_t id) {
    m_pManagerCopy = manager;
    CDialog::Create(manager, std::move(parent), x, y, width, height, std::move(text), style, id);
}

void CMosarkDlg::CreateFromDescription(CControlsManager* manager, Ref parent, const CControlDescription* description,
                                       const CControlDescription* origin, CString text, uint32_t style, int32_t id) {
    m_pManagerCopy = manager;
    const Engine::Geometry::CRect bounds = description ? description->GetBounds() : Engine::Geometry::CRect{};
    const Engine::Geometry::CRect from = origin ? origin->GetBounds() : Engine::Geometry::CRect{};
    m_pDescription = description;
    CBaseControl::Create(manager, std::move(parent), bounds.left - from.left, bounds.top - from.top, bounds.Width(),
                         bounds.Height(), std::move(text), style, id);
}

void CMosarkDlg::CreateInLayer(CControlsManager* manager, Engine::Graphics::PlaceFile::CPlaceLayer* layer, Ref parent) {
    m_pFrameObject = layer ? GameUi::FindObjectByName(layer->Objects, "dialog") : nullptr;
    const Ref desktop = manager ? manager->GetDesktop() : nullptr;
    if (m_pFrameObject) {
        m_frameDescription = DescribeObject(*m_pFrameObject);
        CreateFromDescription(manager, parent ? std::move(parent) : desktop, &*m_frameDescription, nullptr, "", 0, -1);
    } else {
        Create(manager, desktop, 0, 0, kDefaultWidth, kDefaultHeight, "", 0, -1);
    }
}

void CMosarkDlg::Draw(CRenderContext& context) {
    CPlaceObject* frame = m_pDescription ? m_pDescription->placeObject : nullptr;
    if (frame && frame->Type == Engine::Graphics::PlaceFile::PLACE_SPRITE) {
        context.EnableRenderSwitch3();
        context.SetBlendFunc5(6);
        frame->Color = WithAlpha(0xFFFFFFFFu, GetAlpha());
        if (m_pDescription->sprite) {
            DrawSpriteAt(*m_pDescription, context, 0.0f, 0.0f, 1.0f);
            context.FlushIfPending();
        }
        context.DisableRenderSwitch3();
    }
    DrawChildren(context);
}

void CMosarkDlg::SetFade(float fade) {
    m_fOpacity = std::clamp(2.0f * fade, 0.0f, 1.0f);
    const float children = std::sqrt(std::clamp(2.0f * (fade - 0.5f), 0.0f, 1.0f));
    for (int32_t i = 0; i < GetChildCount(); ++i)
        if (auto* game = dynamic_cast<CMosarkBaseControl*>(GetChild(i).get())) game->m_fOpacity = children;
}

Engine::Geometry::CPoint CMosarkDlg::GetScreenCentre() const {
    const Engine::Graphics::CGraphics* graphics = m_pManager ? m_pManager->GetGraphics() : nullptr;
    if (!graphics) return {0, 0};
    return {graphics->GetParams().width / 2, graphics->GetParams().height / 2};
}
