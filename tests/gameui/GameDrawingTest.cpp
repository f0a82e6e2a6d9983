// What the game controls queue, seen as the quads the recording driver
// draws: the three-cell button in each state, the bar's pieces cut by the
// shown value, the dialog's frame at its opacity and the fades.

#include <cmath>

#include "gameui/MosarkBar.h"
#include "gameui/MosarkButton.h"
#include "gameui/MosarkDlg.h"
#include "gameui/MosarkStatic.h"
#include "placefile/PlaceLayer.h"
#include "placefile/PlaceSpriteObject.h"
#include "tests/gameui/GameUiFixture.h"

using namespace GameUiTesting;
using Engine::Graphics::SprFile::CSprFile;
using Engine::Graphics::SprFile::CSpriteRef;

namespace {

// The demo "spr/controls.spr" image: 270 x 300, "button" frames in the
// left 180 columns, "button-mini" beside them.
constexpr float kImageWidth = 270.0f, kImageHeight = 300.0f;

class GameDrawing : public GameUiFixture {
protected:
    std::vector<CQuad> Draw() {
        driver.Clear();
        CRenderContext context(&driver, {0, 0, 800, 600});
        manager->GetDesktop()->Draw(context);
        return Quads();
    }
    // u, v of quad i's top-left corner in texels of the demo image.
    static std::pair<float, float> Texel(const std::vector<SpriteVertex>& v, size_t quad) {
        return {v[4 * quad].u * kImageWidth, v[4 * quad].v * kImageHeight};
    }
    std::vector<SpriteVertex> Vertices() const {
        std::vector<SpriteVertex> all;
        for (const auto& draw : DrawnVertices()) all.insert(all.end(), draw.begin(), draw.end());
        return all;
    }
};

void ExpectBox(const CQuad& q, float left, float top, float width, float height) {
    EXPECT_NEAR(q.left, left, 1e-3);
    EXPECT_NEAR(q.top, top, 1e-3);
    EXPECT_NEAR(q.right - q.left, width, 1e-3);
    EXPECT_NEAR(q.bottom - q.top, height, 1e-3);
}

enum class EInput { None, Hover, Press, Disable };

struct CButtonCase {
    uint32_t skin;
    EInput input;
    float frameTop;  // texel row of the state's frame
    float shift;     // y of the frame pieces
    float captionY;  // top of the caption's first glyph
    uint32_t captionColor;
};

// Width 200, opacity 0.5: frame colour 0x7F7F7F7F, caption alpha 127.
constexpr CButtonCase kButtonCases[] = {
    {0, EInput::None, 0, 0.0f, 9, 0x7F8CDFFF},      {1, EInput::Hover, 60, 2.0f, 11, 0x7FFFFFFF},
    {1, EInput::Press, 120, 2.0f, 12, 0x7FFFFFFF},  {0, EInput::Press, 120, 0.0f, 10, 0x7FFFFFFF},
    {0, EInput::Disable, 180, 0.0f, 9, 0x7F8CDFFF}, {4, EInput::None, 0, 0.0f, 0, 0x7F8CDFFF},
    {5, EInput::Press, 120, 0.6f, 1, 0x7FFFFFFF},
};

TEST_F(GameDrawing, ButtonCapsAndStretchedMiddleInEachState) {
    for (const CButtonCase& c : kButtonCases) {
        SCOPED_TRACE(testing::Message() << "skin " << c.skin << " input " << int(c.input));
        const auto button = Place<CMosarkButton>("CMosarkButton", desktop, {0, 0, 200, 60});
        button->SetFont(MakeFont());
        button->SetText("ab");
        button->m_nSkinFlags = c.skin;
        button->m_fOpacity = 0.5f;
        if (c.input == EInput::Disable) button->SetStyle(button->GetStyle() | CS_DISABLED);
        Frame(c.input == EInput::Hover || c.input == EInput::Press ? 100 : 500, 30,
              {uint8_t(c.input == EInput::Press), 0, 0});
        const auto quads = Draw();
        const auto vertices = Vertices();
        ASSERT_EQ(quads.size(), 5u);
        const float n = (c.skin & 4) ? 30.0f : 60.0f, column = (c.skin & 4) ? 180.0f : 0.0f;
        const float frameTop = (c.skin & 4) ? c.frameTop / 2 : c.frameTop;
        // The control's clip cuts what the shift moves below it.
        const float height = std::min(n, 60.0f - c.shift);
        ExpectBox(quads[0], 0, c.shift, n, height);
        ExpectBox(quads[1], 200 - n, c.shift, n, height);
        ExpectBox(quads[2], n, c.shift, 200 - 2 * n, height);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(quads[i].colors[0], 0x7F7F7F7Fu);
            EXPECT_NEAR(Texel(vertices, i).first, column + float(std::array{0, 2, 1}[i]) * n, 0.05);
            EXPECT_NEAR(Texel(vertices, i).second, frameTop, 0.05);
        }
        // The caption "ab" centred over 200 pixels.
        ExpectBox(quads[3], 90, c.captionY, 10, 20);
        EXPECT_EQ(quads[3].colors[0], c.captionColor);
        Frame(500, 300);
        button->Destroy();
    }
}

TEST_F(GameDrawing, CheckedBoxTakesTheCheckedCellOfTheLastFrame) {
    const auto box = Place<CMosarkButton>("CMosarkButton", desktop, {0, 0, 200, 60},
                                          CS_VISIBLE | CS_CHILD | CS_CHECKED | CButton::BS_CHECK);
    box->SetFont(MakeFont());
    box->SetText("a");
    const auto quads = Draw();
    const auto vertices = Vertices();
    ASSERT_EQ(quads.size(), 2u);
    ExpectBox(quads[0], 55, 7, 10, 20);  // caption first, left-aligned
    ExpectBox(quads[1], 0, 0, 60, 60);
    EXPECT_NEAR(Texel(vertices, 1).first, 60.0f, 0.05);
    EXPECT_NEAR(Texel(vertices, 1).second, 240.0f, 0.05);
}

// A bar sprite file: "frame" 2 x (40 x 120), "level" 4 x (20 x 100), "flow"
// 2 x (20 x 101), frames side by side in one 400 x 200 image.
class BarDrawing : public GameDrawing {
protected:
    void SetUp() override {
        GameDrawing::SetUp();
        Tools::CSprDocument document;
        document.images.push_back({0, SprTestData::SolidPng(400, 200), {}, 0});
        int32_t x = 0;
        for (auto [name, count, w, h] : {std::tuple{"frame", 2, 40, 120}, {"level", 4, 20, 100}, {"flow", 2, 20, 101}}) {
            Tools::CSprSprite sprite{name, 0, 0, false, false, {}};
            for (int i = 0; i < count; ++i, x += w) sprite.frames.push_back(Tools::MakeSprFrame(0, x, 0, x + w, h));
            document.sprites.push_back(sprite);
        }
        file = SprTestData::ReadSprFile(Tools::WriteSpr(document), "spr/bar.spr");
        bar = Place<CMosarkBar>("CMosarkBar", desktop, {0, 0, 40, 120});
        bar->m_pFrameSprite = file->CreateSpriteByName("frame");
        bar->m_pLevelSprite = file->CreateSpriteByName("level");
        bar->m_pFlowSprite = file->CreateSpriteByName("flow");
        bar->m_fMaximum = 10.0f;
        bar->m_rcEmpty = {10, 5, 30, 105};
        bar->m_rcFull = {10, 5, 30, 105};
    }
    ref_ptr<CSprFile> file;
    ref_ptr<CMosarkBar> bar;
};

struct CBarCase {
    float value, shown, opacity;
    bool altFrame;
    std::vector<CBox> boxes;  // in drawing order
};

const CBarCase kBarCases[] = {
    // Half full: flow, empty and full pieces of 50, frame.
    {5, 5, 1, false,
     {{20, 5, 20, 50.5f, 0xFFFFFFFF}, {10, 55, 20, 50, 0xFFFFFFFF}, {10, 55, 20, 50, 0xFFFFFFFF},
      {0, 0, 40, 120, 0xFFFFFFFF}}},
    // Value 0 glows (w = 0.5): each pass twice, the second at half alpha.
    {0, 3, 1, false,
     {{20, 5, 20, 50.5f, 0xFFFFFFFF}, {20, 5, 20, 50.5f, 0x7F7F7F7F}, {10, 35, 20, 70, 0xFFFFFFFF},
      {10, 75, 20, 30, 0xFFFFFFFF}, {10, 35, 20, 70, 0x7F7F7F7F}, {10, 75, 20, 30, 0x7F7F7F7F},
      {0, 0, 40, 120, 0xFFFFFFFF}}},
    // Opacity 0.5 from a fade; a shown value above the maximum fills.
    {5, 12, 0.5f, false, {{20, 5, 20, 50.5f, 0x7F7F7F7F}, {10, 5, 20, 100, 0x7F7F7F7F}, {0, 0, 40, 120, 0x7F7F7F7F}}},
    {5, 5, 1, true, {{0, 0, 40, 120, 0xFFFFFFFF}}},
};

TEST_F(BarDrawing, LevelPiecesCutByTheShownValueAndGlowBelowATenth) {
    for (const CBarCase& c : kBarCases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value << " shown " << c.shown);
        bar->m_fValue = c.value;
        bar->m_fShownValue = c.shown;
        bar->m_fOpacity = c.opacity;
        bar->m_bAltFrame = c.altFrame;
        std::vector<CBox> boxes;
        for (const CQuad& q : Draw())
            if (q.bottom > q.top) boxes.push_back({q.left, q.top, q.right - q.left, q.bottom - q.top, q.colors[0]});
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_LE(bar->m_fShownValue, 10.0f);
    }
}

TEST_F(BarDrawing, ShownValueEasesWithoutOvershoot) {
    bar->m_fValue = 5.0f;
    manager->Tick(1.0, 0.033333);
    EXPECT_NEAR(bar->m_fShownValue, 0.149999f, 1e-6);
    for (int i = 0; i < 300; ++i) manager->Tick(1.0, 0.033333);
    EXPECT_GT(bar->m_fShownValue, 4.9f);
    EXPECT_LE(bar->m_fShownValue, 5.0f);
    EXPECT_NEAR(bar->m_fClock, 301 * 0.033333f, 1e-3);
}

struct CFadeCase {
    float fade, dialog, children;
};
constexpr CFadeCase kFades[] = {{0.25f, 0.5f, 0.0f}, {0.75f, 1.0f, 0.70710677f}, {-1.0f, 0.0f, 0.0f}, {3.0f, 1.0f, 1.0f}};

TEST_F(GameDrawing, DialogFadeReachesGameChildrenAndSkipsOthers) {
    ref_ptr<CMosarkDlg> dialog(dynamic_cast<CMosarkDlg*>(Create("CMosarkDlg").get()));
    dialog->CreateInLayer(manager.get(), nullptr, nullptr);
    const auto label = Place<CMosarkStatic>("CMosarkStatic", dialog, {0, 0, 10, 10});
    const auto grandchild = Place<CMosarkStatic>("CMosarkStatic", label, {0, 0, 5, 5});
    const auto widget = Make<CStatic>(dialog, {0, 0, 10, 10});
    for (const CFadeCase& c : kFades) {
        dialog->SetFade(c.fade);
        EXPECT_EQ(dialog->m_fOpacity, c.dialog) << c.fade;
        EXPECT_FLOAT_EQ(label->m_fOpacity, c.children) << c.fade;
    }
    EXPECT_EQ(grandchild->m_fOpacity, 1.0f);
    // No "dialog" object: 800 x 600 on the desktop.
    EXPECT_EQ(dialog->GetParent(), desktop);
    EXPECT_EQ(dialog->GetWindowRect(), (CRect{0, 0, 800, 600}));
    EXPECT_EQ(dialog->GetScreenCentre(), (CPoint{400, 300}));
    driver.GetParams().width = 801;
    EXPECT_EQ(dialog->GetScreenCentre().x, 400);
}

TEST_F(GameDrawing, DialogFrameFromTheLayerAtItsOpacityAndLastCommandKept) {
    const auto sprites = SprTestData::ReadSprFile(Tools::WriteSpr(Tools::MakeControlSprites()), "spr/frame.spr");
    Engine::Graphics::PlaceFile::CPlaceLayer layer(nullptr, nullptr);
    auto object = std::make_unique<Engine::Graphics::PlaceFile::CPlaceSpriteObject>(&layer, nullptr);
    object->Type = Engine::Graphics::PlaceFile::PLACE_SPRITE;
    object->Name = "dialog";
    object->Width = 180;
    object->Height = 60;
    object->Position = {200.0f, 100.0f};
    object->Pivot = {0.5f, 0.5f};
    object->Sprite = sprites->CreateSprite(*sprites->FindSprite("button"));
    layer.Objects.push_back(std::move(object));
    const auto host = Make<CProbe>(nullptr, {0, 0, 400, 300});
    ref_ptr<CMosarkDlg> dialog(dynamic_cast<CMosarkDlg*>(Create("CMosarkDlg").get()));
    dialog->CreateInLayer(manager.get(), &layer, host);
    EXPECT_EQ(dialog->GetParent(), host);
    EXPECT_EQ(dialog->GetWindowRect(), (CRect{110, 70, 290, 130}));
    EXPECT_FALSE(dialog->HasStyle(CS_VISIBLE));
    dialog->SetStyle(CS_VISIBLE | CS_CHILD);
    dialog->SetFade(0.25f);
    const auto quads = Draw();
    ASSERT_EQ(quads.size(), 1u);
    ExpectBox(quads[0], 110, 70, 180, 60);
    EXPECT_EQ(layer.Objects[0]->Color, 0x7FFFFFFFu);
    EXPECT_EQ(quads[0].colors[0], 0x7FFFFFFFu);
    // The last command is kept and still rises to the parent.
    for (int32_t id : {5, 7}) {
        const auto child = Place<CButton>("CMosarkButton", dialog, {0, 0, 10, 10}, CS_VISIBLE | CS_CHILD, id);
        host->seen.clear();
        CBaseControl::SendCommand(dialog, child, 0);
        EXPECT_EQ(dialog->m_nCommandId, id);
        EXPECT_EQ(host->Codes(), std::vector<uint32_t>{CE_COMMAND});
    }
}

struct CStaticCase {
    uint32_t style;
    uint32_t flags;
};
// top 1, bottom 2, left 4, right 8; centred both ways 0x21, always wrapped.
constexpr CStaticCase kPlacements[] = {
    {0, 0x61}, {0x1, 0x41}, {0x2, 0x51}, {0x3, 0x41}, {0x4, 0x60}, {0x8, 0x62}, {0xC, 0x60}, {0x30, 0x61},
};

TEST_F(GameDrawing, StaticPlacementFadeAndColour) {
    const auto label = Place<CMosarkStatic>("CMosarkStatic", desktop, {0, 0, 200, 50});
    for (const CStaticCase& c : kPlacements) {
        label->SetStyle(CS_VISIBLE | CS_CHILD | c.style);
        EXPECT_EQ(label->GetPlacementFlags(), c.flags) << c.style;
    }
    label->m_bFading = true;
    label->m_fFadeAlpha = 0.0f;
    label->m_fFadeSpeed = 2.0f;
    for (int i = 0; i < 15; ++i) manager->Tick(1.0, 0.033333);
    EXPECT_NEAR(label->m_fFadeAlpha, 0.99999f, 1e-6);
    manager->Tick(1.0, 0.033333);
    EXPECT_EQ(label->m_fFadeAlpha, 1.0f);
    // Red with its alpha byte ignored, at 0.5 x 0.4: alpha 51.
    label->m_fFadeAlpha = 0.4f;
    label->m_fOpacity = 0.5f;
    label->m_nColor = 0x000000FF;
    label->SetStyle(CS_VISIBLE | CS_CHILD | CStatic::SS_LEFT | CStatic::SS_TOP);
    label->m_ptTextOffset = {10, 5};
    label->SetFont(MakeFont());
    label->SetText("a");
    const auto quads = Draw();
    ASSERT_EQ(quads.size(), 1u);
    ExpectBox(quads[0], 10, 5, 10, 20);
    EXPECT_EQ(quads[0].colors[0], 0x330000FFu);
}

} // namespace
