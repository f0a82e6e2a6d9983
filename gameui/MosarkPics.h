#pragma once
// A page of up to 25 pictures in 5 rows of 5: frames of one sprite from a
// first index on. Pictures beyond the furthest reached one show as
// "map2_unknown", marked cells carry a mark, the selected picture is framed
// by "map2_select", and while clickable a click on a shown picture selects
// it. The owner sets the fields.

#include <vector>

#include "app/Geometry.h"
#include "controls/Static.h"
#include "gameui/MosarkBaseControl.h"

namespace Engine::Graphics::SprFile {
class CSpriteRef;
}

class CMosarkPics : public Engine::Controls::CStatic, public CMosarkBaseControl {
public:
    enum PicsFlags : uint32_t { PICS_CLICKABLE = 0x2 };
    static constexpr int32_t kColumns = 5, kRows = 5;

    // Always handled.
    bool OnLButtonDown(int32_t x, int32_t y, uint32_t flags, uint32_t hit) override;
    void Draw(Engine::Controls::CRenderContext& context) override;

    // The shown picture whose cell holds the client point (edges included;
    // the later cell wins on a shared edge), else -1.
    int32_t FindCellAt(float x, float y) const;
    // The centre of a cell in client coordinates.
    static Engine::Geometry::CVector2 GetCellPosition(int32_t column, int32_t row);

    int32_t m_nSelectedIndex = 5;  // -1: none
    int32_t m_nReachedIndex = 10;
    int32_t m_nFirstIndex = 0;
    // Not owned; frame k is picture k; null counts as no pictures.
    Engine::Graphics::SprFile::CSpriteRef* m_pPictures = nullptr;
    // Not owned; without it no marks are drawn.
    Engine::Graphics::SprFile::CSpriteRef* m_pMarkSprite = nullptr;
    uint32_t m_nPicsFlags = 1;
    // One byte per picture index, non-zero marked; indices beyond it are
    // unmarked.
    std::vector<uint8_t> m_marks;
    // Screen position of the selected cell's centre, written by Draw.
    Engine::Geometry::CPoint m_ptSelectedScreenPos{0, 0};

private:
    bool IsShown(int32_t index) const;
};
