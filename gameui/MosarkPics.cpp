#include "gameui/MosarkPics.h"

#include "controls/RenderContext.h"
#include "gameui/ControlSounds.h"
#include "gameui/SpritePieces.h"
#include "graphics/SpriteRef.h"

using namespace Engine::Controls;
using Engine::Geometry::CVector2;

namespace {

constexpr float kHalfWidth = 50.0f, kHalfHeight = 32.0f;

// Calls fn(index, centre) for the page's cells, row by row.
template <class Fn>
void ForEachCell(int32_t first, Fn fn) {
    for (int32_t row = 0; row < CMosarkPics::kRows; ++row)
        for (int32_t col = 0; col < CMosarkPics::kColumns; ++col)
            fn(first + CMosarkPics::kColumns * row + col, CMosarkPics::GetCellPosition(col, row));
}

} // namespace

CVector2 CMosarkPics::GetCellPosition(int32_t column, int32_t row) {
    return {50.0f + 110.0f * float(column), 32.0f + 75.0f * float(row)};
}

bool CMosarkPics::IsShown(int32_t index) const {
    return index >= 0 && index <= m_nReachedIndex && m_pPictures && index < m_pPictures->GetSpriteFrameCount();
}

int32_t CMosarkPics::FindCellAt(float x, float y) const {
    int32_t result = -1;
    ForEachCell(m_nFirstIndex, [&](int32_t k, CVector2 c) {
        if (IsShown(k) && x >= c.x - kHalfWidth && x <= c.x + kHalfWidth && y >= c.y - kHalfHeight &&
            y <= c.y + kHalfHeight)
            result = k;
    });
    return result;
}

bool CMosarkPics::OnLButtonDown(int32_t x, int32_t y, uint32_t /*flags*/, uint32_t /*hit*/) {
    if (m_nPicsFlags & PICS_CLICKABLE)
        if (const int32_t i = FindCellAt(float(x), float(y)); i != -1) m_nSelectedIndex = i;
    return true;
}

void CMosarkPics::Draw(CRenderContext& context) {
    const uint32_t grey = GreyWithAlpha(GetAlpha());
    const auto& params = context.GetParams();
    context.EnableRenderSwitch3();
    context.SetBlendFunc5(6);
    auto* unknown = GameUi::FindControlSprite(*this, "map2_unknown");
    auto* select = GameUi::FindControlSprite(*this, "map2_select");
    ForEachCell(m_nFirstIndex, [&](int32_t k, CVector2 c) {
        if (k > m_nReachedIndex) {
            if (unknown) GameUi::QueueSpriteAtF(params, *unknown, c.x, c.y, grey);
        } else if (IsShown(k)) {
            m_pPictures->SetFrame(k);
            GameUi::QueueSpriteAtF(params, *m_pPictures, c.x, c.y, grey);
        }
    });
    context.FlushIfPending();
    if (m_pMarkSprite && !m_marks.empty()) {
        // Marks keep their own colour: they do not fade.
        const uint32_t mark = m_pMarkSprite->GetTemplate().colors[0];
        ForEachCell(m_nFirstIndex, [&](int32_t k, CVector2 c) {
            if (k >= 0 && size_t(k) < m_marks.size() && m_marks[size_t(k)])
                GameUi::QueueSpriteAtF(params, *m_pMarkSprite, c.x + 30.0f, c.y - 20.0f, mark);
        });
        context.FlushIfPending();
    }
    if (m_nSelectedIndex != -1) {
        const int32_t d = m_nSelectedIndex - m_nFirstIndex, row = d / kColumns, col = d - kColumns * row;
        const CVector2 c = GetCellPosition(col, row);
        if (select) GameUi::QueueSpriteAtF(params, *select, c.x, c.y, grey);
        context.FlushIfPending();
        const CRect screen = ClientToScreen();
        const CPoint origin{screen.left + m_clientOrigin.x, screen.top + m_clientOrigin.y};
        m_ptSelectedScreenPos = {int32_t(float(origin.x) + c.x), int32_t(float(origin.y) + c.y)};
    }
    context.DisableRenderSwitch3();
}
