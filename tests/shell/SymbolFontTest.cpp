// The controls' frame glyphs: the symbol font the demo data carries, and
// the settings window drawn headless on it, its pixels read back.

#include <GL/gl.h>

#include <map>

#include "app/Config.h"
#include "controls/ControlsManager.h"
#include "graphics/drivers/GraphicsOGL.h"
#include "shell/SettingsDialogApplication.h"
#include "shell/ShellTestSupport.h"
#include "tools/SymbolFont.h"

using namespace ShellTesting;
using Engine::CSettingsDialog;
using Tools::kSymbolCellHeight;
using Tools::RenderSymbolGlyph;

namespace {

uint8_t CoverageAt(const Tools::CGlyphImage& glyph, int32_t x, int32_t y) {
    return glyph.coverage[size_t(y) * size_t(glyph.width) + size_t(x)];
}

} // namespace

TEST(SymbolFont, EveryGlyphFillsACellOfTheFontsHeight) {
    for (uint16_t character : Tools::SymbolFontCharacters()) {
        const Tools::CGlyphImage glyph = RenderSymbolGlyph(character);
        EXPECT_EQ(glyph.coverage.size(), size_t(glyph.width) * size_t(kSymbolCellHeight)) << char(character);
        const bool inked = std::any_of(glyph.coverage.begin(), glyph.coverage.end(), [](uint8_t c) { return c > 0; });
        EXPECT_EQ(inked, character != 'h') << char(character);
    }
    EXPECT_THROW(RenderSymbolGlyph('a'), Engine::CException);
    const Tools::CFontSprite font = Tools::MakeSymbolFontSprite("font_symbol");
    EXPECT_EQ(font.document.sprites.at(0).frames.size(), Tools::SymbolFontCharacters().size());
    EXPECT_EQ(font.cellHeight, kSymbolCellHeight);
}

struct CLayerCase {
    const char* name;
    const char* box;   // the layers that tile the box, each pixel once
    char mark;         // drawn over the interior only
};

class SymbolFontLayers : public ::testing::TestWithParam<CLayerCase> {};

TEST_P(SymbolFontLayers, EdgesAndInteriorTileTheBoxAndTheMarkStaysInside) {
    const std::string box = GetParam().box;
    std::vector<Tools::CGlyphImage> layers;
    for (char c : box) layers.push_back(RenderSymbolGlyph(uint16_t(c)));
    const Tools::CGlyphImage mark = RenderSymbolGlyph(uint16_t(GetParam().mark));
    const Tools::CGlyphImage& interior = layers.front();
    int32_t full = 0;
    for (int32_t y = 0; y < kSymbolCellHeight; ++y)
        for (int32_t x = 0; x < kSymbolCellHeight; ++x) {
            int32_t sum = 0;
            for (const auto& layer : layers) sum += CoverageAt(layer, x, y);
            EXPECT_LE(sum, 255) << x << "," << y << ": layers overlap";
            EXPECT_TRUE(CoverageAt(mark, x, y) == 0 || CoverageAt(interior, x, y) > 0) << x << "," << y;
            full += CoverageAt(mark, x, y) == 255;
        }
    EXPECT_GT(full, 4) << "the mark has solid pixels";
}

INSTANTIATE_TEST_SUITE_P(Boxes, SymbolFontLayers,
                         ::testing::Values(CLayerCase{"CheckBox", "gcdef", 'b'}, CLayerCase{"Radio", "njklm", 'i'}),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kShadow = 0x808080, kFace = 0xD4D0C8;

// The OpenGL driver on an offscreen window; the hook sees each finished
// frame before it is presented.
class CReadBackOpenGL : public Engine::Graphics::CGraphics_OGL {
public:
    using CGraphics_OGL::CGraphics_OGL;
    std::function<void(CReadBackOpenGL&)> onFrame;
    void gFlipBuffers() override {
        onFrame(*this);
        CGraphics_OGL::gFlipBuffers();
    }
    // 0xRRGGBB at (x, y), rows top-down.
    uint32_t Read(int32_t x, int32_t y) {
        uint8_t rgba[4] = {};
        glReadPixels(x, GetParams().screenHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return uint32_t(rgba[0]) << 16 | uint32_t(rgba[1]) << 8 | rgba[2];
    }
};

// What the layers give at each pixel that they cover whole, drawn in order
// over the background; pixels that a layer covers in part are left out.
std::map<std::pair<int32_t, int32_t>, uint32_t> Composite(const std::vector<std::pair<char, uint32_t>>& layers,
                                                          int32_t width, uint32_t background) {
    std::map<std::pair<int32_t, int32_t>, uint32_t> pixels;
    for (int32_t y = 0; y < kSymbolCellHeight; ++y)
        for (int32_t x = 0; x < width; ++x) pixels[{x, y}] = background;
    for (const auto& [character, color] : layers) {
        const Tools::CGlyphImage glyph = RenderSymbolGlyph(uint16_t(character));
        for (int32_t y = 0; y < kSymbolCellHeight; ++y)
            for (int32_t x = 0; x < glyph.width; ++x) {
                const uint8_t coverage = CoverageAt(glyph, x, y);
                if (coverage == 255)
                    pixels[{x, y}] = color;
                else if (coverage > 0)
                    pixels.erase({x, y});
            }
    }
    return pixels;
}

struct CWindowCase {
    const char* name;
    bool checked;
};

class SettingsWindowGlyphs : public ShellTest, public ::testing::WithParamInterface<CWindowCase> {};

} // namespace

TEST_P(SettingsWindowGlyphs, CheckMarkAndComboArrowComeFromTheSymbolFont) {
    UseDemoData("OpenGL", false);
    // Where the program's start-up would go: the packs' folder.
    fs::current_path(root / "data");
    Engine::CConfig config;
    config.playAmbientSounds = GetParam().checked;
    fs::create_directories(SettingsFolder());
    ASSERT_TRUE(config.Save((SettingsFolder() / "screensaver.cfg").c_str()));

    std::map<std::pair<int32_t, int32_t>, uint32_t> checkBox, arrow;
    std::map<std::pair<int32_t, int32_t>, uint32_t> expectedArrow;
    Engine::CSettingsDialogApplication* running = nullptr;
    Engine::CSettingsDialogApplication application(DriversWithOpenGL([&](Engine::CApplication** app) {
        auto driver = std::make_unique<CReadBackOpenGL>(app);
        driver->onFrame = [&](CReadBackOpenGL& d) {
            d.RequestQuit();
            CSettingsDialog* dialog = running ? running->GetDialog() : nullptr;
            if (!dialog) return;
            // The check box's glyphs sit at its left edge, centred in its height.
            using Engine::Controls::CRect;
            const CRect box = dialog->FindChildByID(CSettingsDialog::ID_AMBIENT_SOUNDS)->ClientToScreen();
            const int32_t top = box.top + (box.Height() - kSymbolCellHeight) / 2;
            for (int32_t y = 0; y < kSymbolCellHeight; ++y)
                for (int32_t x = 0; x < kSymbolCellHeight; ++x) checkBox[{x, y}] = d.Read(box.left + x, top + y);
            // The combo box's button: one scroll-bar width at its right end,
            // the arrow centred in it.
            const CRect combo = dialog->FindChildByID(CSettingsDialog::ID_CHANGE_TIME)->ClientToScreen();
            const int32_t button = dialog->GetManager()->GetMetric(Engine::Controls::METRIC_SCROLLBAR_WIDTH);
            const int32_t arrowWidth = RenderSymbolGlyph('6').width;
            const int32_t left = combo.right - button + (button - arrowWidth) / 2;
            const int32_t arrowTop = combo.top + (combo.Height() - kSymbolCellHeight) / 2;
            for (int32_t y = 0; y < kSymbolCellHeight; ++y)
                for (int32_t x = 0; x < arrowWidth; ++x) arrow[{x, y}] = d.Read(left + x, arrowTop + y);
        };
        return driver;
    }));
    running = &application;
    EXPECT_EQ(application.Execute(), 0);
    ASSERT_FALSE(checkBox.empty()) << log;

    std::vector<std::pair<char, uint32_t>> layers = {{'g', kWhite}, {'c', kShadow}, {'d', kWhite},
                                                     {'e', kBlack}, {'f', kFace}};
    if (GetParam().checked) layers.push_back({'b', kBlack});
    int32_t compared = 0;
    for (const auto& [at, color] : Composite(layers, kSymbolCellHeight, kFace)) {
        EXPECT_EQ(checkBox[at], color) << "check box at " << at.first << "," << at.second;
        ++compared;
    }
    EXPECT_GT(compared, 100);
    // The mark's solid pixels are all black when checked, none when not.
    const Tools::CGlyphImage mark = RenderSymbolGlyph('b');
    int32_t solid = 0, black = 0;
    for (int32_t y = 0; y < kSymbolCellHeight; ++y)
        for (int32_t x = 0; x < kSymbolCellHeight; ++x)
            if (CoverageAt(mark, x, y) == 255) {
                ++solid;
                black += checkBox[{x, y}] == kBlack;
            }
    EXPECT_GT(solid, 4);
    EXPECT_EQ(black, GetParam().checked ? solid : 0);

    // The arrow: black where its glyph is solid, the button's face beside it.
    int32_t arrowPixels = 0;
    for (const auto& [at, color] : Composite({{'6', kBlack}}, RenderSymbolGlyph('6').width, kFace)) {
        if (at.second < 1 || at.second >= kSymbolCellHeight - 1) continue;  // the button's edge rows
        EXPECT_EQ(arrow[at], color) << "arrow at " << at.first << "," << at.second;
        arrowPixels += color == kBlack;
    }
    EXPECT_GT(arrowPixels, 8);
}

INSTANTIATE_TEST_SUITE_P(States, SettingsWindowGlyphs,
                         ::testing::Values(CWindowCase{"Checked", true}, CWindowCase{"Unchecked", false}),
                         [](const auto& info) { return std::string(info.param.name); });
