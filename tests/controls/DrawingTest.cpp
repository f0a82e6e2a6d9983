// The standard look through the sprite queue and the recording driver:
// edges, caption, frames and the progress bar.

#include "controls/ControlDescription.h"
#include "controls/ControlsDrawing.h"
#include "controls/DrawSpriteAt.h"
#include "controls/ProgressBar.h"
#include "tests/controls/ControlsFixture.h"
#include "placefile/PlaceFileManager.h"
#include "placefile/PlaceSpriteObject.h"
#include "tests/app/TestFiles.h"
#include "tests/graphics/SprFileTestData.h"
#include "tools/PlaceWriter.h"

using namespace ControlsTesting;

namespace {

constexpr uint32_t kShadow = 0xFF808080, kWhite = 0xFFFFFFFF, kDarkShadow = 0xFF404040, kFace = 0xFFC8D0D4;
constexpr uint32_t kCaptionDark = 0xFF6A240A, kCaptionLight = 0xFFEFC9A5;

class Drawing : public ControlsFixture {
protected:
    CRenderContext Context() { return CRenderContext(&driver, {0, 0, 800, 600}); }
    // Horizontal extent of the quads of each draw call.
    std::vector<std::pair<float, float>> CallSpans() const {
        std::vector<std::pair<float, float>> spans;
        for (const auto& v : DrawnVertices()) {
            float lo = 1e9f, hi = -1e9f;
            for (const auto& vertex : v) lo = std::min(lo, vertex.x), hi = std::max(hi, vertex.x);
            spans.push_back({lo, hi});
        }
        return spans;
    }
};

} // namespace

TEST_F(Drawing, SunkenEdgeDrawsEightLinesAndAMiddleShrunkByTwo) {
    auto context = Context();
    manager->GetDrawing()->DrawEdge(context, 0, 0, 20, 10, 0xA, 0x80F);
    EXPECT_EQ(Boxes(), (std::vector<CBox>{{0, 0, 20, 1, kShadow}, {0, 0, 1, 10, kShadow}, {19, 0, 1, 10, kWhite},
                                          {1, 1, 18, 1, kDarkShadow}, {1, 1, 1, 8, kDarkShadow}, {18, 1, 1, 8, kFace},
                                          {2, 2, 16, 6, kFace}, {1, 8, 18, 1, kFace}, {0, 9, 20, 1, kWhite}}));
}

TEST_F(Drawing, EdgeFillRulesForEmptyDoubledAndFlatEdges) {
    struct CCase {
        uint32_t type, flags;
        size_t quads;
    };
    for (const CCase& c : {CCase{0, 0xF, 0}, CCase{0xF, 0x80F, 0}, CCase{0x3, 0x80F, 0}, CCase{0xF, 0x480F, 9}}) {
        driver.Clear();
        auto context = Context();
        manager->GetDrawing()->DrawEdge(context, 0, 0, 20, 10, c.type, c.flags);
        EXPECT_EQ(Quads().size(), c.quads) << std::hex << c.type << " " << c.flags;
    }
    EXPECT_EQ(Boxes()[6], (CBox{2, 2, 16, 6, kFace}));  // flat: the middle shrinks by both layers
}

TEST_F(Drawing, FramedWindowDrawsWhiteBorderLinesAndTheCaptionGradient) {
    auto window = Make(nullptr, {10, 20, 110, 70}, CS_VISIBLE | CS_BORDER | CS_CAPTION);
    auto context = Context();
    desktop->Draw(context);
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_EQ(boxes[0], (CBox{10, 20, 100, 1, kWhite}));
    EXPECT_EQ(boxes[3], (CBox{11, 21, 98, 18, kCaptionDark}));
    const auto quads = Quads();
    const auto caption = std::find_if(quads.begin(), quads.end(), [](const CQuad& q) { return q.colors[0] == kCaptionDark; });
    ASSERT_NE(caption, quads.end());
    // Vertex order top-left, top-right, bottom-right, bottom-left: dark on the left.
    EXPECT_EQ(std::vector<uint32_t>(caption->colors, caption->colors + 4),
              (std::vector<uint32_t>{kCaptionDark, kCaptionLight, kCaptionLight, kCaptionDark}));
}

TEST_F(Drawing, ButtonFaceAndCaptionButtonMeasureWithoutAFont) {
    auto context = Context();
    manager->GetDrawing()->DrawButton(context, 0, 0, 10, 10, true);
    EXPECT_EQ(Boxes().front(), (CBox{0, 0, 9, 1, 0xFF000000}));  // pressed: dark top-left
    CRect box{5, 5, 50, 50};
    manager->GetDrawing()->DrawFrameControl(nullptr, box, CControlsDrawing::DFC_BUTTON, 0x2004);
    EXPECT_EQ(box, (CRect{0, 0, 0, 10}));
}

TEST_F(Drawing, ChildrenAreClippedToTheirParentAndTheFocusOwnerShowsItsRectangle) {
    auto parent = Make(nullptr, {0, 0, 100, 100}, CS_VISIBLE | CS_CHILD | CS_BORDER);
    auto child = Make(parent, {80, 80, 140, 140}, CS_VISIBLE | CS_CHILD | CS_BORDER);
    child->SetFocusRect({0, 0, 10, 10});
    manager->SetFocus(child);
    manager->Tick(0.5, 1.0 / 30.0);
    auto context = Context();
    desktop->Draw(context);
    const auto quads = Quads();
    // The child's top border line is cut at the parent's client edge.
    const auto top = std::find_if(quads.begin(), quads.end(), [](const CQuad& q) { return q.left == 81 && q.top == 81 && q.bottom == 82; });
    ASSERT_NE(top, quads.end());
    EXPECT_EQ(top->right, 99);
    // The focus rectangle is one sprite of its size, at the client origin.
    const auto inFocus = [](const CQuad& q) {
        return q.colors[0] == 0xFF000000 && q.left >= 82 && q.top >= 82 && q.right <= 92 && q.bottom <= 92;
    };
    EXPECT_EQ(std::count_if(quads.begin(), quads.end(), inFocus), 1);
    const auto focus = std::find_if(quads.begin(), quads.end(), inFocus);
    ASSERT_NE(focus, quads.end());
    EXPECT_EQ(std::vector<float>({focus->left, focus->top, focus->right, focus->bottom}),
              (std::vector<float>{82, 82, 92, 92}));
}

namespace {

// The focus owner is marked also when the context keeps it from being drawn
// itself: only another subtree drawn, or the owner or its parent left out.
enum class FocusSelection { OnlyInsideOther, LeftOutOwner, LeftOutParent };

const char* FocusSelectionName(FocusSelection selection) {
    static const char* const kNames[] = {"OnlyInsideOther", "LeftOutOwner", "LeftOutParent"};
    return kNames[int(selection)];
}

class FocusMarkDrawing : public Drawing, public testing::WithParamInterface<FocusSelection> {};

} // namespace

TEST_P(FocusMarkDrawing, TheOwnerNotDrawnItselfStillShowsItsRectangle) {
    auto parent = Make(nullptr, {0, 0, 100, 100});
    auto owner = Make(parent, {20, 20, 60, 60}, CS_VISIBLE | CS_CHILD | CS_BORDER);
    auto other = Make(nullptr, {200, 200, 300, 300});
    owner->SetFocusRect({0, 0, 10, 10});
    manager->SetFocus(owner);
    manager->Tick(0.5, 1.0 / 30.0);
    auto context = Context();
    switch (GetParam()) {
    case FocusSelection::OnlyInsideOther: context.m_pOnlyInside = other; break;
    case FocusSelection::LeftOutOwner: context.m_pLeftOut = owner; break;
    case FocusSelection::LeftOutParent: context.m_pLeftOut = parent; break;
    }
    desktop->Draw(context);
    // No border line of the owner: only the rectangle, at its client origin.
    EXPECT_EQ(Boxes(), (std::vector<CBox>{{21, 21, 10, 10, 0xFF000000}}));
}

INSTANTIATE_TEST_SUITE_P(Selections, FocusMarkDrawing,
                         testing::Values(FocusSelection::OnlyInsideOther, FocusSelection::LeftOutOwner,
                                         FocusSelection::LeftOutParent),
                         [](const auto& info) { return std::string(FocusSelectionName(info.param)); });

class ProgressBarDrawing : public Drawing, public testing::WithParamInterface<std::tuple<int, int, int, int>> {};

TEST_P(ProgressBarDrawing, FilledAndEmptyPiecesSplitTheWidth) {
    const auto [frames, minimum, maximum, value] = GetParam();
    auto file = SprTestData::ReadSprFile(
        Tools::WriteSpr(SprTestData::StripDocument("bar", std::vector<int32_t>(size_t(frames), 10), 8)), "spr/bar.spr",
        false, nullptr, &driver);
    file->CreateTextures();
    CControlDescription description{200, 8, 0, 0, 0, 0, {}, file->CreateSpriteByName("bar"), 0xFFFFFFFF};
    ref_ptr<CProgressBar> bar(new CProgressBar);
    bar->CreateFromDescription(manager.get(), desktop, &description, nullptr, "", CS_VISIBLE, 0);
    bar->SetRange(minimum, maximum);
    bar->SetPos(value);
    driver.Clear();
    auto context = Context();
    bar->Draw(context);
    const float fill = float(GetProgressFillWidth(*bar, 200));
    std::vector<std::pair<float, float>> expected;
    if (frames == 2) expected = {{0, fill}, {fill, 200}};
    if (frames == 1) expected = {{0, fill}};
    if (fill == 200 && frames == 2) expected.pop_back();  // an empty second piece draws nothing
    EXPECT_EQ(CallSpans(), expected);
}

INSTANTIATE_TEST_SUITE_P(Frames, ProgressBarDrawing,
                         testing::Values(std::make_tuple(2, 0, 100, 25), std::make_tuple(1, 0, 100, 25),
                                         std::make_tuple(2, 50, 50, 7), std::make_tuple(3, 0, 100, 25)));

TEST(ProgressBar, FillWidthIsUnclampedAndSafeFromOverflow) {
    CProgressBar bar;
    bar.SetPos(-10);
    EXPECT_EQ(GetProgressFillWidth(bar, 100), -10);
    bar.SetRange(0, 2000000000);
    bar.SetPos(1000000000);
    EXPECT_EQ(GetProgressFillWidth(bar, 1000), 500);
}

TEST_F(Drawing, ASpriteObjectDescribesAControlAndIsDrawnWithItsTopLeftAtThePoint) {
    namespace Place = Engine::Graphics::PlaceFile;
    TestFiles::CScratchFolder folder;
    Engine::CFile::SetDiskRoot(CString(folder.Path().string()));
    const auto spr = Tools::WriteSpr(SprTestData::StripDocument("pic", {10}, 8));
    folder.Write("spr/pic.spr", std::string(spr.begin(), spr.end()));
    Tools::CPlaceDocument doc;
    doc.descs = {{1, "visible", 3}, {2, "tabstop", 3}, {3, "border", 2}};
    doc.spriteFiles = {{"spr/pic.spr", {{1, "pic"}}}};
    Tools::CPlaceObjectDoc sprite;
    sprite.id = 10;
    sprite.x = sprite.y = 300;
    sprite.pivotX = sprite.pivotY = 0.5f;
    sprite.width = 20;
    sprite.height = 16;
    sprite.spriteId = 1;
    for (const auto& [id, type] : {std::pair{1u, 3u}, {2u, 3u}, {3u, 2u}}) {
        Tools::CPlacePropertyValue value;
        value.id = id;
        value.type = type;
        sprite.properties.push_back(value);
    }
    sprite.properties[1].byte = 1;
    sprite.properties[2].word = 0x3F800000;
    doc.layers = {{"ui", 0, 0, {}, {sprite}}};
    const auto bytes = Tools::WritePlace(doc);
    folder.Write("place/ui.place", std::string(bytes.begin(), bytes.end()));
    ref_ptr<Place::CPlaceFileManager> places(new Place::CPlaceFileManager(&driver));
    const ref_ptr<Place::CPlaceFile> place = Place::CPlaceFile::Load(*places, "place/ui.place", true);
    Engine::CFile::SetDiskRoot("");
    auto& object = dynamic_cast<Place::CPlaceSpriteObject&>(*place->FindObjectByID(10));

    const CControlDescription description = ReadControlDescription(object);
    EXPECT_EQ(description.properties, (std::map<std::string, bool>{{"tabstop", true}, {"visible", false}}));
    ref_ptr<CProbe> control(new CProbe);
    control->CreateFromDescription(manager.get(), desktop, &description, nullptr, "", CS_VISIBLE | CS_BORDER, 0);
    EXPECT_EQ(control->GetWindowRect(), (CRect{290, 292, 310, 308}));
    EXPECT_EQ(control->GetStyle(), uint32_t(CS_BORDER | CS_TABSTOP));

    object.Visible = 0;  // drawn all the same
    driver.Clear();
    auto context = Context();
    DrawSpriteAt(description, context, 5, 6, 0.5f);
    context.Flush();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0], (CBox{5, 6, 20, 16, 0x80FFFFFF}));
    control->Destroy();
}
