#pragma once
// Damaged place files that lay thousands of window-sized sprites over each
// other: a layer of kHeavySpriteCopies copies of the demo's sky sprite
// object, which covers the 800 x 600 window exactly. Tests and benchmarks
// check that a frame of each stays within the frame's sprite area limit.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/PakWriter.h"
#include "tools/SceneArchiveWriter.h"

namespace Tools {

enum class EHeavySprites {
    WindowSized,  // each copy exactly 800 x 600
    Scaled1e3,    // each copy's rectangle 1,000 times the window's size
    Scaled1e6,    // each copy's rectangle 1e6 times the window's size
    Zoomed,       // each copy animated by zoom keys from 1e3 to 1e6 (percent) over the scene's loop
};

inline constexpr EHeavySprites kHeavySprites[] = {EHeavySprites::WindowSized, EHeavySprites::Scaled1e3,
                                                  EHeavySprites::Scaled1e6, EHeavySprites::Zoomed};
inline constexpr int kHeavySpriteCopies = 3000;

const char* HeavySpritesName(EHeavySprites sprites);
// The case named so, or false.
bool FindHeavySprites(const std::string& name, EHeavySprites& sprites);
// The place file, with its scene archive.
std::vector<uint8_t> WriteHeavySprites(EHeavySprites sprites);

// The scene archive's index of the Zoom property.
inline constexpr int kZoomProperty = 3;
// A sprite object zoomed from 1e3 to 1e6 percent over the 20 s loop of the
// heavy scenes.
CSceneObject ZoomedSceneObject(uint32_t placeId);

// A place file shown alone, with the demo's scene pictures: it takes the
// first scene number that no generated scene class claims, so that its own
// scene archive animates it, and the numbers before it hold empty files,
// which the screensaver skips.
void AddSceneAlone(CPakWriter& pack, std::vector<uint8_t> place);

} // namespace Tools
