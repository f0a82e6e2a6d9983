#include "tools/DemoGameUi.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "tools/ImageWriter.h"
#include "tools/OggWriter.h"

namespace Tools {

namespace {

constexpr int kStateFrames = 4;
constexpr int kFrames = kStateFrames + 1;  // the check-box frame last

struct CButtonSkin {
    const char* name;
    int cell;  // frames are three cells wide and one high
    int left;  // where the frames sit in the image, stacked downwards
};

constexpr CButtonSkin kSkins[] = {{"button", 60, 0}, {"button-mini", 30, 180}};
constexpr int kImageWidth = 270;
constexpr int kImageHeight = kFrames * 60;

// Normal, hovered, pressed, disabled.
constexpr std::array<std::array<float, 3>, kStateFrames> kStateColours = {{
    {{0.16f, 0.30f, 0.55f}}, {{0.25f, 0.45f, 0.75f}}, {{0.10f, 0.20f, 0.40f}}, {{0.35f, 0.35f, 0.38f}}}};

// Colour planes and coverage of the image, filled pixel by pixel.
struct CCanvas {
    CPngImage colour{uint32_t(kImageWidth), uint32_t(kImageHeight), EPngColour::RGB, 8, false, {}, {}, {}};
    CPngImage alpha{uint32_t(kImageWidth), uint32_t(kImageHeight), EPngColour::Grey, 8, false, {}, {}, {}};

    CCanvas() {
        colour.samples.assign(size_t(kImageWidth) * kImageHeight * 3, 0);
        alpha.samples.assign(size_t(kImageWidth) * kImageHeight, 0);
    }
    void Set(int x, int y, const std::array<float, 3>& rgb, float coverage) {
        const size_t at = size_t(y) * kImageWidth + size_t(x);
        for (size_t c = 0; c < 3; ++c) colour.samples[at * 3 + c] = uint16_t(std::clamp(rgb[c], 0.0f, 1.0f) * 255.0f);
        alpha.samples[at] = uint16_t(std::clamp(coverage, 0.0f, 1.0f) * 255.0f);
    }
};

// Coverage of a rounded box inset from the edges of a w x h area, one
// pixel of soft edge.
float RoundedBox(float x, float y, float w, float h, float inset, float radius) {
    const float dx = std::max(std::abs(x - w / 2) - (w / 2 - inset - radius), 0.0f);
    const float dy = std::max(std::abs(y - h / 2) - (h / 2 - inset - radius), 0.0f);
    return std::clamp(radius - std::hypot(dx, dy) + 0.5f, 0.0f, 1.0f);
}

// One state: a pill across the three cells, lit from the top (from the
// bottom while pressed), with a lighter rim.
void PaintStateFrame(CCanvas& canvas, const CButtonSkin& skin, int frame) {
    const int n = skin.cell, top = frame * n;
    const float inset = float(n) / 10, radius = float(n) / 2 - inset;
    const std::array<float, 3>& base = kStateColours[size_t(frame)];
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < 3 * n; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float inside = RoundedBox(px, py, float(3 * n), float(n), inset, radius);
            const float core = RoundedBox(px, py, float(3 * n), float(n), inset + 2, radius - 2);
            float light = 1.25f - 0.5f * py / float(n);
            if (frame == 2) light = 0.75f + 0.5f * py / float(n);
            std::array<float, 3> rgb;
            for (size_t c = 0; c < 3; ++c) rgb[c] = base[c] * light + (1.0f - core) * 0.35f;
            canvas.Set(skin.left + x, top + y, rgb, inside);
        }
}

// The check-box frame: cell 0 an empty box, cell 1 the box with a tick.
void PaintCheckFrame(CCanvas& canvas, const CButtonSkin& skin) {
    const int n = skin.cell, top = kStateFrames * n;
    const float inset = float(n) / 5;
    for (int cell = 0; cell < 2; ++cell)
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const float px = float(x) + 0.5f, py = float(y) + 0.5f;
                const float outer = RoundedBox(px, py, float(n), float(n), inset, 3);
                const float inner = RoundedBox(px, py, float(n), float(n), inset + 2, 1);
                float coverage = outer - inner * 0.7f;
                // The tick: two strokes, from the left middle down to the
                // bottom third, then up to the top right.
                const float u = px / float(n), v = py / float(n);
                const float down = std::abs((v - 0.55f) - (u - 0.3f)) * float(n);
                const float up = std::abs((v - 0.75f) + 1.5f * (u - 0.45f)) * float(n) / 1.8f;
                const bool onDown = u > 0.3f && u < 0.45f && down < 2.0f;
                const bool onUp = u >= 0.45f && u < 0.75f && up < 2.0f;
                if (cell == 1 && (onDown || onUp)) coverage = 1.0f;
                canvas.Set(skin.left + cell * n + x, top + y, {{1.0f, 1.0f, 1.0f}}, coverage);
            }
}

CSprSprite ButtonSprite(const CButtonSkin& skin) {
    CSprSprite sprite{skin.name, 0, 0, false, false, {}};
    for (int frame = 0; frame < kFrames; ++frame)
        sprite.frames.push_back(
            MakeSprFrame(0, skin.left, frame * skin.cell, skin.left + 3 * skin.cell, (frame + 1) * skin.cell));
    return sprite;
}

// A tone of the given pitch that falls away exponentially, in both ears.
CPcmSound Blip(double seconds, double frequency, double decay, double shimmer = 0.0) {
    CPcmSound sound;
    const size_t frames = size_t(seconds * sound.rate);
    constexpr double kTau = 6.283185307179586;
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / sound.rate;
        const double envelope = std::exp(-t * decay) * std::min(1.0, t * 400.0);
        double wave = std::sin(kTau * frequency * t);
        if (shimmer > 0) wave = 0.6 * wave + 0.4 * std::sin(kTau * frequency * 1.5 * t + shimmer * std::sin(kTau * 6 * t));
        const auto value = int16_t(wave * envelope * 0.5 * 32767.0);
        sound.samples.push_back(value);
        sound.samples.push_back(value);
    }
    return sound;
}

// A soft round dot, white with falling coverage.
std::vector<uint8_t> DotImage() {
    constexpr uint32_t kSize = 16;
    CPngImage image{kSize, kSize, EPngColour::RGBA, 8, false, {}, {}, {}};
    for (uint32_t y = 0; y < kSize; ++y)
        for (uint32_t x = 0; x < kSize; ++x) {
            const float d = std::hypot(float(x) + 0.5f - kSize / 2.0f, float(y) + 0.5f - kSize / 2.0f) / (kSize / 2.0f);
            image.samples.insert(image.samples.end(), {255, 255, 255, uint16_t(std::clamp(1.0f - d, 0.0f, 1.0f) * 255)});
        }
    return WritePng(image);
}

// The second image: the slider's two frames of four 35-pixel cells (track
// left end, middle, right end, thumb), the list's selection bar and the
// picture grid's unknown cell and selection frame, stacked downwards.
constexpr int kSliderCell = 35;
constexpr int kPanelWidth = 200;
struct CPanelSprite {
    const char* name;
    int frames, width, height;
};
constexpr CPanelSprite kPanelSprites[] = {
    {"slider", 2, 4 * kSliderCell, kSliderCell}, {"edit-select", 1, 200, 24}, {"map2_unknown", 1, 100, 64},
    {"map2_select", 1, 100, 64}};

int PanelHeight() {
    int height = 0;
    for (const CPanelSprite& sprite : kPanelSprites) height += sprite.frames * sprite.height;
    return height;
}

// Colour and coverage of one pixel of a panel sprite, (x, y) within its frame.
std::pair<std::array<float, 3>, float> PanelPixel(const CPanelSprite& sprite, int frame, float x, float y) {
    const std::string name = sprite.name;
    const std::array<float, 3> gold{{0.95f, 0.8f, 0.4f}};
    if (name == "slider") {
        const int cell = int(x) / kSliderCell;
        const float cx = x - float(cell * kSliderCell);
        const std::array<float, 3> track = frame ? gold : std::array<float, 3>{{0.5f, 0.55f, 0.65f}};
        if (cell == 3) return {frame ? gold : std::array<float, 3>{{0.9f, 0.9f, 0.95f}},
                               RoundedBox(cx, y, float(kSliderCell), float(kSliderCell), 6, 11)};
        // A groove through the middle, rounded at the outer ends.
        const float groove = std::clamp(4.5f - std::abs(y - kSliderCell / 2.0f), 0.0f, 1.0f);
        const float end = cell == 0 ? std::clamp(cx - 8.0f, 0.0f, 1.0f) : cell == 2 ? std::clamp(27.0f - cx, 0.0f, 1.0f) : 1.0f;
        return {track, groove * end};
    }
    if (name == "edit-select") return {{{0.2f, 0.45f, 0.8f}}, RoundedBox(x, y, float(sprite.width), float(sprite.height), 1, 6) * 0.8f};
    const float w = float(sprite.width), h = float(sprite.height);
    if (name == "map2_select") return {gold, RoundedBox(x, y, w, h, 0, 8) - RoundedBox(x, y, w, h, 4, 4)};
    // The unknown cell: a dim tile with a question-mark-like ring.
    const float ring = std::clamp(2.0f - std::abs(std::hypot(x - w / 2, y - h / 2 + 6) - 10.0f), 0.0f, 1.0f);
    return {{{0.25f + ring * 0.6f, 0.25f + ring * 0.6f, 0.3f + ring * 0.6f}}, RoundedBox(x, y, w, h, 3, 8)};
}

void AddPanelSprites(CSprDocument& document) {
    const int height = PanelHeight();
    CPngImage colour{uint32_t(kPanelWidth), uint32_t(height), EPngColour::RGB, 8, false, {}, {}, {}};
    CPngImage alpha{uint32_t(kPanelWidth), uint32_t(height), EPngColour::Grey, 8, false, {}, {}, {}};
    colour.samples.assign(size_t(kPanelWidth) * size_t(height) * 3, 0);
    alpha.samples.assign(size_t(kPanelWidth) * size_t(height), 0);
    const int32_t bitmap = int32_t(document.images.size());
    int top = 0;
    for (const CPanelSprite& panel : kPanelSprites) {
        CSprSprite& sprite = document.sprites.emplace_back(CSprSprite{panel.name, 0, 0, false, false, {}});
        for (int frame = 0; frame < panel.frames; ++frame, top += panel.height) {
            sprite.frames.push_back(MakeSprFrame(bitmap, 0, top, panel.width, top + panel.height));
            for (int y = 0; y < panel.height; ++y)
                for (int x = 0; x < panel.width; ++x) {
                    const auto [rgb, coverage] = PanelPixel(panel, frame, float(x) + 0.5f, float(y) + 0.5f);
                    const size_t at = size_t(top + y) * kPanelWidth + size_t(x);
                    for (size_t c = 0; c < 3; ++c) colour.samples[at * 3 + c] = uint16_t(std::clamp(rgb[c], 0.0f, 1.0f) * 255.0f);
                    alpha.samples[at] = uint16_t(std::clamp(coverage, 0.0f, 1.0f) * 255.0f);
                }
        }
    }
    document.images.push_back(CSprImage{0, WritePng(colour), WritePng(alpha), 8});
}

} // namespace

CSprDocument MakeControlSprites() {
    CCanvas canvas;
    CSprDocument document;
    for (const CButtonSkin& skin : kSkins) {
        for (int frame = 0; frame < kStateFrames; ++frame) PaintStateFrame(canvas, skin, frame);
        PaintCheckFrame(canvas, skin);
        document.sprites.push_back(ButtonSprite(skin));
    }
    document.images.push_back(CSprImage{0, WritePng(canvas.colour), WritePng(canvas.alpha), 8});
    AddPanelSprites(document);
    return document;
}

CVexaDocument MakeControlEffect(const std::string& emitter) {
    CVexaDocument document;
    document.shapes = {{"dot", 1, {{DotImage(), 16, 16}}, {}, {}}};
    document.emitters = {MakeVexaEmitter(emitter)};
    CVexaParticleType& type = document.emitters[0].types[0];
    type.shapeId = 1;
    type.gradient.keys = {{0.0f, 1.0f, 0.9f, 0.6f, 1.0f}, {1.0f, 0.4f, 0.6f, 1.0f, 0.0f}};
    return document;
}

std::vector<CDemoFile> MakeGameUiFiles() {
    return {
        {"spr/controls.spr", WriteSpr(MakeControlSprites())},
        {"ogg/click.ogg", EncodeOggVorbis(Blip(0.08, 1800.0, 60.0))},
        {"ogg/focus.ogg", EncodeOggVorbis(Blip(0.12, 880.0, 30.0))},
        {"ogg/ring_particles.ogg", EncodeOggVorbis(Blip(0.7, 660.0, 5.0, 2.0))},
        {"vexa/common.vexa", WriteVexa(MakeControlEffect("click"))},
        {"vexa/map_line.vexa", WriteVexa(MakeControlEffect("map_line"))},
    };
}

void AddGameUiData(CPakWriter& pack) {
    for (CDemoFile& file : MakeGameUiFiles()) pack.Add(file.name.c_str(), std::move(file.bytes));
}

} // namespace Tools
