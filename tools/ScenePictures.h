#pragma once
// The pictures of the demo scenes: "spr/scenes.spr", drawn here, and the
// sparkle effect "fx/scenes.vexa" with its glow texture.

#include <cstdint>
#include <vector>

#include "tools/VexaWriter.h"

namespace Tools {

// The sprites of "spr/scenes.spr", by place-file sprite ID.
enum ESceneSprite : int32_t {
    SkyDay = 1,
    SkyDusk,
    SkyNight,
    HillsFar,
    HillsRolled,  // HillsFar rolled down by kRolledHills of its height
    Meadow,
    Sea,
    SeaNight,
    Waterfall,
    Petals,
    Plant,
    Tree,
    Cloud,
    CloudBank,
    Bird,
    Balloon,
    Sun,
    Moon,
    Lantern,
    SceneSpriteEnd
};
// Frames of the sprites that have several.
constexpr int kBirdFrames = 8;
constexpr int kPlantKinds = 4;  // tulip, daisy, bluebell, reed
constexpr int kTreeKinds = 2;   // pine, round
// The vertical offset, in frame heights, that a layer showing HillsRolled
// keeps: the picture is stored rolled by it, so that it shows upright.
constexpr float kRolledHills = 88.17778f * 0.01f;

const char* SceneSpriteName(ESceneSprite sprite);
std::vector<uint8_t> WriteSceneSprites();
// The colours (0xRRGGBB) of a sky picture.
std::vector<uint32_t> SkyColours(ESceneSprite sky);

// The glow particle: emitter "sparkle" of "fx/scenes.vexa".
CVexaEmitter SparkleEmitter();
// A soft white glow with a four-pointed star, as a PNG with alpha.
std::vector<uint8_t> GlowPng();
// The glow's alpha (0 to 1) at a point of the picture, each coordinate -1 at
// one edge and 1 at the other.
double GlowAlpha(double dx, double dy);
std::vector<uint8_t> WriteSceneEffects();
// The same file with another emitter in the sparkle's place.
std::vector<uint8_t> WriteSceneEffects(const CVexaEmitter& sparkle);
// The same file with these emitters, the first in the sparkle's place.
std::vector<uint8_t> WriteSceneEffects(std::vector<CVexaEmitter> emitters);
// The same file with another picture (any format) for the glow.
std::vector<uint8_t> WriteSceneEffects(std::vector<CVexaEmitter> emitters, std::vector<uint8_t> glow);

} // namespace Tools
