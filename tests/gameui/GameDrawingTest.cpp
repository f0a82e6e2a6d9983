// What the game controls queue, as the quads the recording driver draws:
// the three-cell button in each state, the bar's pieces cut by the shown
// value, the dialog's frame at its opacity, and the fades.

#include <cmath>

#include "gameui/MosarkBar.h"
#include "gameui/MosarkButton.h"
#include "gameui/MosarkDlg.h"
#include "gameui/MosarkStatic.h"
#include "placefile/PlaceLayer.h"
#include "placefile/PlaceSpriteObject.h"
#include "tests/gameui/GameUiFixture.h"

using namespace GameUiTesting;

namespace {

class GameDrawing : public GameUiFixture {
protected:
    // Top-left texel of each quad in the demo image (270 x 300).
    std::vector<std::pair<float, float>> Texels() const {
        std::vector<std::pair<float, float>> texels;
        for (const auto& draw : DrawnVertices())
            for (size_t i = 0; i < draw.size(); i += 4) texels.emplace_back(draw[i].u * 270.0f, draw[i].v * 300.0f);
        return texels;
    }
};

enum class EInput { None, Hover, Press, Disable };

struct CButtonCase {
    uint32_t skin;
    EInput input;
    int32_t state;  // frame of the sprite
    float shift, captionY;
    uint32_t captionColor;
};

// Width 200 at opacity 0.5 (alpha 127); caption "ab", 20 wide, centred.
constexpr CButtonCase kButtonCases[] = {
    {0, EInput::None, 0, 0, 9, 0x7F8CDFFF},    {1, EInput::Hover, 1, 2, 11, 0x7FFFFFFF},
    {1, EInput::Press, 2, 2, 12, 0x7FFFFFFF},  {0, EInput::Press, 2, 0, 10, 0x7FFFFFFF},
    {0, EInput::Disable, 3, 0, 9, 0x7F8CDFFF}, {4, EInput::None, 0, 0, 0, 0x7F8CDFFF},
    {5, EInput::Press, 2, 0.6f, 1, 0x7FFFFFFF},
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
        const bool over = c.input == EInput::Hover || c.input == EInput::Press;
        Frame(over ? 100 : 500, 30, {uint8_t(c.input == EInput::Press), 0, 0});
        const auto boxes = Draw();
        const auto texels = Texels();
        ASSERT_EQ(boxes.size(), 5u);
        const float n = (c.skin & 4) ? 30.0f : 60.0f, column = (c.skin & 4) ? 180.0f : 0.0f;
        const float height = std::min(n, 60.0f - c.shift);  // clipped to the control
        const float lefts[] = {0, 200 - n, n}, widths[] = {n, n, 200 - 2 * n}, cells[] = {0, 2, 1};
        for (size_t i = 0; i < 3; ++i) {
            ExpectNear(boxes[i], {lefts[i], c.shift, widths[i], height, 0x7F7F7F7F});
            EXPECT_NEAR(texels[i].first, column + cells[i] * n, 0.05);
            EXPECT_NEAR(texels[i].second, float(c.state) * n, 0.05);
        }
        ExpectNear(boxes[3], {90, c.captionY, 10, 20, c.captionColor});
        Frame(500, 300);
        button->Destroy();
    }
}

struct CCheckCase {
    const char* name;
    uint32_t style, skin;
    CBox glyph;                     // queued after the caption
    std::pair<float, float> texel;  // the glyph's cell in the last frame
    float captionX, captionY;
};

// Buttons 200 x 60; the last frame of "button" starts 240 down ("button-mini":
// 120 down, in the column at 180). Caption "ab" left-aligned.
constexpr uint32_t kCheck = CButton::BS_CHECK, kRadio = CButton::BS_RADIO;
const CCheckCase kCheckCases[] = {
    {"Checked", kCheck | CS_CHECKED, 0, {0, 0, 60, 60, 0xFFFFFFFF}, {60, 240}, 55, 7},
    {"Unchecked", kCheck, 0, {0, 0, 60, 60, 0xFFFFFFFF}, {0, 240}, 55, 7},
    {"RadioCheckedShowsTheEmptyBox", kRadio | CS_CHECKED, 0, {0, 0, 60, 60, 0xFFFFFFFF}, {0, 240}, 55, 7},
    {"DisabledIsGrey", kCheck | CS_CHECKED | CS_DISABLED, 0, {0, 0, 60, 60, 0xFF808080}, {60, 240}, 55, 7},
    // x = 55 x 0.3 + 10, y = 7 x 0.3 + 3 - 6, both truncated.
    {"Small", kCheck | CS_CHECKED, CMosarkButton::SKIN_SMALL, {0, 0, 30, 30, 0xFFFFFFFF}, {210, 120}, 26, 0},
};

class GameCheckDrawing : public GameDrawing, public testing::WithParamInterface<CCheckCase> {};

TEST_P(GameCheckDrawing, GlyphFromTheLastFrameAndCaptionBesideIt) {
    const CCheckCase& c = GetParam();
    const auto button =
        Place<CMosarkButton>("CMosarkButton", desktop, {0, 0, 200, 60}, CS_VISIBLE | CS_CHILD | c.style);
    button->SetFont(MakeFont());
    button->SetText("ab");
    button->m_nSkinFlags = c.skin;
    Frame(500, 300);
    const auto boxes = Draw();
    const auto texels = Texels();
    // Caption glyphs, then the box: no frame pieces for a check-or-radio button.
    ASSERT_EQ(boxes.size(), 3u);
    ExpectNear(boxes[0], {c.captionX, c.captionY, 10, 20, 0xFF8CDFFF});
    ExpectNear(boxes[1], {c.captionX + 10, c.captionY, 10, 20, 0xFF8CDFFF});
    ExpectNear(boxes[2], c.glyph);
    EXPECT_NEAR(texels[2].first, c.texel.first, 0.05);
    EXPECT_NEAR(texels[2].second, c.texel.second, 0.05);
}

INSTANTIATE_TEST_SUITE_P(States, GameCheckDrawing, testing::ValuesIn(kCheckCases),
                         [](const auto& info) { return std::string(info.param.name); });

// "frame" 2 x (40 x 120), "level" 4 x (20 x 100), "flow" 2 x (20 x 101).
class BarDrawing : public GameDrawing {
protected:
    void SetUp() override {
        GameDrawing::SetUp();
        Tools::CSprDocument document;
        document.images.push_back({0, SprTestData::SolidPng(400, 200), {}, 0});
        int32_t x = 0;
        for (auto [name, count, w, h] : {std::tuple{"frame", 2, 40, 120}, {"level", 4, 20, 100}, {"flow", 2, 20, 101}}) {
            auto& sprite = document.sprites.emplace_back(Tools::CSprSprite{name, 0, 0, false, false, {}});
            for (int i = 0; i < count; ++i, x += w) sprite.frames.push_back(Tools::MakeSprFrame(0, x, 0, x + w, h));
        }
        file = SprTestData::ReadSprFile(Tools::WriteSpr(document), "spr/bar.spr");
        bar = Place<CMosarkBar>("CMosarkBar", desktop, {0, 0, 40, 120});
        bar->m_pFrameSprite = file->CreateSpriteByName("frame");
        bar->m_pLevelSprite = file->CreateSpriteByName("level");
        bar->m_pFlowSprite = file->CreateSpriteByName("flow");
        bar->m_fMaximum = 10.0f;
        bar->m_rcEmpty = bar->m_rcFull = {10, 5, 30, 105};
    }
    ref_ptr<Engine::Graphics::SprFile::CSprFile> file;
    ref_ptr<CMosarkBar> bar;
};

struct CBarCase {
    float value, shown, opacity;
    bool altFrame;
    std::vector<CBox> boxes;  // in drawing order, empty pieces left out
};

constexpr uint32_t kWhite = 0xFFFFFFFF, kHalf = 0x7F7F7F7F;
const CBarCase kBarCases[] = {
    // Flow, empty piece, full piece, frame.
    {5, 5, 1, false, {{20, 5, 20, 50.5f, kWhite}, {10, 55, 20, 50, kWhite}, {10, 55, 20, 50, kWhite}, {0, 0, 40, 120, kWhite}}},
    // Value 0 glows (w = 0.5): flow and level twice, the second at half alpha.
    {0, 3, 1, false,
     {{20, 5, 20, 50.5f, kWhite}, {20, 5, 20, 50.5f, kHalf}, {10, 35, 20, 70, kWhite}, {10, 75, 20, 30, kWhite},
      {10, 35, 20, 70, kHalf}, {10, 75, 20, 30, kHalf}, {0, 0, 40, 120, kWhite}}},
    // Opacity 0.5; a shown value above the maximum is the maximum.
    {5, 12, 0.5f, false, {{20, 5, 20, 50.5f, kHalf}, {10, 5, 20, 100, kHalf}, {0, 0, 40, 120, kHalf}}},
    {5, 5, 1, true, {{0, 0, 40, 120, kWhite}}},
};

TEST_F(BarDrawing, LevelPiecesCutByTheShownValueAndGlowBelowATenth) {
    for (const CBarCase& c : kBarCases) {
        bar->m_fValue = c.value;
        bar->m_fShownValue = c.shown;
        bar->m_fOpacity = c.opacity;
        bar->m_bAltFrame = c.altFrame;
        auto boxes = Draw();
        std::erase_if(boxes, [](const CBox& b) { return b.height <= 0; });
        EXPECT_EQ(boxes, c.boxes) << c.value << " " << c.shown;
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
}

// The flow scrolls by fmod(clock * 3, half the frame height), the product
// taken in double: at this clock a float product would give 0.3125.
TEST_F(BarDrawing, FlowScrollTakesTheClockTimesThreeInDouble) {
    bar->m_fValue = 5.0f;
    bar->m_fShownValue = 5.0f;
    bar->m_fClock = 100000.1f;
    Draw();
    const auto drawn = DrawnVertices();
    ASSERT_FALSE(drawn.empty());
    const float scroll = drawn[0][0].v - 0.01f;  // the recording driver's texture is 1 x 1: v counts texels
    EXPECT_NEAR(scroll, float(std::fmod(double(100000.1f) * 3.0, 50.0)), 1e-3);
    EXPECT_NEAR(scroll, 0.3046875f, 1e-3);
}

struct CFadeCase {
    float fade, dialog, children;
};
constexpr CFadeCase kFades[] = {{0.75f, 1.0f, 0.70710677f}, {-1.0f, 0.0f, 0.0f}, {3.0f, 1.0f, 1.0f}, {0.25f, 0.5f, 0.0f}};

// The layer's "dialog" object places the dialog under the given parent and
// is drawn at the dialog's opacity; the fade reaches game children only.
TEST_F(GameDrawing, DialogFrameFromTheLayerFadesWithItsGameChildren) {
    const auto sprites = SprTestData::ReadSprFile(Tools::WriteSpr(Tools::MakeControlSprites()), "spr/frame.spr");
    Engine::Graphics::PlaceFile::CPlaceLayer layer(nullptr, nullptr);
    auto& object = *layer.Objects.emplace_back(new Engine::Graphics::PlaceFile::CPlaceSpriteObject(&layer, nullptr));
    object.Type = Engine::Graphics::PlaceFile::PLACE_SPRITE;
    object.Name = "dialog";
    object.Width = 180;
    object.Height = 60;
    object.Position = {200.0f, 100.0f};
    object.Pivot = {0.5f, 0.5f};
    static_cast<Engine::Graphics::PlaceFile::CPlaceSpriteObject&>(object).Sprite =
        sprites->CreateSprite(*sprites->FindSprite("button"));
    const auto host = Make<CProbe>(nullptr, {0, 0, 400, 300});
    const auto dialog = Place<CMosarkDlg>("CMosarkDlg", nullptr, {});
    dialog->CreateInLayer(manager.get(), &layer, host);
    EXPECT_EQ(dialog->GetWindowRect(), (CRect{110, 70, 290, 130}));
    EXPECT_EQ(dialog->GetScreenCentre(), (CPoint{400, 300}));
    const auto label = Place<CMosarkStatic>("CMosarkStatic", dialog, {0, 0, 10, 10});
    Make<CStatic>(dialog, {0, 0, 10, 10});
    for (const CFadeCase& c : kFades) {
        dialog->SetFade(c.fade);
        EXPECT_EQ(dialog->m_fOpacity, c.dialog) << c.fade;
        EXPECT_FLOAT_EQ(label->m_fOpacity, c.children) << c.fade;
    }
    dialog->SetStyle(CS_VISIBLE | CS_CHILD);
    const auto boxes = Draw();
    ASSERT_FALSE(boxes.empty());
    ExpectNear(boxes[0], {110, 70, 180, 60, 0x7FFFFFFF});
    // The last command is kept and still rises to the parent.
    CBaseControl::SendCommand(dialog, Place("CMosarkButton", dialog, {0, 0, 10, 10}, CS_CHILD, 7), 0);
    EXPECT_EQ(dialog->m_nCommandId, 7);
    EXPECT_EQ(host->Codes().back(), uint32_t(CE_COMMAND));
}

TEST_F(GameDrawing, StaticTextFadesAndTakesOnlyTheColoursRgb) {
    const auto label = Place<CMosarkStatic>("CMosarkStatic", desktop, {0, 0, 200, 50});
    label->m_bFading = true;
    label->m_fFadeAlpha = 0.0f;
    label->m_fFadeSpeed = 12.0f;
    for (int i = 0; i < 3; ++i) manager->Tick(1.0, 0.033333);
    EXPECT_NEAR(label->m_fFadeAlpha, 1.0f, 1e-6);  // held at 1 from the third step
    // Red at 0.5 x 0.4: alpha 51; "left" and "right" together align left.
    label->m_fFadeAlpha = 0.4f;
    label->m_fOpacity = 0.5f;
    label->m_nColor = 0x000000FF;
    label->SetStyle(CS_VISIBLE | CS_CHILD | CStatic::SS_LEFT | CStatic::SS_RIGHT | CStatic::SS_TOP);
    label->m_ptTextOffset = {10, 5};
    label->SetFont(MakeFont());
    label->SetText("a");
    const auto boxes = Draw();
    ASSERT_EQ(boxes.size(), 1u);
    ExpectNear(boxes[0], {10, 5, 10, 20, 0x330000FF});
}

} // namespace
