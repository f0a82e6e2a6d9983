// Each widget in its main states drawn through the sprite queue and the
// recording driver: the solid boxes of its look, at screen positions.

#include <cmath>
#include <functional>

#include "controls/Button.h"
#include "controls/ComboBox.h"
#include "controls/ControlsDrawing.h"
#include "controls/Edit.h"
#include "controls/LineBatch.h"
#include "controls/List.h"
#include "controls/Menu.h"
#include "controls/Slider.h"
#include "controls/Static.h"
#include "graphics/Graphics.h"
#include "tests/controls/WidgetsFixture.h"

using namespace ControlsTesting;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF, kFace = 0xFFC8D0D4, kHighlight = 0xFF6A240A, kBlack = 0xFF000000;

class WidgetDrawing;

struct CDrawCase {
    const char* name;
    std::function<void(WidgetDrawing&)> build;
    std::vector<CBox> present;
    std::vector<CBox> absent;
};

class WidgetDrawing : public WidgetsFixture, public testing::WithParamInterface<CDrawCase> {
public:
    template <class T>
    ref_ptr<T> Add(CRect r, uint32_t style = 0) {
        auto control = Make<T>(nullptr, r, CS_VISIBLE | CS_CHILD | style);
        control->SetFont(font);
        return control;
    }
    ref_ptr<Engine::Graphics::CFont> font = MakeFont();
    std::vector<CBaseControl::Ref> keep;
};

bool Has(const std::vector<CBox>& boxes, const CBox& box) {
    return std::find(boxes.begin(), boxes.end(), box) != boxes.end();
}

const CDrawCase kCases[] = {
    {"EditPlain", [](WidgetDrawing& t) { t.keep.push_back(t.Add<CEdit>({100, 100, 300, 130})); },
     {{100, 100, 200, 30, kWhite}}, {}},
    {"EditSelection",
     [](WidgetDrawing& t) {
         auto edit = t.Add<CEdit>({100, 100, 300, 130});
         edit->SetText("abcd");
         edit->SetSelection(1, 3);
         t.keep.push_back(edit);
     },
     {{100, 100, 200, 30, kWhite}, {110, 105, 20, 20, 0xFFC56A31}}, {}},
    {"CheckBox", [](WidgetDrawing& t) { t.keep.push_back(t.Add<CButton>({100, 100, 200, 130}, CButton::BS_CHECK)); },
     {{100, 100, 100, 30, kFace}}, {}},
    {"PushButtonUp", [](WidgetDrawing& t) { t.keep.push_back(t.Add<CButton>({100, 100, 200, 130})); },
     {{102, 102, 96, 26, kFace}}, {}},
    {"SliderTrack", [](WidgetDrawing& t) { t.keep.push_back(t.Add<CSlider>({100, 100, 248, 120})); },
     {{116, 100, 116, 20, 0xFFE3E8E9}}, {}},
    {"ListWithCurrentRowAndGrid",
     [](WidgetDrawing& t) {
         auto list = t.Add<CList>({100, 100, 300, 170}, CList::LS_GRID);
         list->AddItem("a");
         list->SetCurrentItem(list->AddItem("b"));
         t.keep.push_back(list);
     },
     {{100, 100, 200, 70, kWhite}, {100, 121, 200, 20, kHighlight}, {100, 120, 200, 1, kFace}}, {}},
    {"MenuWithHotItem",
     [](WidgetDrawing& t) {
         auto menu = t.Add<CMenu>({0, 0, 800, 600});
         menu->AddItem("a", 1);
         menu->Popup(nullptr, 100, 100);
         menu->SetHotItem(menu->GetItem(0));
         t.keep.push_back(menu);
     },
     {{102, 102, 14, 24, kFace}, {100, 127, 17, 1, kBlack}, {104, 104, 10, 20, kHighlight}}, {}},
    {"ComboBoxRow",
     [](WidgetDrawing& t) { t.keep.push_back(t.Add<CComboBox>({100, 100, 250, 180})); },
     {{100, 100, 150, 16, kWhite}}, {}},
};

} // namespace

TEST_P(WidgetDrawing, ShowsItsLook) {
    GetParam().build(*this);
    {
        CRenderContext context(&driver, {0, 0, 800, 600});
        desktop->Draw(context);
        context.FlushIfPending();
    }
    const std::vector<CBox> boxes = Boxes();
    for (const CBox& box : GetParam().present) EXPECT_TRUE(Has(boxes, box)) << box;
    for (const CBox& box : GetParam().absent) EXPECT_FALSE(Has(boxes, box)) << box;
}

INSTANTIATE_TEST_SUITE_P(Widgets, WidgetDrawing, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The slider itself decides not to draw when hidden: drawn directly, past
// the parent's own visibility test.
class SliderVisibility : public WidgetsFixture, public testing::WithParamInterface<bool> {};

TEST_P(SliderVisibility, HiddenSliderDrawsNeitherTrackNorThumb) {
    const auto slider = Make<CSlider>(nullptr, {100, 100, 248, 120});
    if (!GetParam()) slider->SetStyle(slider->GetStyle() & ~uint32_t(CS_VISIBLE));
    {
        CRenderContext context(&driver, {0, 0, 800, 600});
        slider->Draw(context);
    }
    const std::vector<CBox> boxes = Boxes();
    const CBox track{16, 0, 116, 20, 0xFFE3E8E9}, thumbFace{18, 2, 12, 16, kFace};
    EXPECT_EQ(Has(boxes, track), GetParam());
    EXPECT_EQ(Has(boxes, thumbFace), GetParam());
    EXPECT_EQ(boxes.empty(), !GetParam());
}

INSTANTIATE_TEST_SUITE_P(Styles, SliderVisibility, testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Visible" : "Hidden"); });

namespace {

// One glyph of the symbol font as drawn: its character, place and colour.
struct CGlyph {
    char character;
    float left, top;
    uint32_t color;
    friend bool operator==(const CGlyph&, const CGlyph&) = default;
    friend std::ostream& operator<<(std::ostream& o, const CGlyph& g) {
        return o << "'" << g.character << "' (" << g.left << "," << g.top << ") " << std::hex << g.color << std::dec;
    }
};

class WidgetGlyphs;

struct CGlyphCase {
    const char* name;
    std::function<void(WidgetGlyphs&)> build;
    std::vector<CGlyph> glyphs;  // in drawing order
};

class WidgetGlyphs : public WidgetsFixture, public testing::WithParamInterface<CGlyphCase> {
public:
    void SetUp() override {
        WidgetsFixture::SetUp();
        manager->SetSymbolFont(MakeSymbolFont());
    }
    template <class T>
    ref_ptr<T> Add(CRect r, uint32_t style = 0) {
        auto control = Make<T>(nullptr, r, CS_VISIBLE | CS_CHILD | style);
        control->SetFont(MakeFont());
        keep.push_back(control);
        return control;
    }
    // The quads of the symbol font's glyph size, as glyphs: the frame (and so
    // the character) from the quad's texture column.
    std::vector<CGlyph> Glyphs() const {
        const std::vector<uint16_t> characters = Tools::SymbolFontCharacters();
        const float atlas = float(kSymbolWidth * int32_t(characters.size()));
        std::vector<CGlyph> glyphs;
        for (const auto& v : DrawnVertices())
            for (size_t i = 0; i + 3 < v.size(); i += 4) {
                if (v[i + 2].x - v[i].x != kSymbolWidth || v[i + 2].y - v[i].y != kSymbolHeight) continue;
                const size_t frame = size_t(std::lround(v[i].u * atlas / kSymbolWidth));
                const char character = frame < characters.size() ? char(characters[frame]) : '?';
                glyphs.push_back({character, v[i].x, v[i].y, v[i].color});
            }
        return glyphs;
    }
    void Press(int32_t x, int32_t y) { Frame(x, y, {1, 0, 0}); }
    std::vector<CBaseControl::Ref> keep;
};

constexpr uint32_t kShadow = 0xFF808080;

// The layers of a check box or radio button with its top-left at (x, y).
std::vector<CGlyph> Layers(const char* characters, float x, float y, bool inactive, bool checked) {
    const uint32_t colors[6] = {kWhite, kShadow, kWhite, kBlack, kFace, kBlack};
    std::vector<CGlyph> glyphs;
    for (int i = 0; i < 6; ++i)
        if ((i != 0 || !inactive) && (i != 5 || checked)) glyphs.push_back({characters[i], x, y, colors[i]});
    return glyphs;
}

// Button 100 x 30 at (100, 100): the glyph box sits at its left edge, 9 high,
// centred: top 110. Combo box 150 wide: its 16-pixel button starts at 234,
// the 7-pixel arrow centred at 238, 3 down (16 - 9 = 7, halved).
const CGlyphCase kGlyphCases[] = {
    {"CheckBoxChecked",
     [](WidgetGlyphs& t) { t.Add<CButton>({100, 100, 200, 130}, uint32_t(CButton::BS_CHECK) | CS_CHECKED); },
     Layers("gcdefb", 100, 110, false, true)},
    {"CheckBoxUnchecked", [](WidgetGlyphs& t) { t.Add<CButton>({100, 100, 200, 130}, CButton::BS_CHECK); },
     Layers("gcdefb", 100, 110, false, false)},
    {"RadioChecked",
     [](WidgetGlyphs& t) { t.Add<CButton>({100, 100, 200, 130}, uint32_t(CButton::BS_RADIO) | CS_CHECKED); },
     Layers("njklmi", 100, 110, false, true)},
    {"ComboBoxArrow", [](WidgetGlyphs& t) { t.Add<CComboBox>({100, 100, 250, 180}); }, {{'6', 238, 103, kBlack}}},
    {"ComboBoxArrowPressed",
     [](WidgetGlyphs& t) {
         t.Add<CComboBox>({100, 100, 250, 180});
         t.Press(240, 105);
     },
     {{'6', 239, 104, kBlack}}},
    // Slider arrows, 16 x 16 at each end of a 148 x 20 slider, 2 down.
    {"SliderArrows", [](WidgetGlyphs& t) { t.Add<CSlider>({100, 100, 248, 120}); },
     {{'3', 104, 105, kBlack}, {'4', 236, 105, kBlack}}},
};

} // namespace

TEST_P(WidgetGlyphs, DrawsItsFrameGlyphsFromTheSymbolFont) {
    GetParam().build(*this);
    driver.Clear();
    {
        CRenderContext context(&driver, {0, 0, 800, 600});
        desktop->Draw(context);
        context.FlushIfPending();
    }
    EXPECT_EQ(Glyphs(), GetParam().glyphs);
    // Without the font the same controls draw no glyph at all.
    manager->SetSymbolFont(nullptr);
    driver.Clear();
    {
        CRenderContext context(&driver, {0, 0, 800, 600});
        desktop->Draw(context);
    }
    EXPECT_TRUE(Glyphs().empty());
}

INSTANTIATE_TEST_SUITE_P(Widgets, WidgetGlyphs, testing::ValuesIn(kGlyphCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WidgetsFixture, StaticTextCentredInItsColour) {
    const ref_ptr<CStatic> label = Make<CStatic>(nullptr, {100, 100, 200, 130});
    label->SetFont(MakeFont());
    label->SetText("abc");
    label->SetTextColor(0xFF112233);
    {
        CRenderContext context(&driver, {0, 0, 800, 600});
        desktop->Draw(context);
    }
    std::vector<float> glyphs;
    for (const CQuad& q : Quads())
        if (q.colors[0] == 0xFF112233) glyphs.push_back(q.left);
    EXPECT_EQ(glyphs, (std::vector<float>{135, 145, 155}));
}

namespace {

struct CBatchCase {
    CLineBatch::Mode mode;
    int vertices;
    size_t segments;
};

class LineBatches : public WidgetsFixture, public testing::WithParamInterface<CBatchCase> {};

// Calls the line operations as a list item's draw does.
class CLineDrawingItem : public CList::CListItem {
public:
    using CListItem::ListLineBatchEnd;
    using CListItem::ListLineBatchFlush;
    using CListItem::ListLineBatchVertex;
};

// The x, y pairs of the line lists the driver drew.
std::vector<float> DrawnLinePoints(const CRecordingGraphics& driver) {
    std::vector<float> drawn;
    for (const auto& call : driver.calls) {
        if (call.name != "gDraw" || call.args[0] != double(Engine::Graphics::PRIM_LINE_LIST)) continue;
        for (size_t i = 0; i + 20 <= call.vertices.size(); i += 20) {
            float xy[2];
            std::memcpy(xy, call.vertices.data() + i, sizeof xy);
            drawn.insert(drawn.end(), {xy[0], xy[1]});
        }
    }
    return drawn;
}

} // namespace

TEST_P(LineBatches, SegmentsPerMode) {
    CRenderContext context(&driver, {0, 0, 800, 600});
    CLineBatch batch(context);
    batch.SetMode(GetParam().mode);
    for (int i = 0; i < GetParam().vertices; ++i)
        CLineDrawingItem::ListLineBatchVertex(float(i * 10), float(i % 2 * 10), 0.0f);
    CLineDrawingItem::ListLineBatchEnd();
    EXPECT_EQ(batch.GetPending().size(), 2 * GetParam().segments);
}

INSTANTIATE_TEST_SUITE_P(Modes, LineBatches,
                         testing::Values(CBatchCase{CLineBatch::MODE_LOOP, 3, 3}, CBatchCase{CLineBatch::MODE_STRIP, 3, 2},
                                         CBatchCase{CLineBatch::MODE_LINES, 4, 2}, CBatchCase{CLineBatch::MODE_NONE, 4, 0}));

TEST_F(WidgetsFixture, LineBatchClipsToTheContextAndDropsWhatLiesOutside) {
    Engine::Graphics::SetGraphics(&driver);
    ASSERT_TRUE(Engine::Graphics::InitPrimitiveBuffers());
    {
        CRenderContext context(&driver, {0, 0, 800, 600});
        context.SetClip({10, 10, 50, 50});
        CLineBatch batch(context);
        batch.SetMode(CLineBatch::MODE_LINES);
        CLineDrawingItem::ListLineBatchVertex(0, 5, 0);  // wholly left of the clip
        CLineDrawingItem::ListLineBatchVertex(5, 40, 0);
        CLineDrawingItem::ListLineBatchVertex(0, 20, 0);  // crosses the left edge
        CLineDrawingItem::ListLineBatchVertex(30, 20, 0);
        CLineDrawingItem::ListLineBatchEnd();
        CLineDrawingItem::ListLineBatchFlush();
        EXPECT_TRUE(batch.GetPending().empty());
    }
    const std::vector<float> drawn = DrawnLinePoints(driver);
    Engine::Graphics::DonePrimitiveBuffers();
    Engine::Graphics::SetGraphics(nullptr);
    EXPECT_EQ(drawn, (std::vector<float>{10, 20, 30, 20}));
}

TEST_F(WidgetsFixture, ListLineOperationsOutsideADrawThrow) {
    EXPECT_THROW(CLineDrawingItem::ListLineBatchVertex(0, 0, 0), Engine::CException);
    {
        CRenderContext context(&driver, {0, 0, 800, 600});
        CLineBatch batch(context);
        EXPECT_NO_THROW(CLineDrawingItem::ListLineBatchEnd());
    }
    EXPECT_THROW(CLineDrawingItem::ListLineBatchFlush(), Engine::CException);
}

class ExpandBoxes : public WidgetsFixture, public testing::WithParamInterface<bool> {};

// A tree row with children draws its box through the item's line batch: a
// closed outline, a bar, and the cross bar only while collapsed. The row is
// 20 high at (100, 100), so its middle is y 110.
TEST_P(ExpandBoxes, ATreeRowDrawsItsBoxAsOneLineList) {
    const ref_ptr<CList> list = Make<CList>(nullptr, {100, 100, 300, 170});
    list->SetStyle(list->GetStyle() | CList::LS_TREE);
    list->SetFont(MakeFont());
    CList::CListItem* parent = list->AddItem("a");
    list->AddItem("b", parent);
    if (GetParam()) parent->m_flags |= CList::CListItem::COLLAPSED;
    Engine::Graphics::SetGraphics(&driver);
    ASSERT_TRUE(Engine::Graphics::InitPrimitiveBuffers());
    {
        CRenderContext context(&driver, {0, 0, 800, 600});
        desktop->Draw(context);
    }
    const std::vector<float> drawn = DrawnLinePoints(driver);
    Engine::Graphics::DonePrimitiveBuffers();
    Engine::Graphics::SetGraphics(nullptr);
    std::vector<float> expected = {102, 106, 110, 106, 110, 106, 110, 114, 110, 114, 102, 114, 102, 114, 102, 106,
                                   104, 110, 109, 110};
    if (GetParam()) expected.insert(expected.end(), {106, 108, 106, 113});
    EXPECT_EQ(drawn, expected);
}

INSTANTIATE_TEST_SUITE_P(Collapsed, ExpandBoxes, testing::Bool());

// A glyph the symbol font lacks measures 0 wide and draws nothing; it is
// not taken as glyph 0. The plain font has 'a' to 'e' and ' ', 10 x 20.
TEST_F(WidgetsFixture, GlyphMissingFromTheSymbolFontMeasuresZeroAndDrawsNothing) {
    manager->SetSymbolFont(MakeFont());
    CControlsDrawing& drawing = *manager->GetDrawing();
    CRect box{5, 5, 50, 50};
    drawing.DrawFrameControl(nullptr, box, CControlsDrawing::DFC_CAPTION, CControlsDrawing::C_DFCS_ADJUSTRECT);
    EXPECT_EQ(box, (CRect{0, 0, 6, 23}));  // close glyph 'r': 0 + 6 wide, font height + 3 high
    drawing.DrawFrameControl(nullptr, box, CControlsDrawing::DFC_BUTTON, CControlsDrawing::C_DFCS_ADJUSTRECT);
    EXPECT_EQ(box, (CRect{0, 0, 0, 20}));  // check box's first layer 'g'
    box = {0, 0, 40, 40};
    CRenderContext context(&driver, {0, 0, 800, 600});
    drawing.DrawFrameControl(&context, box, CControlsDrawing::DFC_CAPTION, 0);
    const auto quads = Quads();
    EXPECT_FALSE(quads.empty());  // the edge
    EXPECT_TRUE(std::none_of(quads.begin(), quads.end(), [](const CQuad& q) {
        return q.right - q.left == 10.0f && q.bottom - q.top == 20.0f;
    }));
}

// The edge of a checked or mono frame part is queued without a flush of its
// own; the part is out before DrawFrameControl returns, glyph or not.
TEST_F(WidgetsFixture, FrameControlIsFlushedBeforeItReturns) {
    struct CCase {
        int type;
        uint32_t state;
        bool font;
    };
    const CCase cases[] = {
        {CControlsDrawing::DFC_SCROLL, 4 | CControlsDrawing::C_DFCS_CHECKED, true},  // scroll part 4: no glyph
        {CControlsDrawing::DFC_SCROLL, 4 | CControlsDrawing::C_DFCS_MONO, true},
        {CControlsDrawing::DFC_CAPTION, CControlsDrawing::C_DFCS_CHECKED, false},
        {CControlsDrawing::DFC_CAPTION, CControlsDrawing::C_DFCS_MONO, true},
    };
    for (const CCase& c : cases) {
        manager->SetSymbolFont(c.font ? MakeSymbolFont() : nullptr);
        driver.Clear();
        CRenderContext context(&driver, {0, 0, 800, 600});
        CRect box{0, 0, 40, 40};
        manager->GetDrawing()->DrawFrameControl(&context, box, c.type, c.state);
        EXPECT_FALSE(Quads().empty()) << c.type << " " << std::hex << c.state;
    }
}
