// The big dialog's opening, the edit box, list, chapter path, pictures,
// place displays and slider: each made by class name, driven by the test
// clock and injected input, drawn through the recording driver.

#include "gameui/MosarkBasicPlaceDisplay.h"
#include "gameui/MosarkEdit.h"
#include "gameui/MosarkList.h"
#include "gameui/MosarkMaxiDlg.h"
#include "gameui/MosarkPath.h"
#include "gameui/MosarkPicButton.h"
#include "gameui/MosarkPic.h"
#include "gameui/MosarkPics.h"
#include "gameui/MosarkPlaceDisplay.h"
#include "gameui/MosarkSlider.h"
#include "gameui/MosarkStatic.h"
#include "app/Locale.h"
#include "app/Xml.h"
#include "placefile/PlaceFileManager.h"
#include "placefile/PlaceLayer.h"
#include "placefile/PlaceSpriteObject.h"
#include "tests/gameui/GameUiFixture.h"
#include "tools/PlaceWriter.h"

using namespace GameUiTesting;
namespace Place = Engine::Graphics::PlaceFile;

namespace {

class GameControlsII : public GameUiFixture {
protected:
    // A file of one sprite whose frames are w wide and h high.
    ref_ptr<Engine::Graphics::SprFile::CSprFile> Strip(const char* name, int frames, int32_t w, int32_t h) {
        return files.emplace_back(SprTestData::ReadSprFile(
            Tools::WriteSpr(SprTestData::StripDocument(name, std::vector<int32_t>(size_t(frames), w), h)), name));
    }
    // A sprite object at (x, y), pivot at the top-left.
    Place::CPlaceSpriteObject& AddSprite(Place::CPlaceLayer& layer, const char* name, float x, float y,
                                         Engine::Graphics::SprFile::CSprFile& file) {
        auto* object = static_cast<Place::CPlaceSpriteObject*>(
            layer.Objects.emplace_back(new Place::CPlaceSpriteObject(&layer, nullptr)).get());
        object->Type = Place::PLACE_SPRITE;
        object->Name = name;
        object->Position = {x, y};
        object->Sprite = file.CreateSprite(*file.FindSprite(file.GetName().c_str()));
        object->Width = object->Sprite->GetSpriteFrameWidth();
        object->Height = object->Sprite->GetSpriteFrameHeight();
        return *object;
    }
    std::vector<ref_ptr<Engine::Graphics::SprFile::CSprFile>> files;
};

CControlDescription Sized(int32_t width, int32_t height) {
    CControlDescription description;
    std::tie(description.width, description.height) = std::tuple{width, height};
    return description;
}

struct COpeningCase {
    float t;
    int32_t phase;
    float dialog, centre, far;
};
// t1 = 1, t2 = 2, t3 = 1, q = 0.25; the far child lies R = 146 from the centre.
constexpr COpeningCase kOpening[] = {
    {0.5f, 1, 0.5f, 0, 0}, {2.0f, 2, 0.5f, 0, 0}, {2.8f, 2, -1, 0.225f, 0}, {3.5f, 3, 1, 1, 0.125f}, {9, 3, 1, 1, 0.875f}};

TEST_F(GameControlsII, MaxiDialogOpensInThreePhasesRevealingChildrenFromTheCentre) {
    game->m_timings = {1, 2, 1, 0.25f};
    const auto dialog = Place<CMosarkMaxiDlg>("CMosarkMaxiDlg", desktop, {0, 0, 400, 400});
    const auto centre = Place<CMosarkStatic>("CMosarkStatic", dialog, {190, 190, 210, 210});
    const auto far = Place<CMosarkStatic>("CMosarkStatic", dialog, {190, 336, 210, 356});
    for (const COpeningCase& c : kOpening) {
        dialog->SetFade(c.t);
        EXPECT_EQ(dialog->m_nPhase, c.phase) << c.t;
        if (c.dialog >= 0) {
            EXPECT_FLOAT_EQ(dialog->m_fOpacity, c.dialog) << c.t;
        }
        EXPECT_NEAR(centre->m_fOpacity, c.centre, 1e-5) << c.t;
        EXPECT_NEAR(far->m_fOpacity, c.far, 1e-5) << c.t;
    }
    // Phases without length are over; a dialog too low for its band ignores
    // distance instead of dividing by it.
    game->m_timings = {0, -1, 0, 0};
    dialog->SetWindowRect(0, 0, 400, 100);
    dialog->SetFade(0.0f);
    EXPECT_EQ(dialog->m_nPhase, 3);
    EXPECT_EQ(far->m_fOpacity, 1.0f);
    app.game = nullptr;
    dialog->SetFade(0.0f);
    EXPECT_EQ(dialog->m_fOpacity, 1.0f);

    using namespace Engine::Reflection;
    EXPECT_ANY_THROW(CTypeRegistry::Instance().FindTypeByName("CMosarkMiniDlg")->CreateDefaultInstance());
    EXPECT_TRUE(Place<CMosarkDlg>("CMosarkMenuContinueGameDlg", nullptr, {})->IsMaxiDialog());
}

struct CUnrollCase {
    int frames;
    float t;  // -1: never faded
    std::vector<CBox> boxes;
};
// H = 400, band 54: rolled up the band centre is 173 and the body 54 high
// from 200; open the band is at the top and the body 346 high from 54.
const CUnrollCase kUnrolling[] = {
    {1, 0.5f, {{0, 146, 400, 54, 0x7FFFFFFF}, {0, 200, 400, 54, 0x7FFFFFFF}}},
    {1, -1, {{0, 0, 400, 54, 0xFFFFFFFF}, {0, 54, 400, 346, 0xFFFFFFFF}}},
    {2, 0.5f, {{0, 173, 400, 81, 0x7FFFFFFF}, {0, 146, 400, 54, 0x7FFFFFFF}}},
};

TEST_F(GameControlsII, MaxiDialogUnrollsItsBandAndBody) {
    game->m_timings = {1, 2, 1, 0.25f};
    for (const CUnrollCase& c : kUnrolling) {
        const auto sprites = Strip("scroll", c.frames, 400, 400);
        Place::CPlaceLayer layer(nullptr, nullptr);
        AddSprite(layer, "dialog", 0, 0, *sprites);
        const auto dialog = Place<CMosarkMaxiDlg>("CMosarkMaxiDlg", nullptr, {});
        dialog->CreateInLayer(manager.get(), &layer, desktop);
        dialog->SetStyle(CS_VISIBLE | CS_CHILD);
        if (c.t >= 0) dialog->SetFade(c.t);
        EXPECT_EQ(Draw(), c.boxes) << c.frames << " " << c.t;
        EXPECT_EQ(dialog->GetDescription()->sprite->GetFrame(), 0);
        dialog->Destroy();
    }
}

TEST_F(GameControlsII, EditTakesElevenCharactersInTheGamesColours) {
    const auto edit = Place<CMosarkEdit>("CMosarkEdit", nullptr, {});
    const CControlDescription description = Sized(200, 30);
    edit->CreateFromDescription(manager.get(), desktop, &description, nullptr, "", CS_VISIBLE | CS_CHILD, 0);
    edit->SetFont(MakeFont());
    manager->SetFocus(edit);
    Type(u"abcdeabcdeab\tx");
    EXPECT_EQ(edit->GetText(), "abcdeabcdea");
    edit->m_fOpacity = 0.5f;
    EXPECT_EQ(edit->GetTextColor(), 0x7FFFFFFFu);
    EXPECT_EQ(edit->GetSelectionColor(), 0x7F8D5503u);
    const auto boxes = Draw();
    EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(), [](const CBox& b) { return b.color == 0x7FFFFFFFu; }), 11);
}

TEST_F(GameControlsII, ListMarksTheCurrentRowAndDrawsSeparatorsInTheGamesColours) {
    game->m_globals["MOSARK_LIST_TEXT_COLOR"].word = 0xFF0000FF;
    game->m_globals["MOSARK_LIST_SELECT_TEXT_COLOR"].word = 0xFF00FF00;
    for (const uint32_t grid : {0u, uint32_t(CList::LS_GRID)}) {
        const auto list = Place<CMosarkList>("CMosarkList", nullptr, {});
        const CControlDescription description = Sized(100, 200);
        list->CreateFromDescription(manager.get(), desktop, &description, nullptr, "", CS_VISIBLE | CS_CHILD | grid, 0);
        EXPECT_EQ(list->m_textColor, (CMosarkList::Color{1, 0, 0, 1}));
        list->SetFont(MakeFont());
        list->SetCurrentItem(list->AddItem("ab"));
        list->AddItem("c");
        list->m_fOpacity = 0.5f;
        const auto boxes = Draw();
        const auto count = [&](auto pred) { return std::count_if(boxes.begin(), boxes.end(), pred); };
        ASSERT_FALSE(boxes.empty());
        ExpectNear(boxes[0], {0, 0, 100, 20, 0x7FFFFFFF});  // "edit-select", cut to the row
        EXPECT_EQ(count([](const CBox& b) { return b.color == 0x7F00FF00u; }), 2);
        EXPECT_EQ(count([](const CBox& b) { return b.color == 0x7F0000FFu; }), 1);
        EXPECT_EQ(count([](const CBox& b) { return b.height == 1 && b.width == 100; }), grid ? 2 : 0);
        list->Destroy();
    }
}

// With no rows yet (filled, not laid out) the list starts at item 0; the
// widget's own top index names no item until the layout runs.
TEST_F(GameControlsII, ListWithoutRowsStartsDrawingAtItemZero) {
    struct CShownList : CMosarkList {
        using CMosarkList::FirstDrawnItem;
    };
    ref_ptr<CShownList> list(new CShownList);
    list->AddItem("ab");
    list->AddItem("c");
    EXPECT_EQ(list->GetRowCount(), 0);
    EXPECT_EQ(list->FirstDrawnItem(), 0u);
    EXPECT_EQ(list->TopItemIndex(), 2u);
    const CControlDescription description = Sized(100, 200);
    list->CreateFromDescription(manager.get(), desktop, &description, nullptr, "", CS_VISIBLE | CS_CHILD, 0);
    list->GetScrollBar()->SetPos(1);
    list->UpdateLayout();
    EXPECT_EQ(list->FirstDrawnItem(), list->TopItemIndex());
    list->Destroy();
}

// A holder without "spr/controls.spr" fails the drawing with the controls'
// own text; the list looks the sprite up for every cell, so a list with no
// selected row fails too.
TEST_F(GameControlsII, ControlsWithoutTheirSpriteFileFailWithTheLocalLookupsText) {
    auto* files = game->GetResources().sprFiles;
    files->ReleaseSprFile(files->GetObjects().front());
    const auto list = Place<CMosarkList>("CMosarkList", nullptr, {});
    const CControlDescription description = Sized(100, 200);
    list->CreateFromDescription(manager.get(), desktop, &description, nullptr, "", CS_VISIBLE | CS_CHILD, 0);
    list->AddItem("ab");
    const auto slider = Place<CMosarkSlider>("CMosarkSlider", desktop, {0, 0, 200, 40});
    for (const ref_ptr<CBaseControl>& control : {ref_ptr<CBaseControl>(list), ref_ptr<CBaseControl>(slider)}) {
        CRenderContext context(&driver, {0, 0, 800, 600});
        try {
            control->Draw(context);
            ADD_FAILURE() << "drew without the file";
        } catch (const Engine::CException& e) {
            EXPECT_STREQ(e.what(), "Couldn't find spr file 'spr/controls.spr'");
        }
    }
    list->Destroy();
    slider->Destroy();
}

class PathFixture : public GameControlsII {
protected:
    void SetUp() override {
        GameControlsII::SetUp();
        path = Place<CMosarkPath>("CMosarkPath", desktop, {0, 0, 400, 300});
        markers = Strip("marker", 3, 10, 10);
        lines = Strip("line", 1, 101, 20);
        for (int i = 0; i < 3; ++i) {
            AddSprite(layer, ("line" + std::to_string(i)).c_str(), 10, 100 + 30 * float(i), *lines);
            path->m_nodes.push_back({{50 + 100 * float(i), 50, 0}, {}, {}, 0, 0});
        }
        marker = markers->CreateSprite(*markers->FindSprite("marker"));
        path->m_pNodeSprite = marker.get();
        path->m_pLineLayer = &layer;
        path->m_lineProgress = {1, 0.5f, 0};
        path->m_captionFade = {0, 0, 0};
        path->m_nNodeCount = 3;
        path->m_nCurrentNode = 1;
        path->m_nReachedNode = 1;
    }
    ref_ptr<Engine::Graphics::SprFile::CSprFile> markers, lines;
    std::unique_ptr<Engine::Graphics::SprFile::CSpriteRef> marker;
    Place::CPlaceLayer layer{nullptr, nullptr};
    ref_ptr<CMosarkPath> path;
};

// Line 1 at (10, 130), 101 x 20, half revealed from each edge.
const CBox kHalfLines[] = {{10, 130, 50, 20, 0xFFFFFFFF}, {10, 130, 101, 10, 0xFFFFFFFF},
                           {61, 130, 50, 20, 0xFFFFFFFF}, {10, 140, 101, 10, 0xFFFFFFFF}};

TEST_F(PathFixture, ProgressRevealsTheCurrentLineFromItsEdge) {
    for (int32_t direction = 0; direction < 4; ++direction) {
        path->m_lineDirection[1] = direction;
        // The line before whole, the current one half; markers after them,
        // the current one still hidden at p = 0.5, the next one too.
        const auto boxes = Draw();
        ASSERT_GE(boxes.size(), 5u);
        EXPECT_EQ(std::vector<CBox>(boxes.begin(), boxes.begin() + 5),
                  (std::vector<CBox>{{10, 100, 101, 20, 0xFFFFFFFF}, kHalfLines[direction], {50, 50, 10, 10, 0xFFFFFFFF},
                                     {150, 50, 10, 10, 0x00FFFFFF}, {250, 50, 10, 10, 0x00FFFFFF}}));
    }
    path->m_lineProgress[1] = 0.75f;
    EXPECT_EQ(Draw()[3].color, 0x7FFFFFFFu);
    EXPECT_EQ(path->m_nHoverNode, 1);
    EXPECT_EQ(path->m_ptCaptionScreenPos, (CPoint{150, 50}));
    // Choice mode: every line at its own value as alpha.
    path->m_nMode = CMosarkPath::MODE_CHOICE;
    const auto boxes = Draw();
    EXPECT_EQ(boxes[1], (CBox{10, 130, 101, 20, 0xBFFFFFFF}));
    EXPECT_EQ(boxes[2], (CBox{10, 160, 101, 20, 0x00FFFFFF}));
}

TEST_F(PathFixture, UpdateRevealsAtTheLineSpeedAndArmsTheSparkleOnce) {
    game->m_particleFiles.push_back(game->GetResources().particleFiles->GetVexaFile("vexa/map_line.vexa"));
    path->m_lineProgress = {1, 0, 0};
    path->m_bRunning = true;
    path->m_lineSpeed[1] = 2.0f;
    manager->Tick(1.0, 0.0001);
    EXPECT_FALSE(path->m_bEmitterStarted);
    for (int i = 0; i < 9; ++i) manager->Tick(1.0, 0.05);
    EXPECT_NEAR(path->m_lineProgress[1], 0.9002f, 1e-4);
    EXPECT_EQ(path->m_lineProgress[2], 0.0f);
    EXPECT_TRUE(path->m_emitterPending[1]);
    Draw();
    EXPECT_FALSE(path->m_emitterPending[1]);
    ASSERT_TRUE(path->m_pCaptionEmitter);
    path->m_nCurrentNode = 2;
    for (int i = 0; i < 30; ++i) manager->Tick(1.0, 0.05);
    EXPECT_FALSE(path->m_emitterPending[2]);
}

struct CPickCase {
    int32_t x, y;
    int32_t chosen, hovered;
};
// Node 0 at (50, 50), node 1 at (150, 50); node 2 is the last, never picked.
constexpr CPickCase kPicks[] = {
    {69, 50, 0, 0}, {70, 50, -1, 0}, {150, 89, -1, 1}, {250, 50, -1, -1}, {111, 50, -1, 1}, {500, 500, -1, -1}};

TEST_F(PathFixture, ChoiceModePicksANodeWithinTheRadius) {
    path->m_nMode = CMosarkPath::MODE_CHOICE;
    path->m_bInputEnabled = true;
    path->m_nReachedNode = 2;
    for (const CPickCase& c : kPicks) {
        path->m_nChosenNode = path->m_nHoverNode = -1;
        Click(c.x, c.y);
        EXPECT_EQ(path->m_nChosenNode, c.chosen) << c.x << "," << c.y;
        EXPECT_EQ(path->m_nHoverNode, c.hovered) << c.x << "," << c.y;
    }
    path->m_bInputEnabled = false;
    Click(50, 50);
    EXPECT_EQ(path->m_nChosenNode, -1);
}

namespace {

struct CCaptionSideCase {
    const char* name;
    int32_t side;  // 0 right of the node, else left
    std::vector<float> titleLefts, textLefts;
};

// Node 1 at (150, 50): the caption box is 400 wide, 25 beside the node;
// on the left its text ends at 125.
const CCaptionSideCase kCaptionSides[] = {
    {"Right", 0, {175, 185}, {175, 185, 195}},
    {"Left", 1, {105, 115}, {95, 105, 115}},
};

class PathCaptions : public PathFixture, public testing::WithParamInterface<CCaptionSideCase> {
protected:
    void SetUp() override {
        PathFixture::SetUp();
        LoadLocale("<string key=\"CHAPTER_2\">ab</string><string key=\"CHAPTER_TEXT_2\">abc</string>");
        game->m_pHeadingFont = game->m_pBodyFont = MakeFont();
    }
    void TearDown() override {
        LoadLocale("");
        PathFixture::TearDown();
    }
    static void LoadLocale(const std::string& strings) {
        const std::string xml = "<locales default=\"en\"><locale name=\"en\">" + strings + "</locale></locales>";
        Engine::CMemoryFile file(std::vector<uint8_t>(xml.begin(), xml.end()));
        Engine::GetLocaleManager().Load(*Engine::ParseXML(file, "xml/Locale.xml"));
    }
};

} // namespace

TEST_P(PathCaptions, CaptionSitsOnItsSideOfTheNodeAlignedAwayFromIt) {
    path->m_nMode = CMosarkPath::MODE_CHOICE;
    path->m_nHoverNode = 1;
    path->m_captionFade = {0, 1, 0};
    path->m_captionSide[1] = GetParam().side;
    std::vector<float> title, text;
    for (const CBox& box : Draw()) {
        if (box.width != 10 || box.height != 20) continue;
        EXPECT_EQ(box.color, 0xFFFFFFFFu);
        (box.top == 30 ? title : text).push_back(box.left);
        if (box.top != 30) {
            EXPECT_EQ(box.top, 55);
        }
    }
    EXPECT_EQ(title, GetParam().titleLefts);
    EXPECT_EQ(text, GetParam().textLefts);
}

INSTANTIATE_TEST_SUITE_P(Sides, PathCaptions, testing::ValuesIn(kCaptionSides),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct CMarkCase {
    const char* name;
    int32_t firstIndex;
    std::vector<std::pair<float, float>> marks;  // top-left of each mark drawn
};

// Pictures 1, 7 and 12 marked (12 beyond the reached 10); each mark 30 right
// of and 20 above its cell's anchor, in its own colour at any opacity.
const CMarkCase kMarkCases[] = {
    {"FirstPage", 0, {{190, 12}, {300, 87}, {300, 162}}},
    {"Scrolled", 5, {{300, 12}, {300, 87}}},
    {"BeforeTheFirstPicture", -3, {{520, 12}, {80, 162}, {80, 237}}},
};

class PictureMarks : public GameControlsII, public testing::WithParamInterface<CMarkCase> {};

} // namespace

TEST_P(PictureMarks, MarkedCellsCarryTheMarkInItsOwnColour) {
    const auto sprites = Strip("pics", 12, 20, 20);
    const auto pictures = sprites->CreateSprite(*sprites->FindSprite("pics"));
    const auto markFile = Strip("mark", 1, 8, 8);
    const auto mark = markFile->CreateSprite(*markFile->FindSprite("mark"));
    for (uint32_t& color : mark->GetTemplate().colors) color = 0xFF00FF00;
    const auto pics = Place<CMosarkPics>("CMosarkPics", desktop, {0, 0, 800, 600});
    pics->m_pPictures = pictures.get();
    pics->m_nFirstIndex = GetParam().firstIndex;
    pics->m_nSelectedIndex = -1;
    pics->m_fOpacity = 0.5f;
    pics->m_marks = {0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const auto marksDrawn = [&] {
        std::vector<std::pair<float, float>> drawn;
        for (const CBox& box : Draw())
            if (box.width == 8 && box.height == 8) {
                EXPECT_EQ(box.color, 0xFF00FF00u);
                drawn.emplace_back(box.left, box.top);
            }
        return drawn;
    };
    EXPECT_TRUE(marksDrawn().empty()) << "no mark sprite, no marks";
    pics->m_pMarkSprite = mark.get();
    EXPECT_EQ(marksDrawn(), GetParam().marks);
}

INSTANTIATE_TEST_SUITE_P(Pages, PictureMarks, testing::ValuesIn(kMarkCases),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

enum class EPicInput { None, Hover, Press, Disable, DisableHover };

struct CPicButtonCase {
    const char* name;
    uint32_t skin;
    EPicInput input;
    int32_t frame;
    float captionX, captionY;  // of the caption's first glyph
};

// A 3-frame picture of 40 x 30 at (100, 100), opacity 0.5; caption "ab"
// centred over the 40 pixels, at (5, 6) or, pressed, (7, 8).
const CPicButtonCase kPicButtonCases[] = {
    {"Normal", CMosarkPicButton::SKIN_CAPTION, EPicInput::None, 0, 115, 106},
    {"Hovered", CMosarkPicButton::SKIN_CAPTION, EPicInput::Hover, 1, 115, 106},
    {"Pressed", CMosarkPicButton::SKIN_CAPTION, EPicInput::Press, 2, 117, 108},
    {"DisabledShowsTheNormalFrame", CMosarkPicButton::SKIN_CAPTION, EPicInput::Disable, 0, 115, 106},
    {"DisabledHovered", 0, EPicInput::DisableHover, 1, -1, -1},
    {"TwoStateEnabledPressed", CMosarkPicButton::SKIN_TWO_STATE, EPicInput::Press, 0, -1, -1},
    {"TwoStateDisabled", CMosarkPicButton::SKIN_TWO_STATE, EPicInput::DisableHover, 1, -1, -1},
};

class PicButtonDrawing : public GameControlsII, public testing::WithParamInterface<CPicButtonCase> {};

} // namespace

TEST_P(PicButtonDrawing, FrameByStateAndAnOpaqueCaption) {
    const CPicButtonCase& c = GetParam();
    const auto strip = Strip("picture", 3, 40, 30);
    const auto picture = strip->CreateSprite(*strip->FindSprite("picture"));
    const auto button = Place<CMosarkPicButton>("CMosarkPicButton", desktop, {100, 100, 140, 130});
    EXPECT_TRUE(Draw().empty()) << "nothing without a picture";
    button->m_pPicture = picture.get();
    button->m_nSkinFlags = c.skin;
    button->m_fOpacity = 0.5f;
    button->m_captionOffset = {5, 6};
    button->m_pressedCaptionOffset = {7, 8};
    button->SetFont(MakeFont());
    button->SetText("ab");
    if (c.input == EPicInput::Disable || c.input == EPicInput::DisableHover)
        button->SetStyle(button->GetStyle() | CS_DISABLED);
    const bool over = c.input == EPicInput::Hover || c.input == EPicInput::Press || c.input == EPicInput::DisableHover;
    Frame(over ? 120 : 500, over ? 115 : 500, {uint8_t(c.input == EPicInput::Press), 0, 0});
    const auto boxes = Draw();
    ASSERT_EQ(boxes.size(), c.captionX < 0 ? 1u : 3u);
    EXPECT_EQ(boxes[0], (CBox{100, 100, 40, 30, 0x7F7F7F7F}));
    EXPECT_EQ(picture->GetFrame(), c.frame);
    if (c.captionX < 0) return;
    EXPECT_EQ(boxes[1], (CBox{c.captionX, c.captionY, 10, 20, 0xFFFFFFFF}));
    EXPECT_EQ(boxes[2], (CBox{c.captionX + 10, c.captionY, 10, 20, 0xFFFFFFFF}));
}

INSTANTIATE_TEST_SUITE_P(States, PicButtonDrawing, testing::ValuesIn(kPicButtonCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GameControlsII, SliderShowsItsSecondFrameWhileFocused) {
    const auto slider = Place<CMosarkSlider>("CMosarkSlider", desktop, {0, 0, 200, 35});
    const auto rows = [&] {
        Draw();
        std::vector<float> v;
        for (const auto& draw : DrawnVertices())
            for (size_t i = 0; i < draw.size(); i += 4) v.push_back(draw[i].v);
        return v;
    };
    const std::vector<float> unfocused = rows();
    manager->SetFocus(slider);
    const std::vector<float> focused = rows();
    ASSERT_EQ(unfocused.size(), 4u);
    ASSERT_EQ(focused.size(), 4u);
    // Every piece moves down by one frame, 35 texels, the same for all.
    const float frame = focused[0] - unfocused[0];
    EXPECT_GT(frame, 0.0f);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(unfocused[i], unfocused[0]);
        EXPECT_NEAR(focused[i] - unfocused[i], frame, 1e-6);
    }
    manager->SetFocus(desktop);
    EXPECT_EQ(rows(), unfocused);
}

TEST_F(GameControlsII, PicturesShowReachedCellsAndSelectTheClickedOne) {
    const auto sprites = Strip("pics", 12, 20, 20);
    const auto pictures = sprites->CreateSprite(*sprites->FindSprite("pics"));
    const auto pics = Place<CMosarkPics>("CMosarkPics", desktop, {0, 0, 800, 600});
    pics->m_pPictures = pictures.get();
    pics->m_nPicsFlags = CMosarkPics::PICS_CLICKABLE;
    const auto boxes = Draw();
    const auto sized = [&](float w) { return std::count_if(boxes.begin(), boxes.end(), [w](const CBox& b) { return b.width == w; }); };
    EXPECT_EQ(sized(20), 11);  // pictures 0 .. 10
    EXPECT_EQ(sized(100), 15);  // 14 unknown cells and the selection
    ExpectNear(boxes.back(), {50, 107, 100, 64, 0xFFFFFFFF});
    EXPECT_EQ(pics->m_ptSelectedScreenPos, (CPoint{50, 107}));
    for (const auto& [x, y, selected] : {std::tuple{100, 32, 0}, {101, 32, 0}, {160, 32, 1}, {270, 182, 1}, {380, 107, 8}}) {
        Click(x, y);
        EXPECT_EQ(pics->m_nSelectedIndex, selected) << x << "," << y;
    }
    pics->m_nPicsFlags = 0;
    Click(50, 32);
    EXPECT_EQ(pics->m_nSelectedIndex, 8);
    // One picture: its own alpha times the opacity; the frame wraps.
    pics->Destroy();
    const auto pic = Place<CMosarkPic>("CMosarkPic", desktop, {30, 40, 100, 100});
    pic->m_pPicture = pictures.get();
    pic->m_nPictureFrame = 13;
    pic->m_fPictureAlpha = 0.5f;
    EXPECT_EQ(Draw(), (std::vector<CBox>{{30, 40, 20, 20, 0x7FFFFFFF}}));
    EXPECT_EQ(pictures->GetFrame(), 1);
}

class PlaceDisplay : public GameControlsII {
protected:
    // Layers: "base" (a sprite at (5, 7)), "upper" (one at (30, 7)),
    // "highlight" (one at (60, 7)); each 10 x 8.
    ref_ptr<Place::CPlaceFile> LoadPlace(uint32_t upperType = 1) {
        const auto spr = Tools::WriteSpr(SprTestData::StripDocument("pic", {10}, 8));
        folder.Write("spr/pic.spr", std::string(spr.begin(), spr.end()));
        Tools::CPlaceDocument doc;
        doc.spriteFiles = {{"spr/pic.spr", {{1, "pic"}}}};
        const auto sprite = [](const char* name, float x, uint32_t type = 1) {
            Tools::CPlaceObjectDoc o;
            std::tie(o.type, o.name, o.width, o.height, o.x, o.y, o.spriteId) = std::tuple{type, name, 10, 8, x, 7.0f, 1};
            return o;
        };
        doc.layers = {{"base", 0, 0, {}, {sprite("a", 5)}}, {"upper", 0, 0, {}, {sprite("b", 30, upperType)}},
                      {"highlight", 0, 0, {}, {sprite("c", 60)}}};
        const auto bytes = Tools::WritePlace(doc);
        const std::string name = "place/shelf" + std::to_string(upperType) + ".place";
        folder.Write(name, std::string(bytes.begin(), bytes.end()));
        return Place::CPlaceFile::Load(*places, name.c_str(), true);
    }
    ref_ptr<Place::CPlaceFileManager> places{new Place::CPlaceFileManager(&driver)};
    void SetUp() override {
        GameControlsII::SetUp();
        display = Place<CMosarkPlaceDisplay>("CMosarkPlaceDisplay", desktop, {0, 0, 400, 300});
    }
    ref_ptr<CMosarkPlaceDisplay> display;
};

TEST_F(PlaceDisplay, DrawsFlaggedLayersScaledAndOffsetAndFadesTheUpperOnes) {
    EXPECT_TRUE(Draw().empty());
    display->m_pPlaceFile = LoadPlace();
    display->m_fScale = 2.0f;
    display->m_fOffsetX = 10.0f;
    display->m_fOffsetY = 20.0f;
    display->m_layerFlags = {true, true};  // the last layer's flag is missing: hidden
    display->m_bHighlight = true;
    display->m_fFadeLevel = 0.5f;
    EXPECT_EQ(Draw(), (std::vector<CBox>{{20, 34, 20, 16, 0xFFFFFFFF}, {70, 34, 20, 16, 0xBFFFFFFF},
                                         {130, 34, 20, 16, 0x7FFFFFFF}}));
    // A spline where a sprite should be: an error, and blending is off again.
    display->m_pPlaceFile = LoadPlace(2);
    EXPECT_THROW(Draw(), Engine::CException);
    const auto last = std::find_if(driver.calls.rbegin(), driver.calls.rend(), [](const auto& c) { return c.name == "gSwitch"; });
    ASSERT_NE(last, driver.calls.rend());
    EXPECT_EQ(last->args, (std::vector<double>{3, 0}));
}

TEST_F(PlaceDisplay, BasicDisplayDrawsTheWholePlaceFileAtTheContextsOrigin) {
    display->Destroy();
    const auto basic = Place<CMosarkBasicPlaceDisplay>("CMosarkBasicPlaceDisplay", desktop, {100, 100, 300, 300});
    EXPECT_TRUE(Draw().empty());
    basic->m_pPlaceFile = LoadPlace();
    EXPECT_EQ(Draw(), (std::vector<CBox>{{5, 7, 10, 8, 0xFFFFFFFF}, {30, 7, 10, 8, 0xFFFFFFFF}, {60, 7, 10, 8, 0xFFFFFFFF}}));
}

TEST_F(PlaceDisplay, FadeRingsOnceWhenItPassesZero) {
    samples->AddObject(sounds.emplace_back(new CFakeSample("ogg/ring_particles.ogg")));
    float rate = 1.0f;
    std::memcpy(&game->m_globals["MOSARK_ARTIFACT_FADE_FPS"].word, &rate, 4);
    display->m_bFadeRunning = display->m_bRingPending = true;
    display->m_fFadeLevel = -0.5f;
    for (int i = 0; i < 12; ++i) manager->Tick(1.0, 1.0 / 30.0);
    EXPECT_EQ(Plays(2), 0u);
    for (int i = 0; i < 60; ++i) manager->Tick(1.0, 1.0 / 30.0);
    EXPECT_EQ(Plays(2), 1u);
    EXPECT_EQ(display->m_fFadeLevel, 1.0f);
    EXPECT_FALSE(display->m_bRingPending);
    // A click plays only with click effects on.
    Click(20, 20);
    EXPECT_EQ(Plays(0), 0u);
    display->m_bClickEffects = true;
    Click(20, 20);
    EXPECT_EQ(Plays(0), 1u);
}

TEST_F(GameControlsII, SliderMovesByKeysAndDragAndDrawsItsTrack) {
    const auto slider = Place<CMosarkSlider>("CMosarkSlider", desktop, {0, 0, 200, 35});
    EXPECT_EQ(slider->GetClientRect(), (CRect{0, 0, 210, 45}));
    manager->SetFocus(slider);
    Key(KEY_RIGHT);
    Key(KEY_RIGHT);
    EXPECT_EQ(slider->GetPos(), 2);
    const int32_t before = slider->GetThumbOffset();
    Frame(100, 20, {1, 0, 0});
    const int32_t grabbed = slider->GetThumbOffset();
    Frame(150, 20, {1, 0, 0});
    Frame(150, 20);
    EXPECT_GT(grabbed, before);
    EXPECT_EQ(slider->GetThumbOffset(), grabbed + 50);
    slider->m_fOpacity = 0.5f;
    // The right end is cut at the window's edge.
    EXPECT_EQ(Draw(), (std::vector<CBox>{{5, 0, 35, 35, 0x7FFFFFFF}, {170, 0, 30, 35, 0x7FFFFFFF},
                                         {40, 0, 130, 35, 0x7FFFFFFF},
                                         {float(slider->GetThumbOffset()) + 15, 0, 35, 35, 0x7FFFFFFF}}));
    // Disabled, keys reach the base control only; the cursor is still set.
    slider->SetStyle(slider->GetStyle() | CS_DISABLED);
    const int32_t position = slider->GetPos();
    Key(KEY_RIGHT);
    EXPECT_EQ(slider->GetPos(), position);
    EXPECT_TRUE(slider->OnSetCursor());
    EXPECT_EQ(manager->GetCursor(), 12);
}

} // namespace
