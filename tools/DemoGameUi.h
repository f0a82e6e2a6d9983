#pragma once
// The demo data of the game's interface controls, made procedurally: the
// button sprites of "spr/controls.spr", the three control sounds and the
// effect files with the emitters the controls start.

#include <string>
#include <vector>

#include "tools/PakWriter.h"
#include "tools/SprWriter.h"
#include "tools/VexaWriter.h"

namespace Tools {

// "button" (frames of 180 x 60) and "button-mini" (90 x 30): frames normal,
// hovered, pressed and disabled of three cells each (left cap, middle,
// right cap), then the check-box frame (empty box, checked box); on a second
// image "slider" (two frames of four 35 x 35 cells), "edit-select"
// (200 x 24), "map2_unknown" and "map2_select" (100 x 64 each).
CSprDocument MakeControlSprites();
// A file of one small emitter of that name, its particles one dot shape.
CVexaDocument MakeControlEffect(const std::string& emitter);

struct CDemoFile {
    std::string name;
    std::vector<uint8_t> bytes;
};
// Every file above under the name the controls load it by.
std::vector<CDemoFile> MakeGameUiFiles();
void AddGameUiData(CPakWriter& pack);

} // namespace Tools
