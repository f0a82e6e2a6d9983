#include "tools/ScenePictures.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/ImageWriter.h"
#include "tools/SprWriter.h"

namespace Tools {

namespace {

struct CColour {
    double r, g, b;
};

CColour Mix(const CColour& a, const CColour& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A repeatable pseudo-random value in 0..1 for a point and a seed.
double Hash(int x, int y, int seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double(h ^ (h >> 16)) / 4294967295.0;
}

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

// An RGBA picture, rows top first, painted with "over" blending. Pictures
// that tile wrap what they paint around their edges.
class CCanvas {
public:
    CCanvas(int width, int height, bool wraps = false)
        : m_width(width), m_height(height), m_wraps(wraps), m_pixels(size_t(width) * size_t(height)) {}

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void Paint(int x, int y, const CColour& c, double alpha) {
        if (m_wraps) {
            x = (x % m_width + m_width) % m_width;
            y = (y % m_height + m_height) % m_height;
        }
        if (x < 0 || y < 0 || x >= m_width || y >= m_height || alpha <= 0.0) return;
        alpha = std::min(alpha, 1.0);
        std::array<double, 4>& p = m_pixels[size_t(y) * size_t(m_width) + size_t(x)];
        const double out = alpha + p[3] * (1.0 - alpha);
        const double keep = p[3] * (1.0 - alpha);
        p[0] = (c.r * alpha + p[0] * keep) / out;
        p[1] = (c.g * alpha + p[1] * keep) / out;
        p[2] = (c.b * alpha + p[2] * keep) / out;
        p[3] = out;
    }

    // A filled ellipse with a soft rim `soft` pixels wide.
    void Ellipse(double cx, double cy, double rx, double ry, const CColour& c, double alpha = 1.0, double soft = 1.0) {
        for (int y = int(std::floor(cy - ry - soft)); y <= int(std::ceil(cy + ry + soft)); ++y)
            for (int x = int(std::floor(cx - rx - soft)); x <= int(std::ceil(cx + rx + soft)); ++x) {
                const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
                const double d = (1.0 - std::sqrt(dx * dx + dy * dy)) * std::min(rx, ry);
                Paint(x, y, c, alpha * Clamp01(d / soft + 0.5));
            }
    }

    // A line of the given width between two points.
    void Line(double ax, double ay, double bx, double by, double width, const CColour& c, double alpha = 1.0) {
        const double length = std::hypot(bx - ax, by - ay);
        const int steps = std::max(1, int(length * 2));
        for (int i = 0; i <= steps; ++i) {
            const double t = double(i) / steps;
            Ellipse(ax + (bx - ax) * t, ay + (by - ay) * t, width / 2, width / 2, c, alpha, 0.5);
        }
    }

    // A colour image and an alpha image with eight bits of alpha.
    CSprImage Image() const {
        CPngImage colour{uint32_t(m_width), uint32_t(m_height), EPngColour::RGB, 8, false, {}, {}, {}};
        CPngImage alpha{uint32_t(m_width), uint32_t(m_height), EPngColour::Grey, 8, false, {}, {}, {}};
        for (const std::array<double, 4>& p : m_pixels) {
            for (int k = 0; k < 3; ++k) colour.samples.push_back(Byte(p[size_t(k)]));
            alpha.samples.push_back(Byte(p[3] * 255.0));
        }
        return {0, WritePng(colour), WritePng(alpha), 8};
    }

    std::vector<uint8_t> RgbaPng() const {
        CPngImage image{uint32_t(m_width), uint32_t(m_height), EPngColour::RGBA, 8, false, {}, {}, {}};
        for (const std::array<double, 4>& p : m_pixels) {
            for (int k = 0; k < 3; ++k) image.samples.push_back(Byte(p[size_t(k)]));
            image.samples.push_back(Byte(p[3] * 255.0));
        }
        return WritePng(image);
    }

    uint32_t Rgb(int x, int y) const {
        const std::array<double, 4>& p = m_pixels[size_t(y) * size_t(m_width) + size_t(x)];
        return uint32_t(Byte(p[0])) << 16 | uint32_t(Byte(p[1])) << 8 | Byte(p[2]);
    }

    // The picture moved down by `rows`, its bottom rows coming in at the top.
    CCanvas RolledDown(int rows) const {
        CCanvas rolled(m_width, m_height);
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                rolled.m_pixels[size_t(y) * size_t(m_width) + size_t(x)] =
                    m_pixels[size_t((y - rows % m_height + m_height) % m_height) * size_t(m_width) + size_t(x)];
        return rolled;
    }

    static uint16_t Byte(double v) { return uint16_t(std::clamp(std::lround(v), 0L, 255L)); }

private:
    int m_width, m_height;
    bool m_wraps;
    std::vector<std::array<double, 4>> m_pixels;  // r, g, b in 0..255, alpha 0..1
};

// A vertical gradient through colour stops spread evenly from top to bottom.
CCanvas Sky(std::initializer_list<CColour> stops) {
    const std::vector<CColour> colours(stops);
    CCanvas sky(8, 256);
    for (int y = 0; y < sky.Height(); ++y) {
        const double at = double(y) / (sky.Height() - 1) * double(colours.size() - 1);
        const size_t k = std::min(size_t(at), colours.size() - 2);
        const CColour c = Mix(colours[k], colours[k + 1], at - double(k));
        for (int x = 0; x < sky.Width(); ++x) sky.Paint(x, y, c, 1.0);
    }
    return sky;
}

// A ridge whose top follows whole sine periods across the width, so that
// a picture of it tiles sideways.
struct CWave {
    int periods;
    double amplitude, phase;
};
struct CRidge {
    double base;
    std::vector<CWave> waves;
    double Top(int x, int width) const {
        double top = base;
        for (const CWave& w : waves) top += w.amplitude * std::sin(2 * M_PI * w.periods * (x + 0.5) / width + w.phase);
        return top;
    }
};

// Paints the canvas opaque from the ridge down, each pixel in the colour
// for its column, row and depth below the ridge.
template <class TColour>
void FillBelow(CCanvas& canvas, const CRidge& ridge, TColour colour) {
    for (int x = 0; x < canvas.Width(); ++x) {
        const double top = ridge.Top(x, canvas.Width());
        for (int y = 0; y < canvas.Height(); ++y) canvas.Paint(x, y, colour(x, y, y - top), Clamp01(y + 0.5 - top));
    }
}

CCanvas Hills() {
    CCanvas hills(512, 128, true);
    FillBelow(hills, {52, {{1, 18, 0.3}, {3, 9, 1.7}, {7, 3, 0.2}}},
              [](int, int, double depth) { return Mix({104, 150, 132}, {70, 118, 96}, Clamp01(depth / 70.0)); });
    return hills;
}

CCanvas MeadowPicture() {
    CCanvas meadow(512, 192, true);
    const CRidge ridge{34, {{1, 12, 2.0}, {2, 8, 0.5}, {5, 3, 1.1}}};
    FillBelow(meadow, ridge, [](int x, int y, double depth) {
        const double grain = (Hash(x, y, 1) - 0.5) * 16;
        const CColour c = Mix({96, 170, 70}, {44, 104, 38}, Clamp01(depth / 150.0));
        return CColour{c.r + grain, c.g + grain, c.b + grain * 0.5};
    });
    // Grass blades along the ridge and small flowers in the grass.
    for (int i = 0; i < 260; ++i) {
        const int x = int(Hash(i, 0, 2) * meadow.Width());
        const double top = ridge.Top(x, meadow.Width());
        meadow.Line(x, top + 3, x + (Hash(i, 1, 2) - 0.5) * 6, top - 3 - Hash(i, 2, 2) * 6, 1.2, {70, 140, 52});
    }
    const CColour flowers[] = {{250, 240, 120}, {250, 250, 245}, {240, 120, 150}};
    for (int i = 0; i < 90; ++i) {
        const int x = int(Hash(i, 3, 2) * meadow.Width());
        const double top = ridge.Top(x, meadow.Width());
        const double y = top + 12 + Hash(i, 4, 2) * (meadow.Height() - top - 16);
        meadow.Ellipse(x, y, 1.6, 1.6, flowers[i % 3]);
    }
    return meadow;
}

// Water from a wavy line down; `night` darkens it. Its blue never leads
// its green by as much as the skies' does.
CCanvas SeaPicture(bool night) {
    CCanvas sea(512, 128, true);
    const CColour top = night ? CColour{22, 58, 66} : CColour{36, 110, 124};
    const CColour deep = night ? CColour{6, 24, 30} : CColour{16, 60, 80};
    const CRidge crests{20, {{4, 5, 0.0}, {9, 2.5, 1.3}}};
    FillBelow(sea, crests, [&](int x, int y, double depth) {
        const CColour c = Mix(top, deep, Clamp01(depth / 100.0));
        // Ripples: short light streaks.
        return Hash(x / 9, y / 3, 5) > 0.93 && depth > 6 ? Mix(c, {150, 200, 200}, night ? 0.25 : 0.4) : c;
    });
    for (int x = 0; x < sea.Width(); ++x) {
        const double crest = crests.Top(x, sea.Width());
        const double foam = Clamp01(1.0 - std::fabs(x % 64 - 32) / 40.0);
        for (int y = int(crest) - 1; y < int(crest) + 3; ++y) sea.Paint(x, y, {200, 225, 225}, 0.35 + 0.4 * foam);
    }
    return sea;
}

// Falling water: light streaks in columns, wrapping top to bottom.
CCanvas WaterfallPicture() {
    CCanvas fall(64, 128, true);
    for (int x = 0; x < fall.Width(); ++x) {
        const double edge = std::min(x + 0.5, fall.Width() - x - 0.5) / 6.0;
        for (int y = 0; y < fall.Height(); ++y) {
            const double streak = 0.5 + 0.5 * std::sin(2 * M_PI * (y / 128.0 * 2 + Hash(x / 3, 0, 6)));
            const CColour c = Mix({90, 150, 200}, {225, 240, 250}, streak * Hash(x / 2, 1, 6));
            fall.Paint(x, y, c, Clamp01(edge) * 0.92);
        }
    }
    return fall;
}

// Blossom petals scattered over a transparent tile.
CCanvas PetalsPicture() {
    CCanvas petals(256, 256, true);
    for (int i = 0; i < 9; ++i) {
        const double x = Hash(i, 0, 7) * 256, y = Hash(i, 1, 7) * 256;
        const double w = 3.5 + Hash(i, 2, 7) * 2;
        petals.Ellipse(x, y, w, w * 0.6, Mix({250, 190, 210}, {255, 240, 245}, Hash(i, 3, 7)), 0.9);
    }
    return petals;
}

// One plant per 32 x 96 frame, standing on the bottom edge.
CCanvas PlantsPicture() {
    CCanvas plants(32 * kPlantKinds, 96);
    const CColour stem{52, 120, 46};
    for (int kind = 0; kind < kPlantKinds; ++kind) {
        const double cx = 32 * kind + 16;
        const double top = kind == 3 ? 10 : 26;
        plants.Line(cx, 95, cx, top + 6, 2.4, stem);
        plants.Ellipse(cx - 6, 70, 7, 2.5, stem);
        plants.Ellipse(cx + 6, 58, 7, 2.5, stem);
        switch (kind) {
        case 0:  // tulip
            plants.Ellipse(cx, top + 4, 8, 10, {214, 48, 60});
            plants.Ellipse(cx - 4, top - 2, 3, 5, {236, 80, 90});
            break;
        case 1:  // daisy
            for (int p = 0; p < 10; ++p) {
                const double a = p * 2 * M_PI / 10;
                plants.Ellipse(cx + std::cos(a) * 7, top + std::sin(a) * 7, 4, 4, {250, 250, 244});
            }
            plants.Ellipse(cx, top, 4, 4, {246, 196, 40});
            break;
        case 2:  // bluebell
            for (int b = 0; b < 3; ++b) plants.Ellipse(cx + 5 - b * 2, top + b * 12, 5, 6, {110, 96, 220});
            break;
        default:  // reed
            plants.Ellipse(cx, top + 12, 3.5, 13, {120, 80, 44});
            break;
        }
    }
    return plants;
}

// A pine and a round tree, 64 x 160 each, trunks on the bottom edge.
CCanvas TreesPicture() {
    CCanvas trees(64 * kTreeKinds, 160);
    const CColour trunk{96, 64, 40};
    trees.Line(32, 159, 32, 110, 8, trunk);
    for (int tier = 0; tier < 5; ++tier) {
        const double y = 120 - tier * 22, half = 30 - tier * 5;
        for (int row = 0; row < 30; ++row) {
            const double w = half * (row / 30.0);
            trees.Line(32 - w, y - 30 + row, 32 + w, y - 30 + row, 1.5, Mix({40, 110, 60}, {28, 84, 48}, tier / 5.0));
        }
    }
    trees.Line(96, 159, 96, 96, 9, trunk);
    trees.Ellipse(96, 70, 28, 40, {58, 128, 54});
    trees.Ellipse(86, 58, 14, 16, {84, 152, 66}, 0.8);
    return trees;
}

CCanvas CloudPicture() {
    CCanvas cloud(128, 64);
    cloud.Ellipse(64, 40, 52, 18, {238, 242, 248}, 1.0, 4);
    cloud.Ellipse(46, 30, 24, 20, {246, 248, 252}, 1.0, 4);
    cloud.Ellipse(74, 24, 28, 22, {252, 252, 255}, 1.0, 4);
    cloud.Ellipse(64, 48, 46, 8, {214, 222, 236}, 0.6, 4);
    return cloud;
}

// A band of clouds that tiles sideways.
CCanvas CloudBankPicture() {
    CCanvas bank(512, 96, true);
    for (int i = 0; i < 16; ++i) {
        const double x = i * 32 + Hash(i, 0, 8) * 20, w = 26 + Hash(i, 1, 8) * 30;
        bank.Ellipse(x, 56 - Hash(i, 2, 8) * 14, w, 14 + Hash(i, 3, 8) * 12, {246, 248, 252}, 0.85, 5);
    }
    for (int i = 0; i < 10; ++i)
        bank.Ellipse(i * 51.2 + 20, 70, 40, 10, {222, 228, 240}, 0.7, 5);
    return bank;
}

// A gull in eight frames of one wing beat, 32 x 32 each.
CCanvas BirdPicture() {
    CCanvas birds(32 * kBirdFrames, 32);
    const CColour ink{48, 52, 64};
    for (int frame = 0; frame < kBirdFrames; ++frame) {
        const double cx = 32 * frame + 16, cy = 17;
        const double lift = 8 * std::cos(2 * M_PI * frame / kBirdFrames);
        for (const double side : {-1.0, 1.0}) {
            birds.Line(cx, cy, cx + side * 7, cy - lift * 0.8 - 2, 2.2, ink);
            birds.Line(cx + side * 7, cy - lift * 0.8 - 2, cx + side * 14, cy - lift + 1, 1.6, ink);
        }
        birds.Ellipse(cx, cy + 1, 3, 2, ink);
    }
    return birds;
}

CCanvas BalloonPicture() {
    CCanvas balloon(48, 64);
    const CColour stripes[] = {{220, 60, 50}, {246, 200, 60}};
    for (int y = 0; y < 44; ++y)
        for (int x = 0; x < 48; ++x) {
            const double dx = (x + 0.5 - 24) / 22, dy = (y + 0.5 - 22) / 22;
            const double inside = 1.0 - std::sqrt(dx * dx + dy * dy * (dy > 0 ? 0.8 : 1.0));
            const int stripe = int(std::floor((std::asin(std::clamp(dx, -1.0, 1.0)) + M_PI / 2) / (M_PI / 6)));
            balloon.Paint(x, y, stripes[stripe % 2], Clamp01(inside * 22 + 0.5));
        }
    balloon.Line(17, 40, 21, 54, 1, {80, 60, 40});
    balloon.Line(31, 40, 27, 54, 1, {80, 60, 40});
    balloon.Ellipse(24, 57, 5, 5, {130, 90, 50});
    return balloon;
}

// A round light with a halo of `halo` of its radius.
CCanvas Orb(int size, const CColour& core, const CColour& rim, double halo) {
    CCanvas orb(size, size);
    const double r = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x + 0.5 - r, y + 0.5 - r) / r;
            const double body = Clamp01((1.0 - halo - d) * r + 0.5);
            const double glow = Clamp01(1.0 - d) * Clamp01(1.0 - d) * 0.6;
            orb.Paint(x, y, Mix(core, rim, Clamp01(d / (1.0 - halo))), std::max(body, glow));
        }
    return orb;
}

CCanvas MoonPicture() {
    CCanvas moon = Orb(64, {250, 248, 226}, {214, 214, 200}, 0.45);
    moon.Ellipse(27, 28, 4, 4, {200, 200, 186}, 0.7);
    moon.Ellipse(38, 37, 3, 3, {206, 206, 192}, 0.7);
    return moon;
}

struct CSheetEntry {
    ESceneSprite id;
    CCanvas picture;
    int frames;
};

std::vector<CSheetEntry> Sheet() {
    std::vector<CSheetEntry> sheet;
    const auto add = [&sheet](ESceneSprite id, CCanvas picture, int frames = 1) {
        sheet.push_back({id, std::move(picture), frames});
    };
    add(SkyDay, Sky({{38, 92, 186}, {168, 204, 236}}));
    add(SkyDusk, Sky({{54, 40, 104}, {190, 90, 120}, {250, 170, 110}}));
    add(SkyNight, Sky({{4, 6, 26}, {24, 36, 78}}));
    add(HillsFar, Hills());
    add(HillsRolled, Hills().RolledDown(int(std::lround(kRolledHills * 128))));
    add(Meadow, MeadowPicture());
    add(Sea, SeaPicture(false));
    add(SeaNight, SeaPicture(true));
    add(Waterfall, WaterfallPicture());
    add(Petals, PetalsPicture());
    add(Plant, PlantsPicture(), kPlantKinds);
    add(Tree, TreesPicture(), kTreeKinds);
    add(Cloud, CloudPicture());
    add(CloudBank, CloudBankPicture());
    add(Bird, BirdPicture(), kBirdFrames);
    add(Balloon, BalloonPicture());
    add(Sun, Orb(64, {255, 236, 170}, {250, 170, 90}, 0.35));
    add(Moon, MoonPicture());
    add(Lantern, Orb(32, {255, 226, 140}, {250, 150, 60}, 0.55));
    return sheet;
}

} // namespace

const char* SceneSpriteName(ESceneSprite sprite) {
    static const char* const names[] = {"",          "sky_day", "sky_dusk", "sky_night", "hills",
                                        "hills_rolled", "meadow", "sea",     "sea_night", "waterfall",
                                        "petals",    "plant",   "tree",     "cloud",     "cloud_bank", "bird",
                                        "balloon",   "sun",     "moon",     "lantern"};
    return sprite > 0 && sprite < SceneSpriteEnd ? names[sprite] : "";
}

std::vector<uint8_t> WriteSceneSprites() {
    CSprDocument document;
    std::vector<CSheetEntry> sheet = Sheet();
    for (CSheetEntry& entry : sheet) {
        const int32_t image = int32_t(document.images.size());
        document.images.push_back(entry.picture.Image());
        CSprSprite sprite{SceneSpriteName(entry.id), 0, 0, false, false, {}};
        const int frameWidth = entry.picture.Width() / entry.frames;
        for (int frame = 0; frame < entry.frames; ++frame)
            sprite.frames.push_back(
                MakeSprFrame(image, frameWidth * frame, 0, frameWidth * (frame + 1), entry.picture.Height()));
        document.sprites.push_back(sprite);
    }
    return WriteSpr(document);
}

std::vector<uint32_t> SkyColours(ESceneSprite sky) {
    for (const CSheetEntry& entry : Sheet()) {
        if (entry.id != sky) continue;
        std::vector<uint32_t> colours;
        for (int y = 0; y < entry.picture.Height(); ++y) colours.push_back(entry.picture.Rgb(0, y));
        std::sort(colours.begin(), colours.end());
        colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
        return colours;
    }
    return {};
}

double GlowAlpha(double dx, double dy) {
    const double d = std::hypot(dx, dy);
    const double halo = std::pow(Clamp01(1.0 - d), 2.2);
    // Two thin rays make the four points of the star.
    const double rays = Clamp01(1.0 - d) * (std::exp(-std::fabs(dx) * 14) + std::exp(-std::fabs(dy) * 14));
    return Clamp01(halo + 0.8 * rays);
}

std::vector<uint8_t> GlowPng() {
    constexpr int kSize = 32;
    CCanvas glow(kSize, kSize);
    const double r = kSize / 2.0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) glow.Paint(x, y, {255, 255, 255}, GlowAlpha((x + 0.5 - r) / r, (y + 0.5 - r) / r));
    return glow.RgbaPng();
}

namespace {
// Curve Ci of an emitter and Qi of a particle type, by the number the
// simulation gives them (the emitter's curves stand in file order).
constexpr std::array<int, 19> kEmitterCurveOrder{1, 11, 2, 4, 6, 3, 12, 13, 14, 7, 9, 15, 16, 10, 17, 8, 18, 19, 5};
void SetC(CVexaEmitter& emitter, int i, CVexaCurve curve) {
    emitter.curves[size_t(std::find(kEmitterCurveOrder.begin(), kEmitterCurveOrder.end(), i) -
                          kEmitterCurveOrder.begin())] = std::move(curve);
}
void SetQ(CVexaParticleType& type, int i, CVexaCurve curve) { type.curves[size_t(i - 1)] = std::move(curve); }
CVexaCurve Keys(std::initializer_list<std::array<float, 2>> keys) {
    CVexaCurve curve;
    for (const auto& key : keys) curve.keys.push_back({key[0], key[1]});
    return curve;
}
constexpr uint32_t kGlowShape = 1;
} // namespace

CVexaEmitter SparkleEmitter() {
    CVexaEmitter emitter = MakeVexaEmitter("sparkle");
    // Born on a circle of 26 pixels, moving outwards; no colour mix.
    emitter.shape = 2;
    for (int c : {10, 13, 14, 15}) SetC(emitter, c, MakeVexaCurve(0.0f));
    SetC(emitter, 16, MakeVexaCurve(26.0f));
    CVexaParticleType& type = emitter.types[0];
    type.shapeId = kGlowShape;
    type.words[1] = 1;   // P2: a random angle for each particle
    type.words[3] = 3;   // P4: additive, by source alpha
    // No spin, turbulence, gravity, orbit or pull along the emitter's
    // direction; no spread in rate.
    for (int q : {3, 7, 10, 11, 17, 19, 20, 21, 24, 25, 29, 30, 35, 36, 37}) SetQ(type, q, MakeVexaCurve(0.0f));
    SetQ(type, 1, MakeVexaCurve(60.0f));  // life: 1.2 s (the simulation counts 50 a second)
    SetQ(type, 8, MakeVexaCurve(0.4f));
    SetQ(type, 5, MakeVexaCurve(9.0f));   // particles a second
    SetQ(type, 4, MakeVexaCurve(10.0f));  // pixels a second
    SetQ(type, 12, MakeVexaCurve(0.6f));
    SetQ(type, 2, MakeVexaCurve(1.0f));   // 16 pixels across (the shape's half size is 8)
    SetQ(type, 9, MakeVexaCurve(0.45f));
    // Swells quickly, then shrinks; the gradient fades it out.
    SetQ(type, 13, Keys({{0.0f, 0.4f}, {0.2f, 1.0f}, {1.0f, 0.55f}}));
    type.gradient.keys = {{0.0f, 1.0f, 0.95f, 0.75f, 0.0f},
                          {0.12f, 1.0f, 0.97f, 0.85f, 1.0f},
                          {0.55f, 0.75f, 0.88f, 1.0f, 0.75f},
                          {1.0f, 0.55f, 0.6f, 1.0f, 0.0f}};
    return emitter;
}

std::vector<uint8_t> WriteSceneEffects() { return WriteSceneEffects(SparkleEmitter()); }

std::vector<uint8_t> WriteSceneEffects(const CVexaEmitter& sparkle) {
    return WriteSceneEffects(std::vector<CVexaEmitter>{sparkle});
}

std::vector<uint8_t> WriteSceneEffects(std::vector<CVexaEmitter> emitters) {
    return WriteSceneEffects(std::move(emitters), GlowPng());
}

std::vector<uint8_t> WriteSceneEffects(std::vector<CVexaEmitter> emitters, std::vector<uint8_t> glow) {
    CVexaDocument effects;
    effects.shapes = {{"glow", kGlowShape, {{std::move(glow), 8.0f, 8.0f}}, {}, {}}};
    effects.emitters = std::move(emitters);
    return WriteVexa(effects);
}

} // namespace Tools
